#pragma once

#include <QImage>
#include <QSize>
#include <filesystem>
#include <string>

namespace velmora {

// TIFF through libtiff's RGBA interface, which reads strips and tiles, 8 and
// 16 bits per sample, grey, palette, RGB, YCbCr and CMYK pictures (the
// first image of the file). Qt's TIFF plugin is not used: it fails on
// tiled RGB files.

QSize tiffSize(const std::filesystem::path& file, std::string* reason);

// Format_ARGB32 when the file has an alpha channel, Format_RGB32 otherwise.
QImage decodeTiff(const std::filesystem::path& file, std::string* reason);

}  // namespace velmora
