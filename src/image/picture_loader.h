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
// EXIF orientation says it was taken turned comes out upright. Only regular
// files are opened: a FIFO, device or socket is refused without blocking.

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

// Whether the file holds a whole picture the program can show: a regular
// file whose header reads as `type` and whose picture data decodes without
// the decoder reporting damage (a truncated or corrupt JPEG or PNG). The
// data is decoded at a reduced size, a JPEG at its smallest DCT scale, so a
// large photo costs little. False with *refusal set to a fragment that
// follows the file's name: "is a FIFO, not a file", "cannot be loaded: the
// picture data is damaged (Corrupt JPEG data: premature end of data segment)".
bool pictureLoads(const std::filesystem::path& file, ImageType type, std::string* refusal);

// The picture resampled to exactly `size` (opaque). Where the format allows
// it the file is decoded at a reduced size first — JPEG at the smallest DCT
// scale and JPEG 2000 at the lowest resolution level that still cover
// `size`, a metafile drawn at `size` — so a large photo never has to be
// decoded whole to make a small picture.
Picture loadPictureScaled(const std::filesystem::path& file, ImageType type, QSize size,
                          std::string* reason);

}  // namespace velmora
