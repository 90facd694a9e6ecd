#include "render/transitions/twist_transition.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

namespace {
// 1 / 1.3 with 1.3 in single precision.
const double kExponent = 1.0 / double(1.3f);
}  // namespace

TwistGeometry::TwistGeometry(int canvasWidth, int canvasHeight, int frames, bool rightToLeft)
    : W_(canvasWidth) {
    const float W = float(canvasWidth), T = float(frames > 0 ? frames : 1);
    xc_ = rightToLeft ? 1.25f * W : -0.25f * W;
    velocity_ = (rightToLeft ? -1.5f : 1.5f) * W / T;
    // At a quarter width from the pinch a column has its full height.
    E_ = (canvasHeight * 0.5) / std::pow(W * 0.25, kExponent);
}

void TwistGeometry::step() {
    xc_ += velocity_;
}

int TwistGeometry::ceilingColumn(double v, int canvasWidth) {
    const double whole = std::trunc(v);
    const int column = int(whole) + (v != whole ? 1 : 0);
    return std::clamp(column, 0, canvasWidth);
}

int TwistGeometry::a() const {
    return ceilingColumn(double(xc_) - W_ / 4.0, W_);
}
int TwistGeometry::b() const {
    return ceilingColumn(xc_, W_);
}
int TwistGeometry::d() const {
    return ceilingColumn(double(xc_) + W_ / 4.0, W_);
}

double TwistGeometry::halfHeight(int x) const {
    return E_ * std::pow(std::abs(double(xc_) - x), kExponent);
}

int runTwistTransition(RenderContext& context, const TwistTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool rightToLeft = setting.direction() == 1;
    const QSize size = context.frame.size();
    const int W = size.width(), H = size.height();
    TwistGeometry twist(W, H, context.T, rightToLeft);
    std::vector<ColumnSpan> columns(static_cast<size_t>(W));
    return runTransitionFrames(context, NewPicture::Frozen, [&](int) {
        twist.step();
        const QImage* leading = &context.motion.canvas().image();  // behind the pinch
        const QImage* trailing = &oldFrame.image();
        if (rightToLeft) std::swap(leading, trailing);
        const int a = twist.a(), b = twist.b(), d = twist.d();
        for (int x = 0; x < W; ++x) {
            ColumnSpan& column = columns[size_t(x)];
            column.source = x < b ? leading : trailing;
            if (x < a || x >= d) {
                column.top = 0;
                column.height = H;
            } else {
                const double e = twist.halfHeight(x);
                column.top = H / 2 - e;
                column.height = 2 * e;
            }
        }
        drawColumnSpans(columns, context.frame.image(), context.job.background);
    });
}

}  // namespace velmora
