#include "render/frame_geometry.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr MotionEffectKind kPan = MotionEffectKind::PanLeftToRight;
constexpr MotionEffectKind kZoomCenterOut = MotionEffectKind::ZoomCenterOut;
constexpr MotionEffectKind kNone = MotionEffectKind::None;

TEST(FrameGeometry, Canvases) {
    EXPECT_EQ(canvasSize(kPalStandard), QSize(720, 540));
    EXPECT_EQ(canvasSize(kNtscStandard), QSize(640, 480));
    EXPECT_EQ(canvasSize({TvStandard::Pal, AspectRatio::Wide}), QSize(704, 396));
    EXPECT_EQ(canvasSize({TvStandard::Ntsc, AspectRatio::Wide}), QSize(704, 396));
    EXPECT_EQ(framesPerSecond(TvStandard::Pal), 25);
    EXPECT_EQ(framesPerSecond(TvStandard::Ntsc), 30);
}

TEST(FrameGeometry, FittingInSinglePrecision) {
    struct Case {
        int pw, ph, W, H;
        MotionEffectKind effect;
        QSize fitted;
    };
    const Case cases[] = {
        {4000, 3000, 720, 540, kPan, {755, 566}},  // 720 × 1.05f is 755.99997
        {4000, 3000, 720, 540, kNone, {720, 540}},
        {3000, 4000, 640, 480, kNone, {359, 480}},  // 480 / 1.3333334f is 359.99999
        {3000, 4000, 640, 480, kPan, {377, 503}},   // 480 × 1.05f is 503.99997
        {400, 300, 720, 540, kPan, {400, 300}},     // never enlarged
        {400, 300, 720, 540, kZoomCenterOut, {400, 300}},
        {4000, 3000, 720, 540, kZoomCenterOut, {720, 540}},
        {6000, 4000, 704, 396, kNone, {593, 396}},  // 396 / 0.6666667f is 593.99998
        {0, 0, 720, 540, kNone, {0, 0}},            // undecodable picture
        {100000, 1, 720, 540, kNone, {720, 0}},     // extreme proportions: nothing to draw
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitPicture(c.pw, c.ph, c.W, c.H, c.effect), c.fitted)
            << c.pw << "x" << c.ph << " effect " << int(c.effect);
    }
}

TEST(FrameGeometry, ZoomOutStartsAQuarterLarger) {
    EXPECT_TRUE(isZoomOut(MotionEffectKind::ZoomCenterOut));
    EXPECT_TRUE(isZoomOut(MotionEffectKind::ZoomRightDownOut));
    EXPECT_TRUE(isZoomOut(MotionEffectKind::ZoomOutAndRotate));
    EXPECT_FALSE(isZoomOut(MotionEffectKind::ZoomInAndRotate));
    EXPECT_FALSE(isZoomOut(MotionEffectKind::ZoomRightDownIn));
    EXPECT_EQ(zoomOutStartSize({400, 300}), QSize(500, 375));
    EXPECT_EQ(zoomOutStartSize({720, 540}), QSize(900, 675));
}

}  // namespace
}  // namespace velmora
