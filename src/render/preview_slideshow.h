#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "model/motion_effect.h"

namespace velmora {

class Slideshow;
struct SlideImage;

// A slideshow the renderer can play outside any project: the two sample
// pictures of the transition preview (picture 0 the outgoing picture,
// picture 1 the incoming one with its motion effect and times), or the
// copied pictures of a slideshow preview. It belongs to no project, so the
// services a project's slideshow reaches are inert.
class PreviewSlideshow {
  public:
    PreviewSlideshow(const std::filesystem::path& outgoing, const std::filesystem::path& incoming,
                     MotionEffectKind incomingMotion, int displaySeconds, int transitionSeconds);
    // Any pictures, in order: the copy of a project's slideshow that a
    // preview thread plays while the user goes on editing the original.
    explicit PreviewSlideshow(std::vector<SlideImage> pictures);
    ~PreviewSlideshow();
    PreviewSlideshow(const PreviewSlideshow&) = delete;
    PreviewSlideshow& operator=(const PreviewSlideshow&) = delete;

    const Slideshow& slideshow() const { return *slideshow_; }

  private:
    struct InertProject;
    std::unique_ptr<InertProject> project_;
    std::unique_ptr<Slideshow> slideshow_;
};

}  // namespace velmora
