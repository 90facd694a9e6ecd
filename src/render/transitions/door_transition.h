#pragma once

#include "render/transitions/transition_parts.h"

namespace velmora {

class RenderContext;
class DoorTransition;

// Door: the old picture, cut in two half doors, swings open around the
// frame's outer edges over the new picture (open), or two doors holding
// the new picture swing shut over the old one (close).
class DoorGeometry {
  public:
    DoorGeometry(int canvasWidth, int canvasHeight, int frames, bool closing);
    void step();
    const Parallelogram& left() const { return left_; }
    const Parallelogram& right() const { return right_; }

  private:
    Parallelogram left_, right_;
    float across_ = 0, down_ = 0;  // per frame
    bool closing_;
};

int runDoorTransition(RenderContext& context, const DoorTransition& setting);

}  // namespace velmora
