#include "image/image_type.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace velmora {

namespace {

struct Extension {
    std::string_view text;
    ImageType type;
};

constexpr std::array<Extension, 22> kExtensions = {{
    {"bmp", ImageType::Bmp},
    {"jpg", ImageType::Jpeg},
    {"jpeg", ImageType::Jpeg},
    {"gif", ImageType::Gif},
    {"png", ImageType::Png},
    {"ico", ImageType::Ico},
    {"tiff", ImageType::Tiff},
    {"tif", ImageType::Tiff},
    {"tga", ImageType::Tga},
    {"pcx", ImageType::Pcx},
    {"wbmp", ImageType::Wbmp},
    {"wmf", ImageType::Wmf},
    {"emf", ImageType::Wmf},
    {"jp2", ImageType::Jpeg2000},
    {"j2k", ImageType::Jpeg2000},
    {"jpc", ImageType::JpegCodestream},
    {"j2c", ImageType::JpegCodestream},
    {"pgx", ImageType::Pgx},
    {"pnm", ImageType::Pnm},
    {"pgm", ImageType::Pnm},
    {"ppm", ImageType::Pnm},
    {"ras", ImageType::Ras},
}};

}  // namespace

ImageType imageTypeOf(std::string_view fileName) {
    // Only the file name counts: a dot in a folder name is no extension.
    const size_t slash = fileName.find_last_of('/');
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return ImageType::Unknown;
    std::string extension(fileName.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Extension& e : kExtensions) {
        if (e.text == extension) return e.type;
    }
    return ImageType::Unknown;
}

std::vector<std::string_view> pictureExtensions() {
    std::vector<std::string_view> extensions;
    for (const Extension& e : kExtensions)
        extensions.push_back(e.text);
    return extensions;
}

std::string_view imageTypeName(ImageType type) {
    switch (type) {
        case ImageType::Unknown:
            return "unknown";
        case ImageType::Bmp:
            return "BMP";
        case ImageType::Jpeg:
            return "JPEG";
        case ImageType::Gif:
            return "GIF";
        case ImageType::Png:
            return "PNG";
        case ImageType::Ico:
            return "ICO";
        case ImageType::Tiff:
            return "TIFF";
        case ImageType::Tga:
            return "TGA";
        case ImageType::Pcx:
            return "PCX";
        case ImageType::Wbmp:
            return "WBMP";
        case ImageType::Wmf:
            return "WMF";
        case ImageType::Jpeg2000:
            return "JPEG 2000";
        case ImageType::JpegCodestream:
            return "JPEG 2000 code stream";
        case ImageType::Pgx:
            return "PGX";
        case ImageType::Pnm:
            return "PNM";
        case ImageType::Ras:
            return "Sun raster";
    }
    return "unknown";
}

}  // namespace velmora
