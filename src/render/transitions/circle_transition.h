#pragma once

namespace velmora {

class RenderContext;
class CircleTransition;

// Circle: the old picture dissolves across a soft circular edge that grows
// from the centre (small to big) or closes in on it (big to small).
class CircleGeometry {
  public:
    CircleGeometry(int canvasWidth, int canvasHeight, int frames, bool bigToSmall, int edgeWidth);

    float radiusPerFrame() const { return R_; }
    int subSteps() const { return subSteps_; }  // per frame
    double fade() const { return fade_; }
    // The radius of the circle after `subStep` sub-steps (small to big: the
    // region inside it; big to small: the region between the starting
    // circle and it, which vanishes once its left edge passes the middle).
    double radiusAfter(int subStep) const;
    // The first sub-step whose region holds (x, y).
    int entrySubStep(double x, double y) const;

  private:
    bool bigToSmall_;
    float W_, H_;
    float R_ = 0, s_ = 0, fade_ = 0;
    int subSteps_ = 1;
    double centreX_ = 0, centreY_ = 0, startRadius_ = 0;
    int lastSubStep_ = 0;  // big to small: the last with a circle left
};

int runCircleTransition(RenderContext& context, const CircleTransition& setting);

}  // namespace velmora
