#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// ZSoft PCX pictures: 1, 2, 4 and 8-bit palette pictures, 16-colour EGA
// pictures of four bit planes, and 24-bit RGB (three planes, or four with an
// alpha plane that is ignored); run-length encoded or uncompressed.

// Width and height from the file header alone (the first bytes of the file,
// as many as the caller has; the PCX header is 128 bytes). An invalid size
// (QSize()) and *reason set when the bytes are not a header this decoder reads.
QSize pcxSize(std::span<const uint8_t> head, std::string* reason);

// Decodes a whole file into an opaque Format_RGB32 picture. A null QImage and
// *reason set when the data is not a picture this decoder reads, is damaged,
// or is larger than the picture limit.
QImage decodePcx(std::span<const uint8_t> data, std::string* reason);

}  // namespace velmora
