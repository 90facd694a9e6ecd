#include "render/transitions/flip_transition.h"

#include <algorithm>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

FlipGeometry::FlipGeometry(int canvasWidth, int canvasHeight, int frames, bool horizontal)
    : half_(frames / 2), rest_(frames - frames / 2) {
    along_ = horizontal ? canvasHeight : canvasWidth;
    across_ = horizontal ? canvasWidth : canvasHeight;
    start_ = {0, 0, across_};
    end_ = {along_, 0, across_};
}

void FlipGeometry::step(int k) {
    if (k < half_) {  // phase 1, single precision
        const float n = float(half_), A = float(along_), C = float(across_);
        start_.at += A / (2 * n);
        end_.at -= A / (2 * n);
        start_.low -= 0.15f * C / n;
        start_.high += 0.15f * C / n;
        end_.low += 0.35f * C / n;
        end_.high -= 0.35f * C / n;
        return;
    }
    if (k == half_) {  // edge-on, the far edge now the longer one
        start_ = {along_ / 2, 0.35 * across_, 0.65 * across_};
        end_ = {along_ / 2, -0.15 * across_, 1.15 * across_};
    }
    const double n = rest_;
    start_.at -= along_ / (2 * n);
    end_.at += along_ / (2 * n);
    start_.low -= 0.35 * across_ / n;
    start_.high += 0.35 * across_ / n;
    end_.low += 0.15 * across_ / n;
    end_.high -= 0.15 * across_ / n;
}

int runFlipTransition(RenderContext& context, const FlipTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool horizontal = setting.horizontal();
    const QSize size = context.frame.size();
    const SliceAxis axis = horizontal ? SliceAxis::Rows : SliceAxis::Columns;
    FlipGeometry geometry(size.width(), size.height(), context.T, horizontal);
    QImage trapezoid(size, QImage::Format_ARGB32_Premultiplied);
    return runTransitionFrames(context, NewPicture::Frozen, [&](int k) {
        geometry.step(k);
        const QImage& picture =
            geometry.showsNew(k) ? context.motion.canvas().image() : oldFrame.image();
        const FlipGeometry::Edge& start = geometry.start();
        const FlipGeometry::Edge& end = geometry.end();
        drawStripTrapezoid(picture, axis, start.length(), end.length(), trapezoid);
        // From one edge to the other, spanning the longer one.
        const FlipGeometry::Edge& longer = start.length() >= end.length() ? start : end;
        const double across = end.at - start.at;
        const QRectF into = horizontal ? QRectF(longer.low, start.at, longer.length(), across)
                                       : QRectF(start.at, longer.low, across, longer.length());
        context.frame.clear(context.job.background);
        context.frame.drawScaled(trapezoid, into);
    });
}

}  // namespace velmora
