// The PCX, Sun raster and PGX decoders, fed small files built byte by byte.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "image/pcx_decoder.h"
#include "image/pgx_decoder.h"
#include "image/ras_decoder.h"

namespace velmora {
namespace {

using Bytes = std::vector<uint8_t>;

void append(Bytes* bytes, std::initializer_list<int> values) {
    for (int v : values)
        bytes->push_back(static_cast<uint8_t>(v));
}

void appendText(Bytes* bytes, const std::string& text) {
    bytes->insert(bytes->end(), text.begin(), text.end());
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes withoutLast(Bytes bytes, size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

QRgb gray(int level) {
    return qRgb(level, level, level);
}

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

std::vector<QRgb> pixelsOf(const QImage& image) {
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    }
    return pixels;
}

// A decodable file of a 3 × 2 picture and the pixels it holds, row by row.
struct PictureCase {
    const char* name;
    Bytes file;
    std::vector<QRgb> pixels;
};

// A file that must be refused, and words the reason must contain.
struct RefusalCase {
    const char* name;
    Bytes file;
    const char* reasonPart;
};

template <typename Decode, typename ReadSize>
void expectDecodes(const std::vector<PictureCase>& cases, Decode decode, ReadSize readSize,
                   size_t headerSize) {
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        const QImage image = decode(c.file, &reason);
        ASSERT_FALSE(image.isNull()) << reason;
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.size(), QSize(3, 2));
        EXPECT_EQ(pixelsOf(image), c.pixels);
        const size_t headLength = std::min(headerSize, c.file.size());
        const Bytes head(c.file.begin(), c.file.begin() + static_cast<ptrdiff_t>(headLength));
        EXPECT_EQ(readSize(head, &reason), image.size());
    }
}

template <typename Decode>
void expectRefusals(const std::vector<RefusalCase>& cases, Decode decode) {
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        EXPECT_TRUE(decode(c.file, &reason).isNull());
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
    }
}

// ---------------------------------------------------------------- PCX

Bytes pcxHeader(int width, int height, int bitsPerPixel, int planes, int bytesPerLine,
                int encoding = 1) {
    Bytes header(128, 0);
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = static_cast<uint8_t>(encoding);
    header[3] = static_cast<uint8_t>(bitsPerPixel);
    // The window is inclusive; start it away from 0 so only the difference counts.
    const int xMin = 10;
    const int yMin = 20;
    const int xMax = xMin + width - 1;
    const int yMax = yMin + height - 1;
    header[4] = xMin;
    header[6] = yMin;
    header[8] = static_cast<uint8_t>(xMax & 0xFF);
    header[9] = static_cast<uint8_t>(xMax >> 8);
    header[10] = static_cast<uint8_t>(yMax & 0xFF);
    header[11] = static_cast<uint8_t>(yMax >> 8);
    header[65] = static_cast<uint8_t>(planes);
    header[66] = static_cast<uint8_t>(bytesPerLine & 0xFF);
    header[67] = static_cast<uint8_t>(bytesPerLine >> 8);
    return header;
}

// Header palette entry i becomes (16 i, 255 - 16 i, i).
Bytes withHeaderPalette(Bytes header) {
    for (int i = 0; i < 16; ++i) {
        header[16 + i * 3] = static_cast<uint8_t>(16 * i);
        header[16 + i * 3 + 1] = static_cast<uint8_t>(255 - 16 * i);
        header[16 + i * 3 + 2] = static_cast<uint8_t>(i);
    }
    return header;
}

QRgb headerColour(int i) {
    return qRgb(16 * i, 255 - 16 * i, i);
}

// The 256-colour palette at the end of a file: entry i is (i, 0, 255 - i).
Bytes trailingPalette() {
    Bytes palette{0x0C};
    for (int i = 0; i < 256; ++i)
        append(&palette, {i, 0, 255 - i});
    return palette;
}

Bytes pcx(Bytes header, std::initializer_list<int> stream) {
    append(&header, stream);
    return header;
}

