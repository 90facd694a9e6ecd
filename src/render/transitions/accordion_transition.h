#pragma once

#include <QPointF>
#include <array>

#include "render/transitions/transition_parts.h"

namespace velmora {

class RenderContext;
class AccordionTransition;

// Accordion: six vertical strips; the old picture folds into the far edge
// while the new one unfolds from the near edge, alternate strips slanted
// and shaded like the folds of an accordion.
struct AccordionStrip {
    int x = 0;
    int width = 0;
};
// The six strips of a canvas W wide: W / 6 each, the first W mod (W / 6)
// one pixel wider.
std::array<AccordionStrip, 6> accordionStrips(int canvasWidth);

class AccordionGeometry {
  public:
    AccordionGeometry(int canvasWidth, int canvasHeight, int frames, bool rightToLeft);
    void step();  // one frame
    const Parallelogram& oldPart(int i) const { return old_[size_t(i)]; }
    const Parallelogram& newPart(int i) const { return new_[size_t(i)]; }
    // The black over odd strips at transition frame k: 0..255.
    static int shade(int k, int frames);

  private:
    std::array<AccordionStrip, 6> strips_;
    std::array<Parallelogram, 6> old_;
    std::array<Parallelogram, 6> new_;
    float W_, H_;
    int T_;
    bool rightToLeft_;
};

int runAccordionTransition(RenderContext& context, const AccordionTransition& setting);

}  // namespace velmora
