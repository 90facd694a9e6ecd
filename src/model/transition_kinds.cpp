#include "model/transition_kinds.h"

namespace velmora {

namespace {

// Radio-button sets shared by several kinds.
constexpr ParameterChoice kLeftRight[] = {{0, "Left to right"}, {1, "Right to left"}};
constexpr ParameterChoice kFourDirections[] = {
    {0, "Left to right"}, {1, "Right to left"}, {2, "Bottom to up"}, {3, "Up to bottom"}};
constexpr ParameterChoice kClockwise[] = {{0, "Closewise"}, {1, "Anti-Closewise"}};
constexpr ParameterChoice kFlyInOut[] = {{0, "Fly in"}, {1, "Fly out"}};
constexpr ParameterChoice kVerticalHorizontal[] = {{0, "Vertical"}, {1, "Horizontal"}};
constexpr ParameterChoice kYesNo[] = {{1, "Yes"}, {0, "No"}};

// A two-way choice drawn as rand() / 16380 (2 folded to 1).
constexpr TransitionParameter twoWay(std::string_view element,
                                     std::span<const ParameterChoice> choices,
                                     int defaultValue = 0) {
    return {element, choices, 0, 1, defaultValue, 16380, 0};
}
// A four-way direction drawn as rand() / 8190 (4 folded to 3).
constexpr TransitionParameter fourWay(std::string_view element,
                                      std::span<const ParameterChoice> choices) {
    return {element, choices, 0, 3, 0, 8190, 0};
}
// An edge width 1..80 drawn as rand() / 405 (0 folded to 1).
constexpr TransitionParameter width(std::string_view element) {
    return {element, {}, 1, 80, 40, 405, 0};
}

constexpr ParameterChoice kAlphaModes[] = {
    {0, "Normal"}, {1, "Fade to white"}, {2, "Fade to black"}};
constexpr TransitionParameter kAlpha[] = {
    {"TRANSITION_EFFECT_ALPHA_PARAM", kAlphaModes, 0, 2, 0, 10920, 0}};

constexpr TransitionParameter kAccordion[] = {
    twoWay("TRANSITION_EFFECT_ACCORDION_PARAM", kLeftRight)};

constexpr TransitionParameter kBlinds[] = {
    twoWay("TRANSITION_EFFECT_BLIND_PARAM_DIRECTION", kLeftRight),
    {"TRANSITION_EFFECT_BLIND_WINDOW_NUMBER", {}, 4, 10, 8, 4680, 4}};

constexpr ParameterChoice kCircleDirections[] = {{0, "Small to big"}, {1, "Big to small"}};
constexpr TransitionParameter kCircle[] = {
    twoWay("TRANSITION_EFFECT_CIRCLE_PARAM_DIRECTION", kCircleDirections),
    width("TRANSITION_EFFECT_CIRCLE_WIDTH")};

constexpr ParameterChoice kFingers[] = {{0, "1 Finger"}, {1, "2 Fingers"}, {2, "4 Fingers"}};
constexpr TransitionParameter kClock[] = {
    {"TRANSITION_EFFECT_CLOCK_FINGER_NUMBER", kFingers, 0, 2, 2, 10920, 0},
    twoWay("TRANSITION_EFFECT_CLOCK_PARAM_USE_SMOOTH", kYesNo, 1)};

constexpr ParameterChoice kCubeDirections[] = {
    {0, "Bottom to up"}, {1, "Up to bottom"}, {2, "Left to right"}, {3, "Right to left"}};
constexpr TransitionParameter kCubeFly[] = {
    fourWay("TRANSITION_EFFECT_CUBE_FLY_PARAM", kCubeDirections)};

constexpr TransitionParameter kDiagonalSweep[] = {
    twoWay("TRANSITION_EFFECT_DIAGONAL_SWEEP_DIRECTION", kLeftRight),
    width("TRANSITION_EFFECT_DIAGONAL_SWEEP_PARAM_WIDTH")};

constexpr ParameterChoice kDoorModes[] = {{0, "Open door"}, {1, "Close Door"}};
constexpr TransitionParameter kDoor[] = {twoWay("TRANSITION_EFFECT_DOOR_PARAM", kDoorModes)};

constexpr TransitionParameter kFlip[] = {
    twoWay("TRANSITION_EFFECT_FLIP_PARAM", kVerticalHorizontal)};

constexpr TransitionParameter kFly[] = {twoWay("TRANSITION_EFFECT_FLY_PARAM", kFlyInOut, 1)};

constexpr TransitionParameter kPolygon[] = {
    {"TRANSITION_EFFECT_POLYGON_PARAM_NUMBER", {}, 3, 9, 7, 4680, 3},
    twoWay("TRANSITION_EFFECT_POLYGON_DIRECTION", kFlyInOut)};

constexpr TransitionParameter kRotateIn[] = {
    twoWay("TRANSITION_EFFECT_ROTATE_IN_PARAM", kClockwise)};

constexpr TransitionParameter kShutter[] = {
    twoWay("TRANSITION_EFFECT_SHUTTER_DIRECTION", kVerticalHorizontal),
    width("TRANSITION_EFFECT_SHUTTER_PARAM_WIDTH")};

// Spin's parameter element has the same text as its NAME.
constexpr TransitionParameter kSpin[] = {twoWay("TRANSITION_EFFECT_SPIN", kClockwise)};

constexpr TransitionParameter kSweep[] = {
    fourWay("TRANSITION_EFFECT_SWEEP_DIRECTION", kFourDirections),
    width("TRANSITION_EFFECT_SWEEP_PARAM_WIDTH")};

constexpr TransitionParameter kTwist[] = {twoWay("TRANSITION_EFFECT_TWIST_PARAM", kLeftRight)};

constexpr TransitionParameter kWipe[] = {
    fourWay("TRANSITION_EFFECT_WIPE_DIRECTION", kFourDirections),
    twoWay("TRANSITION_EFFECT_WIPE_PARAM_PUSH", kYesNo, 1)};

constexpr ParameterChoice kZoomModes[] = {{0, "Zoom in"}, {1, "Zoom out"}};
constexpr TransitionParameter kZoom[] = {twoWay("TRANSITION_EFFECT_ZOOM_PARAM", kZoomModes)};

using K = TransitionKind;

constexpr TransitionDescription kAlphaKind{K::Alpha, {}, kAlpha};
constexpr TransitionDescription kAccordionKind{K::Accordion, {}, kAccordion};
constexpr TransitionDescription kBlindsKind{K::Blinds, "TRANSITION_EFFECT_BLIND_PARAM", kBlinds};
constexpr TransitionDescription kCircleKind{K::Circle, "TRANSITION_EFFECT_CIRCLE_PARAM", kCircle};
constexpr TransitionDescription kClockKind{K::Clock, "TRANSITION_EFFECT_CLOCK_PARAM", kClock};
constexpr TransitionDescription kCubeFlyKind{K::CubeFly, {}, kCubeFly};
constexpr TransitionDescription kDiagonalSweepKind{
    K::DiagonalSweep, "TRANSITION_EFFECT_DIAGONAL_SWEEP_PARAM", kDiagonalSweep};
constexpr TransitionDescription kDoorKind{K::Door, {}, kDoor};
constexpr TransitionDescription kFlipKind{K::Flip, {}, kFlip};
constexpr TransitionDescription kFlyKind{K::Fly, {}, kFly};
constexpr TransitionDescription kPolygonKind{K::Polygon, "TRANSITION_EFFECT_POLYGON_PARAM",
                                             kPolygon};
constexpr TransitionDescription kRotateInKind{K::RotateIn, {}, kRotateIn};
constexpr TransitionDescription kShutterKind{K::Shutter, "TRANSITION_EFFECT_SHUTTER_PARAM",
                                             kShutter};
constexpr TransitionDescription kSpinKind{K::Spin, {}, kSpin};
constexpr TransitionDescription kSweepKind{K::Sweep, "TRANSITION_EFFECT_SWEEP_PARAM", kSweep};
constexpr TransitionDescription kTwistKind{K::Twist, {}, kTwist};
constexpr TransitionDescription kWipeKind{K::Wipe, "TRANSITION_EFFECT_WIPE_PARAM", kWipe};
constexpr TransitionDescription kZoomKind{K::Zoom, {}, kZoom};
constexpr TransitionDescription kRandomKind{K::Random, {}, {}};

}  // namespace

AlphaTransition::AlphaTransition() : TransitionSetting(kAlphaKind) {}
AccordionTransition::AccordionTransition() : TransitionSetting(kAccordionKind) {}
BlindsTransition::BlindsTransition() : TransitionSetting(kBlindsKind) {}
CircleTransition::CircleTransition() : TransitionSetting(kCircleKind) {}
ClockTransition::ClockTransition() : TransitionSetting(kClockKind) {}
CubeFlyTransition::CubeFlyTransition() : TransitionSetting(kCubeFlyKind) {}
DiagonalSweepTransition::DiagonalSweepTransition() : TransitionSetting(kDiagonalSweepKind) {}
DoorTransition::DoorTransition() : TransitionSetting(kDoorKind) {}
FlipTransition::FlipTransition() : TransitionSetting(kFlipKind) {}
FlyTransition::FlyTransition() : TransitionSetting(kFlyKind) {}
PolygonTransition::PolygonTransition() : TransitionSetting(kPolygonKind) {}
RotateInTransition::RotateInTransition() : TransitionSetting(kRotateInKind) {}
ShutterTransition::ShutterTransition() : TransitionSetting(kShutterKind) {}
SpinTransition::SpinTransition() : TransitionSetting(kSpinKind) {}
SweepTransition::SweepTransition() : TransitionSetting(kSweepKind) {}
TwistTransition::TwistTransition() : TransitionSetting(kTwistKind) {}
WipeTransition::WipeTransition() : TransitionSetting(kWipeKind) {}
ZoomTransition::ZoomTransition() : TransitionSetting(kZoomKind) {}
RandomTransition::RandomTransition() : TransitionSetting(kRandomKind) {}

std::unique_ptr<TransitionSetting> makeTransition(TransitionKind kind) {
    switch (kind) {
        case K::Alpha:
            return std::make_unique<AlphaTransition>();
        case K::Accordion:
            return std::make_unique<AccordionTransition>();
        case K::Blinds:
            return std::make_unique<BlindsTransition>();
        case K::Circle:
            return std::make_unique<CircleTransition>();
        case K::Clock:
            return std::make_unique<ClockTransition>();
        case K::CubeFly:
            return std::make_unique<CubeFlyTransition>();
        case K::DiagonalSweep:
            return std::make_unique<DiagonalSweepTransition>();
        case K::Door:
            return std::make_unique<DoorTransition>();
        case K::Flip:
            return std::make_unique<FlipTransition>();
        case K::Fly:
            return std::make_unique<FlyTransition>();
        case K::Polygon:
            return std::make_unique<PolygonTransition>();
        case K::RotateIn:
            return std::make_unique<RotateInTransition>();
        case K::Shutter:
            return std::make_unique<ShutterTransition>();
        case K::Spin:
            return std::make_unique<SpinTransition>();
        case K::Sweep:
            return std::make_unique<SweepTransition>();
        case K::Twist:
            return std::make_unique<TwistTransition>();
        case K::Wipe:
            return std::make_unique<WipeTransition>();
        case K::Zoom:
            return std::make_unique<ZoomTransition>();
        case K::Random:
            return std::make_unique<RandomTransition>();
    }
    return nullptr;
}

}  // namespace velmora
