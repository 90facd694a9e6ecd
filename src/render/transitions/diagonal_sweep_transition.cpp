#include "render/transitions/diagonal_sweep_transition.h"

#include <cmath>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

DiagonalSweepGeometry::DiagonalSweepGeometry(int canvasWidth, int canvasHeight, int frames,
                                             bool rightToLeft, int edgeWidth)
    : rightToLeft_(rightToLeft), W_(float(canvasWidth)), H_(float(canvasHeight)) {
    const float width = float(edgeWidth > 0 ? edgeWidth : 1);
    // The band Q1 → Q2 → Q3 → Q4: Q2 and Q3 fixed on the line through (0, 0)
    // and (−W, H) (left to right) or through (W, 0) and (2W, H) (right to
    // left); Q1 and Q4 start there and move by s every sub-step.
    start_ = rightToLeft ? W_ : 0;
    const float G =
        (rightToLeft ? -1.0f : 1.0f) * (2 * W_ + width) / float(frames > 0 ? frames : 1);
    subSteps_ = std::abs(G) <= 1 ? 1 : int(std::abs(G) + 1);
    s_ = G / float(subSteps_);
    fade_ = std::pow(0.2f, std::abs(s_) / (3 * width));
}

int DiagonalSweepGeometry::entrySubStep(double x, double y) const {
    // Lines of this slope through (x, y) cross the top at x ± W y / H.
    const double top = rightToLeft_ ? x - W_ * y / H_ : x + W_ * y / H_;
    const double travel = rightToLeft_ ? start_ - top : top - start_;
    if (travel < 0) return FadeLayer::kNever;  // beyond the fixed line
    return int(travel / std::abs(s_)) + 1;
}

int runDiagonalSweepTransition(RenderContext& context, const DiagonalSweepTransition& setting) {
    const QSize size = context.frame.size();
    const DiagonalSweepGeometry geometry(size.width(), size.height(), context.T,
                                         setting.direction() == 1, setting.edgeWidth());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
