#pragma once

#include <array>
#include <string_view>

namespace velmora {

// The transition kinds. Ids are the alphabetical order of the names and are
// stored in every transition object; 18 is the Random entry, which resolves
// to a concrete kind when it is applied to a picture.
enum class TransitionKind : int {
    Alpha = 0,
    Accordion,
    Blinds,
    Circle,
    Clock,
    CubeFly,
    DiagonalSweep,
    Door,
    Flip,
    Fly,
    Polygon,
    RotateIn,
    Shutter,
    Spin,
    Sweep,
    Twist,
    Wipe,
    Zoom,
    Random,
};

// Counted from the enum, so a new kind (added before Random) counts itself.
inline constexpr int kConcreteTransitionKindCount = static_cast<int>(TransitionKind::Random);
inline constexpr int kTransitionKindCount = kConcreteTransitionKindCount + 1;  // with Random

struct TransitionKindInfo {
    std::string_view name;         // shown to the user
    std::string_view markupName;   // NAME attribute of TRANSITION_EFFECT_SETTING
    std::string_view coverFile;    // picture in the EffectCover resource folder
    std::string_view dialogTitle;  // empty for Random, which has no dialog
};

const TransitionKindInfo& transitionKindInfo(TransitionKind kind);
inline int transitionKindId(TransitionKind kind) {
    return static_cast<int>(kind);
}
bool isTransitionKindId(int id);  // 0..18

// The 18 names in id order followed by "random" (index 18): the list of the
// preference and picture dialogs.
const std::array<std::string_view, kTransitionKindCount>& transitionNameList();
// "Random" followed by the 18 names (index = id + 1): the list of the effect
// settings dialog and the transition catalogue.
const std::array<std::string_view, kTransitionKindCount>& catalogueNameList();

}  // namespace velmora
