#pragma once

#include <QPointF>
#include <vector>

namespace velmora {

class RenderContext;
class PolygonTransition;

// Polygon: the picture is broken into n overlapping half discs that fly
// apart (out, showing the new picture) or together (in, over the old one).
class PolygonGeometry {
  public:
    PolygonGeometry(int canvasWidth, int canvasHeight, int frames, int corners);

    int pieceCount() const { return int(starts_.size()); }
    // Where half disc i starts, degrees clockwise from the positive x axis
    // (it sweeps 180), and the whole degrees along which it flies.
    float startAngle(int i) const { return starts_[size_t(i)]; }
    int flightAngle(int i) const { return flights_[size_t(i)]; }
    // Its offset at transition frame k.
    QPointF offset(int i, int k, bool flyingIn) const;

  private:
    std::vector<float> starts_;
    std::vector<int> flights_;
    std::vector<QPointF> perFrame_;
    int T_;
};

int runPolygonTransition(RenderContext& context, const PolygonTransition& setting);

}  // namespace velmora