std::vector<PictureCase> pcxPictures() {
    return {
        // Two bytes a line, the second only padding; 0xFF must be a run of one.
        {"1 bit, blank palette: black and white",
         pcx(pcxHeader(3, 2, 1, 1, 2), {0xA0, 0x00, 0x40, 0xC1, 0xFF}),
         {kWhite, kBlack, kWhite, kBlack, kWhite, kBlack}},
        {"1 bit, header palette",
         pcx(withHeaderPalette(pcxHeader(3, 2, 1, 1, 2)), {0xA0, 0x00, 0x40, 0x00}),
         {headerColour(1), headerColour(0), headerColour(1), headerColour(0), headerColour(1),
          headerColour(0)}},
        // Uncompressed. Each line holds planes 0 to 3 (bit 0 to bit 3 of the index).
        // Indices 0 5 15 / 10 3 8.
        {"1 bit x 4 planes",
         pcx(withHeaderPalette(pcxHeader(3, 2, 1, 4, 1, 0)),
             {0x60, 0x20, 0x60, 0x20, 0x40, 0xC0, 0x00, 0xA0}),
         {headerColour(0), headerColour(5), headerColour(15), headerColour(10), headerColour(3),
          headerColour(8)}},
        // Indices 1 2 3 / 3 0 1.
        {"2 bits",
         pcx(withHeaderPalette(pcxHeader(3, 2, 2, 1, 1)), {0x6C, 0xC1, 0xC4}),
         {headerColour(1), headerColour(2), headerColour(3), headerColour(3), headerColour(0),
          headerColour(1)}},
        // Indices 15 1 9 / 2 12 7.
        {"4 bits",
         pcx(withHeaderPalette(pcxHeader(3, 2, 4, 1, 2)), {0xC1, 0xF1, 0x90, 0x2C, 0x70}),
         {headerColour(15), headerColour(1), headerColour(9), headerColour(2), headerColour(12),
          headerColour(7)}},
        {"8 bits with the 256-colour palette",
         concat(pcx(pcxHeader(3, 2, 8, 1, 4), {0, 1, 0xC1, 200, 0, 0xC1, 255, 2, 1, 0}),
                trailingPalette()),
         {qRgb(0, 0, 255), qRgb(1, 0, 254), qRgb(200, 0, 55), qRgb(255, 0, 0), qRgb(2, 0, 253),
          qRgb(1, 0, 254)}},
        {"8 bits without a palette: gray",
         pcx(pcxHeader(3, 2, 8, 1, 4), {0, 1, 0xC1, 200, 0, 0xC1, 255, 2, 1, 0}),
         {gray(0), gray(1), gray(200), gray(255), gray(2), gray(1)}},
        // Runs carry on into the next line: 1 2 7 | 7 / 7 7 9 | 0.
        {"8 bits, a run across lines",
         pcx(pcxHeader(3, 2, 8, 1, 4), {1, 2, 0xC4, 7, 9, 0}),
         {gray(1), gray(2), gray(7), gray(7), gray(7), gray(9)}},
        // Each line: red, green, blue planes of four bytes (one of padding).
        {"24 bits",
         pcx(pcxHeader(3, 2, 8, 3, 4), {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0,  //
                                        0xC3, 1, 0, 0xC4, 2, 0xC4, 3}),
         {qRgb(10, 40, 70), qRgb(20, 50, 80), qRgb(30, 60, 90), qRgb(1, 2, 3), qRgb(1, 2, 3),
          qRgb(1, 2, 3)}},
        {"32 bits, alpha ignored",
         pcx(pcxHeader(3, 2, 8, 4, 3), {10,   20, 30,   40, 50,   60, 70,   80, 90, 0, 0x80, 0,  //
                                        0xC3, 1,  0xC3, 2,  0xC3, 3,  0xC3, 0}),
         {qRgb(10, 40, 70), qRgb(20, 50, 80), qRgb(30, 60, 90), qRgb(1, 2, 3), qRgb(1, 2, 3),
          qRgb(1, 2, 3)}},
    };
}

TEST(PcxDecoder, DecodesEachDepth) {
    expectDecodes(pcxPictures(), decodePcx, pcxSize, 128);
}

