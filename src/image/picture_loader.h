#pragma once

#include <QSize>
#include <filesystem>
#include <string>

#include "image/image_type.h"
#include "image/picture.h"

namespace velmora {

// Loading pictures by type. Every function reports failure with *reason, a
// sentence naming the file and what is wrong with it ("Cannot load
// "/photos/a.jpg": the picture data is damaged ..."). A file is never
// decoded beyond the picture limit of decode_limits.h, and a photo whose
// EXIF orientation says it was taken turned comes out upright.

enum class AlphaHandling {
    FlattenOverWhite,  // an opaque picture, transparent parts white
    Keep,              // keep the alpha channel where the file has one
};

// The whole picture.
Picture loadPicture(const std::filesystem::path& file, ImageType type, std::string* reason,
                    AlphaHandling alpha = AlphaHandling::FlattenOverWhite);
// The same, with the type taken from the file name.
Picture loadPicture(const std::filesystem::path& file, std::string* reason,
                    AlphaHandling alpha = AlphaHandling::FlattenOverWhite);

// Upright width and height, read from the file header where the format
// allows it (every format but a few rare ones). Invalid size on failure.
QSize pictureSize(const std::filesystem::path& file, ImageType type, std::string* reason);

// The picture resampled to exactly `size` (opaque). Where the format allows
// it the file is decoded at a reduced size first — JPEG at the smallest DCT
// scale and JPEG 2000 at the lowest resolution level that still cover
// `size`, a metafile drawn at `size` — so a large photo never has to be
// decoded whole to make a small picture.
Picture loadPictureScaled(const std::filesystem::path& file, ImageType type, QSize size,
                          std::string* reason);

}  // namespace velmora
