#include "tools/standalone_slideshow.h"

#include <ctime>
#include <iostream>
#include <string>

#include "base/event.h"
#include "base/path_text.h"
#include "interfaces/video_format.h"
#include "model/transition_setting.h"

namespace velmora::tools {

namespace fs = std::filesystem;

StandaloneSlideshow::StandaloneSlideshow(const fs::path& workingFolder, TvStandard standard,
                                         const Log& log)
    : standard_(standard),
      random_(uint32_t(std::time(nullptr))),
      audio_(log),
      context_{{}, random_, pictures_, audio_, *this, *this, {}},
      slideshow_("slideshow", workingFolder, context_) {}

bool StandaloneSlideshow::add(const PictureEntry& entry, std::string& reason) {
    if (!isTransitionKindId(entry.transitionKind)) {
        reason = "transition kind " + std::to_string(entry.transitionKind) + " is not 0.." +
                 std::to_string(kTransitionKindCount - 1);
        return false;
    }
    SlideSettings defaults;
    defaults.tvStandard = standard_;
    if (slideshow_.addPicture(entry.path, defaults) != 0) {
        reason = quotedPath(entry.path) + " is not a picture Velmora can load";
        return false;
    }
    EffectSetting& effect = slideshow_.pictures.back().settings.effect;
    effect.displayTime = entry.displaySeconds;
    effect.transitionTime = entry.transitionSeconds;
    effect.motionEffect = motionEffectFromNumber(entry.motionEffect);
    const auto chosen = makeTransition(TransitionKind(entry.transitionKind));
    // Random becomes a kind with drawn parameters, as when a user applies it.
    effect.transition = cloneTransition(*chosen, random_);
    if (chosen->kind() != TransitionKind::Random) {
        const int second = entry.transitionSecond >= 0 ? entry.transitionSecond
                                                       : effect.transition->secondParameter();
        effect.transition->setParameters(entry.transitionMode, second);
    }
    slideshow_.recomputeFrames();
    return true;
}

bool StandaloneSlideshow::prepareSoundtrack(const fs::path& music, std::string& reason) {
    std::error_code ignored;
    fs::create_directories(slideshow_.soundtrackPath.parent_path(), ignored);
    const Event neverCancelled;
    if (audio_.xToMp2(music, slideshow_.soundtrackPath, neverCancelled) != 0) {
        reason = quotedPath(music) + " cannot be converted to the slideshow's soundtrack";
        return false;
    }
    return true;
}

void StandaloneSlideshow::show(std::string_view text, std::string_view, NotifierIcon) {
    std::cerr << text << '\n';
}

NotifierAnswer StandaloneSlideshow::ask(std::string_view text, std::string_view, NotifierButtons) {
    std::cerr << text << " (answered no)\n";
    return NotifierAnswer::No;
}

}  // namespace velmora::tools
