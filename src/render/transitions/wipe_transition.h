#pragma once

#include <QPointF>

namespace velmora {

class RenderContext;
class WipeTransition;

// Wipe: the new picture slides in from one side over the old one, or
// pushes it out.
class WipeGeometry {
  public:
    // direction: 0 left to right, 1 right to left, 2 bottom to up, 3 up to
    // bottom.
    WipeGeometry(int canvasWidth, int canvasHeight, int frames, int direction, bool push);
    void step();
    QPointF newAt() const { return new_; }
    QPointF oldAt() const { return old_; }

  private:
    QPointF new_, old_, perFrame_;
    bool push_;
};

int runWipeTransition(RenderContext& context, const WipeTransition& setting);

}  // namespace velmora
