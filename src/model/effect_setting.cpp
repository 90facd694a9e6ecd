#include "model/effect_setting.h"

#include "base/random_generator.h"
#include "model/motion_effect.h"

namespace velmora {

EffectSetting::EffectSetting() : transition(makeTransition(TransitionKind::Alpha)) {}

void EffectSetting::copyFrom(const EffectSetting& source, RandomSource& random) {
    transitionTime = source.transitionTime;
    displayTime = source.displayTime;
    motionCategory = source.motionCategory;
    motionEffect = drawMotionEffect(motionCategory, random);
    transition = cloneTransition(*source.transition, random);
}

void SlideSettings::copyFrom(const SlideSettings& source, RandomSource& random) {
    tvStandard = source.tvStandard;
    effect.copyFrom(source.effect, random);
    tempPath = source.tempPath;
    outputPath = source.outputPath;
}

void SlideSettings::setFolders(const std::filesystem::path& workingFolder) {
    tempPath = workingFolder / "temp";
    outputPath = workingFolder / "dvd";
}

}  // namespace velmora
