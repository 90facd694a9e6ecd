#pragma once

namespace velmora {

class RenderContext;
class DiagonalSweepTransition;

// Diagonal sweep: a soft edge slanted along the frame's diagonal sweeps
// across the frame, dissolving the old picture behind it.
class DiagonalSweepGeometry {
  public:
    DiagonalSweepGeometry(int canvasWidth, int canvasHeight, int frames, bool rightToLeft,
                          int edgeWidth);

    int subSteps() const { return subSteps_; }  // per frame
    double fade() const { return fade_; }
    // Where the moving line crosses the top of the frame after `subStep`
    // sub-steps; it runs parallel to the line from (0, 0) to (−W, H).
    double movingTopAfter(int subStep) const { return start_ + double(s_) * subStep; }
    // The first sub-step at which the band between the fixed line and the
    // moving one holds (x, y).
    int entrySubStep(double x, double y) const;

  private:
    bool rightToLeft_;
    float W_, H_;
    float start_ = 0, s_ = 0;
    int subSteps_ = 1;
    float fade_ = 0;
};

int runDiagonalSweepTransition(RenderContext& context, const DiagonalSweepTransition& setting);

}  // namespace velmora
