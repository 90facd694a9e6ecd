#include "image/picture_loader.h"

#include <cstdint>
#include <vector>

#include "base/file_checks.h"
#include "base/path_text.h"
#include "image/decode_limits.h"
#include "image/openjpeg_decoder.h"
#include "image/pcx_decoder.h"
#include "image/pgx_decoder.h"
#include "image/picture_file.h"
#include "image/picture_fit.h"
#include "image/qt_picture_reader.h"
#include "image/ras_decoder.h"
#include "image/tga_decoder.h"
#include "image/tiff_decoder.h"
#include "image/wmf_decoder.h"

namespace velmora {

namespace {

// Enough of a file to hold the header of any format read whole.
constexpr std::uintmax_t kHeaderBytes = 4096;
// The size a picture is decoded at to learn whether it decodes at all.
constexpr QSize kCheckSize{160, 120};

std::string cannotLoad(const std::filesystem::path& file, const std::string& why) {
    return "Cannot load " + quotedPath(file) + ": " + why;
}

constexpr const char* kUnknownType =
    "the file type is not one of the picture types this program reads";

bool isJpeg2000Type(ImageType type) {
    return type == ImageType::Jpeg2000 || type == ImageType::JpegCodestream;
}

QSize sizeFromBytes(ImageType type, std::span<const uint8_t> bytes, std::string* why) {
    switch (type) {
        case ImageType::Pcx:
            return pcxSize(bytes, why);
        case ImageType::Ras:
            return sunRasterSize(bytes, why);
        case ImageType::Tga:
            return tgaSize(bytes, why);
        case ImageType::Pgx:
            return pgxSize(bytes, why);
        case ImageType::Wmf:
            return wmfSize(bytes, why);
        default:
            return {};
    }
}

QImage decodeBytes(ImageType type, std::span<const uint8_t> bytes, QSize size, std::string* why) {
    switch (type) {
        case ImageType::Pcx:
            return decodePcx(bytes, why);
        case ImageType::Ras:
            return decodeSunRaster(bytes, why);
        case ImageType::Tga:
            return decodeTga(bytes, why);
        case ImageType::Pgx:
            return decodePgx(bytes, why);
        case ImageType::Wmf:
            return decodeWmf(bytes, size, why);
        default:
            return {};
    }
}

// Decodes the file; with a valid `coverSize` a format that can decode at a
// reduced size does so, and Qt's reader goes straight to `coverSize`.
QImage decodeFile(const std::filesystem::path& file, ImageType type, QSize coverSize,
                  std::string* why) {
    if (type == ImageType::Unknown) {
        *why = kUnknownType;
        return {};
    }
    if (std::string notAFile = checkPictureFile(file); !notAFile.empty()) {
        *why = std::move(notAFile);
        return {};
    }
    std::string sizeReason;
    if (regularFileSize(file, &sizeReason) == 0) {
        *why = "the file is empty";
        return {};
    }
    if (isQtPictureType(type)) return qtReadPicture(file, type, coverSize, why);
    if (isJpeg2000Type(type)) return decodeJpeg2000(file, coverSize, why);
    if (type == ImageType::Tiff) return decodeTiff(file, why);
    std::vector<uint8_t> bytes;
    if (!readPictureBytes(file, &bytes, why)) return {};
    return decodeBytes(type, bytes, coverSize, why);
}

// The upright size from the file header; invalid with *why set on failure.
QSize measure(const std::filesystem::path& file, ImageType type, std::string* why) {
    if (type == ImageType::Unknown) {
        *why = kUnknownType;
        return {};
    }
    if (std::string notAFile = checkPictureFile(file); !notAFile.empty()) {
        *why = std::move(notAFile);
        return {};
    }
    QSize size;
    if (isQtPictureType(type)) {
        size = qtPictureSize(file, type, why);
    } else if (isJpeg2000Type(type)) {
        size = jpeg2000Size(file, why);
    } else if (type == ImageType::Tiff) {
        size = tiffSize(file, why);
    } else {
        std::vector<uint8_t> bytes;
        // Headers sit at the start; a metafile has to be played through to know its size.
        const std::uintmax_t headBytes = type == ImageType::Wmf ? 0 : kHeaderBytes;
        if (readPictureBytes(file, &bytes, why, headBytes)) size = sizeFromBytes(type, bytes, why);
    }
    if (!size.isValid() || size.isEmpty()) {
        if (why->empty()) *why = "the picture has no size";
        return {};
    }
    return size;
}

}  // namespace

Picture loadPicture(const std::filesystem::path& file, ImageType type, std::string* reason,
                    AlphaHandling alpha) {
    std::string why;
    Picture picture(decodeFile(file, type, QSize(), &why));
    if (picture.isNull()) {
        *reason = cannotLoad(file, why);
        return {};
    }
    return alpha == AlphaHandling::FlattenOverWhite ? picture.flattenedOverWhite() : picture;
}

Picture loadPicture(const std::filesystem::path& file, std::string* reason, AlphaHandling alpha) {
    return loadPicture(file, imageTypeOf(file.filename().string()), reason, alpha);
}

QSize pictureSize(const std::filesystem::path& file, ImageType type, std::string* reason) {
    std::string why;
    const QSize size = measure(file, type, &why);
    if (!size.isValid()) {
        *reason = cannotLoad(file, why);
        return {};
    }
    return size;
}

bool pictureLoads(const std::filesystem::path& file, ImageType type, std::string* refusal) {
    if (!isRegularFile(file, refusal)) return false;
    std::string why;
    const QSize size = measure(file, type, &why);
    // Decoding runs through all of the picture data even at a reduced size,
    // which is where truncated and corrupt files show.
    const bool small = size.width() <= kCheckSize.width() && size.height() <= kCheckSize.height();
    if (size.isValid() &&
        !decodeFile(file, type, small ? QSize() : fitInside(size, kCheckSize), &why).isNull()) {
        return true;
    }
    *refusal = "cannot be loaded: " + why;
    return false;
}

Picture loadPictureScaled(const std::filesystem::path& file, ImageType type, QSize size,
                          std::string* reason) {
    if (size.isEmpty()) {
        *reason = cannotLoad(file, "the requested picture size is empty");
        return {};
    }
    std::string why;
    Picture decoded(decodeFile(file, type, size, &why));
    if (decoded.isNull()) {
        *reason = cannotLoad(file, why);
        return {};
    }
    // Formats decoded at their own size, or at a reduced size still larger
    // than wanted, are brought to the exact size here.
    return decoded.flattenedOverWhite().downscaled(size);
}

}  // namespace velmora
