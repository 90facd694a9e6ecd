#include "render/transitions/wipe_transition.h"

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

WipeGeometry::WipeGeometry(int canvasWidth, int canvasHeight, int frames, int direction, bool push)
    : push_(push) {
    const float W = float(canvasWidth), H = float(canvasHeight);
    const float T = float(frames > 0 ? frames : 1);
    switch (direction) {
        case 1:
            new_ = {W, 0};
            perFrame_ = {-W / T, 0};
            break;
        case 2:
            new_ = {0, H};
            perFrame_ = {0, -H / T};
            break;
        case 3:
            new_ = {0, -H};
            perFrame_ = {0, H / T};
            break;
        default:
            new_ = {-W, 0};
            perFrame_ = {W / T, 0};
            break;
    }
}

void WipeGeometry::step() {
    new_ += perFrame_;
    if (push_) old_ += perFrame_;
}

int runWipeTransition(RenderContext& context, const WipeTransition& setting) {
    const Canvas oldFrame = context.frame;
    const QSize size = context.frame.size();
    WipeGeometry wipe(size.width(), size.height(), context.T, setting.direction(), setting.push());
    return runTransitionFrames(context, NewPicture::Live, [&](int) {
        wipe.step();
        // Together the two pictures cover the frame: no clearing.
        context.frame.drawUnscaled(oldFrame.image(), wipe.oldAt());
        context.frame.drawUnscaled(context.motion.canvas().image(), wipe.newAt());
    });
}

}  // namespace velmora
