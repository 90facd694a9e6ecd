#include "render/transitions/door_transition.h"

#include <QPainter>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

DoorGeometry::DoorGeometry(int canvasWidth, int canvasHeight, int frames, bool closing)
    : closing_(closing) {
    const float W = float(canvasWidth), H = float(canvasHeight), T = float(frames > 0 ? frames : 1);
    across_ = W / (2 * T);
    down_ = 0.3f * H / T;
    if (!closing) {
        left_ = {0, 0, W / 2, 0, 0, H};
        right_ = {W / 2, 0, W, 0, W / 2, H};
    } else {
        left_ = {0, 0, 0, 0.3f * H, 0, H};
        right_ = {W, 0.3f * H, W, 0, W, 1.3f * H};
    }
}

void DoorGeometry::step() {
    // Open: the inner edges slide outwards and down; close: inwards and up.
    const float sign = closing_ ? -1.0f : 1.0f;
    left_.x1 -= sign * across_;
    left_.y1 += sign * down_;
    right_.x0 += sign * across_;
    right_.x2 += sign * across_;
    right_.y0 += sign * down_;
    right_.y2 += sign * down_;
}

namespace {

// The two halves of `picture`: the right one is the picture drawn at −W / 2.
void fillDoors(QImage& left, QImage& right, const QImage& picture) {
    QPainter(&left).drawImage(QPointF(0, 0), picture);
    QPainter(&right).drawImage(QPointF(-picture.width() * 0.5, 0), picture);
}

}  // namespace

int runDoorTransition(RenderContext& context, const DoorTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool closing = setting.closing();
    const QSize size = context.frame.size();
    const QSize half(size.width() / 2, size.height());
    QImage left(half, QImage::Format_RGB32), right(half, QImage::Format_RGB32);
    if (!closing) fillDoors(left, right, oldFrame.image());
    DoorGeometry geometry(size.width(), size.height(), context.T, closing);
    return runTransitionFrames(
        context, closing ? NewPicture::Frozen : NewPicture::Live, [&](int k) {
            geometry.step();
            const QImage& motion = context.motion.canvas().image();
            // Closing doors hold the frozen new picture: it is the same every frame.
            if (closing && k == 0) fillDoors(left, right, motion);
            context.frame.drawUnscaled(closing ? oldFrame.image() : motion, QPoint(0, 0));
            geometry.left().drawOn(context.frame, left);
            geometry.right().drawOn(context.frame, right);
        });
}

}  // namespace velmora
