#include "render/preview_slideshow.h"

#include "base/notifier.h"
#include "base/random_generator.h"
#include "interfaces/audio_converter.h"
#include "model/model_context.h"
#include "model/slideshow.h"

namespace velmora {

namespace {

// The renderer reads only the pictures of a slideshow; none of these is
// ever called for the preview's.
class InertServices final : public PictureFiles,
                            public AudioConverterLibrary,
                            public Notifier,
                            public ProjectEvents {
  public:
    bool canLoad(const std::filesystem::path&, std::string*) override { return false; }
    bool renderCover(const std::filesystem::path&, const std::filesystem::path&) override {
        return false;
    }
    QImage renderThumbnail(const std::filesystem::path&, QSize) override { return {}; }
    int GetFileTimeLength(const std::filesystem::path&) override { return 0; }
    int xToMp2(const std::filesystem::path&, const std::filesystem::path&, const Event&,
               const ConversionLimit&) override {
        return 1;
    }
    void show(std::string_view, std::string_view, NotifierIcon) override {}
    NotifierAnswer ask(std::string_view, std::string_view, NotifierButtons) override {
        return NotifierAnswer::No;
    }
    void thumbnailsChanged(int) override {}
};

SlideImage samplePicture(const std::filesystem::path& file) {
    SlideImage picture;
    picture.sourcePath = picture.workingPath = file;
    return picture;
}

}  // namespace

struct PreviewSlideshow::InertProject {
    InertServices services;
    RandomGenerator random;
    ProjectContext context{{}, random, services, services, services, services, {}};
};

PreviewSlideshow::PreviewSlideshow(const std::filesystem::path& outgoing,
                                   const std::filesystem::path& incoming,
                                   MotionEffectKind incomingMotion, int displaySeconds,
                                   int transitionSeconds)
    : project_(std::make_unique<InertProject>()),
      slideshow_(
          std::make_unique<Slideshow>("preview", std::filesystem::path(), project_->context)) {
    slideshow_->pictures.push_back(samplePicture(outgoing));
    SlideImage entering = samplePicture(incoming);
    EffectSetting& effect = entering.settings.effect;
    effect.motionEffect = incomingMotion;
    effect.displayTime = displaySeconds;
    effect.transitionTime = transitionSeconds;
    slideshow_->pictures.push_back(std::move(entering));
}

PreviewSlideshow::PreviewSlideshow(std::vector<SlideImage> pictures)
    : project_(std::make_unique<InertProject>()),
      slideshow_(
          std::make_unique<Slideshow>("preview", std::filesystem::path(), project_->context)) {
    slideshow_->pictures = std::move(pictures);
}

PreviewSlideshow::~PreviewSlideshow() = default;

}  // namespace velmora
