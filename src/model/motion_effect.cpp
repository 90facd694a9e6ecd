#include "model/motion_effect.h"

#include "base/random_generator.h"

namespace velmora {

const std::array<std::string_view, kMotionEffectListSize>& motionEffectNames() {
    static constexpr std::array<std::string_view, kMotionEffectListSize> kNames = {
        "pan from left to right",
        "pan from right to left",
        "pan from left-down to right-up",
        "pan from right-up to left-down",
        "pan from left-up to right-down",
        "pan from right-down to left-up",
        "pan from up to down",
        "pan from down to up",
        "zoom center in",
        "zoom left-up in",
        "zoom right-up in",
        "zoom left-down in",
        "zoom right-down in",
        "zoom center out",
        "zoom left-up out",
        "zoom right-up out",
        "zoom left-down out",
        "zoom right-down out",
        "zoom in and rotate",
        "zoom out and rotate",
        "none",
        "random",
    };
    return kNames;
}

const std::array<std::string_view, kMotionCategoryCount>& motionCategoryNames() {
    static constexpr std::array<std::string_view, kMotionCategoryCount> kNames = {
        "None", "Pan", "Pan/Zoom", "Pan/Zoom/Rotate"};
    return kNames;
}

MotionEffectKind drawMotionEffect(int category, RandomSource& random) {
    switch (static_cast<MotionCategory>(category)) {
        case MotionCategory::None:
            return MotionEffectKind::None;
        case MotionCategory::Pan:
            return motionEffectFromNumber(drawInRange(random, 4095, 0, 0, 7));
        case MotionCategory::PanZoom:
            return motionEffectFromNumber(drawInRange(random, 1820, 0, 0, 17));
        case MotionCategory::PanZoomRotate:
            return motionEffectFromNumber(drawInRange(random, 1638, 0, 0, 19));
    }
    return motionEffectFromNumber(category);
}

}  // namespace velmora
