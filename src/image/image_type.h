#pragma once

#include <string_view>
#include <vector>

namespace velmora {

// The picture format a file is handed to the loader as, chosen by its
// extension. Unknown files are never handed to the loader.
enum class ImageType {
    Unknown,
    Bmp,
    Jpeg,
    Gif,
    Png,
    Ico,
    Tiff,
    Tga,
    Pcx,
    Wbmp,
    Wmf,             // .wmf and .emf
    Jpeg2000,        // JP2 file: .jp2, .j2k
    JpegCodestream,  // raw JPEG 2000 code stream: .jpc, .j2c
    Pgx,
    Pnm,  // .pnm, .pgm, .ppm
    Ras,
};

// The type of a file from the text after the last "." of its file name,
// compared without regard to case. A name without a dot, or with an
// extension not in the list, is Unknown.
ImageType imageTypeOf(std::string_view fileName);

std::string_view imageTypeName(ImageType type);

// Every extension a picture file may have, lower case, without the dot:
// what the add-picture dialog offers and what a folder import takes, so
// that the two never disagree.
std::vector<std::string_view> pictureExtensions();

}  // namespace velmora
