#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "interfaces/video_format.h"
#include "model/motion_effect.h"
#include "model/transition_setting.h"

namespace velmora {

class RandomSource;

// Stored times beyond these are not something the program writes; values
// read from files are held to a range the frame arithmetic can carry.
inline constexpr int kLongestDisplaySeconds = 3600;
inline constexpr int kLongestTransitionSeconds = 60;

// What happens to one picture on screen: the transition into it with its
// length, its motion effect and how long it stays.
struct EffectSetting {
    std::unique_ptr<TransitionSetting> transition;  // never empty
    int transitionTime = 2;                         // whole seconds
    MotionEffectKind motionEffect = MotionEffectKind::None;
    int displayTime = 3;     // whole seconds
    int motionCategory = 0;  // the category motionEffect is drawn from

    // An Alpha transition with its default parameters.
    EffectSetting();
    EffectSetting(const EffectSetting&) = delete;
    EffectSetting& operator=(const EffectSetting&) = delete;
    EffectSetting(EffectSetting&&) = default;
    EffectSetting& operator=(EffectSetting&&) = default;

    // What a picture receives from the defaults: the two times and the
    // category are copied, the motion effect is drawn anew from the category
    // and the transition is cloned (a Random transition resolving to a
    // concrete kind), so every picture gets its own draw.
    void copyFrom(const EffectSetting& source, RandomSource& random);
};

// A picture's settings (and the project defaults new pictures copy).
struct SlideSettings {
    TvStandard tvStandard = TvStandard::Ntsc;
    EffectSetting effect;
    std::string workingPath;  // carried by project files, never filled
    std::filesystem::path tempPath;
    std::filesystem::path outputPath;

    // Copies everything but workingPath; the effect by its copy rule.
    void copyFrom(const SlideSettings& source, RandomSource& random);
    // tempPath = W/temp, outputPath = W/dvd.
    void setFolders(const std::filesystem::path& workingFolder);
};

}  // namespace velmora
