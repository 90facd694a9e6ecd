#include "render/motion_effect_renderer.h"

#include <cmath>
#include <string>

#include "image/picture_loader.h"
#include "model/motion_effect.h"
#include "render/frame_geometry.h"

namespace velmora {

namespace {

// Which point of a zooming picture stays in place.
enum class Anchor { Centre, LeftUp, RightUp, LeftDown, RightDown };

// The five zooms in and the five zooms out list their anchors in the same
// order; the rotating zooms keep the lower-right corner as they step.
Anchor anchorOf(MotionEffectKind effect) {
    if (isRotatingZoom(effect)) return Anchor::RightDown;
    const int first =
        int(isZoomOut(effect) ? MotionEffectKind::ZoomCenterOut : MotionEffectKind::ZoomCenterIn);
    return static_cast<Anchor>(int(effect) - first);
}

int half(int v) {
    return v / 2;
}

}  // namespace

FittedPicture decodeFittedPicture(MotionEffectKind effect, const std::filesystem::path& picture,
                                  QSize canvas) {
    std::string reason;
    const ImageType type = imageTypeOf(picture.filename().string());
    FittedPicture result;
    result.pictureSize = pictureSize(picture, type, &reason);
    MotionState geometry;
    geometry.setupGeometry(effect, result.pictureSize.isValid() ? result.pictureSize : QSize(0, 0),
                           canvas, 1);
    if (geometry.dw > 0 && geometry.dh > 0) {
        result.fitted =
            loadPictureScaled(picture, type, QSize(geometry.dw, geometry.dh), &reason).image();
    }
    return result;
}

void MotionState::setupMotion(MotionEffectKind effect, const std::filesystem::path& picture,
                              QSize canvas, int frames) {
    setupMotion(effect, decodeFittedPicture(effect, picture, canvas), canvas, frames);
}

void MotionState::setupMotion(MotionEffectKind effect, FittedPicture picture, QSize canvas,
                              int frames) {
    setupGeometry(effect, picture.pictureSize.isValid() ? picture.pictureSize : QSize(0, 0),
                  canvas, frames);
    fitted_ = dw > 0 && dh > 0 ? std::move(picture.fitted) : QImage();
    if (canvas_.size() != canvas) canvas_ = Canvas(canvas);
    stillDrawn_ = false;
}

void MotionState::setupGeometry(MotionEffectKind effect, QSize pictureSize, QSize canvas,
                                int frames) {
    W = canvas.width();
    H = canvas.height();
    stillDrawn_ = false;
    const QSize fitted = fitPicture(pictureSize.width(), pictureSize.height(), W, H, effect);
    dw = fitted.width();
    dh = fitted.height();
    dx = dy = da = 0;
    const float n = float(std::max(frames, 1));

    if (isPan(effect)) {
        const int ex = W - dw;
        const int ey = H - dh;
        const float ax = float(std::abs(ex)) / n;
        const float ay = float(std::abs(ey)) / n;
        const bool narrower = ex > 0;
        struct Pan {
            int startX, startY;  // when the picture is not narrower than the canvas
            float sx, sy;        // signs of dx, dy
        };
        // A picture narrower than the canvas starts centred whatever the pan.
        const Pan pans[8] = {
            {0, half(ey), -1, 0}, {ex, half(ey), +1, 0}, {0, ey, -1, +1},
            {ex, 0, +1, -1},      {0, 0, -1, -1},        {ex, ey, +1, +1},
            {half(ex), 0, 0, -1}, {half(ex), ey, 0, +1},
        };
        const Pan& pan = pans[int(effect)];
        x = float(narrower ? half(ex) : pan.startX);
        y = float(narrower ? half(ey) : pan.startY);
        w = float(dw);
        h = float(dh);
        dx = pan.sx * ax;
        dy = pan.sy * ay;
        return;
    }
    if (isZoom(effect)) {
        const bool zoomOut = isZoomOut(effect);
        dx = (zoomOut ? -0.25f : 0.25f) * float(dw) / n;
        dy = (zoomOut ? -0.25f : 0.25f) * float(dh) / n;
        if (zoomOut) {
            const QSize start = zoomOutStartSize(fitted);
            dw = start.width();
            dh = start.height();
        }
        w = float(dw);
        h = float(dh);
        if (effect == MotionEffectKind::ZoomInAndRotate) da = 30.0f / n;
        if (effect == MotionEffectKind::ZoomOutAndRotate) da = -30.0f / n;
        switch (isRotatingZoom(effect) ? Anchor::Centre : anchorOf(effect)) {
            case Anchor::Centre:
                x = float(W - w) * 0.5f;
                y = float(H - h) * 0.5f;
                break;
            case Anchor::LeftUp:
                x = y = 0;
                break;
            case Anchor::RightUp:
                x = float(W) - w;
                y = 0;
                break;
            case Anchor::LeftDown:
                x = 0;
                y = float(H) - h;
                break;
            case Anchor::RightDown:
                x = float(W) - w;
                y = float(H) - h;
                break;
        }
        return;
    }
    // None: the picture stays centred.
    x = float(half(W - dw));
    y = float(half(H - dh));
    w = float(dw);
    h = float(dh);
}

void MotionState::step(int k, MotionEffectKind effect) {
    const float kx = dx * float(k);
    const float ky = dy * float(k);
    if (isPan(effect)) {
        x += kx;
        y += ky;
        return;
    }
    if (!isZoom(effect)) return;
    switch (anchorOf(effect)) {
        case Anchor::Centre:
            x -= kx / 2;
            y -= ky / 2;
            break;
        case Anchor::LeftUp:
            break;
        case Anchor::RightUp:
            x -= kx;
            break;
        case Anchor::LeftDown:
            y -= ky;
            break;
        case Anchor::RightDown:
            x -= kx;
            y -= ky;
            break;
    }
    w += kx;
    h += ky;
}

void MotionState::draw(float degrees, MotionEffectKind effect, QRgb background) {
    if (isStill() && stillDrawn_ && stillBackground_ == background) return;
    stillDrawn_ = isStill();
    stillBackground_ = background;
    // A picture covering the whole canvas leaves no background to show:
    // clearing first would only cost a pass over the frame.
    const bool covers = !fitted_.isNull() && !isRotatingZoom(effect) && x <= 0 && y <= 0 &&
                        x + w >= float(W) && y + h >= float(H);
    if (!covers) canvas_.clear(background);
    if (fitted_.isNull()) return;
    canvas_.drawScaled(fitted_, QRectF(x, y, w, h), isRotatingZoom(effect) ? degrees : 0,
                       QPointF(W / 2, H / 2));
}

void MotionState::renderMotionFrame(int motionFrame, MotionEffectKind effect, QRgb background) {
    step(1, effect);
    draw(float(motionFrame) * da, effect, background);
}

void MotionState::advanceMotion(int k, MotionEffectKind effect, QRgb background) {
    step(k, effect);
    draw(float(k) * da, effect, background);
}

}  // namespace velmora
