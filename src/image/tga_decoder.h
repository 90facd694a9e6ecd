#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// Truevision TGA: colour-mapped, true-colour and grey pictures, plain or
// run-length encoded, 8 to 32 bits, any origin corner. Qt's own reader takes
// only uncompressed true-colour files with a TGA 2.0 footer, which leaves
// out most TGA files in the wild.

// Width and height from the 18-byte header.
QSize tgaSize(std::span<const uint8_t> head, std::string* reason);

// Format_ARGB32 when the picture uses its alpha channel, else Format_RGB32.
QImage decodeTga(std::span<const uint8_t> data, std::string* reason);

}  // namespace velmora
