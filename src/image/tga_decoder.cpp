#include "image/tga_decoder.h"

#include <algorithm>
#include <vector>

#include "image/decode_limits.h"

namespace velmora {

namespace {

constexpr size_t kHeaderSize = 18;

enum ImageKind : uint8_t {
    kColourMapped = 1,
    kTrueColour = 2,
    kGrey = 3,
    kRunLength = 8,  // added to the kinds above
};

struct Header {
    int idLength;
    int colourMapType;
    int kind;  // without the run-length flag
    bool runLength;
    int mapFirst;
    int mapLength;
    int mapEntryBits;
    int width;
    int height;
    int pixelBits;
    int alphaBits;
    bool rightToLeft;
    bool topToBottom;
};

int little16(std::span<const uint8_t> bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8);
}

bool readHeader(std::span<const uint8_t> data, Header* header, std::string* reason) {
    if (data.size() < kHeaderSize) {
        *reason = "not a TGA picture (the header is incomplete)";
        return false;
    }
    header->idLength = data[0];
    header->colourMapType = data[1];
    header->kind = data[2] & 7;
    header->runLength = (data[2] & kRunLength) != 0;
    header->mapFirst = little16(data, 3);
    header->mapLength = little16(data, 5);
    header->mapEntryBits = data[7];
    header->width = little16(data, 12);
    header->height = little16(data, 14);
    header->pixelBits = data[16];
    header->alphaBits = data[17] & 0x0F;
    header->rightToLeft = (data[17] & 0x10) != 0;
    header->topToBottom = (data[17] & 0x20) != 0;

    const bool knownKind =
        header->kind == kColourMapped || header->kind == kTrueColour || header->kind == kGrey;
    if (!knownKind || (data[2] & ~0x0B) != 0 || header->colourMapType > 1) {
        *reason = "not a TGA picture (unknown image type " + std::to_string(data[2]) + ")";
        return false;
    }
    const int bits = header->pixelBits;
    const bool depthOk = header->kind == kColourMapped ? (bits == 8 || bits == 16)
                         : header->kind == kGrey
                             ? (bits == 8 || bits == 16)
                             : (bits == 15 || bits == 16 || bits == 24 || bits == 32);
    if (!depthOk) {
        *reason = "unsupported TGA pixel depth: " + std::to_string(bits) + " bits";
        return false;
    }
    if (header->kind == kColourMapped) {
        const int entry = header->mapEntryBits;
        if (header->colourMapType != 1 || header->mapLength == 0 ||
            !(entry == 15 || entry == 16 || entry == 24 || entry == 32)) {
            *reason = "the TGA colour map is missing or unsupported";
            return false;
        }
    }
    *reason = checkPictureSize(header->width, header->height);
    return reason->empty();
}

// A 15, 16, 24 or 32-bit little-endian BGR(A) value as a QRgb.
QRgb colourOf(const uint8_t* p, int bits, bool useAlpha) {
    if (bits == 15 || bits == 16) {
        const int value = p[0] | (p[1] << 8);
        auto expand = [](int five) { return (five << 3) | (five >> 2); };
        const int alpha = bits == 16 && useAlpha ? ((value & 0x8000) ? 255 : 0) : 255;
        return qRgba(expand((value >> 10) & 31), expand((value >> 5) & 31), expand(value & 31),
                     alpha);
    }
    const int alpha = bits == 32 && useAlpha ? p[3] : 255;
    return qRgba(p[2], p[1], p[0], alpha);
}

}  // namespace

QSize tgaSize(std::span<const uint8_t> head, std::string* reason) {
    Header header{};
    if (!readHeader(head, &header, reason)) return {};
    return QSize(header.width, header.height);
}

QImage decodeTga(std::span<const uint8_t> data, std::string* reason) {
    Header header{};
    if (!readHeader(data, &header, reason)) return {};

    size_t at = kHeaderSize + size_t(header.idLength);
    const int mapEntryBytes = (header.mapEntryBits + 7) / 8;
    const size_t mapBytes =
        header.colourMapType == 1 ? size_t(header.mapLength) * size_t(mapEntryBytes) : 0;
    if (at + mapBytes > data.size()) {
        *reason = "the file ends inside the TGA colour map";
        return {};
    }
    const bool wantsAlpha = header.alphaBits > 0;
    std::vector<QRgb> palette;
    if (header.kind == kColourMapped) {
        for (int i = 0; i < header.mapLength; ++i) {
            palette.push_back(colourOf(&data[at + size_t(i) * size_t(mapEntryBytes)],
                                       header.mapEntryBits, wantsAlpha));
        }
    }
    at += mapBytes;

    const int pixelBytes = (header.pixelBits + 7) / 8;
    auto pixelAt = [&](const uint8_t* p) -> QRgb {
        switch (header.kind) {
            case kColourMapped: {
                const int index = (pixelBytes == 2 ? (p[0] | (p[1] << 8)) : p[0]) - header.mapFirst;
                return index >= 0 && index < int(palette.size()) ? palette[size_t(index)]
                                                                 : 0xFF000000;
            }
            case kGrey: {
                const int alpha = pixelBytes == 2 && wantsAlpha ? p[1] : 255;
                return qRgba(p[0], p[0], p[0], alpha);
            }
            default:
                return colourOf(p, header.pixelBits, wantsAlpha);
        }
    };

    // Before anything is allocated: could the data hold the picture at all?
    // A run-length packet gives at most 128 pixels for 1 + pixelBytes bytes.
    const size_t pixelCount = size_t(header.width) * size_t(header.height);
    const size_t smallestData = header.runLength
                                    ? (pixelCount + 127) / 128 * (1 + size_t(pixelBytes))
                                    : pixelCount * size_t(pixelBytes);
    if (data.size() - at < smallestData) {
        *reason = "the file ends before the picture data is complete";
        return {};
    }

    // Pixels in stored order; run-length packets may cross row ends.
    std::vector<QRgb> pixels;
    pixels.reserve(pixelCount);
    while (pixels.size() < pixelCount) {
        size_t count = pixelCount - pixels.size();
        bool repeated = false;
        if (header.runLength) {
            if (at >= data.size()) break;
            const uint8_t packet = data[at++];
            repeated = (packet & 0x80) != 0;
            count = std::min<size_t>(count, size_t(packet & 0x7F) + 1);
        }
        const size_t bytesNeeded = repeated ? size_t(pixelBytes) : count * size_t(pixelBytes);
        if (at + bytesNeeded > data.size()) break;
        if (repeated) {
            pixels.insert(pixels.end(), count, pixelAt(&data[at]));
        } else {
            for (size_t i = 0; i < count; ++i)
                pixels.push_back(pixelAt(&data[at + i * size_t(pixelBytes)]));
        }
        at += bytesNeeded;
    }
    if (pixels.size() < pixelCount) {
        *reason = "the file ends before the picture data is complete";
        return {};
    }

    // Files often declare alpha bits and then leave every alpha at 0: such a
    // picture is meant to be opaque.
    const bool hasAlpha = wantsAlpha && std::any_of(pixels.begin(), pixels.end(),
                                                    [](QRgb p) { return qAlpha(p) != 0; });
    QImage image(header.width, header.height,
                 hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < header.height; ++y) {
        const int storedRow = header.topToBottom ? y : header.height - 1 - y;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < header.width; ++x) {
            const int storedColumn = header.rightToLeft ? header.width - 1 - x : x;
            const QRgb p = pixels[size_t(storedRow) * size_t(header.width) + size_t(storedColumn)];
            row[x] = hasAlpha ? p : (p | 0xFF000000);
        }
    }
    return image;
}

}  // namespace velmora
