#include "image/picture_fixtures.h"

#include <jpeglib.h>
#include <openjpeg.h>
#include <tiffio.h>

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velmora::test {

namespace fs = std::filesystem;

namespace {

void put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t((value >> 8) & 0xFF));
}
void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

QImage rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage quadrants(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            const bool top = y < height / 2;
            image.setPixel(
                x, y, top ? (left ? 0xFFFF0000 : 0xFF00FF00) : (left ? 0xFF0000FF : 0xFFFFFFFF));
        }
    }
    return image;
}

::testing::AssertionResult showsQuadrants(const Picture& picture, int tolerance, Corners corners) {
    if (picture.isNull()) return ::testing::AssertionFailure() << "the picture is null";
    const int w = picture.width();
    const int h = picture.height();
    const struct {
        const char* name;
        int x, y;
        QRgb expected;
    } probes[] = {{"top left", w / 4, h / 4, corners.topLeft},
                  {"top right", w * 3 / 4, h / 4, corners.topRight},
                  {"bottom left", w / 4, h * 3 / 4, corners.bottomLeft},
                  {"bottom right", w * 3 / 4, h * 3 / 4, corners.bottomRight}};
    for (const auto& probe : probes) {
        const QRgb got = picture.pixel(probe.x, probe.y);
        const int difference = std::max({std::abs(qRed(got) - qRed(probe.expected)),
                                         std::abs(qGreen(got) - qGreen(probe.expected)),
                                         std::abs(qBlue(got) - qBlue(probe.expected))});
        if (difference > tolerance) {
            return ::testing::AssertionFailure()
                   << probe.name << " is " << std::hex << got << ", expected " << probe.expected;
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<uint8_t> readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeWithQt(const fs::path& file, const QImage& image, const char* format, int quality,
                 bool progressive) {
    QImageWriter writer(QString::fromStdString(file.string()), format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image)) {
        throw std::runtime_error("cannot write fixture " + file.string() + ": " +
                                 writer.errorString().toStdString());
    }
}

void writeTga(const fs::path& file, const QImage& source) {
    const QImage image = rgb32(source);
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // uncompressed true colour
    put16(out, unsigned(image.width()));
    put16(out, unsigned(image.height()));
    out.push_back(24);
    out.push_back(0);  // rows stored bottom up
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            out.insert(out.end(), {uint8_t(qBlue(p)), uint8_t(qGreen(p)), uint8_t(qRed(p))});
        }
    }
    writeBytes(file, out);
}

namespace {

// GIF image data without real compression: every pixel is written as a
// literal code of 3 bits, and a clear code every two pixels stops the code
// size from growing. Any GIF decoder reads it.
std::vector<uint8_t> gifImageData(const std::vector<uint8_t>& indices) {
    constexpr unsigned kClear = 4;
    constexpr unsigned kEnd = 5;
    std::vector<uint8_t> packed;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    auto writeCode = [&](unsigned code) {
        bitBuffer |= code << bitCount;
        bitCount += 3;
        while (bitCount >= 8) {
            packed.push_back(uint8_t(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0) writeCode(kClear);
        writeCode(indices[i]);
    }
    writeCode(kEnd);
    if (bitCount > 0) packed.push_back(uint8_t(bitBuffer & 0xFF));

    std::vector<uint8_t> out = {2};  // minimum code size
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t count = std::min<size_t>(255, packed.size() - at);
        out.push_back(uint8_t(count));
        out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + count));
    }
    out.push_back(0);
    return out;
}

}  // namespace

void writeTwoFrameGif(const fs::path& file, const QImage& firstFrame) {
    const QImage image = rgb32(firstFrame);
    const QRgb palette[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, unsigned(image.width()));
    put16(out, unsigned(image.height()));
    out.insert(out.end(), {0x81, 0, 0});  // global table of 4 entries
    for (QRgb c : palette)
        out.insert(out.end(), {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
    for (int frame = 0; frame < 2; ++frame) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0, 10, 0, 0, 0});  // graphic control
        out.push_back(0x2C);
        put16(out, 0);
        put16(out, 0);
        put16(out, unsigned(image.width()));
        put16(out, unsigned(image.height()));
        out.push_back(0);
        std::vector<uint8_t> indices;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                uint8_t index = 2;  // the second frame is all blue
                if (frame == 0) {
                    const QRgb p = image.pixel(x, y);
                    for (uint8_t i = 0; i < 4; ++i) {
                        if (palette[i] == p) index = i;
                    }
                }
                indices.push_back(index);
            }
        }
        const std::vector<uint8_t> data = gifImageData(indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    writeBytes(file, out);
}

