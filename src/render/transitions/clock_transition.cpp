#include "render/transitions/clock_transition.h"

#include <algorithm>
#include <cmath>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

ClockGeometry::ClockGeometry(int canvasWidth, int canvasHeight, int frames, int fingerChoice,
                             bool smooth) {
    // The hands turn about the middle on a circle through the frame's
    // corners, so every pixel of the frame is swept.
    centreX_ = float(canvasWidth) / 2;
    centreY_ = float(canvasHeight) / 2;
    // 1, 2 or 4 hands starting at twelve (−90), six and three/nine o'clock;
    // with smooth, 5 % more sweep so the soft tail fades out too.
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

int ClockGeometry::entrySubStep(double x, double y) const {
    // Clockwise on the screen, where y grows downwards.
    const double angle = std::atan2(y - centreY_, x - centreX_) * 180 / M_PI;
    const double perSubStep = angleAfter(1);
    int first = FadeLayer::kNever;
    for (float start : starts_) {
        const double behind =
            std::fmod(angle - start + 720.0, 360.0);  // how far the hand must turn
        first = std::min(first, int(behind / perSubStep) + 1);
    }
    return first;
}

int runClockTransition(RenderContext& context, const ClockTransition& setting) {
    const QSize size = context.frame.size();
    const ClockGeometry geometry(size.width(), size.height(), context.T, setting.fingerChoice(),
                                 setting.smooth());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