TEST(PcxDecoder, RefusesBrokenFiles) {
    const Bytes valid = pcx(pcxHeader(3, 2, 8, 1, 4), {0, 1, 0xC1, 200, 0, 0xC1, 255, 2, 1, 0});
    Bytes badMark = valid;
    badMark[0] = 0x0B;
    Bytes badEncoding = valid;
    badEncoding[2] = 2;
    const std::vector<RefusalCase> cases = {
        {"empty", {}, "not a PCX file"},
        {"header cut short", withoutLast(pcxHeader(3, 2, 8, 1, 4), 60),
         "ends inside the PCX header"},
        {"not ZSoft's mark", badMark, "not a PCX file"},
        {"unknown encoding", badEncoding, "not a PCX file"},
        {"2 planes of 4 bits", pcx(pcxHeader(3, 2, 4, 2, 2), {0, 0, 0, 0, 0, 0, 0, 0}),
         "unsupported PCX colour depth: 2 planes of 4 bits"},
        {"1 plane of 3 bits", pcx(pcxHeader(3, 2, 3, 1, 2), {0, 0, 0, 0}),
         "unsupported PCX colour depth: 1 plane of 3 bits"},
        {"empty window", pcx(pcxHeader(0, 2, 8, 1, 4), {0, 0, 0, 0}), "no pixels"},
        {"20000 x 20000", pcx(pcxHeader(20000, 20000, 1, 1, 2500), {0xC1, 0}), "too large"},
        {"scan lines too short", pcx(pcxHeader(17, 2, 1, 1, 2), {0, 0, 0, 0, 0, 0}),
         "too short for the picture width"},
        {"24-bit scan lines too short", pcx(pcxHeader(5, 1, 8, 3, 4), {0, 0, 0, 0, 0, 0}),
         "too short for the picture width"},
        {"data cut short", withoutLast(valid, 1), "ends before the picture data is complete"},
        {"uncompressed data cut short", pcx(pcxHeader(3, 2, 8, 1, 4, 0), {1, 2, 3, 4, 5, 6, 7}),
         "ends before the picture data is complete"},
        {"run count without its byte", pcx(pcxHeader(3, 2, 8, 1, 4), {0, 1, 2, 3, 0xC4}),
         "ends before the picture data is complete"},
        {"large picture, a few bytes", pcx(pcxHeader(10000, 10000, 8, 1, 10000), {0xFF, 1, 2}),
         "ends before the picture data is complete"},
    };
    expectRefusals(cases, decodePcx);
    std::string reason;
    EXPECT_FALSE(pcxSize(pcxHeader(20000, 20000, 1, 1, 2500), &reason).isValid());
    EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
}

// ---------------------------------------------------------------- Sun raster

void appendBigEndian32(Bytes* bytes, uint32_t value) {
    append(bytes, {static_cast<int>(value >> 24), static_cast<int>(value >> 16 & 0xFF),
                   static_cast<int>(value >> 8 & 0xFF), static_cast<int>(value & 0xFF)});
}

Bytes rasHeader(uint32_t width, uint32_t height, uint32_t depth, uint32_t type = 1,
                uint32_t mapType = 0, uint32_t mapLength = 0) {
    Bytes header;
    for (uint32_t field : {0x59A66A95u, width, height, depth, 0u, type, mapType, mapLength})
        appendBigEndian32(&header, field);
    return header;
}

Bytes ras(Bytes header, std::initializer_list<int> rest) {
    append(&header, rest);
    return header;
}

std::vector<PictureCase> rasPictures() {
    // Map of three colours: reds, then greens, then blues.
    const std::initializer_list<int> threeColours = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    Bytes mapped8 = rasHeader(3, 2, 8, 1, 1, 9);
    append(&mapped8, threeColours);
    return {
        // Rows padded to 16 bits.
        {"1 bit: 1 is black",
         ras(rasHeader(3, 2, 1), {0xA0, 0x00, 0x40, 0xFF}),
         {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
        {"1 bit with a map",
         ras(rasHeader(3, 2, 1, 1, 1, 6), {10, 20, 30, 40, 50, 60, 0xA0, 0x00, 0x40, 0x00}),
         {qRgb(20, 40, 60), qRgb(10, 30, 50), qRgb(20, 40, 60), qRgb(10, 30, 50), qRgb(20, 40, 60),
          qRgb(10, 30, 50)}},
        {"8 bits: gray",
         ras(rasHeader(3, 2, 8), {0, 128, 255, 9, 1, 2, 3, 9}),
         {gray(0), gray(128), gray(255), gray(1), gray(2), gray(3)}},
        {"8 bits with a map, index past its end",
         concat(mapped8, {0, 1, 2, 0, 0, 3, 255, 0}),
         {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 0), kBlack, kBlack}},
        {"8 bits, raw map skipped",
         ras(rasHeader(3, 2, 8, 1, 2, 3), {7, 7, 7, 0, 128, 255, 9, 1, 2, 3, 9}),
         {gray(0), gray(128), gray(255), gray(1), gray(2), gray(3)}},
        {"old type, 24 bits B G R",
         ras(rasHeader(3, 2, 24, 0),
             {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 30, 20, 10, 60, 50, 40, 90, 80, 70, 0}),
         {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9), qRgb(10, 20, 30), qRgb(40, 50, 60),
          qRgb(70, 80, 90)}},
        {"24 bits, RGB type",
         ras(rasHeader(3, 2, 24, 3),
             {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 0}),
         {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9), qRgb(10, 20, 30), qRgb(40, 50, 60),
          qRgb(70, 80, 90)}},
        {"32 bits X B G R",
         ras(rasHeader(3, 2, 32),
             {0, 3, 2, 1, 0, 6, 5, 4, 0x80, 9, 8, 7, 0, 30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70}),
         {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9), qRgb(10, 20, 30), qRgb(40, 50, 60),
          qRgb(70, 80, 90)}},
        {"32 bits, RGB type",
         ras(rasHeader(3, 2, 32, 3),
             {0, 1, 2, 3, 0, 4, 5, 6, 0x80, 7, 8, 9, 0, 10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90}),
         {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9), qRgb(10, 20, 30), qRgb(40, 50, 60),
          qRgb(70, 80, 90)}},
        // 0x80 0x00 is one 0x80; 0x80 3 5 is four fives, crossing into the second row.
        // Rows: 0x80 5 5 | 5 / 5 7 0x80 | 0.
        {"byte-encoded 8 bits",
         ras(rasHeader(3, 2, 8, 2), {0x80, 0x00, 0x80, 3, 5, 7, 0x80, 0x00, 0}),
         {gray(128), gray(5), gray(5), gray(5), gray(7), gray(128)}},
    };
}

