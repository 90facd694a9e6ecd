#pragma once

// The checks shared by the fuzz targets of our own picture decoders: the
// size read from the header alone says why when it fails, a refused picture
// says why, and a decoded one has exactly the header's size and is opaque
// RGB32 (or ARGB32 for a decoder that keeps transparency).

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace velmora::fuzzing {

inline void check(bool condition) {
    if (!condition) __builtin_trap();
}

enum class Alpha { Never, Allowed };

template <typename SizeOf, typename Decode>
int fuzzOwnDecoder(const uint8_t* data, size_t size, size_t headerBytes, SizeOf sizeOf,
                   Decode decode, Alpha alpha = Alpha::Never) {
    const std::span<const uint8_t> bytes(data, size);
    std::string sizeReason;
    const QSize headerSize = sizeOf(bytes.first(std::min(size, headerBytes)), &sizeReason);
    check(headerSize.isValid() != !sizeReason.empty());

    std::string decodeReason;
    const QImage image = decode(bytes, &decodeReason);
    if (image.isNull()) {
        check(!decodeReason.empty());
        return 0;
    }
    check(decodeReason.empty());
    check(image.size() == headerSize);
    if (alpha == Alpha::Allowed && image.format() == QImage::Format_ARGB32) return 0;
    check(image.format() == QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            check(qAlpha(line[x]) == 255);
    }
    return 0;
}

}  // namespace velmora::fuzzing
