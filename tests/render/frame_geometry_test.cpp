#include "render/frame_geometry.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr int kPan = 0;
constexpr int kZoomCenterOut = 13;
constexpr int kNone = 20;

TEST(FrameGeometry, Canvases) {
    EXPECT_EQ(canvasSize(kPal, 0), QSize(720, 540));
    EXPECT_EQ(canvasSize(kNtsc, 0), QSize(640, 480));
    EXPECT_EQ(canvasSize(kPal, 1), QSize(704, 396));
    EXPECT_EQ(canvasSize(kNtsc, 1), QSize(704, 396));
    EXPECT_EQ(canvasSize(kPal, 2), QSize(0, 0));
    EXPECT_EQ(framesPerSecond(kPal), 25);
    EXPECT_EQ(framesPerSecond(kNtsc), 30);
}

TEST(FrameGeometry, FittingInSinglePrecision) {
    struct Case {
        int pw, ph, W, H, effect;
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
            << c.pw << "x" << c.ph << " effect " << c.effect;
    }
}

TEST(FrameGeometry, ZoomOutStartsAQuarterLarger) {
    EXPECT_TRUE(isZoomOutEffect(13));
    EXPECT_TRUE(isZoomOutEffect(17));
    EXPECT_TRUE(isZoomOutEffect(19));
    EXPECT_FALSE(isZoomOutEffect(18));
    EXPECT_FALSE(isZoomOutEffect(12));
    EXPECT_EQ(zoomOutStartSize({400, 300}), QSize(500, 375));
    EXPECT_EQ(zoomOutStartSize({720, 540}), QSize(900, 675));
}

}  // namespace
}  // namespace velmora
