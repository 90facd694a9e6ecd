#pragma once

#include <vector>

namespace velmora {

class RenderContext;
class ClockTransition;

// Clock: one, two or four hands sweep clockwise over a circle around the
// frame, wiping the old picture away with a hard or a soft trailing edge.
class ClockGeometry {
  public:
    ClockGeometry(int canvasWidth, int canvasHeight, int frames, int fingerChoice, bool smooth);

    int subSteps() const { return subSteps_; }  // per frame
    double fade() const { return fade_; }
    float sweepPerFrame() const { return perFrame_; }
    // Degrees each hand has swept after `subStep` sub-steps.
    double angleAfter(int subStep) const { return double(perFrame_ / float(subSteps_)) * subStep; }
    // The first sub-step at which a hand's pie holds (x, y).
    int entrySubStep(double x, double y) const;

  private:
    float centreX_ = 0, centreY_ = 0;
    std::vector<float> starts_;  // degrees clockwise from the positive x axis
    int subSteps_ = 1;
    float fade_ = 0;
    float perFrame_ = 0;
};

int runClockTransition(RenderContext& context, const ClockTransition& setting);

}  // namespace velmora
