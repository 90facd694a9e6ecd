#include "render/transitions/zoom_transition.h"

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

ZoomGeometry::ZoomGeometry(int canvasWidth, int canvasHeight, int frames, bool zoomOut)
    : zoomOut_(zoomOut) {
    const float W = float(canvasWidth), H = float(canvasHeight);
    const float T = float(frames > 0 ? frames : 1);
    u_ = 1 / T;
    dx_ = 2 * W / T;
    dy_ = 2 * H / T;
    rect_ = zoomOut ? QRectF(-2 * W, -2 * H, 5 * W, 5 * H) : QRectF(0, 0, W, H);
}

void ZoomGeometry::step() {
    // In: grows by 2W / T on each side a frame, to five times the frame;
    // out: shrinks the same way back to the frame.
    const float sign = zoomOut_ ? -1.0f : 1.0f;
    rect_.adjust(-sign * dx_, -sign * dy_, sign * dx_, sign * dy_);
}

float ZoomGeometry::alpha(int k) const {
    return zoomOut_ ? 0.85f * float(k) * u_ : 0.85f * (1 - float(k) * u_);
}

int runZoomTransition(RenderContext& context, const ZoomTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool zoomOut = setting.zoomOut();
    const QSize size = context.frame.size();
    ZoomGeometry zoom(size.width(), size.height(), context.T, zoomOut);
    return runTransitionFrames(context, NewPicture::Live, [&](int k) {
        zoom.step();
        const QImage& moving = context.motion.canvas().image();
        context.frame.drawUnscaled(zoomOut ? oldFrame.image() : moving, QPoint(0, 0));
        context.frame.drawScaledWithAlpha(zoomOut ? moving : oldFrame.image(), zoom.rect(),
                                          zoom.alpha(k));
    });
}

}  // namespace velmora
