#pragma once

#include <QPainterPath>
#include <QRectF>

namespace velmora {

class RenderContext;

// Circle: the old picture dissolves across a soft circular edge that grows
// from the centre (small to big) or closes in on it (big to small).
class CircleGeometry {
  public:
    CircleGeometry(int canvasWidth, int canvasHeight, int frames, bool bigToSmall, int edgeWidth);

    float radiusPerFrame() const { return R_; }
    int subSteps() const { return subSteps_; }
    float fade() const { return fade_; }  // f of the fade layer
    // One sub-step; then the region the layer fades.
    void subStep();
    QPainterPath region() const;
    const QRectF& ellipse() const { return box_; }

  private:
    bool bigToSmall_;
    float W_, H_;
    float R_ = 0, s_ = 0, fade_ = 0;
    int subSteps_ = 1;
    QRectF start_;
    QRectF box_;
};

int runCircleTransition(RenderContext& context);

}  // namespace velmora
