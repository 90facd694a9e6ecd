#include "render/transitions/accordion_transition.h"

#include <QPainter>
#include <algorithm>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

std::array<AccordionStrip, 6> accordionStrips(int canvasWidth) {
    std::array<AccordionStrip, 6> strips{};
    const int stripWidth = canvasWidth / 6;
    if (stripWidth == 0) return strips;
    const int wider = canvasWidth % stripWidth;  // modulo the strip width, not 6
    for (int i = 0; i < 6; ++i) {
        strips[size_t(i)].width = i < wider ? stripWidth + 1 : stripWidth;
        strips[size_t(i)].x = i < wider ? (stripWidth + 1) * i : wider + i * stripWidth;
    }
    return strips;
}

AccordionGeometry::AccordionGeometry(int canvasWidth, int canvasHeight, int frames,
                                     bool rightToLeft)
    : strips_(accordionStrips(canvasWidth)),
      W_(float(canvasWidth)),
      H_(float(canvasHeight)),
      T_(frames),
      rightToLeft_(rightToLeft) {
    const float nearEdge = rightToLeft ? W_ : 0;
    for (size_t i = 0; i < 6; ++i) {
        const float left = float(strips_[i].x);
        const float right = left + float(strips_[i].width);
        old_[i] = {left, 0, right, 0, left, H_};
        const bool odd = i % 2 == 1;
        new_[i] = odd ? Parallelogram{nearEdge, 0.2f * H_, nearEdge, 0, nearEdge, 1.2f * H_}
                      : Parallelogram{nearEdge, 0, nearEdge, 0.2f * H_, nearEdge, H_};
    }
}

void AccordionGeometry::step() {
    const float T = float(T_);
    const float lift = 0.2f * H_ / T;
    for (size_t i = 0; i < 6; ++i) {
        const float left = float(strips_[i].x);
        const float right = i == 5 ? W_ : float(strips_[i + 1].x);
        Parallelogram& o = old_[i];
        Parallelogram& n = new_[i];
        if (!rightToLeft_) {
            o.x0 += (W_ - left) / T;
            o.x1 += (W_ - right) / T;
            n.x0 += left / T;
            n.x1 += right / T;
        } else {
            o.x0 -= left / T;
            o.x1 -= right / T;
            n.x0 -= (W_ - left) / T;
            n.x1 -= (W_ - right) / T;
        }
        o.x2 = o.x0;
        n.x2 = n.x0;
        if (i % 2 == 1) {
            o.y0 += lift;
            o.y2 += lift;
            n.y0 -= lift;
            n.y2 -= lift;
        } else {
            o.y1 += lift;
            n.y1 -= lift;
        }
    }
}

int AccordionGeometry::shade(int k, int frames) {
    const float perFrame = 255.0f / float(frames);
    return std::min(255, int(float(k + 1) * perFrame));
}

namespace {

// The strip of `picture` at `strip`, covered with black of alpha `shade`.
void fillPart(QImage& part, const QImage& picture, const AccordionStrip& strip, int shade) {
    QPainter painter(&part);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(-strip.x, 0), picture);
    if (shade > 0) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.fillRect(part.rect(), QColor(0, 0, 0, shade));
    }
}

}  // namespace

int runAccordionTransition(RenderContext& context, const AccordionTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool rightToLeft = setting.direction() == 1;
    const QSize size = context.frame.size();
    const auto strips = accordionStrips(size.width());
    std::array<QImage, 6> oldParts, newParts;
    for (size_t i = 0; i < 6; ++i) {
        oldParts[i] = QImage(strips[i].width, size.height(), QImage::Format_RGB32);
        newParts[i] = QImage(strips[i].width, size.height(), QImage::Format_RGB32);
    }
    AccordionGeometry geometry(size.width(), size.height(), context.T, rightToLeft);
    return runTransitionFrames(context, NewPicture::Frozen, [&](int k) {
        geometry.step();
        const int shade = AccordionGeometry::shade(k, context.T);
        context.frame.clear(context.job.background);
        for (size_t i = 0; i < 6; ++i) {
            // Both pictures stand still; only the odd strips' shading changes,
            // so the even strips are filled once.
            const bool odd = i % 2 == 1;
            if (odd || k == 0) {
                fillPart(oldParts[i], oldFrame.image(), strips[i], odd ? shade : 0);
                fillPart(newParts[i], context.motion.canvas().image(), strips[i],
                         odd ? 255 - shade : 0);
            }
            geometry.oldPart(int(i)).drawOn(context.frame, oldParts[i]);
            geometry.newPart(int(i)).drawOn(context.frame, newParts[i]);
        }
    });
}

}  // namespace velmora