void writeIco(const fs::path& file, const std::vector<QImage>& images) {
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, unsigned(images.size()));
    std::vector<std::vector<uint8_t>> entries;
    for (const QImage& source : images) {
        const QImage image = rgb32(source);
        std::vector<uint8_t> dib;
        put32(dib, 40);
        put32(dib, uint32_t(image.width()));
        put32(dib, uint32_t(image.height() * 2));  // colour rows plus mask rows
        put16(dib, 1);
        put16(dib, 32);
        for (int i = 0; i < 6; ++i)
            put32(dib, 0);
        for (int y = image.height() - 1; y >= 0; --y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                dib.insert(dib.end(),
                           {uint8_t(qBlue(p)), uint8_t(qGreen(p)), uint8_t(qRed(p)), 255});
            }
        }
        const size_t maskRow = size_t((image.width() + 31) / 32 * 4);
        dib.insert(dib.end(), maskRow * size_t(image.height()), 0);
        entries.push_back(std::move(dib));
    }
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i].width() & 0xFF));
        out.push_back(uint8_t(images[i].height() & 0xFF));
        out.insert(out.end(), {0, 0});
        put16(out, 1);
        put16(out, 32);
        put32(out, uint32_t(entries[i].size()));
        put32(out, offset);
        offset += uint32_t(entries[i].size());
    }
    for (const auto& entry : entries)
        out.insert(out.end(), entry.begin(), entry.end());
    writeBytes(file, out);
}

void writeCmykJpeg(const fs::path& file, const QImage& source) {
    const QImage image = rgb32(source);
    FILE* out = std::fopen(file.c_str(), "wb");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    // Adobe's inverted convention: 255 means no ink.
    std::vector<JSAMPLE> row(size_t(image.width()) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, int(cinfo.next_scanline));
            row[size_t(x) * 4 + 0] = JSAMPLE(qRed(p));
            row[size_t(x) * 4 + 1] = JSAMPLE(qGreen(p));
            row[size_t(x) * 4 + 2] = JSAMPLE(qBlue(p));
            row[size_t(x) * 4 + 3] = 255;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(out);
}

void writeJpegWithOrientation(const fs::path& file, const QImage& image, int orientation) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.write(image);
    // APP1 "Exif": a little-endian TIFF header and one IFD with the orientation.
    std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    put16(exif, 1);       // one entry
    put16(exif, 0x0112);  // orientation
    put16(exif, 3);       // SHORT
    put32(exif, 1);       // one value
    put16(exif, unsigned(orientation));
    put16(exif, 0);
    put32(exif, 0);  // no next IFD
    std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1};
    const unsigned length = unsigned(exif.size() + 2);
    out.push_back(uint8_t(length >> 8));
    out.push_back(uint8_t(length & 0xFF));
    out.insert(out.end(), exif.begin(), exif.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    writeBytes(file, out);
}

void writeTiff(const fs::path& file, const QImage& source, TiffLayout layout) {
    const QImage image = rgb32(source);
    TIFF* tiff = TIFFOpen(file.c_str(), "w");
    const uint32_t width = uint32_t(image.width());
    const uint32_t height = uint32_t(image.height());
    const bool cmyk = layout == TiffLayout::Cmyk;
    const uint16_t bits = layout == TiffLayout::Strips16 ? 16 : 8;
    const uint16_t samples = cmyk ? 4 : 3;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, cmyk ? PHOTOMETRIC_SEPARATED : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    // One sample of pixel (x, y) as stored: RGB, or CMYK with no black.
    auto sample = [&](uint32_t x, uint32_t y, int s) -> uint32_t {
        const QRgb p = image.pixel(int(std::min(x, width - 1)), int(std::min(y, height - 1)));
        const int rgb[3] = {qRed(p), qGreen(p), qBlue(p)};
        const int value8 = cmyk ? (s < 3 ? 255 - rgb[s] : 0) : rgb[s];
        return bits == 16 ? uint32_t(value8 * 257) : uint32_t(value8);
    };
    auto fill = [&](std::vector<uint8_t>& buffer, uint32_t x0, uint32_t y0, uint32_t w,
                    uint32_t h) {
        size_t at = 0;
        for (uint32_t y = y0; y < y0 + h; ++y) {
            for (uint32_t x = x0; x < x0 + w; ++x) {
                for (int s = 0; s < samples; ++s) {
                    const uint32_t v = sample(x, y, s);
                    if (bits == 16) {
                        const uint16_t v16 = uint16_t(v);
                        std::memcpy(&buffer[at], &v16, 2);  // native order, as libtiff expects
                        at += 2;
                    } else {
                        buffer[at++] = uint8_t(v);
                    }
                }
            }
        }
    };
    if (layout == TiffLayout::Tiles8) {
        constexpr uint32_t kTile = 16;
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, kTile);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, kTile);
        std::vector<uint8_t> tile(size_t(kTile) * kTile * samples);
        for (uint32_t y = 0; y < height; y += kTile) {
            for (uint32_t x = 0; x < width; x += kTile) {
                fill(tile, x, y, kTile, kTile);
                TIFFWriteTile(tiff, tile.data(), x, y, 0, 0);
            }
        }
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1u);
        std::vector<uint8_t> row(size_t(width) * samples * (bits / 8));
        for (uint32_t y = 0; y < height; ++y) {
            fill(row, 0, y, width, 1);
            TIFFWriteScanline(tiff, row.data(), y, 0);
        }
    }
    TIFFClose(tiff);
}

