#pragma once

#include <cstddef>
#include <vector>

namespace velmora {

class RenderContext;
class BlindsTransition;

// Blinds: n vertical blinds turn away one after another, showing the old
// picture, and turn back showing the new one.
class BlindsGeometry {
  public:
    struct Blind {
        double x = 0, width = 0;  // the current rectangle (x, 0, width, H)
        double step = 0;          // width lost or won per frame while turning
        int startFrame = 0;
        bool showsNew = false;  // which strip is drawn into the rectangle
    };

    BlindsGeometry(int canvasWidth, int blindCount, int frames, bool rightToLeft);
    // Moves every blind to transition frame k.
    void step(int k);
    const std::vector<Blind>& blinds() const { return blinds_; }
    // Where blind i sits before it turns (its strip of the picture).
    int stripX(int i) const { return stripX_[std::size_t(i)]; }
    int stripWidth(int i) const { return stripWidth_[std::size_t(i)]; }

  private:
    std::vector<Blind> blinds_;
    std::vector<int> stripX_, stripWidth_;
    double T_;
};

int runBlindsTransition(RenderContext& context, const BlindsTransition& setting);

}  // namespace velmora
