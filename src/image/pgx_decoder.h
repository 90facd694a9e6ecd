#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// PGX pictures, the grayscale format of the JPEG 2000 conformance tests: a
// one-line text header ("PG ML + 12 640 480") followed by raw samples of 1 to
// 16 bits, signed or unsigned, in either byte order.

// Width and height from the file header alone (the first bytes of the file,
// as many as the caller has; the header is one text line). An invalid size
// (QSize()) and *reason set when the bytes are not a header this decoder reads.
QSize pgxSize(std::span<const uint8_t> head, std::string* reason);

// Decodes a whole file into an opaque gray Format_RGB32 picture. A null QImage
// and *reason set when the data is not a picture this decoder reads, is
// damaged, or is larger than the picture limit.
QImage decodePgx(std::span<const uint8_t> data, std::string* reason);

}  // namespace velmora
