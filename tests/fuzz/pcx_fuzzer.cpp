// Feeds arbitrary bytes to the PCX decoder and checks that a decoded picture
// is opaque RGB32 of exactly the size that reading the header alone reported.

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/pcx_decoder.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    std::string sizeReason;
    const QSize headerSize =
        velmora::pcxSize(bytes.first(std::min(size, size_t{128})), &sizeReason);
    check(headerSize.isValid() != !sizeReason.empty());

    std::string decodeReason;
    const QImage image = velmora::decodePcx(bytes, &decodeReason);
    if (image.isNull()) {
        check(!decodeReason.empty());
        return 0;
    }
    check(decodeReason.empty());
    check(image.format() == QImage::Format_RGB32 && image.size() == headerSize);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            check(qAlpha(line[x]) == 255);
    }
    return 0;
}
