#include "render/transitions/rotate_in_transition.h"

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

namespace {
constexpr float kZ = 0.19999999f;  // how much shorter the far side starts, each end
}

RotateInGeometry::RotateInGeometry(int canvasWidth, int canvasHeight, int frames,
                                   bool antiClockwise)
    : antiClockwise_(antiClockwise),
      W_(float(canvasWidth)),
      H_(float(canvasHeight)),
      T_(float(frames > 0 ? frames : 1)),
      xL_(W_ / 2),
      xR_(W_ / 2) {
    if (!antiClockwise) {
        yLT_ = 0;
        yLB_ = H_;
        yRT_ = kZ * H_;
        yRB_ = (1 - kZ) * H_;
    } else {
        yRT_ = 0;
        yRB_ = H_;
        yLT_ = -kZ * H_;
        yLB_ = (1 + kZ) * H_;
    }
}

void RotateInGeometry::step() {
    xL_ -= W_ / (2 * T_);
    xR_ += W_ / (2 * T_);
    const float change = kZ * H_ / T_;
    if (!antiClockwise_) {
        yRT_ -= change;
        yRB_ += change;
    } else {
        yLT_ += change;
        yLB_ -= change;
    }
}

double RotateInGeometry::insetStep() const {
    const double hL = yLB_ - yLT_, hR = yRB_ - yRT_;
    return hL > 0 ? (1 - hR / hL) * H_ * 0.5 / W_ : 0;
}

int runRotateInTransition(RenderContext& context, const RotateInTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool antiClockwise = setting.anticlockwise();
    const QSize size = context.frame.size();
    RotateInGeometry rotate(size.width(), size.height(), context.T, antiClockwise);
    QImage turned(size, QImage::Format_ARGB32_Premultiplied);
    return runTransitionFrames(context, NewPicture::Frozen, [&](int) {
        rotate.step();
        // Clockwise the right side is the far one (columns inset from the
        // left end); anticlockwise the left side.
        drawInsetSlices(context.motion.canvas().image(), SliceAxis::Columns,
                        antiClockwise ? InsetFrom::End : InsetFrom::Start, rotate.insetStep(),
                        turned, 0x00000000);
        const float top = antiClockwise ? rotate.rightTop() : rotate.leftTop();
        const float height = antiClockwise ? rotate.rightBottom() - rotate.rightTop()
                                           : rotate.leftBottom() - rotate.leftTop();
        context.frame.drawUnscaled(oldFrame.image(), QPoint(0, 0));
        context.frame.drawScaled(
            turned, QRectF(rotate.left(), top, rotate.right() - rotate.left(), height));
    });
}

}  // namespace velmora
