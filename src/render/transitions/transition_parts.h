#pragma once

#include <QImage>
#include <QPainterPath>
#include <functional>

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

// The strip trapezoid of a picture whose two edges across the slices are
// `startEdge` (left or top) and `endEdge` (right or bottom) long: the
// longer edge keeps the full length, the other is pressed towards the
// middle. Drawn into `target`, cleared to transparent.
void drawStripTrapezoid(const QImage& source, SliceAxis axis, double startEdge, double endEdge,
                        QImage& target);

// Two premultiplied layers that start as the old frame; a region of them
// is faded step by step, and each frame shows the new picture through it.
// Keeping one layer is enough: fading the second and copying it into the
// first every step leaves both the same.
class FadeLayer {
  public:
    explicit FadeLayer(const QImage& oldFrame);

    // Every pixel inside `region` keeps f times its alpha (f = 0 clears it).
    void fade(const QPainterPath& region, double f);
    // The end of a frame: the motion canvas, then the layer over it.
    void compose(Canvas& frame, const QImage& motionCanvas) const;

    const QImage& layer() const { return layer_; }

  private:
    QImage layer_;
};

// The transition of a fade-layer kind (live new picture): every frame runs
// the geometry's sub-steps, fading its region after each, then shows the
// new picture through the layer. `Geometry` has subSteps(), subStep(),
// region() and fade().
template <class Geometry>
int runFadeLayerTransition(RenderContext& context, Geometry& geometry) {
    FadeLayer layer(context.frame.image());
    return runTransitionFrames(context, NewPicture::Live, [&](int) {
        for (int i = 0; i < geometry.subSteps(); ++i) {
            geometry.subStep();
            layer.fade(geometry.region(), geometry.fade());
        }
        layer.compose(context.frame, context.motion.canvas().image());
    });
}

}  // namespace velmora
