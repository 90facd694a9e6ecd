#pragma once

#include <QPainterPath>
#include <QRectF>
#include <vector>

namespace velmora {

class RenderContext;

// Clock: one, two or four hands sweep clockwise over a circle around the
// frame, wiping the old picture away with a hard or a soft trailing edge.
class ClockGeometry {
  public:
    ClockGeometry(int canvasWidth, int canvasHeight, int frames, int fingerChoice, bool smooth);

    int subSteps() const { return subSteps_; }
    float fade() const { return fade_; }
    float sweepPerFrame() const { return perFrame_; }
    float angle() const { return angle_; }  // degrees swept by each hand so far
    void subStep();
    // The union of the hands' pies.
    QPainterPath region() const;

  private:
    QRectF circle_;
    std::vector<float> starts_;  // degrees clockwise from the positive x axis
    int subSteps_ = 1;
    float fade_ = 0;
    float perFrame_ = 0;
    float angle_ = 0;
};

int runClockTransition(RenderContext& context);

}  // namespace velmora
