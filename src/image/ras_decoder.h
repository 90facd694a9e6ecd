#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// Sun raster pictures (.ras): 1, 8, 24 and 32 bits per pixel, with or without
// a colour map, plain or byte-encoded (run-length).

// Width and height from the file header alone (the first bytes of the file,
// as many as the caller has; the header is 32 bytes). An invalid size
// (QSize()) and *reason set when the bytes are not a header this decoder reads.
QSize sunRasterSize(std::span<const uint8_t> head, std::string* reason);

// Decodes a whole file into an opaque Format_RGB32 picture. A null QImage and
// *reason set when the data is not a picture this decoder reads, is damaged,
// or is larger than the picture limit.
QImage decodeSunRaster(std::span<const uint8_t> data, std::string* reason);

}  // namespace velmora
