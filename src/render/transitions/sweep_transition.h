#pragma once

namespace velmora {

class RenderContext;
class SweepTransition;

// Sweep: a rectangle sweeps across the frame from one side, dissolving the
// old picture behind a soft edge.
class SweepGeometry {
  public:
    // direction: 0 left to right, 1 right to left, 2 bottom to up, 3 up to
    // bottom.
    SweepGeometry(int canvasWidth, int canvasHeight, int frames, int direction, int edgeWidth);

    int subSteps() const { return subSteps_; }  // per frame
    double fade() const { return fade_; }
    float stepPerSubStep() const { return s_; }
    int entrySubStep(double x, double y) const;

  private:
    int direction_;
    float W_, H_;
    float s_ = 0;
    int subSteps_ = 1;
    float fade_ = 0;
};

int runSweepTransition(RenderContext& context, const SweepTransition& setting);

}  // namespace velmora
