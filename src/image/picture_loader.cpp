#include "image/picture_loader.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

#include "core/path_text.h"
#include "image/decode_limits.h"
#include "image/openjpeg_decoder.h"
#include "image/pcx_decoder.h"
#include "image/pgx_decoder.h"
#include "image/qt_picture_reader.h"
#include "image/ras_decoder.h"
#include "image/tga_decoder.h"
#include "image/tiff_decoder.h"
#include "image/wmf_decoder.h"

namespace velmora {

namespace {

// Files read whole into memory (our own decoders, metafiles) may not be
// larger than this: more than any picture within the pixel limit needs.
constexpr std::uintmax_t kMaxFileBytes = 768ull * 1024 * 1024;
// Enough of a file to hold the header of any format read whole.
constexpr std::uintmax_t kHeaderBytes = 4096;

std::string cannotLoad(const std::filesystem::path& file, const std::string& why) {
    return "Cannot load " + quotedPath(file) + ": " + why;
}

constexpr const char* kUnknownType =
    "the file type is not one of the picture types this program reads";

// Reads the whole file, or with `headBytes` only its first bytes.
bool readFileBytes(const std::filesystem::path& file, std::vector<uint8_t>* bytes, std::string* why,
                   std::uintmax_t headBytes = 0) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        *why = error.message();
        return false;
    }
    if (headBytes == 0 && size > kMaxFileBytes) {
        *why = "the file is too large to be a picture this program reads";
        return false;
    }
    const std::uintmax_t wanted = headBytes == 0 ? size : std::min(size, headBytes);
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *why = "the file cannot be opened";
        return false;
    }
    bytes->resize(static_cast<size_t>(wanted));
    in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(wanted));
    if (static_cast<std::uintmax_t>(in.gcount()) != wanted) {
        *why = "the file cannot be read";
        return false;
    }
    return true;
}

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
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        *why = std::filesystem::exists(file, error) ? "not a file" : "the file does not exist";
        return {};
    }
    if (std::filesystem::file_size(file, error) == 0) {
        *why = "the file is empty";
        return {};
    }
    if (isQtPictureType(type)) return qtReadPicture(file, type, coverSize, why);
    if (isJpeg2000Type(type)) return decodeJpeg2000(file, coverSize, why);
    if (type == ImageType::Tiff) return decodeTiff(file, why);
    std::vector<uint8_t> bytes;
    if (!readFileBytes(file, &bytes, why)) return {};
    return decodeBytes(type, bytes, coverSize, why);
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
    QSize size;
    if (type == ImageType::Unknown) {
        why = kUnknownType;
    } else if (isQtPictureType(type)) {
        size = qtPictureSize(file, type, &why);
    } else if (isJpeg2000Type(type)) {
        size = jpeg2000Size(file, &why);
    } else if (type == ImageType::Tiff) {
        size = tiffSize(file, &why);
    } else {
        std::vector<uint8_t> bytes;
        // Headers sit at the start; a metafile has to be played through to know its size.
        const std::uintmax_t headBytes = type == ImageType::Wmf ? 0 : kHeaderBytes;
        if (readFileBytes(file, &bytes, &why, headBytes)) size = sizeFromBytes(type, bytes, &why);
    }
    if (!size.isValid() || size.isEmpty()) {
        *reason = cannotLoad(file, why.empty() ? "the picture has no size" : why);
        return {};
    }
    return size;
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
