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

inline constexpr int kMotionEffectNone = int(MotionEffectKind::None);
inline constexpr int kMotionEffectRandom = int(MotionEffectKind::Random);
inline constexpr int kMotionEffectListSize = 22;

// The kind stored as `number` (a project file's SINGLE_EFFECT_ID), or None
// for a number no picture can hold.
constexpr MotionEffectKind motionEffectFromNumber(int number) {
    return number >= 0 && number <= kMotionEffectNone ? static_cast<MotionEffectKind>(number)
                                                      : MotionEffectKind::None;
}

// The eight pans (0..7) move a picture fitted 5 % larger than the frame.
constexpr bool isPan(MotionEffectKind kind) {
    return int(kind) >= 0 && int(kind) <= int(MotionEffectKind::PanDownToUp);
}
// The zooms (8..17) and the rotating zooms (18, 19) change the picture's size.
constexpr bool isZoom(MotionEffectKind kind) {
    return int(kind) >= int(MotionEffectKind::ZoomCenterIn) &&
           int(kind) <= int(MotionEffectKind::ZoomOutAndRotate);
}
constexpr bool isRotatingZoom(MotionEffectKind kind) {
    return kind == MotionEffectKind::ZoomInAndRotate || kind == MotionEffectKind::ZoomOutAndRotate;
}
// The zooms that start a quarter larger and shrink (13..17 and 19).
constexpr bool isZoomOut(MotionEffectKind kind) {
    return (int(kind) >= int(MotionEffectKind::ZoomCenterOut) &&
            int(kind) <= int(MotionEffectKind::ZoomRightDownOut)) ||
           kind == MotionEffectKind::ZoomOutAndRotate;
}

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
MotionEffectKind drawMotionEffect(int category, RandomSource& random);

}  // namespace velmora
