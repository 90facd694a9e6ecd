#include "image/ras_decoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "image/decode_limits.h"

namespace velmora {

namespace {

constexpr uint32_t kMagic = 0x59A66A95;
constexpr size_t kHeaderSize = 32;

// Values of the type field.
constexpr uint32_t kTypeByteEncoded = 2;
constexpr uint32_t kTypeRgb = 3;  // true colour stored R, G, B instead of B, G, R
// Values of the colour map type field.
constexpr uint32_t kMapRgb = 1;
constexpr uint32_t kMapRaw = 2;

// In byte-encoded data this byte starts a run or stands for itself.
constexpr uint8_t kRunFlag = 0x80;
// A three-byte run expands to at most 256 bytes: the most a stream can hold.
constexpr uint64_t kMostBytesPerEncodedByte = 86;

const char* const kTruncated = "the file ends before the picture data is complete";

using Palette = std::array<QRgb, 256>;

struct RasHeader {
    int width = 0;
    int height = 0;
    int depth = 0;
    uint32_t type = 0;
    uint32_t mapType = 0;
    uint32_t mapLength = 0;  // bytes between the header and the pixels
};

bool fail(std::string* reason, std::string text) {
    if (reason != nullptr) *reason = std::move(text);
    return false;
}

QImage failImage(std::string* reason, std::string text) {
    fail(reason, std::move(text));
    return {};
}

uint32_t bigEndian32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) << 24 |
           static_cast<uint32_t>(bytes[offset + 1]) << 16 |
           static_cast<uint32_t>(bytes[offset + 2]) << 8 | bytes[offset + 3];
}

bool readHeader(std::span<const uint8_t> head, RasHeader* header, std::string* reason) {
    if (head.size() < 4 || bigEndian32(head, 0) != kMagic)
        return fail(reason, "not a Sun raster file (bad magic number)");
    if (head.size() < kHeaderSize)
        return fail(reason, "the file ends inside the Sun raster header");

    const uint32_t depth = bigEndian32(head, 12);
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32)
        return fail(reason, "unsupported Sun raster colour depth: " + std::to_string(depth));
    header->type = bigEndian32(head, 20);
    if (header->type > kTypeRgb)
        return fail(reason, "unsupported Sun raster type: " + std::to_string(header->type));
    header->mapType = bigEndian32(head, 24);
    if (header->mapType > kMapRaw) {
        return fail(reason,
                    "unsupported Sun raster colour map type: " + std::to_string(header->mapType));
    }

    const uint32_t width = bigEndian32(head, 4);
    const uint32_t height = bigEndian32(head, 8);
    const std::string tooLarge = checkPictureSize(width, height);
    if (!tooLarge.empty()) return fail(reason, tooLarge);
    header->width = static_cast<int>(width);
    header->height = static_cast<int>(height);
    header->depth = static_cast<int>(depth);
    header->mapLength = bigEndian32(head, 28);
    return true;
}

// Reads the pixel rows one at a time. A run may carry on from one row into
// the next, so the run survives between calls.
class RowReader {
  public:
    RowReader(std::span<const uint8_t> stream, bool byteEncoded)
        : stream_(stream), byteEncoded_(byteEncoded) {}

    // Fills the whole row; false when the stream ends first.
    bool read(std::span<uint8_t> row) {
        if (!byteEncoded_) return copy(row);
        size_t filled = 0;
        while (filled < row.size()) {
            if (runLeft_ > 0) {
                const size_t count = std::min(runLeft_, row.size() - filled);
                std::fill_n(row.begin() + static_cast<ptrdiff_t>(filled), count, runValue_);
                filled += count;
                runLeft_ -= count;
                continue;
            }
            if (next_ >= stream_.size()) return false;
            const uint8_t byte = stream_[next_++];
            if (byte != kRunFlag) {
                row[filled++] = byte;
                continue;
            }
            // 0x80 0x00 is a single 0x80; 0x80 n v is n + 1 copies of v.
            if (next_ >= stream_.size()) return false;
            const uint8_t count = stream_[next_++];
            if (count == 0) {
                row[filled++] = kRunFlag;
                continue;
            }
            if (next_ >= stream_.size()) return false;
            runValue_ = stream_[next_++];
            runLeft_ = static_cast<size_t>(count) + 1;
        }
        return true;
    }

