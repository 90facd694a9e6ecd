#include "render/transitions/diagonal_sweep_transition.h"

#include <QPolygonF>
#include <cmath>

#include "core/slide_image.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

DiagonalSweepGeometry::DiagonalSweepGeometry(int canvasWidth, int canvasHeight, int frames,
                                             bool rightToLeft, int edgeWidth) {
    const float W = float(canvasWidth), H = float(canvasHeight);
    const float width = float(edgeWidth > 0 ? edgeWidth : 1);
    if (!rightToLeft) {
        q1_ = q2_ = QPointF(0, 0);
        q3_ = q4_ = QPointF(-W, H);
    } else {
        q1_ = q2_ = QPointF(W, 0);
        q3_ = q4_ = QPointF(2 * W, H);
    }
    const float G = (rightToLeft ? -1.0f : 1.0f) * (2 * W + width) / float(frames > 0 ? frames : 1);
    subSteps_ = std::abs(G) <= 1 ? 1 : int(std::abs(G) + 1);
    s_ = G / float(subSteps_);
    fade_ = std::pow(0.2f, std::abs(s_) / (3 * width));
}

void DiagonalSweepGeometry::subStep() {
    q1_.rx() += s_;
    q4_.rx() += s_;
}

QPainterPath DiagonalSweepGeometry::region() const {
    QPainterPath path;
    path.addPolygon(QPolygonF({q1_, q2_, q3_, q4_}));
    path.closeSubpath();
    return path;
}

int runDiagonalSweepTransition(RenderContext& context) {
    const TransitionSetting& setting = *context.picture().settings.effect.transition;
    const QSize size = context.frame.size();
    DiagonalSweepGeometry geometry(size.width(), size.height(), context.T,
                                   setting.firstParameter() == 1, setting.secondParameter());
    return runFadeLayerTransition(context, geometry);
}

}  // namespace velmora
