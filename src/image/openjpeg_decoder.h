#pragma once

#include <QImage>
#include <QSize>
#include <filesystem>
#include <string>

namespace velmora {

// JPEG 2000 through OpenJPEG: JP2 files and raw code streams, told apart by
// their first bytes. Grey, RGB, YCbCr and CMYK pictures of any precision,
// with an alpha channel where there is one (then Format_ARGB32).

// Full-resolution width and height from the header. Invalid size and
// *reason when the file is not a JPEG 2000 picture or is too large.
QSize jpeg2000Size(const std::filesystem::path& file, std::string* reason);

// Decodes the picture. With a valid `coverSize` it is decoded at the lowest
// resolution level that still covers that size (the caller resamples).
QImage decodeJpeg2000(const std::filesystem::path& file, QSize coverSize, std::string* reason);

}  // namespace velmora
