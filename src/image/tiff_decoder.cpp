#include "image/tiff_decoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <vector>

#include "image/decode_limits.h"
#include "image/picture_file.h"

namespace velmora {

namespace {

// The first error libtiff reports for this file; warnings are dropped.
int keepFirstError(TIFF*, void* userData, const char*, const char* format, va_list arguments) {
    auto* error = static_cast<std::string*>(userData);
    if (error->empty()) {
        char text[256];
        // The format comes from libtiff itself, with its matching arguments.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        std::vsnprintf(text, sizeof text, format, arguments);
#pragma GCC diagnostic pop
        *error = text;
    }
    return 1;
}
int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// Opens the file with its own message handlers and a cap on any single
// allocation libtiff makes, so a hostile header cannot ask for gigabytes.
TiffPtr openTiff(const std::filesystem::path& file, std::string* error, QSize* size,
                 std::string* reason) {
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         &TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keepFirstError, error);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignoreWarning, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(kMaxPicturePixels) * 4 + 4096);
    // Opened by us, so only a regular file reaches libtiff; it closes the
    // descriptor with the TIFF, but not when it refuses to open it.
    FileDescriptor opened = openPictureFile(file, reason);
    if (!opened.isOpen()) return nullptr;
    TiffPtr tiff(TIFFFdOpenExt(opened.get(), file.c_str(), "r", options.get()));
    if (tiff) opened.release();
    if (!tiff) {
        *reason = "not a TIFF picture" + (error->empty() ? std::string() : " (" + *error + ")");
        return nullptr;
    }
    uint32_t width = 0;
    uint32_t height = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    if (const std::string tooLarge = checkPictureSize(width, height); !tooLarge.empty()) {
        *reason = tooLarge;
        return nullptr;
    }
    *size = QSize(int(width), int(height));
    return tiff;
}

}  // namespace

QSize tiffSize(const std::filesystem::path& file, std::string* reason) {
    std::string error;
    QSize size;
    if (!openTiff(file, &error, &size, reason)) return {};
    return size;
}

QImage decodeTiff(const std::filesystem::path& file, std::string* reason) {
    std::string error;
    QSize size;
    TiffPtr tiff = openTiff(file, &error, &size, reason);
    if (!tiff) return {};
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tiff.get(), message)) {
        *reason = std::string("this kind of TIFF picture is not supported (") + message + ")";
        return {};
    }
    uint16_t extraSamples = 0;
    uint16_t* extraKinds = nullptr;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraSamples, &extraKinds);
    const bool hasAlpha = extraSamples > 0;

    QImage image(size, hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        *reason = "not enough memory for the picture";
        return {};
    }
    std::vector<uint32_t> raster(size_t(size.width()) * size_t(size.height()));
    if (!TIFFReadRGBAImageOriented(tiff.get(), uint32_t(size.width()), uint32_t(size.height()),
                                   raster.data(), ORIENTATION_TOPLEFT, 0)) {
        *reason =
            "the picture data is damaged" + (error.empty() ? std::string() : " (" + error + ")");
        return {};
    }
    // libtiff packs A, B, G, R from the high byte down; alpha is premultiplied.
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint32_t* source = raster.data() + size_t(y) * size_t(size.width());
        for (int x = 0; x < size.width(); ++x) {
            const uint32_t p = source[x];
            const int a = int(TIFFGetA(p));
            int r = int(TIFFGetR(p));
            int g = int(TIFFGetG(p));
            int b = int(TIFFGetB(p));
            if (hasAlpha && a > 0 && a < 255) {
                r = std::min(255, r * 255 / a);
                g = std::min(255, g * 255 / a);
                b = std::min(255, b * 255 / a);
            }
            row[x] = qRgba(r, g, b, hasAlpha ? a : 255);
        }
    }
    return image;
}

}  // namespace velmora
