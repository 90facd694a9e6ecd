#include "model/transition_kind.h"

namespace velmora {

namespace {

constexpr std::array<TransitionKindInfo, kTransitionKindCount> kKinds = {{
    {"Alpha", "TRANSITION_EFFECT_ALPHA", "alpha.jpg", "Transition Alpha Setting"},
    {"Accordion", "TRANSITION_EFFECT_ACCORDION", "accordion.jpg", "Transition Accordion Setting"},
    {"Blinds", "TRANSITION_EFFECT_BLIND", "blinds.jpg", "Transition Blinds Setting"},
    {"Circle", "TRANSITION_EFFECT_CIRCLE", "circle.jpg", "Transition Circle Setting"},
    {"Clock", "TRANSITION_EFFECT_CLOCK", "clock.jpg", "Transition Clock Setting"},
    {"Cube fly", "TRANSITION_EFFECT_CUBE_FLY", "cubefly.jpg", "Transition Cube Fly Setting"},
    {"Diagonal sweep", "TRANSITION_EFFECT_DIAGONAL_SWEEP", "diagonalsweep.jpg",
     "Transition Diagonal Sweep Setting"},
    {"Door", "TRANSITION_EFFECT_DOOR", "door.jpg", "Transition Door Setting"},
    {"Flip", "TRANSITION_EFFECT_FLIP", "flip.jpg", "Transition Flip Setting"},
    {"Fly", "TRANSITION_EFFECT_FLY", "fly.jpg", "Transition Fly Setting"},
    {"Polygon", "TRANSITION_EFFECT_POLYGON", "polygon.jpg", "Transition Polygon Setting"},
    {"Rotate in", "TRANSITION_EFFECT_ROTATE_IN", "rotatein.jpg", "Transition Rotate Setting"},
    {"Shutter", "TRANSITION_EFFECT_SHUTTER", "shutter.jpg", "Transition Shutter Setting"},
    {"Spin", "TRANSITION_EFFECT_SPIN", "spin.jpg", "Transition Spin Setting"},
    {"Sweep", "TRANSITION_EFFECT_SWEEP", "sweep.jpg", "Transition Sweep Setting"},
    {"Twist", "TRANSITION_EFFECT_TWIST", "twist.jpg", "Transition Twist Setting"},
    {"Wipe", "TRANSITION_EFFECT_WIPE", "wipe.jpg", "Transition Wipe Setting"},
    {"Zoom", "TRANSITION_EFFECT_ZOOM", "zoom.jpg", "Transition Zoom Setting"},
    {"Random", "TRANSITION_EFFECT_RANDOM", "random.jpg", ""},
}};

template <bool RandomFirst>
std::array<std::string_view, kTransitionKindCount> makeNameList() {
    std::array<std::string_view, kTransitionKindCount> names{};
    for (int id = 0; id < kConcreteTransitionKindCount; ++id) {
        names[RandomFirst ? id + 1 : id] = kKinds[id].name;
    }
    names[RandomFirst ? 0 : kConcreteTransitionKindCount] = RandomFirst ? "Random" : "random";
    return names;
}

}  // namespace

const TransitionKindInfo& transitionKindInfo(TransitionKind kind) {
    return kKinds[static_cast<size_t>(kind)];
}

bool isTransitionKindId(int id) {
    return id >= 0 && id < kTransitionKindCount;
}

const std::array<std::string_view, kTransitionKindCount>& transitionNameList() {
    static const auto names = makeNameList<false>();
    return names;
}

const std::array<std::string_view, kTransitionKindCount>& catalogueNameList() {
    static const auto names = makeNameList<true>();
    return names;
}

}  // namespace velmora
