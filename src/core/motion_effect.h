#pragma once

#include <array>
#include <string_view>

namespace velmora {

class RandomSource;

// The motion effects a picture can play while it is on screen. A picture
// always holds 0..20; Random (21) exists only as a list entry.
enum class MotionEffectKind : int {
    PanLeftToRight = 0,
    PanRightToLeft,
    PanLeftDownToRightUp,
    PanRightUpToLeftDown,
    PanLeftUpToRightDown,
    PanRightDownToLeftUp,
    PanUpToDown,
    PanDownToUp,
    ZoomCenterIn,
    ZoomLeftUpIn,
    ZoomRightUpIn,
    ZoomLeftDownIn,
    ZoomRightDownIn,
    ZoomCenterOut,
    ZoomLeftUpOut,
    ZoomRightUpOut,
    ZoomLeftDownOut,
    ZoomRightDownOut,
    ZoomInAndRotate,
    ZoomOutAndRotate,
    None,
    Random,
};

inline constexpr int kMotionEffectNone = 20;
inline constexpr int kMotionEffectRandom = 21;
inline constexpr int kMotionEffectListSize = 22;

// The categories a motion effect is drawn from.
enum class MotionCategory : int { None = 0, Pan, PanZoom, PanZoomRotate };
inline constexpr int kMotionCategoryCount = 4;

// The names of ids 0..21 in list order.
const std::array<std::string_view, kMotionEffectListSize>& motionEffectNames();
// "None", "Pan", "Pan/Zoom", "Pan/Zoom/Rotate".
const std::array<std::string_view, kMotionCategoryCount>& motionCategoryNames();

// The motion effect a picture gets from its category: 0 gives 20 (none),
// 1 a pan (rand() / 4095, 8 folded to 7), 2 a pan or zoom (rand() / 1820, 18
// folded to 17), 3 any effect (rand() / 1638, 20 folded to 19); any other
// value is taken as the effect itself.
int drawMotionEffect(int category, RandomSource& random);

}  // namespace velmora
