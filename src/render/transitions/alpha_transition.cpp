#include "render/transitions/alpha_transition.h"

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

int runAlphaTransition(RenderContext& context, const AlphaTransition& setting) {
    const Canvas frozen = context.frame;  // the last frame of the previous picture
    const int mode = setting.mode();
    Canvas colour;
    if (mode != 0) {
        colour = Canvas(context.frame.size());
        colour.clear(mode == 1 ? 0xFFFFFFFF : 0xFF000000);
    }
    const int T = context.T;
    return runTransitionFrames(context, NewPicture::Live, [&](int k) {
        const QImage& moving = context.motion.canvas().image();
        if (mode == 0) {
            context.frame.drawUnscaled(frozen.image(), QPoint(0, 0));
            context.frame.drawWithAlpha(moving, QPoint(0, 0), float(k + 1) / float(T));
        } else if (k < T / 2) {
            context.frame.drawUnscaled(frozen.image(), QPoint(0, 0));
            context.frame.drawWithAlpha(colour.image(), QPoint(0, 0), float(k + 1) * 2 / float(T));
        } else {
            context.frame.drawUnscaled(colour.image(), QPoint(0, 0));
            context.frame.drawWithAlpha(moving, QPoint(0, 0), float(k - T / 2 + 1) * 2 / float(T));
        }
    });
}

}  // namespace velmora
