#include "render/transitions/blinds_transition.h"

#include <QPainter>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

BlindsGeometry::BlindsGeometry(int canvasWidth, int blindCount, int frames, bool rightToLeft)
    : T_(frames) {
    const int n = blindCount > 0 ? blindCount : 1;
    const int blindWidth = canvasWidth / n;
    const int wider = blindWidth > 0 ? canvasWidth % blindWidth : 0;
    for (int i = 0; i < n; ++i) {
        const int width = i < wider ? blindWidth + 1 : blindWidth;
        const int x = i < wider ? (blindWidth + 1) * i : wider + i * blindWidth;
        stripX_.push_back(x);
        stripWidth_.push_back(width);
        Blind blind;
        blind.x = x;
        blind.width = width;
        blind.step = width / (0.3 * T_);
        blind.startFrame = int(0.4 * T_ * (rightToLeft ? n - i : i) / n);
        blinds_.push_back(blind);
    }
}

void BlindsGeometry::step(int k) {
    for (size_t i = 0; i < blinds_.size(); ++i) {
        Blind& blind = blinds_[i];
        const double start = blind.startFrame;
        const double stripWidth = stripWidth_[i];
        if (k < start) continue;
        if (k < start + 0.3 * T_) {  // turning away, the old picture narrowing
            blind.x += blind.step / 2;
            blind.width -= blind.step;
            // When 0.3 T is not a whole number the blind turns one step more
            // than its width: it stays edge-on instead of turning inside out.
            if (blind.width < 0) {
                blind.x = stripX_[i] + stripWidth / 2;
                blind.width = 0;
            }
        } else if (k < start + 0.6 * T_) {  // turning back with the new picture
            blind.x -= blind.step / 2;
            blind.width += blind.step;
            blind.showsNew = true;
        } else {
            // Back in place: exactly its strip, also when the turning frames
            // did not add up to the full width.
            blind.x = stripX_[i];
            blind.width = stripWidth;
            blind.showsNew = true;
        }
    }
}

int runBlindsTransition(RenderContext& context, const BlindsTransition& setting) {
    const QSize size = context.frame.size();
    BlindsGeometry geometry(size.width(), setting.blindCount(), context.T,
                            setting.direction() == 1);
    const size_t count = geometry.blinds().size();
    std::vector<QImage> oldStrips(count), newStrips(count);
    for (size_t i = 0; i < count; ++i) {
        const QRect strip(geometry.stripX(int(i)), 0, geometry.stripWidth(int(i)), size.height());
        oldStrips[i] = context.frame.image().copy(strip);
        newStrips[i] = QImage(strip.size(), QImage::Format_RGB32);
    }
    return runTransitionFrames(context, NewPicture::Live, [&](int k) {
        geometry.step(k);
        context.frame.clear(context.job.background);
        for (size_t i = 0; i < count; ++i) {
            const BlindsGeometry::Blind& blind = geometry.blinds()[i];
            const QRectF into(blind.x, 0, blind.width, size.height());
            if (!blind.showsNew) {
                context.frame.drawScaled(oldStrips[i], into);
                continue;
            }
            QPainter(&newStrips[i])
                .drawImage(QPoint(-geometry.stripX(int(i)), 0), context.motion.canvas().image());
            context.frame.drawScaled(newStrips[i], into);
        }
    });
}

}  // namespace velmora
