#pragma once

namespace velmora {

class RenderContext;
class TwistTransition;

// Twist: a pinch travels across the frame; columns near it are squeezed
// vertically towards the middle line, the new picture behind it.
class TwistGeometry {
  public:
    TwistGeometry(int canvasWidth, int canvasHeight, int frames, bool rightToLeft);
    void step();

    float centre() const { return xc_; }
    // The zone bounds: a = C(xc − W / 4), b = C(xc), d = C(xc + W / 4).
    int a() const;
    int b() const;
    int d() const;
    // Half the height of a squeezed column at x.
    double halfHeight(int x) const;
    static int ceilingColumn(double v, int canvasWidth);  // C(v), clamped to 0..W

  private:
    int W_;
    float velocity_;
    float xc_;
    double E_;
};

int runTwistTransition(RenderContext& context, const TwistTransition& setting);

}  // namespace velmora
