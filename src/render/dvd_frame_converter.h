#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

#include "interfaces/video_frame.h"

namespace velmora {

// One line of output samples as weighted sums of input samples: output i
// is Σ weights[i × tapCount + k] × input[first[i] + k], weights in 1/16384.
// Made once per pair of sizes with a bicubic kernel (B = 0, C = 0.6, the
// kernel FFmpeg's scaler uses for "bicubic"), widened when shrinking, and
// edge samples repeated beyond the border.
struct ResamplingFilter {
    static constexpr int kWeightBits = 14;
    int tapCount = 0;
    std::vector<int> first;
    std::vector<int16_t> weights;

    ResamplingFilter() = default;
    ResamplingFilter(int inputSize, int outputSize);
    bool isIdentity() const { return tapCount == 0; }
};

// Turns composed canvases (32-bit RGB, square pixels) into the encoder's
// frames: YUV 4:2:0 by yuv_conversion.h's arithmetic, stretched to the DVD
// frame (720 × 576 PAL, 720 × 480 NTSC), whose pixels are not square.
// Colour conversion at the canvas size, then the stretch plane by plane,
// all in this one call on the composing thread: the encoder's thread gets a
// frame it can encode as it is. Not thread-safe (it keeps its work planes).
class DvdFrameConverter {
  public:
    DvdFrameConverter(QSize canvas, QSize dvdFrame);

    QSize canvasSize() const { return canvas_; }
    QSize dvdFrameSize() const { return dvdFrame_; }
    // `canvas` has the canvas size and a 32-bit format; `out` the DVD size.
    void convert(const QImage& canvas, VideoFrame& out);

  private:
    struct Plane {
        ResamplingFilter across, down;
        int inWidth = 0, inHeight = 0, outWidth = 0, outHeight = 0;
    };
    void stretch(const Plane& plane, const uint8_t* in, uint8_t* out);

    QSize canvas_;
    QSize dvdFrame_;
    Plane luma_;
    Plane chroma_;
    std::vector<uint8_t> canvasPlanes_;  // YUV 4:2:0 at the canvas size
    std::vector<uint8_t> across_;        // a plane stretched across, not yet down
    std::vector<int32_t> sums_;          // one output row being summed
};

}  // namespace velmora