  private:
    bool copy(std::span<uint8_t> row) {
        if (stream_.size() - next_ < row.size()) return false;
        std::copy_n(stream_.begin() + static_cast<ptrdiff_t>(next_), row.size(), row.begin());
        next_ += row.size();
        return true;
    }

    std::span<const uint8_t> stream_;
    bool byteEncoded_;
    size_t next_ = 0;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

// The colours of a 1- or 8-bit picture. The map stores all reds, then all
// greens, then all blues; indices past its end are black.
Palette paletteFor(const RasHeader& header, std::span<const uint8_t> map) {
    Palette palette{};
    const size_t mapColours = header.mapType == kMapRgb ? map.size() / 3 : 0;
    if (mapColours == 0) {
        if (header.depth == 1) {
            palette[0] = qRgb(255, 255, 255);
            palette[1] = qRgb(0, 0, 0);
        } else {
            for (size_t i = 0; i < palette.size(); ++i) {
                const int level = static_cast<int>(i);
                palette[i] = qRgb(level, level, level);
            }
        }
        return palette;
    }
    palette.fill(qRgb(0, 0, 0));
    const size_t used = std::min(mapColours, palette.size());
    for (size_t i = 0; i < used; ++i)
        palette[i] = qRgb(map[i], map[mapColours + i], map[2 * mapColours + i]);
    return palette;
}

void convertRow(const RasHeader& header, const uint8_t* row, const Palette& palette, QRgb* out) {
    const bool rgbOrder = header.type == kTypeRgb;
    switch (header.depth) {
        case 1:
            for (int x = 0; x < header.width; ++x)
                out[x] = palette[(row[x / 8] >> (7 - x % 8)) & 1];
            break;
        case 8:
            for (int x = 0; x < header.width; ++x)
                out[x] = palette[row[x]];
            break;
        default: {
            // 24 bits: B, G, R; 32 bits: a pad or alpha byte first, then B, G, R.
            const size_t bytesPerPixel = static_cast<size_t>(header.depth) / 8;
            const size_t skip = bytesPerPixel - 3;
            for (int x = 0; x < header.width; ++x) {
                const uint8_t* p = row + static_cast<size_t>(x) * bytesPerPixel + skip;
                out[x] = rgbOrder ? qRgb(p[0], p[1], p[2]) : qRgb(p[2], p[1], p[0]);
            }
            break;
        }
    }
}

}  // namespace

QSize sunRasterSize(std::span<const uint8_t> head, std::string* reason) {
    RasHeader header;
    if (!readHeader(head, &header, reason)) return {};
    return {header.width, header.height};
}

QImage decodeSunRaster(std::span<const uint8_t> data, std::string* reason) {
    RasHeader header;
    if (!readHeader(data, &header, reason)) return {};
    if (data.size() - kHeaderSize < header.mapLength)
        return failImage(reason, "the file ends inside the Sun raster colour map");
    const std::span<const uint8_t> map = data.subspan(kHeaderSize, header.mapLength);
    const std::span<const uint8_t> stream = data.subspan(kHeaderSize + header.mapLength);

    // Rows are padded to a multiple of 16 bits.
    const size_t rowSize = (static_cast<size_t>(header.width) * header.depth + 15) / 16 * 2;
    // Refuse a stream too short for the picture before allocating its pixels.
    const bool byteEncoded = header.type == kTypeByteEncoded;
    const uint64_t pixelBytes = static_cast<uint64_t>(rowSize) * header.height;
    const uint64_t mostDecodable =
        byteEncoded ? stream.size() * kMostBytesPerEncodedByte : stream.size();
    if (pixelBytes > mostDecodable) return failImage(reason, kTruncated);

    const Palette palette = paletteFor(header, map);
    QImage image(header.width, header.height, QImage::Format_RGB32);
    if (image.isNull()) return failImage(reason, "not enough memory for the picture");

    std::vector<uint8_t> row(rowSize);
    RowReader reader(stream, byteEncoded);
    for (int y = 0; y < header.height; ++y) {
        if (!reader.read(row)) return failImage(reason, kTruncated);
        convertRow(header, row.data(), palette, reinterpret_cast<QRgb*>(image.scanLine(y)));
    }
    return image;
}

}  // namespace velmora