TEST(SunRasterDecoder, DecodesEachDepth) {
    expectDecodes(rasPictures(), decodeSunRaster, sunRasterSize, 32);
}

TEST(SunRasterDecoder, RefusesBrokenFiles) {
    const Bytes valid = ras(rasHeader(3, 2, 8), {0, 128, 255, 9, 1, 2, 3, 9});
    Bytes badMagic = valid;
    badMagic[0] = 0x95;
    const std::vector<RefusalCase> cases = {
        {"empty", {}, "not a Sun raster file"},
        {"bad magic number", badMagic, "not a Sun raster file"},
        {"header cut short", withoutLast(rasHeader(3, 2, 8), 1),
         "ends inside the Sun raster header"},
        {"4 bits", ras(rasHeader(3, 2, 4), {0, 0, 0, 0}), "unsupported Sun raster colour depth: 4"},
        {"TIFF type", ras(rasHeader(3, 2, 8, 4), {0, 0, 0, 0, 0, 0, 0, 0}),
         "unsupported Sun raster type: 4"},
        {"unknown map type", ras(rasHeader(3, 2, 8, 1, 3), {0, 0, 0, 0, 0, 0, 0, 0}),
         "colour map type: 3"},
        {"no width", ras(rasHeader(0, 2, 8), {}), "no pixels"},
        {"70000 x 70000", ras(rasHeader(70000, 70000, 1), {0}), "too large"},
        {"width past 32 bits signed", ras(rasHeader(0x80000001u, 1, 8), {0}), "too large"},
        {"map longer than the file", ras(rasHeader(3, 2, 8, 1, 1, 0xFFFFFFFFu), {1, 2, 3}),
         "ends inside the Sun raster colour map"},
        {"pixel data cut short", withoutLast(valid, 1), "ends before the picture data is complete"},
        {"run flag at the end", ras(rasHeader(3, 2, 8, 2), {1, 2, 3, 4, 5, 0x80}),
         "ends before the picture data is complete"},
        {"run without its value", ras(rasHeader(3, 2, 8, 2), {1, 2, 3, 4, 0x80, 2}),
         "ends before the picture data is complete"},
        {"runs end before the picture", ras(rasHeader(3, 2, 8, 2), {0x80, 5, 1}),
         "ends before the picture data is complete"},
        {"large picture, a few bytes", ras(rasHeader(10000, 10000, 32, 2), {0x80, 0xFF, 1}),
         "ends before the picture data is complete"},
    };
    expectRefusals(cases, decodeSunRaster);
}

// ---------------------------------------------------------------- PGX

Bytes pgx(const std::string& header, std::initializer_list<int> samples) {
    Bytes file;
    appendText(&file, header);
    append(&file, samples);
    return file;
}

