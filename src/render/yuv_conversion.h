#pragma once

#include <QImage>
#include <cstdint>

namespace velmora {

// The three planes of one YUV 4:2:0 frame, top row first.
struct PlanarFrame {
    uint8_t* y;  // width × height, `yStride` bytes per row
    uint8_t* u;  // (width / 2) × (height / 2)
    uint8_t* v;  // (width / 2) × (height / 2)
    int yStride;
};

// BT.601 studio-range conversion with the encoder's fixed integer
// arithmetic (no rounding term; shifts round toward minus infinity):
//   Y = ((25 B + 129 G + 66 R) >> 8) + 16 per pixel,
//   U = ((112 ΣB − 74 ΣG − 38 ΣR) >> 10) + 128 and
//   V = ((−18 ΣB − 94 ΣG + 112 ΣR) >> 10) + 128 per 2 × 2 block.
// `bgr` holds top-down rows of blue, green, red bytes, `stride` bytes apart;
// width and height are even.
void convertToI420(const uint8_t* bgr, int width, int height, int stride, const PlanarFrame& out);

// The same planes straight from a 32-bit canvas (Format_RGB32), without the
// 24-bit read-out in between: what every frame of a render goes through.
void convertCanvasToI420(const QImage& canvas, const PlanarFrame& out);

}  // namespace velmora
