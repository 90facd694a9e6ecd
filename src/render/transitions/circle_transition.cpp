#include "render/transitions/circle_transition.h"

#include <cmath>

#include "core/slide_image.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

CircleGeometry::CircleGeometry(int canvasWidth, int canvasHeight, int frames, bool bigToSmall,
                               int edgeWidth)
    : bigToSmall_(bigToSmall), W_(float(canvasWidth)), H_(float(canvasHeight)) {
    const float width = float(edgeWidth > 0 ? edgeWidth : 1);
    R_ = (W_ + width) / (std::sqrt(2.0f) * float(frames > 0 ? frames : 1));
    subSteps_ = R_ <= 1 ? 1 : int(R_ + 1);
    s_ = R_ / float(subSteps_);
    fade_ = std::pow(0.2f, s_ / width);
    if (!bigToSmall) {
        box_ = QRectF(W_ / 2, H_ / 2, 0, 0);
        return;
    }
    const float D = std::sqrt(W_ * W_ + H_ * H_) / 2;
    const float cx = std::trunc(W_ / 2), cy = std::trunc(H_ / 2);
    start_ = QRectF(cx - D, cy - D, 2 * D, 2 * D);
    box_ = start_;
}

void CircleGeometry::subStep() {
    if (!bigToSmall_) {
        box_.adjust(-s_, -s_, s_, s_);
        return;
    }
    if (box_.isEmpty()) return;
    box_.adjust(s_, s_, -s_, -s_);
    if (box_.left() > W_ / 2) box_ = QRectF(box_.topLeft(), QSizeF(0, 0));
}

QPainterPath CircleGeometry::region() const {
    QPainterPath path;
    if (!bigToSmall_) {
        path.addEllipse(box_);
        return path;
    }
    // The starting circle minus the current ellipse, which lies inside it:
    // the odd-even rule leaves the ring.
    path.setFillRule(Qt::OddEvenFill);
    path.addEllipse(start_);
    if (!box_.isEmpty()) path.addEllipse(box_);
    return path;
}

int runCircleTransition(RenderContext& context) {
    const TransitionSetting& setting = *context.picture().settings.effect.transition;
    const QSize size = context.frame.size();
    CircleGeometry geometry(size.width(), size.height(), context.T, setting.firstParameter() == 1,
                            setting.secondParameter());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
