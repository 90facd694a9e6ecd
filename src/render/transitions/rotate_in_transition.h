#pragma once

namespace velmora {

class RenderContext;
class RotateInTransition;

// Rotate in: the new picture turns into view about the vertical centre
// line, from edge-on to facing, its far side growing from shorter.
class RotateInGeometry {
  public:
    RotateInGeometry(int canvasWidth, int canvasHeight, int frames, bool antiClockwise);
    void step();
    float left() const { return xL_; }
    float right() const { return xR_; }
    float leftTop() const { return yLT_; }
    float leftBottom() const { return yLB_; }
    float rightTop() const { return yRT_; }
    float rightBottom() const { return yRB_; }
    // The inset of column i per column: F = (1 − hR / hL) × H × 0.5 / W.
    double insetStep() const;

  private:
    bool antiClockwise_;
    float W_, H_, T_;
    float xL_, xR_;
    float yLT_, yLB_, yRT_, yRB_;
};

int runRotateInTransition(RenderContext& context, const RotateInTransition& setting);

}  // namespace velmora
