#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/log.h"
#include "base/notifier.h"
#include "base/random_generator.h"
#include "interfaces/audio_converter.h"
#include "model/model_context.h"
#include "model/slideshow.h"
#include "model/transition_setting.h"
#include "support/temporary_folder.h"

namespace velmora::test {

class NoPictures final : public PictureFiles {
  public:
    bool canLoad(const std::filesystem::path&, std::string*) override { return true; }
    bool renderCover(const std::filesystem::path&, const std::filesystem::path&) override {
        return true;
    }
    QImage renderThumbnail(const std::filesystem::path&, QSize) override { return {}; }
};
class NoAudio final : public AudioConverterLibrary {
  public:
    int GetFileTimeLength(const std::filesystem::path&) override { return 0; }
    int xToMp2(const std::filesystem::path&, const std::filesystem::path&, const Event&,
               const ConversionLimit&) override {
        return 0;
    }
};
class Silent final : public Notifier, public ProjectEvents {
  public:
    void show(std::string_view, std::string_view, NotifierIcon) override {}
    NotifierAnswer ask(std::string_view, std::string_view, NotifierButtons) override {
        return NotifierAnswer::No;
    }
    void thumbnailsChanged(int) override {}
};

// A slideshow in a temporary folder, its pictures added directly with the
// settings a test wants.
class SlideshowFixture : public ::testing::Test {
  protected:
    void addPicture(const std::string& name, bool isPal, int display, int transition,
                    TransitionKind kind, int mode, int motionEffect = 20) {
        SlideImage picture;
        picture.sourcePath = picture.workingPath = folder_ / name;
        picture.settings.tvStandard = isPal ? TvStandard::Pal : TvStandard::Ntsc;
        picture.settings.effect.displayTime = display;
        picture.settings.effect.transitionTime = transition;
        picture.settings.effect.motionEffect = static_cast<MotionEffectKind>(motionEffect);
        picture.settings.effect.transition = makeTransition(kind);
        picture.settings.effect.transition->setParameters(mode);
        slideshow_.pictures.push_back(std::move(picture));
        slideshow_.recomputeFrames();
    }

    TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    RandomGenerator random_{1};
    NoPictures pictures_;
    NoAudio audio_;
    Silent silent_;
    ProjectContext context_{{}, random_, pictures_, audio_, silent_, silent_, {}};
    Slideshow slideshow_{"trip", folder_.path(), context_};
};

}  // namespace velmora::test
