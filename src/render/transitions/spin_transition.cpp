#include "render/transitions/spin_transition.h"

#include <QPainter>
#include <cmath>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

SpinGeometry::SpinGeometry(int canvasWidth, int canvasHeight, int frames, bool antiClockwise)
    : g_(frames / 2),
      t_(frames - frames / 2),
      m_(antiClockwise ? -30.0f : 30.0f),
      W_(float(canvasWidth)),
      H_(float(canvasHeight)),
      rect_(0, 0, canvasWidth, canvasHeight) {
    if (g_ > 0) {
        dx_ = 0.5f * W_ / float(g_);
        dy_ = 0.5f * H_ / float(g_);
    }
}

float SpinGeometry::resetAngle() const {
    // The remainder takes the sign of the dividend, as C's % does.
    return 360.0f - float(int(float(t_) * m_) % 360);
}

void SpinGeometry::step(int k) {
    if (k == g_) {  // the new picture grows back from the centre
        angle_ = resetAngle();
        dx_ = -0.5f * W_ / float(t_);
        dy_ = -0.5f * H_ / float(t_);
    }
    angle_ += m_;
    rect_.setRect(rect_.x() + dx_, rect_.y() + dy_, rect_.width() - 2 * dx_,
                  rect_.height() - 2 * dy_);
}

int runSpinTransition(RenderContext& context, const SpinTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool antiClockwise = setting.anticlockwise();
    const QSize size = context.frame.size();
    SpinGeometry spin(size.width(), size.height(), context.T, antiClockwise);
    const QPointF centre(size.width() / 2, size.height() / 2);
    return runTransitionFrames(context, NewPicture::Live, [&](int k) {
        spin.step(k);
        context.frame.clear(context.job.background);
        const QImage& picture =
            spin.showsNew(k) ? context.motion.canvas().image() : oldFrame.image();
        context.frame.drawScaled(picture, spin.rect(), spin.angle(), centre);
    });
}

}  // namespace velmora
