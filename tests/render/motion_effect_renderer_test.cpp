#include "render/motion_effect_renderer.h"

#include <gtest/gtest.h>

#include <iterator>

#include "image/picture_fixtures.h"

namespace velmora {
namespace {

constexpr QSize kPalCanvas(720, 540);

// The effects by their list numbers, as the cases below name them.
constexpr MotionEffectKind kind(int number) {
    return static_cast<MotionEffectKind>(number);
}

TEST(MotionEffects, PansTravelTheWholeMargin) {
    MotionState landscape;
    landscape.setupGeometry(kind(0), {4000, 3000}, kPalCanvas, 125);
    EXPECT_EQ(landscape.dw, 755);
    EXPECT_EQ(landscape.dh, 566);
    EXPECT_FLOAT_EQ(landscape.x, 0);
    EXPECT_FLOAT_EQ(landscape.y, -13);
    EXPECT_FLOAT_EQ(landscape.dx, -0.28f);
    for (int k = 0; k < 125; ++k)
        landscape.renderMotionFrame(k, kind(0), 0xFF000000);
    EXPECT_NEAR(landscape.x, -35, 1e-3);  // the right edges meet on the last frame

    MotionState portrait;
    portrait.setupGeometry(kind(0), {3000, 4000}, kPalCanvas, 125);
    EXPECT_EQ(portrait.dw, 424);
    EXPECT_EQ(portrait.dh, 566);
    EXPECT_FLOAT_EQ(portrait.x, 148);
    EXPECT_FLOAT_EQ(portrait.dx, -2.368f);
    portrait.advanceMotion(125, kind(0), 0xFF000000);
    EXPECT_NEAR(portrait.x, -148, 1e-3);

    MotionState upward;  // pan 7 from (half(ex), ey)
    upward.setupGeometry(kind(7), {4000, 3000}, kPalCanvas, 100);
    EXPECT_FLOAT_EQ(upward.x, -17);
    EXPECT_FLOAT_EQ(upward.y, -26);
    EXPECT_FLOAT_EQ(upward.dy, 0.26f);
}

TEST(MotionEffects, ZoomsKeepTheirAnchor) {
    MotionState zoomIn;
    zoomIn.setupGeometry(kind(8), {4000, 3000}, kPalCanvas, 100);
    for (int k = 0; k < 100; ++k)
        zoomIn.renderMotionFrame(k, kind(8), 0xFF000000);
    EXPECT_NEAR(zoomIn.x, -90, 1e-2);
    EXPECT_NEAR(zoomIn.y, -67.5, 1e-2);
    EXPECT_NEAR(zoomIn.w, 900, 1e-2);
    EXPECT_NEAR(zoomIn.h, 675, 1e-2);

    MotionState zoomOut;
    zoomOut.setupGeometry(kind(17), {4000, 3000}, kPalCanvas, 100);
    EXPECT_EQ(zoomOut.dw, 900);
    EXPECT_EQ(zoomOut.dh, 675);
    EXPECT_FLOAT_EQ(zoomOut.x, -180);
    EXPECT_FLOAT_EQ(zoomOut.y, -135);
    zoomOut.advanceMotion(100, kind(17), 0xFF000000);
    EXPECT_NEAR(zoomOut.x, 0, 1e-2);
    EXPECT_NEAR(zoomOut.y, 0, 1e-2);
    EXPECT_NEAR(zoomOut.w, 720, 1e-2);
    EXPECT_NEAR(zoomOut.h, 540, 1e-2);

    MotionState rotating;
    rotating.setupGeometry(kind(18), {4000, 3000}, kPalCanvas, 100);
    EXPECT_FLOAT_EQ(rotating.da, 0.3f);
    EXPECT_NEAR(99 * rotating.da, 29.7f, 1e-4);

    MotionState still;
    still.setupGeometry(kind(20), {400, 300}, kPalCanvas, 50);
    EXPECT_FLOAT_EQ(still.x, 160);
    EXPECT_FLOAT_EQ(still.y, 120);
    still.advanceMotion(50, kind(20), 0xFF000000);
    EXPECT_FLOAT_EQ(still.x, 160);
    EXPECT_FLOAT_EQ(still.w, 400);
}

// Every effect on a 4000 × 3000 photo over a PAL 4:3 canvas, N = 100: the
// pans move a 755 × 566 picture across its whole margin (35 × 26), the
// zooms grow 720 × 540 by a quarter or shrink 900 × 675 back to it, each
// about its anchor; the rotating zooms turn 30 degrees. Where it starts,
// where it ends and how far it turns tells every effect from every other.
TEST(MotionEffects, EveryEffectStartsAndEndsWhereItsNameSays) {
    struct Rectangle {
        float x, y, w, h;
    };
    struct Case {
        MotionEffectKind effect;
        Rectangle start, end;
        float degrees;  // after the N frames
    };
    using M = MotionEffectKind;
    const Case cases[] = {
        {M::PanLeftToRight, {0, -13, 755, 566}, {-35, -13, 755, 566}, 0},
        {M::PanRightToLeft, {-35, -13, 755, 566}, {0, -13, 755, 566}, 0},
        {M::PanLeftDownToRightUp, {0, -26, 755, 566}, {-35, 0, 755, 566}, 0},
        {M::PanRightUpToLeftDown, {-35, 0, 755, 566}, {0, -26, 755, 566}, 0},
        {M::PanLeftUpToRightDown, {0, 0, 755, 566}, {-35, -26, 755, 566}, 0},
        {M::PanRightDownToLeftUp, {-35, -26, 755, 566}, {0, 0, 755, 566}, 0},
        {M::PanUpToDown, {-17, 0, 755, 566}, {-17, -26, 755, 566}, 0},
        {M::PanDownToUp, {-17, -26, 755, 566}, {-17, 0, 755, 566}, 0},
        {M::ZoomCenterIn, {0, 0, 720, 540}, {-90, -67.5, 900, 675}, 0},
        {M::ZoomLeftUpIn, {0, 0, 720, 540}, {0, 0, 900, 675}, 0},
        {M::ZoomRightUpIn, {0, 0, 720, 540}, {-180, 0, 900, 675}, 0},
        {M::ZoomLeftDownIn, {0, 0, 720, 540}, {0, -135, 900, 675}, 0},
        {M::ZoomRightDownIn, {0, 0, 720, 540}, {-180, -135, 900, 675}, 0},
        {M::ZoomCenterOut, {-90, -67.5, 900, 675}, {0, 0, 720, 540}, 0},
        {M::ZoomLeftUpOut, {0, 0, 900, 675}, {0, 0, 720, 540}, 0},
        {M::ZoomRightUpOut, {-180, 0, 900, 675}, {0, 0, 720, 540}, 0},
        {M::ZoomLeftDownOut, {0, -135, 900, 675}, {0, 0, 720, 540}, 0},
        {M::ZoomRightDownOut, {-180, -135, 900, 675}, {0, 0, 720, 540}, 0},
        // Centred at the start, then stepped keeping the lower-right corner.
        {M::ZoomInAndRotate, {0, 0, 720, 540}, {-180, -135, 900, 675}, 30},
        {M::ZoomOutAndRotate, {-90, -67.5, 900, 675}, {90, 67.5, 720, 540}, -30},
        {M::None, {0, 0, 720, 540}, {0, 0, 720, 540}, 0},
    };
    ASSERT_EQ(std::size(cases), size_t(kMotionEffectNone) + 1);
    const auto expectAt = [](const MotionState& state, const Rectangle& r) {
        EXPECT_NEAR(state.x, r.x, 1e-2);
        EXPECT_NEAR(state.y, r.y, 1e-2);
        EXPECT_NEAR(state.w, r.w, 1e-2);
        EXPECT_NEAR(state.h, r.h, 1e-2);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(motionEffectNames()[size_t(c.effect)]);
        MotionState state;
        state.setupGeometry(c.effect, {4000, 3000}, kPalCanvas, 100);
        expectAt(state, c.start);
        state.advanceMotion(100, c.effect, 0xFF000000);
        expectAt(state, c.end);
        EXPECT_NEAR(100 * state.da, c.degrees, 1e-3);
    }
}

TEST(MotionEffects, DrawsThePictureOverTheBackground) {
    test::TemporaryFolder folder;
    test::writeWithQt(folder / "small.png", test::quadrants(400, 300), "png");
    MotionState state;
    state.setupMotion(kind(20), folder / "small.png", kPalCanvas, 10);
    state.renderMotionFrame(0, kind(20), 0xFF102030);
    const QImage& frame = state.canvas().image();
    EXPECT_EQ(frame.pixel(10, 10), 0xFF102030u);    // bars in the background colour
    EXPECT_EQ(frame.pixel(260, 200), 0xFFFF0000u);  // the picture's red quarter, centred
    EXPECT_EQ(frame.pixel(260, 340), 0xFF0000FFu);  // and its blue quarter below

    state.setupMotion(kind(20), folder / "absent.png", kPalCanvas, 10);
    state.renderMotionFrame(0, kind(20), 0xFF000000);
    EXPECT_EQ(state.canvas().image().pixel(360, 270), 0xFF000000u);  // nothing but background
}

}  // namespace
}  // namespace velmora
