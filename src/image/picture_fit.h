#pragma once

#include <QSize>
#include <filesystem>
#include <string>

#include "image/picture.h"

namespace velmora {

// The size of a picture scaled by the largest factor that fits both sides
// of `box` (never 0 on a side).
QSize fitInside(QSize picture, QSize box);

// A `box`-sized opaque white picture with the file's picture fitted inside
// it, centred on the axis it does not fill, resampled with a high-quality
// filter. This is how list thumbnails and slideshow covers are made. Null
// with *reason when the file cannot be loaded.
Picture renderFittedOnWhite(const std::filesystem::path& file, QSize box, std::string* reason);

// The slideshow cover: the picture fitted on white into 80 × 60, saved as a
// 24-bit BMP at `coverFile`.
inline constexpr QSize kCoverSize{80, 60};
bool renderCover(const std::filesystem::path& pictureFile, const std::filesystem::path& coverFile,
                 std::string* reason);

}  // namespace velmora
