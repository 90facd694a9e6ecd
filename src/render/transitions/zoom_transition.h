#pragma once

#include <QRectF>

namespace velmora {

class RenderContext;
class ZoomTransition;

// Zoom: the old picture grows to five times the frame and fades over the
// new one (zoom in), or the new picture shrinks from five times the frame
// into place over the old one (zoom out).
class ZoomGeometry {
  public:
    ZoomGeometry(int canvasWidth, int canvasHeight, int frames, bool zoomOut);
    void step();
    const QRectF& rect() const { return rect_; }
    // The alpha of the scaled picture at transition frame k.
    float alpha(int k) const;

  private:
    QRectF rect_;
    float dx_, dy_;
    float u_;
    bool zoomOut_;
};

int runZoomTransition(RenderContext& context, const ZoomTransition& setting);

}  // namespace velmora
