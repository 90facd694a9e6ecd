#include "render/motion_effect_renderer.h"

#include <gtest/gtest.h>

#include "image/picture_fixtures.h"

namespace velmora {
namespace {

constexpr QSize kPalCanvas(720, 540);

TEST(MotionEffects, PansTravelTheWholeMargin) {
    MotionState landscape;
    landscape.setupGeometry(0, {4000, 3000}, kPalCanvas, 125);
    EXPECT_EQ(landscape.dw, 755);
    EXPECT_EQ(landscape.dh, 566);
    EXPECT_FLOAT_EQ(landscape.x, 0);
    EXPECT_FLOAT_EQ(landscape.y, -13);
    EXPECT_FLOAT_EQ(landscape.dx, -0.28f);
    for (int k = 0; k < 125; ++k)
        landscape.renderMotionFrame(k, 0, 0xFF000000);
    EXPECT_NEAR(landscape.x, -35, 1e-3);  // the right edges meet on the last frame

    MotionState portrait;
    portrait.setupGeometry(0, {3000, 4000}, kPalCanvas, 125);
    EXPECT_EQ(portrait.dw, 424);
    EXPECT_EQ(portrait.dh, 566);
    EXPECT_FLOAT_EQ(portrait.x, 148);
    EXPECT_FLOAT_EQ(portrait.dx, -2.368f);
    portrait.advanceMotion(125, 0, 0xFF000000);
    EXPECT_NEAR(portrait.x, -148, 1e-3);

    MotionState upward;  // pan 7 from (half(ex), ey)
    upward.setupGeometry(7, {4000, 3000}, kPalCanvas, 100);
    EXPECT_FLOAT_EQ(upward.x, -17);
    EXPECT_FLOAT_EQ(upward.y, -26);
    EXPECT_FLOAT_EQ(upward.dy, 0.26f);
}

TEST(MotionEffects, ZoomsKeepTheirAnchor) {
    MotionState zoomIn;
    zoomIn.setupGeometry(8, {4000, 3000}, kPalCanvas, 100);
    for (int k = 0; k < 100; ++k)
        zoomIn.renderMotionFrame(k, 8, 0xFF000000);
    EXPECT_NEAR(zoomIn.x, -90, 1e-2);
    EXPECT_NEAR(zoomIn.y, -67.5, 1e-2);
    EXPECT_NEAR(zoomIn.w, 900, 1e-2);
    EXPECT_NEAR(zoomIn.h, 675, 1e-2);

    MotionState zoomOut;
    zoomOut.setupGeometry(17, {4000, 3000}, kPalCanvas, 100);
    EXPECT_EQ(zoomOut.dw, 900);
    EXPECT_EQ(zoomOut.dh, 675);
    EXPECT_FLOAT_EQ(zoomOut.x, -180);
    EXPECT_FLOAT_EQ(zoomOut.y, -135);
    zoomOut.advanceMotion(100, 17, 0xFF000000);
    EXPECT_NEAR(zoomOut.x, 0, 1e-2);
    EXPECT_NEAR(zoomOut.y, 0, 1e-2);
    EXPECT_NEAR(zoomOut.w, 720, 1e-2);
    EXPECT_NEAR(zoomOut.h, 540, 1e-2);

    MotionState rotating;
    rotating.setupGeometry(18, {4000, 3000}, kPalCanvas, 100);
    EXPECT_FLOAT_EQ(rotating.da, 0.3f);
    EXPECT_NEAR(99 * rotating.da, 29.7f, 1e-4);

    MotionState still;
    still.setupGeometry(20, {400, 300}, kPalCanvas, 50);
    EXPECT_FLOAT_EQ(still.x, 160);
    EXPECT_FLOAT_EQ(still.y, 120);
    still.advanceMotion(50, 20, 0xFF000000);
    EXPECT_FLOAT_EQ(still.x, 160);
    EXPECT_FLOAT_EQ(still.w, 400);
}

TEST(MotionEffects, DrawsThePictureOverTheBackground) {
    test::TemporaryFolder folder;
    test::writeWithQt(folder / "small.png", test::quadrants(400, 300), "png");
    MotionState state;
    state.setupMotion(20, folder / "small.png", kPalCanvas, 10);
    state.renderMotionFrame(0, 20, 0xFF102030);
    const QImage& frame = state.canvas().image();
    EXPECT_EQ(frame.pixel(10, 10), 0xFF102030u);    // bars in the background colour
    EXPECT_EQ(frame.pixel(260, 200), 0xFFFF0000u);  // the picture's red quarter, centred
    EXPECT_EQ(frame.pixel(260, 340), 0xFF0000FFu);  // and its blue quarter below

    state.setupMotion(20, folder / "absent.png", kPalCanvas, 10);
    state.renderMotionFrame(0, 20, 0xFF000000);
    EXPECT_EQ(state.canvas().image().pixel(360, 270), 0xFF000000u);  // nothing but background
}

}  // namespace
}  // namespace velmora
