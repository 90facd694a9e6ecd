#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// Windows metafiles through libwmf, drawn at 96 dots per inch or straight at
// a requested size (they are vector pictures). Enhanced metafiles (EMF),
// which share the type, are refused with a reason.

bool isEnhancedMetafile(std::span<const uint8_t> head);

// Width and height the metafile asks for at 96 dots per inch.
QSize wmfSize(std::span<const uint8_t> data, std::string* reason);

// Draws the metafile at `size`, or at its own size when `size` is invalid.
// The picture has an alpha channel (Format_ARGB32) where nothing was drawn.
QImage decodeWmf(std::span<const uint8_t> data, QSize size, std::string* reason);

}  // namespace velmora
