#pragma once

namespace velmora {

class RenderContext;
class FlipTransition;

// Flip: the old picture turns edge-on about the frame's middle, then the
// new one turns into view, about the vertical axis (column slices) or the
// horizontal one (row slices).
class FlipGeometry {
  public:
    // One edge of the turning picture: where it is along the turn, and its
    // two ends across it.
    struct Edge {
        double at = 0;
        double low = 0, high = 0;  // top and bottom (or left and right)
        double length() const { return high - low; }
    };

    FlipGeometry(int canvasWidth, int canvasHeight, int frames, bool horizontal);
    // To transition frame k: phase 1 up to frame T / 2 − 1, then a restart
    // edge-on and phase 2.
    void step(int k);
    bool showsNew(int k) const { return k >= half_; }
    const Edge& start() const { return start_; }  // left (or top) edge
    const Edge& end() const { return end_; }      // right (or bottom) edge

  private:
    Edge start_, end_;
    int half_ = 0, rest_ = 0;
    double along_ = 0, across_ = 0;  // the canvas along and across the turn
};

int runFlipTransition(RenderContext& context, const FlipTransition& setting);

}  // namespace velmora
