#include "render/transitions/circle_transition.h"

#include <cmath>

#include "model/transition_kinds.h"
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
        centreX_ = W_ / 2;
        centreY_ = H_ / 2;
        return;
    }
    // A circle round the whole frame, centred on the whole pixel.
    startRadius_ = std::sqrt(W_ * W_ + H_ * H_) / 2;
    centreX_ = std::trunc(W_ / 2);
    centreY_ = std::trunc(H_ / 2);
    // The circle is dropped once its left edge lies right of the middle:
    // the last sub-step that keeps it has centreX − radius ≤ W / 2.
    lastSubStep_ = int((W_ / 2 - centreX_ + startRadius_) / s_);
}

double CircleGeometry::radiusAfter(int subStep) const {
    if (!bigToSmall_) return double(s_) * subStep;
    if (subStep > lastSubStep_) return 0;
    return startRadius_ - double(s_) * subStep;
}

int CircleGeometry::entrySubStep(double x, double y) const {
    const double distance = std::hypot(x - centreX_, y - centreY_);
    if (!bigToSmall_) return int(distance / s_) + 1;  // inside once the radius passes it
    if (distance >= startRadius_) return FadeLayer::kNever;
    // Outside the shrinking circle once it passes inwards, or when it goes.
    const int passed = int(std::ceil((startRadius_ - distance) / s_));
    return std::min(std::max(passed, 1), lastSubStep_ + 1);
}

int runCircleTransition(RenderContext& context, const CircleTransition& setting) {
    const QSize size = context.frame.size();
    const CircleGeometry geometry(size.width(), size.height(), context.T, setting.direction() == 1,
                                  setting.edgeWidth());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
