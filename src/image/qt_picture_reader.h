#pragma once

#include <QImage>
#include <QSize>
#include <filesystem>
#include <string>

#include "image/image_type.h"

namespace velmora {

// The formats read through Qt's image plugins: BMP, JPEG, GIF (first frame),
// PNG, ICO (largest image), WBMP and PNM. The file's content
// decides the decoder when it is recognisable (a PNG named .jpg still loads);
// otherwise the decoder of `type` is tried. Pictures come upright: an EXIF
// orientation is applied.
bool isQtPictureType(ImageType type);

// Upright width and height from the file header. Invalid size and *reason
// set when the file cannot be read as a picture.
QSize qtPictureSize(const std::filesystem::path& file, ImageType type, std::string* reason);

// Decodes the picture; with a valid `size` the result has exactly that
// upright size. A JPEG is then decoded at the smallest DCT scale that still
// covers the size before the final resampling. Null image and *reason on
// failure.
QImage qtReadPicture(const std::filesystem::path& file, ImageType type, QSize size,
                     std::string* reason);

}  // namespace velmora
