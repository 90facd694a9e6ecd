#include "render/transitions/clock_transition.h"

#include <cmath>

#include "core/slide_image.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

ClockGeometry::ClockGeometry(int canvasWidth, int canvasHeight, int frames, int fingerChoice,
                             bool smooth) {
    const float W = float(canvasWidth), H = float(canvasHeight);
    const float D = std::sqrt(W * W + H * H) / 2;
    circle_ = QRectF(W / 2 - D, H / 2 - D, 2 * D, 2 * D);
    // 1, 2 or 4 hands starting at twelve, six and three/nine o'clock; with
    // smooth, 5 % more sweep so the soft tail fades out too.
    float total = 0;
    switch (fingerChoice) {
        case 0:
            starts_ = {-90};
            total = smooth ? 377.99997f : 360.0f;
            break;
        case 1:
            starts_ = {-90, 90};
            total = smooth ? 188.99998f : 180.0f;
            break;
        default:
            starts_ = {-90, 0, 90, 180};
            total = smooth ? 94.49999f : 90.0f;
            break;
    }
    perFrame_ = total / float(frames > 0 ? frames : 1);
    if (smooth) {
        subSteps_ = 5;
        fade_ = std::pow(0.2f, starts_.size() == 4 ? 1.0f / 30 : 1.0f / 15);
    }
}

void ClockGeometry::subStep() {
    angle_ += perFrame_ / float(subSteps_);
}

QPainterPath ClockGeometry::region() const {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (float start : starts_) {
        // Qt counts angles counter-clockwise; ours run clockwise.
        path.moveTo(circle_.center());
        path.arcTo(circle_, -start, -angle_);
        path.closeSubpath();
    }
    return path;
}

int runClockTransition(RenderContext& context) {
    const TransitionSetting& setting = *context.picture().settings.effect.transition;
    const QSize size = context.frame.size();
    ClockGeometry geometry(size.width(), size.height(), context.T, setting.firstParameter(),
                           setting.secondParameter() == 1);
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