void writeJpeg2000(const fs::path& file, const QImage& source, Jpeg2000Kind kind, bool grey,
                   int resolutions) {
    const QImage image = rgb32(source);
    const int count = grey ? 1 : 3;
    opj_image_cmptparm_t parameters[3] = {};
    for (int c = 0; c < count; ++c) {
        parameters[c].dx = parameters[c].dy = 1;
        parameters[c].w = OPJ_UINT32(image.width());
        parameters[c].h = OPJ_UINT32(image.height());
        parameters[c].prec = 8;
        parameters[c].sgnd = 0;
    }
    opj_image_t* encoded =
        opj_image_create(OPJ_UINT32(count), parameters, grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB);
    encoded->x1 = OPJ_UINT32(image.width());
    encoded->y1 = OPJ_UINT32(image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const size_t at = size_t(y) * size_t(image.width()) + size_t(x);
            if (grey) {
                encoded->comps[0].data[at] = qGray(p);
            } else {
                encoded->comps[0].data[at] = qRed(p);
                encoded->comps[1].data[at] = qGreen(p);
                encoded->comps[2].data[at] = qBlue(p);
            }
        }
    }
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0;  // lossless
    settings.cp_disto_alloc = 1;
    settings.numresolution = resolutions;
    opj_codec_t* codec =
        opj_create_compress(kind == Jpeg2000Kind::Jp2File ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &settings, encoded);
    opj_stream_t* stream = opj_stream_create_default_file_stream(file.c_str(), OPJ_FALSE);
    const bool written = opj_start_compress(codec, encoded, stream) && opj_encode(codec, stream) &&
                         opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(encoded);
    if (!written) throw std::runtime_error("cannot write fixture " + file.string());
}

void writeRedWmf(const fs::path& file, int width, int height) {
    std::vector<uint8_t> records;
    auto record = [&](unsigned function, std::initializer_list<unsigned> words) {
        put32(records, uint32_t(3 + words.size()));
        put16(records, function);
        for (unsigned w : words)
            put16(records, w);
    };
    record(0x020B, {0, 0});                               // SetWindowOrg(0, 0)
    record(0x020C, {unsigned(height), unsigned(width)});  // SetWindowExt
    record(0x02FC, {0, 0x00FF, 0x0000, 0});               // CreateBrushIndirect: solid red
    record(0x012D, {0});                                  // SelectObject(brush)
    record(0x02FA, {5, 0, 0, 0, 0});                      // CreatePenIndirect: no pen
    record(0x012D, {1});                                  // SelectObject(pen)
    record(0x041B,
           {unsigned(height), unsigned(width), 0, 0});  // Rectangle(bottom, right, top, left)
    record(0x0000, {});                                 // end of file

    std::vector<uint8_t> out;
    std::vector<uint8_t> placeable;
    put32(placeable, 0x9AC6CDD7u);
    put16(placeable, 0);
    put16(placeable, 0);
    put16(placeable, 0);
    put16(placeable, unsigned(width));
    put16(placeable, unsigned(height));
    put16(placeable, 96);  // units per inch
    put32(placeable, 0);
    unsigned checksum = 0;
    for (size_t i = 0; i < placeable.size(); i += 2)
        checksum ^= placeable[i] | (placeable[i + 1] << 8);
    put16(placeable, checksum);
    out = placeable;
    put16(out, 1);       // on disk
    put16(out, 9);       // header words
    put16(out, 0x0300);  // version
    put32(out, uint32_t((18 + records.size()) / 2));
    put16(out, 2);  // objects
    put32(out, 8);  // largest record in words
    put16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    writeBytes(file, out);
}

}  // namespace velmora::test
