#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <vector>

#include "render/canvas.h"
#include "render/timeline.h"

namespace velmora {

// A picture drawn as a parallelogram: three corners in single precision,
// as the kinds compute them.
struct Parallelogram {
    float x0 = 0, y0 = 0;  // upper left
    float x1 = 0, y1 = 0;  // upper right
    float x2 = 0, y2 = 0;  // lower left

    void drawOn(Canvas& canvas, const QImage& picture) const {
        canvas.drawParallelogram(picture, QPointF(x0, y0), QPointF(x1, y1), QPointF(x2, y2));
    }
};

// How a kind shows the incoming picture during its transition frames.
enum class NewPicture {
    Live,    // the picture moves from the first frame on
    Frozen,  // shown as it will be after the transition, still
};

// The frame loop every kind shares: prepares the incoming picture (and
// freezes it after T steps for Frozen), then for each transition frame k
// renders the live motion frame, calls `drawFrame(k)` and emits the frame;
// then the display frames T..N − 1. Returns the first non-zero emitFrame
// result, or 0.
int runTransitionFrames(RenderContext& context, NewPicture newPicture,
                        const std::function<void(int k)>& drawFrame);

// Which way a picture is cut into one-pixel slices.
enum class SliceAxis {
    Columns,  // 1 × H slices, each drawn with its own height
    Rows,     // W × 1 slices, each drawn with its own width
};

// Where the inset of slice i (of K) is measured from.
enum class InsetFrom {
    Start,  // inset = i × step
    End,    // inset = (K − i) × step
};

// Draws `source` slice by slice into `target` (of the same size, first
// filled with `clearColour`): column i at (i, u, 1, H − 2u), or row i at
// (u, i, W − 2u, 1), with inset u from `insetFrom` and `insetStep`, each
// slice stretched with linear interpolation. A slice with no length left
// draws nothing. This is the strip trapezoid and the cube's faces.
void drawInsetSlices(const QImage& source, SliceAxis axis, InsetFrom insetFrom, double insetStep,
                     QImage& target, QRgb clearColour);

// One column of a picture drawn into the same column of a target, from
// `top` and `height` pixels long (stretched; a plain column is 0 and H).
struct ColumnSpan {
    const QImage* source = nullptr;  // null: the column stays clear
    double top = 0;
    double height = 0;
};
// Column i of `target` (first filled with `clearColour`) from `columns[i]`.
// The sources are of the target's size, in a 32-bit format.
void drawColumnSpans(const std::vector<ColumnSpan>& columns, QImage& target, QRgb clearColour);

// The strip trapezoid of a picture whose two edges across the slices are
// `startEdge` (left or top) and `endEdge` (right or bottom) long: the
// longer edge keeps the full length, the other is pressed towards the
// middle. Drawn into `target`, cleared to transparent.
void drawStripTrapezoid(const QImage& source, SliceAxis axis, double startEdge, double endEdge,
                        QImage& target);

// The fade layer: the old frame over the new picture, faded region by
// region. The kind's region grows by sub-steps; at every sub-step each
// pixel inside it keeps f times its alpha, so a pixel that has been inside
// for m sub-steps shows f^m of the old picture over the new one (f = 0
// gives a hard edge). The regions of every kind only ever grow, so a
// pixel's whole history is the sub-step at which it first lies inside: the
// layer keeps that map, made once per segment from the kind's geometry, and
// mixes each frame in one pass instead of fading a layer sub-step by
// sub-step.
class FadeLayer {
  public:
    // `entrySubStep(x, y)` gives the first sub-step (counted from 1) whose
    // region holds the pixel centre (x, y), or kNever.
    static constexpr int kNever = 1 << 30;
    FadeLayer(const QImage& oldFrame, double f, int totalSubSteps,
              const std::function<int(double x, double y)>& entrySubStep);

    void advance(int subSteps) { done_ += subSteps; }
    // The end of a frame: the new picture with the old one over it.
    void compose(Canvas& frame, const QImage& motionCanvas) const;
    // How much of the old picture pixel (x, y) still shows: 0..256.
    int oldWeight(int x, int y) const;

  private:
    QImage old_;
    std::vector<int> entry_;
    std::vector<uint16_t> weights_;  // 256 × f^m, m = 0..total sub-steps
    int done_ = 0;
};

// The transition of a fade-layer kind (live new picture). `Geometry` has
// subSteps() per frame, fade() and entrySubStep(x, y).
template <class Geometry>
int runFadeLayerTransition(RenderContext& context, const Geometry& geometry) {
    FadeLayer layer(context.frame.image(), geometry.fade(), geometry.subSteps() * context.T,
                    [&geometry](double x, double y) { return geometry.entrySubStep(x, y); });
    return runTransitionFrames(context, NewPicture::Live, [&](int) {
        layer.advance(geometry.subSteps());
        layer.compose(context.frame, context.motion.canvas().image());
    });
}

}  // namespace velmora
