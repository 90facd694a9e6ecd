#pragma once

#include <filesystem>
#include <memory>

#include "model/motion_effect.h"

namespace velmora {

class Slideshow;

// The two sample pictures of the transition preview as a slideshow the
// renderer can play outside any project: picture 0 is the outgoing picture,
// picture 1 the incoming one with its motion effect and times. It belongs
// to no project, so the services a project's slideshow reaches are inert.
class PreviewSlideshow {
  public:
    PreviewSlideshow(const std::filesystem::path& outgoing, const std::filesystem::path& incoming,
                     MotionEffectKind incomingMotion, int displaySeconds, int transitionSeconds);
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
