#pragma once

#include <QPointF>

namespace velmora {

class RenderContext;
class FlyTransition;

// Fly: the new picture flies in from the middle, lying back, and stands up
// (fly in); or the old picture tips back onto its bottom edge and flies off
// into the distance (fly out).
class FlyGeometry {
  public:
    FlyGeometry(int canvasWidth, int canvasHeight, int frames, bool flyingOut);
    void step(int k);  // to transition frame k

    // The corners of the moving picture, single precision.
    struct Corner {
        float x = 0, y = 0;
    };
    const Corner& topLeft() const { return tl_; }
    const Corner& topRight() const { return tr_; }
    const Corner& bottomRight() const { return br_; }
    const Corner& bottomLeft() const { return bl_; }
    // The inset step of the row slices: F = (1 − top / bottom) × W × 0.5 / H.
    double insetStep() const;

  private:
    bool flyingOut_;
    float W_, H_;
    int half_, rest_;
    int wholePixels_;  // fly out, phase 2: trunc(W / 2) div rest
    Corner tl_, tr_, br_, bl_;
};

int runFlyTransition(RenderContext& context, const FlyTransition& setting);

}  // namespace velmora
