#pragma once

namespace velmora {

class RenderContext;
class ShutterTransition;

// Shutter: two bands grow from opposite edges towards the middle,
// dissolving the old picture behind soft edges; once they meet the whole
// frame keeps fading.
class ShutterGeometry {
  public:
    ShutterGeometry(int canvasWidth, int canvasHeight, int frames, bool horizontal, int edgeWidth);

    int subSteps() const { return subSteps_; }  // per frame
    double fade() const { return fade_; }
    float perFrame() const { return e_; }        // e
    float stepPerSubStep() const { return s_; }  // s; each band grows by 2s
    int entrySubStep(double x, double y) const;

  private:
    bool horizontal_;
    float extent_;  // W (vertical bands) or H
    float e_ = 0, s_ = 0;
    int subSteps_ = 1;
    float fade_ = 0;
};

int runShutterTransition(RenderContext& context, const ShutterTransition& setting);

}  // namespace velmora
