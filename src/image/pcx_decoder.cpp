#include "image/pcx_decoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "image/decode_limits.h"

namespace velmora {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 0x0A;  // ZSoft's mark in the first byte
constexpr size_t kHeaderPaletteOffset = 16;
constexpr int kHeaderPaletteColours = 16;
// A 256-colour picture may end with a marker byte and 256 RGB triples.
constexpr size_t kTrailingPaletteSize = 1 + 256 * 3;
constexpr uint8_t kTrailingPaletteMarker = 0x0C;
// A two-byte run expands to at most 63 bytes: the most a stream can hold.
constexpr uint64_t kMostBytesPerEncodedByte = 63;

const char* const kTruncated = "the file ends before the picture data is complete";

using Palette = std::array<QRgb, 256>;

struct PcxHeader {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // in each plane
    int planes = 0;
    size_t bytesPerLine = 0;  // of each plane, padding included
    bool runLengthEncoded = false;
};

bool fail(std::string* reason, std::string text) {
    if (reason != nullptr) *reason = std::move(text);
    return false;
}

QImage failImage(std::string* reason, std::string text) {
    fail(reason, std::move(text));
    return {};
}

int littleEndian16(std::span<const uint8_t> bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

bool isSupportedDepth(int bitsPerPixel, int planes) {
    if (planes == 1)
        return bitsPerPixel == 1 || bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8;
    if (planes == 4 && bitsPerPixel == 1) return true;  // 16-colour EGA picture
    return bitsPerPixel == 8 && (planes == 3 || planes == 4);
}

std::string countOf(int count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

bool readHeader(std::span<const uint8_t> head, PcxHeader* header, std::string* reason) {
    if (head.empty() || head[0] != kManufacturer)
        return fail(reason, "not a PCX file (bad header)");
    if (head.size() < kHeaderSize) return fail(reason, "the file ends inside the PCX header");
    const int version = head[1];
    const int encoding = head[2];
    if ((version != 0 && (version < 2 || version > 5)) || encoding > 1)
        return fail(reason, "not a PCX file (bad header)");

    header->bitsPerPixel = head[3];
    header->planes = head[65];
    if (!isSupportedDepth(header->bitsPerPixel, header->planes)) {
        return fail(reason, "unsupported PCX colour depth: " + countOf(header->planes, "plane") +
                                " of " + countOf(header->bitsPerPixel, "bit"));
    }

    // The window is inclusive at both ends.
    const int xMin = littleEndian16(head, 4);
    const int yMin = littleEndian16(head, 6);
    const int xMax = littleEndian16(head, 8);
    const int yMax = littleEndian16(head, 10);
    const std::string tooLarge = checkPictureSize(xMax - xMin + 1, yMax - yMin + 1);
    if (!tooLarge.empty()) return fail(reason, tooLarge);
    header->width = xMax - xMin + 1;
    header->height = yMax - yMin + 1;

    header->bytesPerLine = static_cast<size_t>(littleEndian16(head, 66));
    const size_t bitsNeeded = static_cast<size_t>(header->width) * header->bitsPerPixel;
    if (header->bytesPerLine * 8 < bitsNeeded) {
        return fail(reason, "the PCX scan lines are too short for the picture width (" +
                                std::to_string(header->bytesPerLine) + " bytes for " +
                                std::to_string(header->width) + " pixels)");
    }
    header->runLengthEncoded = encoding == 1;
    return true;
}

// Reads the picture stream one scan line (all planes) at a time. A run may
// carry on from one scan line into the next, so the run survives between calls.
class ScanLineReader {
  public:
    ScanLineReader(std::span<const uint8_t> stream, bool runLengthEncoded)
        : stream_(stream), runLengthEncoded_(runLengthEncoded) {}

    // Fills the whole line; false when the stream ends first.
    bool read(std::span<uint8_t> line) {
        if (!runLengthEncoded_) return copy(line);
        size_t filled = 0;
        while (filled < line.size()) {
            if (runLeft_ > 0) {
                const size_t count = std::min(runLeft_, line.size() - filled);
                std::fill_n(line.begin() + static_cast<ptrdiff_t>(filled), count, runValue_);
                filled += count;
                runLeft_ -= count;
                continue;
            }
            if (next_ >= stream_.size()) return false;
            const uint8_t byte = stream_[next_++];
            if ((byte & 0xC0) != 0xC0) {
                line[filled++] = byte;
                continue;
            }
            if (next_ >= stream_.size()) return false;
            runLeft_ = byte & 0x3F;
            runValue_ = stream_[next_++];
        }
        return true;
    }

  private:
    bool copy(std::span<uint8_t> line) {
        if (stream_.size() - next_ < line.size()) return false;
        std::copy_n(stream_.begin() + static_cast<ptrdiff_t>(next_), line.size(), line.begin());
        next_ += line.size();
        return true;
    }

    std::span<const uint8_t> stream_;
    bool runLengthEncoded_;
    size_t next_ = 0;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

Palette headerPalette(std::span<const uint8_t> head) {
    Palette palette{};
    palette.fill(qRgb(0, 0, 0));
    for (int i = 0; i < kHeaderPaletteColours; ++i) {
        const size_t at = kHeaderPaletteOffset + static_cast<size_t>(i) * 3;
        palette[static_cast<size_t>(i)] = qRgb(head[at], head[at + 1], head[at + 2]);
    }
    return palette;
}

// The colours of an 8-bit picture: the palette after the marker byte at the
// end of the file, or a gray ramp when the file has none.
Palette eightBitPalette(std::span<const uint8_t> data) {
    Palette palette{};
    const bool hasTrailingPalette =
        data.size() >= kHeaderSize + kTrailingPaletteSize &&
        data[data.size() - kTrailingPaletteSize] == kTrailingPaletteMarker;
    if (!hasTrailingPalette) {
        for (size_t i = 0; i < palette.size(); ++i) {
            const int level = static_cast<int>(i);
            palette[i] = qRgb(level, level, level);
        }
        return palette;
    }
    const std::span<const uint8_t> colours = data.last(kTrailingPaletteSize - 1);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = qRgb(colours[i * 3], colours[i * 3 + 1], colours[i * 3 + 2]);
    return palette;
}

Palette paletteFor(const PcxHeader& header, std::span<const uint8_t> data) {
    if (header.planes == 1 && header.bitsPerPixel == 8) return eightBitPalette(data);
    Palette palette = headerPalette(data);
    // Many black-and-white pictures leave the header palette blank.
    if (header.planes == 1 && header.bitsPerPixel == 1 && palette[0] == qRgb(0, 0, 0) &&
        palette[1] == qRgb(0, 0, 0)) {
        palette[1] = qRgb(255, 255, 255);
    }
    return palette;
}

// The colour index of pixel x in one plane that packs `bits` bits a pixel,
// the leftmost pixel in the high bits.
unsigned packedIndex(const uint8_t* plane, int x, int bits) {
    const int bitOffset = x * bits;
    const int shift = 8 - bits - bitOffset % 8;
    return (plane[bitOffset / 8] >> shift) & ((1u << bits) - 1);
}

void convertLine(const PcxHeader& header, const uint8_t* line, const Palette& palette, QRgb* out) {
    const size_t plane = header.bytesPerLine;
    if (header.planes == 1) {
        for (int x = 0; x < header.width; ++x)
            out[x] = palette[packedIndex(line, x, header.bitsPerPixel)];
    } else if (header.bitsPerPixel == 1) {
        // Four planes each give one bit of the colour index, the first the lowest.
        for (int x = 0; x < header.width; ++x) {
            unsigned index = 0;
            for (unsigned p = 0; p < 4; ++p)
                index |= packedIndex(line + p * plane, x, 1) << p;
            out[x] = palette[index];
        }
    } else {
        // Red, green and blue planes; a fourth (alpha) plane is ignored.
        for (int x = 0; x < header.width; ++x) {
            const size_t at = static_cast<size_t>(x);
            out[x] = qRgb(line[at], line[plane + at], line[2 * plane + at]);
        }
    }
}

}  // namespace

QSize pcxSize(std::span<const uint8_t> head, std::string* reason) {
    PcxHeader header;
    if (!readHeader(head, &header, reason)) return {};
    return {header.width, header.height};
}

QImage decodePcx(std::span<const uint8_t> data, std::string* reason) {
    PcxHeader header;
    if (!readHeader(data, &header, reason)) return {};

    const std::span<const uint8_t> stream = data.subspan(kHeaderSize);
    const size_t lineSize = header.bytesPerLine * static_cast<size_t>(header.planes);
    // Refuse a stream too short for the picture before allocating its pixels.
    const uint64_t streamSize = static_cast<uint64_t>(lineSize) * header.height;
    const uint64_t mostDecodable =
        header.runLengthEncoded ? stream.size() * kMostBytesPerEncodedByte : stream.size();
    if (streamSize > mostDecodable) return failImage(reason, kTruncated);

    const Palette palette = paletteFor(header, data);
    QImage image(header.width, header.height, QImage::Format_RGB32);
    if (image.isNull()) return failImage(reason, "not enough memory for the picture");

    std::vector<uint8_t> line(lineSize);
    ScanLineReader reader(stream, header.runLengthEncoded);
    for (int y = 0; y < header.height; ++y) {
        if (!reader.read(line)) return failImage(reason, kTruncated);
        convertLine(header, line.data(), palette, reinterpret_cast<QRgb*>(image.scanLine(y)));
    }
    return image;
}

}  // namespace velmora
