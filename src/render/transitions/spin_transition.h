#pragma once

#include <QRectF>

namespace velmora {

class RenderContext;
class SpinTransition;

// Spin: the old picture spins away shrinking to the centre; the new one
// spins in growing from it and ends upright.
class SpinGeometry {
  public:
    SpinGeometry(int canvasWidth, int canvasHeight, int frames, bool antiClockwise);
    // To transition frame k; at frame T / 2 the angle is reset so that the
    // new picture ends on a whole turn.
    void step(int k);
    float angle() const { return angle_; }
    // The angle the reset at frame T / 2 sets, before that frame's turn.
    float resetAngle() const;
    const QRectF& rect() const { return rect_; }
    bool showsNew(int k) const { return k >= g_; }

  private:
    int g_, t_;
    float m_;
    float W_, H_;
    float dx_ = 0, dy_ = 0;
    float angle_ = 0;
    QRectF rect_;
};

int runSpinTransition(RenderContext& context, const SpinTransition& setting);

}  // namespace velmora
