#include "render/transitions/fly_transition.h"

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

FlyGeometry::FlyGeometry(int canvasWidth, int canvasHeight, int frames, bool flyingOut)
    : flyingOut_(flyingOut),
      W_(float(canvasWidth)),
      H_(float(canvasHeight)),
      half_(int(frames * 0.5)),
      rest_(frames - int(frames * 0.5)) {
    wholePixels_ = rest_ > 0 ? (canvasWidth / 2) / rest_ : 0;
    if (!flyingOut) {
        tl_ = tr_ = br_ = bl_ = {W_ / 2, H_ / 2};
    } else {
        tl_ = {0, 0};
        tr_ = {W_, 0};
        br_ = {W_, H_};
        bl_ = {0, H_};
    }
}

void FlyGeometry::step(int k) {
    if (k < half_) {
        const float n = float(half_);
        if (!flyingOut_) {  // out of the middle, lying back
            tl_ = {tl_.x - 0.25f * W_ / n, tl_.y + 0.25f * H_ / n};
            tr_ = {tr_.x + 0.25f * W_ / n, tr_.y + 0.25f * H_ / n};
            br_ = {br_.x + 0.5f * W_ / n, br_.y + 0.5f * H_ / n};
            bl_ = {bl_.x - 0.5f * W_ / n, bl_.y + 0.5f * H_ / n};
        } else {  // tipping back onto the bottom edge
            tl_ = {tl_.x + 0.25f * W_ / n, tl_.y + 0.75f * H_ / n};
            tr_ = {tr_.x - 0.25f * W_ / n, tr_.y + 0.75f * H_ / n};
        }
        return;
    }
    const float n = float(rest_);
    if (!flyingOut_) {  // standing up into the frame
        tl_ = {tl_.x - 0.25f * W_ / n, tl_.y - 0.75f * H_ / n};
        tr_ = {tr_.x + 0.25f * W_ / n, tr_.y - 0.75f * H_ / n};
        return;
    }
    // Flying off: the bottom edge narrows by whole pixels as it rises.
    tl_ = {tl_.x - 0.25f * W_ / n, tl_.y - 0.25f * H_ / n};
    tr_ = {tr_.x + 0.25f * W_ / n, tr_.y - 0.25f * H_ / n};
    br_ = {br_.x - float(wholePixels_), br_.y - 0.5f * H_ / n};
    bl_ = {bl_.x + float(wholePixels_), bl_.y - 0.5f * H_ / n};
}

double FlyGeometry::insetStep() const {
    const double bottom = br_.x - bl_.x;
    return bottom > 0 ? (1 - (tr_.x - tl_.x) / bottom) * W_ * 0.5 / H_ : 0;
}

int runFlyTransition(RenderContext& context, const FlyTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool flyingOut = setting.flyOut();
    const QSize size = context.frame.size();
    FlyGeometry fly(size.width(), size.height(), context.T, flyingOut);
    QImage flying(size, QImage::Format_ARGB32_Premultiplied);
    return runTransitionFrames(
        context, flyingOut ? NewPicture::Live : NewPicture::Frozen, [&](int k) {
            fly.step(k);
            const QImage& moving = context.motion.canvas().image();
            context.frame.drawUnscaled(flyingOut ? moving : oldFrame.image(), QPoint(0, 0));
            const float width = fly.bottomRight().x - fly.bottomLeft().x;
            const float height = fly.bottomRight().y - fly.topLeft().y;
            // A quad with no width or height (the end of fly out) draws nothing.
            if (width <= 0 || height <= 0) return;
            // Row i at (F × (H − i), i, W − 2F × (H − i), 1): narrower towards the top.
            drawInsetSlices(flyingOut ? oldFrame.image() : moving, SliceAxis::Rows, InsetFrom::End,
                            fly.insetStep(), flying, 0x00000000);
            context.frame.drawScaled(flying,
                                     QRectF(fly.bottomLeft().x, fly.topLeft().y, width, height));
        });
}

}  // namespace velmora