std::vector<PictureCase> pgxPictures() {
    return {
        {"8 bits unsigned",
         pgx("PG ML + 8 3 2\n", {0, 1, 127, 128, 254, 255}),
         {gray(0), gray(1), gray(127), gray(128), gray(254), gray(255)}},
        // The first sample is a newline byte: only one newline ends the header.
        {"no sign, first sample 10",
         pgx("PG LM 8 3 2\n", {10, 10, 13, 32, 9, 0}),
         {gray(10), gray(10), gray(13), gray(32), gray(9), gray(0)}},
        {"1 bit",
         pgx("PG ML +1 3 2\n", {0, 1, 1, 0, 1, 0}),
         {gray(0), gray(255), gray(255), gray(0), gray(255), gray(0)}},
        // 4 bits: 15 steps of 17; 0xFF is out of range and stops at white.
        {"4 bits",
         pgx("PG ML 4 3 2\n", {0, 1, 7, 8, 15, 0xFF}),
         {gray(0), gray(17), gray(119), gray(136), gray(255), gray(255)}},
        // 12 bits: 2048 × 255 / 4095 = 127.53.
        {"12 bits big-endian",
         pgx("PG ML + 12 3 2\n", {0, 0, 0x0F, 0xFF, 0x08, 0x00, 0, 1, 0, 16, 0x10, 0}),
         {gray(0), gray(255), gray(128), gray(0), gray(1), gray(255)}},
        {"12 bits little-endian, blanks and tabs",
         pgx("PG\t LM+12  3\t2 \n", {0, 0, 0xFF, 0x0F, 0x00, 0x08, 1, 0, 16, 0, 0, 0x10}),
         {gray(0), gray(255), gray(128), gray(0), gray(1), gray(255)}},
        // Signed: -128 .. 127 shifted to 0 .. 255.
        {"8 bits signed",
         pgx("PG ML - 8 3 2\n", {0x80, 0xFF, 0x00, 0x7F, 0x01, 0x81}),
         {gray(0), gray(127), gray(128), gray(255), gray(129), gray(1)}},
        {"16 bits signed little-endian",
         pgx("PG LM -16 3 2\n",
             {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00, 0xFF, 0xFF, 0x80, 0x00, 0x7F, 0xFF}),
         {gray(0), gray(255), gray(128), gray(127), gray(128), gray(127)}},
        // Signed 4 bits: -8 .. 7 shifted to 0 .. 15; -128 is below the range.
        {"4 bits signed",
         pgx("PG ML -4 3 2\n", {0xF8, 0x07, 0x00, 0xFF, 0x80, 0x7F}),
         {gray(0), gray(255), gray(136), gray(119), gray(0), gray(255)}},
    };
}

TEST(PgxDecoder, DecodesEachDepth) {
    expectDecodes(pgxPictures(), decodePgx, pgxSize, 64);
}

TEST(PgxDecoder, RefusesBrokenFiles) {
    const std::vector<RefusalCase> cases = {
        {"empty", {}, "not a PGX file"},
        {"a PGM file", pgx("P5 3 2 255\n", {0, 0, 0, 0, 0, 0}), "not a PGX file"},
        {"no blank after PG", pgx("PGML 8 3 2\n", {0, 0, 0, 0, 0, 0}), "not a PGX file"},
        {"unknown byte order", pgx("PG MM 8 3 2\n", {0, 0, 0, 0, 0, 0}), "not a PGX file"},
        {"no height", pgx("PG ML 8 3\n", {0, 0, 0, 0, 0, 0}), "not a PGX file"},
        {"no newline", pgx("PG ML 8 3 2", {}), "not a PGX file"},
        {"sample on the header line", pgx("PG ML 8 3 2 x\n", {0, 0, 0, 0, 0, 0}), "not a PGX file"},
        {"depth 0", pgx("PG ML 0 3 2\n", {0, 0, 0, 0, 0, 0}), "unsupported PGX bit depth: 0"},
        {"depth 17", pgx("PG ML 17 3 2\n", {}), "unsupported PGX bit depth: 17"},
        {"no width", pgx("PG ML 8 0 2\n", {}), "no pixels"},
        {"20000 x 20000", pgx("PG ML 8 20000 20000\n", {0}), "too large"},
        {"70000 x 70000", pgx("PG ML 8 70000 70000\n", {0}), "too large"},
        {"twenty-digit width", pgx("PG ML 8 99999999999999999999 2\n", {0}), "too large"},
        {"samples cut short", pgx("PG ML 8 3 2\n", {0, 0, 0, 0, 0}),
         "ends before the picture data is complete"},
        {"16-bit samples cut short", pgx("PG ML 16 3 2\n", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         "ends before the picture data is complete"},
    };
    expectRefusals(cases, decodePgx);
}

}  // namespace
}  // namespace velmora
