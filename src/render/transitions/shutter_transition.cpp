#include "render/transitions/shutter_transition.h"

#include <algorithm>
#include <cmath>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

ShutterGeometry::ShutterGeometry(int canvasWidth, int canvasHeight, int frames, bool horizontal,
                                 int edgeWidth)
    : horizontal_(horizontal), extent_(float(horizontal ? canvasHeight : canvasWidth)) {
    const float width = float(edgeWidth > 0 ? edgeWidth : 1);
    const float K = width * 0.00875f + 0.5f;
    e_ = extent_ * K / float(frames > 0 ? frames : 1) * 0.5f;
    subSteps_ = e_ > 1 ? int(e_ + 1) : 1;
    s_ = e_ / float(subSteps_);
    fade_ = std::pow(0.2f, s_ / width);
}

int ShutterGeometry::entrySubStep(double x, double y) const {
    // Band j reaches 2 s j into the frame from each edge; once a band is
    // half the frame the region is the whole frame.
    const double along = horizontal_ ? y : x;
    const double fromEdge = std::min(along, extent_ - along);
    const int band = int(fromEdge / (2 * s_)) + 1;
    const int whole = int(std::ceil(extent_ / 2 / (2 * s_)));
    return std::min(band, std::max(whole, 1));
}

int runShutterTransition(RenderContext& context, const ShutterTransition& setting) {
    const QSize size = context.frame.size();
    const ShutterGeometry geometry(size.width(), size.height(), context.T, setting.horizontal(),
                                   setting.width());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
