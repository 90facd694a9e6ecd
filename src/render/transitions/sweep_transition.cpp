#include "render/transitions/sweep_transition.h"

#include <cmath>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

SweepGeometry::SweepGeometry(int canvasWidth, int canvasHeight, int frames, int direction,
                             int edgeWidth)
    : direction_(direction), W_(float(canvasWidth)), H_(float(canvasHeight)) {
    const float width = float(edgeWidth > 0 ? edgeWidth : 1);
    const float T = float(frames > 0 ? frames : 1);
    // The rectangle grows by the frame's extent plus the soft edge.
    const float I = direction == 0   ? (W_ + width) / T
                    : direction == 1 ? -(W_ + width) / T
                    : direction == 2 ? -(H_ + width) / T
                                     : (H_ + width) / T;
    subSteps_ = std::abs(I) > 1 ? int(std::abs(I) + 1) : 1;
    s_ = I / float(subSteps_);
    fade_ = std::pow(0.2f, std::abs(s_) / width);
}

int SweepGeometry::entrySubStep(double x, double y) const {
    // How far the rectangle's moving side must travel to pass the pixel.
    double travel = 0;
    switch (direction_) {
        case 0:
            travel = x;
            break;
        case 1:
            travel = W_ - x;
            break;
        case 2:
            travel = H_ - y;
            break;
        default:
            travel = y;
            break;
    }
    return int(travel / std::abs(s_)) + 1;
}

int runSweepTransition(RenderContext& context, const SweepTransition& setting) {
    const QSize size = context.frame.size();
    const SweepGeometry geometry(size.width(), size.height(), context.T, setting.direction(),
                                 setting.edgeWidth());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
