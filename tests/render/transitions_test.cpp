// The transitions between two pictures: the geometry each kind states, and
// what the frames show at the start and the end of a transition.

#include <gtest/gtest.h>

#include <set>

#include "image/picture_fixtures.h"
#include "model/transition_setting.h"
#include "render/discarding_encoder.h"
#include "render/slideshow_fixture.h"
#include "render/timeline.h"
#include "render/transitions/accordion_transition.h"
#include "render/transitions/blinds_transition.h"
#include "render/transitions/circle_transition.h"
#include "render/transitions/clock_transition.h"
#include "render/transitions/cube_fly_transition.h"
#include "render/transitions/diagonal_sweep_transition.h"
#include "render/transitions/door_transition.h"
#include "render/transitions/flip_transition.h"
#include "render/transitions/fly_transition.h"
#include "render/transitions/polygon_transition.h"
#include "render/transitions/rotate_in_transition.h"
#include "render/transitions/shutter_transition.h"
#include "render/transitions/spin_transition.h"
#include "render/transitions/sweep_transition.h"
#include "render/transitions/transition_parts.h"
#include "render/transitions/twist_transition.h"
#include "render/transitions/wipe_transition.h"
#include "render/transitions/zoom_transition.h"

namespace velmora {
namespace {

TEST(TransitionGeometry, AccordionStripsAndFolds) {
    // NTSC: 640 / 6 = 106, and 640 mod 106 = 4 strips one pixel wider.
    const auto ntsc = accordionStrips(640);
    const int widths[] = {107, 107, 107, 107, 106, 106};
    const int xs[] = {0, 107, 214, 321, 428, 534};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ntsc[size_t(i)].width, widths[i]);
        EXPECT_EQ(ntsc[size_t(i)].x, xs[i]);
    }
    EXPECT_EQ(accordionStrips(704)[1].width, 118);  // 704 mod 117 = 2
    EXPECT_EQ(accordionStrips(704)[2].x, 236);

    // After T frames the old parts are pressed into the far edge and the
    // new ones stand in the strips.
    for (bool rightToLeft : {false, true}) {
        AccordionGeometry accordion(640, 480, 30, rightToLeft);
        for (int k = 0; k < 30; ++k)
            accordion.step();
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            const Parallelogram& n = accordion.newPart(i);
            EXPECT_NEAR(n.x0, xs[i], 0.01);
            EXPECT_NEAR(n.x1, xs[i] + widths[i], 0.01);
            EXPECT_NEAR(n.y0, 0, 0.01);
            EXPECT_NEAR(n.y1, 0, 0.01);
            EXPECT_NEAR(n.y2, 480, 0.01);
            EXPECT_NEAR(accordion.oldPart(i).x0, rightToLeft ? 0 : 640, 0.01);
            EXPECT_NEAR(accordion.oldPart(i).x1, rightToLeft ? 0 : 640, 0.01);
        }
    }
    EXPECT_EQ(AccordionGeometry::shade(0, 50), 5);
    EXPECT_EQ(AccordionGeometry::shade(49, 50), 255);
}

TEST(TransitionGeometry, BlindsTurnOneAfterAnother) {
    BlindsGeometry blinds(720, 6, 50, false);
    ASSERT_EQ(blinds.blinds().size(), 6u);
    EXPECT_EQ(blinds.blinds()[5].startFrame, 16);
    EXPECT_EQ(BlindsGeometry(720, 6, 50, true).blinds()[5].startFrame, 3);  // 0.4 × 50 × 1 / 6
    int firstMoved = -1, firstNew = -1;
    double narrowest = 120;
    for (int k = 0; k < 50; ++k) {
        blinds.step(k);
        const auto& blind = blinds.blinds()[5];
        if (firstMoved < 0 && blind.width < 120) firstMoved = k;
        if (firstNew < 0 && blind.showsNew) firstNew = k;
        narrowest = std::min(narrowest, blind.width);
        if (k == 45) {  // fully back: its own strip again
            EXPECT_NEAR(blind.width, 120, 1e-6);
            EXPECT_NEAR(blind.x, 600, 1e-6);
        }
    }
    EXPECT_EQ(firstMoved, 16);
    EXPECT_EQ(firstNew, 31);
    EXPECT_NEAR(narrowest, 0, 1e-6);

    // T = 25: 0.3 T = 7.5, so a blind turns away for 8 steps of a 7.5th of
    // its width and back for 7. It stops edge-on, and stands in its strip
    // again by the last frame instead of ending a step short.
    BlindsGeometry quick(720, 4, 25, false);
    for (int k = 0; k < 25; ++k) {
        quick.step(k);
        for (const auto& blind : quick.blinds())
            EXPECT_GE(blind.width, 0);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quick.blinds()[size_t(i)].x, i * 180);
        EXPECT_EQ(quick.blinds()[size_t(i)].width, 180);
    }
}

TEST(TransitionGeometry, FadeLayerKeepsFToTheMOfTheOldPicture) {
    QImage old(4, 1, QImage::Format_RGB32);
    old.fill(0xFFFF0000);
    QImage fresh(4, 1, QImage::Format_RGB32);
    fresh.fill(0xFF0000FF);
    // Columns 0 and 1 are inside from sub-step 1, column 2 from sub-step 3,
    // column 3 never.
    FadeLayer layer(old, 0.5, 8, [](double x, double) {
        return x < 2 ? 1 : x < 3 ? 3 : FadeLayer::kNever;
    });
    layer.advance(2);
    EXPECT_EQ(layer.oldWeight(0, 0), 64);  // 0.5² of the old picture
    EXPECT_EQ(layer.oldWeight(2, 0), 256);
    layer.advance(2);
    EXPECT_EQ(layer.oldWeight(0, 0), 16);
    EXPECT_EQ(layer.oldWeight(2, 0), 64);
    EXPECT_EQ(layer.oldWeight(3, 0), 256);
    Canvas frame(QSize(4, 1));
    layer.compose(frame, fresh);
    EXPECT_EQ(qRed(frame.image().pixel(2, 0)), 63);    // a quarter red ...
    EXPECT_EQ(qBlue(frame.image().pixel(2, 0)), 191);  // ... over blue
    EXPECT_EQ(frame.image().pixel(3, 0), 0xFFFF0000u);

    // f = 0: a hard edge.
    FadeLayer hard(old, 0, 4, [](double x, double) { return x < 1 ? 1 : FadeLayer::kNever; });
    hard.advance(1);
    EXPECT_EQ(hard.oldWeight(0, 0), 0);
    EXPECT_EQ(hard.oldWeight(1, 0), 256);
}

TEST(TransitionGeometry, CircleClockAndSweepSteps) {
    CircleGeometry circle(720, 540, 50, false, 40);
    EXPECT_NEAR(circle.radiusPerFrame(), 10.748, 0.001);
    EXPECT_EQ(circle.subSteps(), 11);
    EXPECT_NEAR(circle.radiusAfter(50 * 11), 537.4, 0.1);  // beyond the half diagonal
    EXPECT_EQ(circle.entrySubStep(360, 270), 1);
    EXPECT_EQ(circle.entrySubStep(360 + 20, 270), 21);  // 20 pixels out at 0.977 a sub-step
    EXPECT_LE(circle.entrySubStep(0, 0), 50 * 11);      // the corners go too

    // Big to small: the ring grows from the corners until the circle is gone.
    CircleGeometry closing(720, 540, 50, true, 40);
    EXPECT_NEAR(closing.radiusAfter(0), 450, 0.01);
    EXPECT_EQ(closing.entrySubStep(0.5, 0.5), 1);  // 0.7 inside the starting circle
    EXPECT_EQ(closing.radiusAfter(50 * 11), 0);
    EXPECT_LE(closing.entrySubStep(360.5, 270.5), 50 * 11);
    EXPECT_GT(closing.entrySubStep(360.5, 270.5), closing.entrySubStep(100, 270));

    // Four quarter pies from twelve, three, six and nine o'clock, clockwise,
    // 3.6 degrees a frame with a hard edge.
    ClockGeometry clock(720, 540, 25, 2, false);
    EXPECT_FLOAT_EQ(clock.sweepPerFrame(), 3.6f);
    EXPECT_EQ(clock.subSteps(), 1);
    EXPECT_EQ(clock.fade(), 0);
    EXPECT_EQ(clock.entrySubStep(370, 10), 1);   // 2.2 degrees right of twelve
    EXPECT_EQ(clock.entrySubStep(400, 10), 3);   // 8.8 degrees
    EXPECT_EQ(clock.entrySubStep(350, 10), 25);  // just left of it: the last frame
    EXPECT_EQ(clock.entrySubStep(700, 275), 1);  // just below three
    EXPECT_EQ(clock.entrySubStep(20, 265), 1);   // just above nine
    ClockGeometry smooth(720, 540, 50, 0, true);
    EXPECT_EQ(smooth.subSteps(), 5);
    EXPECT_FLOAT_EQ(smooth.sweepPerFrame(), 377.99997f / 50);

    DiagonalSweepGeometry sweep(720, 540, 50, false, 30);
    EXPECT_EQ(sweep.subSteps(), 30);  // (1440 + 30) / 50 = 29.4 per frame
    EXPECT_NEAR(sweep.movingTopAfter(50 * 30), 1470, 0.1);
    EXPECT_EQ(sweep.entrySubStep(0.5, 0.5), 2);         // 1.17 from the corner at 0.98 a sub-step
    EXPECT_EQ(sweep.entrySubStep(719.5, 539.5), 1469);  // the far corner, last of all
    DiagonalSweepGeometry back(720, 540, 50, true, 30);
    EXPECT_EQ(back.entrySubStep(719.5, 0.5), 2);
}

TEST(TransitionGeometry, CubeFlyRecedesAndComesBack) {
    CubeFlyGeometry cube(720, 540, 50, 3);  // right to left
    EXPECT_EQ(cube.phaseOneFrames(), 30);
    for (int k = 0; k < 30; ++k)
        cube.step(k);
    EXPECT_NEAR(cube.shared().at, 288, 0.01);
    EXPECT_NEAR(cube.shared().length(), 486, 0.01);
    EXPECT_NEAR(cube.first().length(), 432, 0.01);
    EXPECT_NEAR(cube.last().length(), 432, 0.01);
    EXPECT_NEAR(cube.first().at, 144, 0.01);  // the old face's far edge
    EXPECT_TRUE(cube.oldFaceExists());
    for (int k = 30; k < 50; ++k)
        cube.step(k);
    EXPECT_NEAR(cube.shared().at, 0, 0.01);
    EXPECT_NEAR(cube.shared().length(), 540, 0.01);
    EXPECT_NEAR(cube.first().at, 0, 0.01);
    EXPECT_FALSE(cube.oldFaceExists());
}

TEST(TransitionGeometry, DoorsAndFlipEndWhereTheyShould) {
    DoorGeometry opening(720, 540, 25, false);
    DoorGeometry closing(720, 540, 25, true);
    for (int k = 0; k < 25; ++k) {
        opening.step();
        closing.step();
    }
    // Open: the inner edges reach the frame's sides, a third of the way down.
    EXPECT_NEAR(opening.left().x1, 0, 0.01);
    EXPECT_NEAR(opening.left().y1, 162, 0.01);
    EXPECT_NEAR(opening.right().x0, 720, 0.01);
    EXPECT_NEAR(opening.right().y2, 702, 0.01);
    // Closed: two upright halves meeting in the middle.
    EXPECT_NEAR(closing.left().x1, 360, 0.01);
    EXPECT_NEAR(closing.left().y1, 0, 0.01);
    EXPECT_NEAR(closing.right().x0, 360, 0.01);
    EXPECT_NEAR(closing.right().y0, 0, 0.01);
    EXPECT_NEAR(closing.right().y2, 540, 0.01);

    FlipGeometry flip(720, 540, 25, false);  // half 12, rest 13
    for (int k = 0; k < 12; ++k)
        flip.step(k);
    EXPECT_NEAR(flip.start().at, 360, 0.01);  // edge-on
    EXPECT_NEAR(flip.end().at, 360, 0.01);
    EXPECT_FALSE(flip.showsNew(11));
    for (int k = 12; k < 25; ++k)
        flip.step(k);
    EXPECT_TRUE(flip.showsNew(12));
    EXPECT_NEAR(flip.start().at, 0, 0.01);
    EXPECT_NEAR(flip.end().at, 720, 0.01);
    EXPECT_NEAR(flip.start().low, 0, 0.01);
    EXPECT_NEAR(flip.start().high, 540, 0.01);
    EXPECT_NEAR(flip.end().low, 0, 0.01);
    EXPECT_NEAR(flip.end().high, 540, 0.01);
}

// Share of a frame's pixels close to a colour.
double shareOf(const QImage& frame, QRgb colour) {
    int close = 0;
    for (int y = 0; y < frame.height(); y += 2) {
        for (int x = 0; x < frame.width(); x += 2) {
            const QRgb p = frame.pixel(x, y);
            close += std::abs(qRed(p) - qRed(colour)) < 40 &&
                     std::abs(qGreen(p) - qGreen(colour)) < 40 &&
                     std::abs(qBlue(p) - qBlue(colour)) < 40;
        }
    }
    return double(close) / ((frame.width() / 2) * (frame.height() / 2));
}

class TransitionFrames : public test::SlideshowFixture {
  protected:
    static constexpr QRgb kOld = 0xFFE02020;
    static constexpr QRgb kNew = 0xFF2040E0;

    TransitionFrames() {
        QImage old(720, 540, QImage::Format_RGB32), fresh(720, 540, QImage::Format_RGB32);
        old.fill(kOld);
        fresh.fill(kNew);
        test::writeWithQt(folder_ / "old.png", old, "png");
        test::writeWithQt(folder_ / "new.png", fresh, "png");
    }
    // Renders old → new (PAL, no motion) and keeps the
    // frames the transition starts and ends with: 0 and T − 1 of segment 1.
    int render(TransitionKind kind, int first, int second, int transitionSeconds) {
        slideshow_.pictures.clear();
        // The old picture only fades in from white (25 frames), the new one
        // only has its transition (or one second when it has none).
        addPicture("old.png", true, 0, 0, TransitionKind::Alpha, 0);
        addPicture("new.png", true, transitionSeconds == 0 ? 1 : 0, transitionSeconds, kind, first);
        slideshow_.pictures.back().settings.effect.transition->setParameters(first, second);
        RenderJob job;
        job.slideshow = &slideshow_;
        const int segmentStart = 25, T = transitionSeconds * 25;
        job.composedFrame = [&](int frame, const QImage& image) {
            if (frame == segmentStart) firstFrame = image.copy();
            if (frame == segmentStart + std::max(T - 1, 0)) lastFrame = image.copy();
            frames = frame + 1;
        };
        DiscardingEncoder encoder;
        return encodeSlideshow(job, encoder, log_);
    }
    QImage firstFrame, lastFrame;
    int frames = 0;
};

TEST_F(TransitionFrames, EveryKindMovesFromTheOldPictureToTheNew) {
    // Every direction or mode of every kind; soft edges where a kind has them
    // (not the smooth clock: its soft tail still shows the old picture on
    // the last frame, as its stated sweep has it).
    struct Case {
        TransitionKind kind;
        int firsts;  // first parameters 0..firsts − 1
        int second;
    };
    const Case cases[] = {
        {TransitionKind::Accordion, 2, 0}, {TransitionKind::Blinds, 2, 6},
        {TransitionKind::Circle, 2, 40},   {TransitionKind::Clock, 3, 0},
        {TransitionKind::CubeFly, 4, 0},   {TransitionKind::DiagonalSweep, 2, 40},
        {TransitionKind::Door, 2, 0},      {TransitionKind::Flip, 2, 0},
        {TransitionKind::Fly, 2, 0},       {TransitionKind::RotateIn, 2, 0},
        {TransitionKind::Shutter, 2, 40},  {TransitionKind::Spin, 2, 0},
        {TransitionKind::Sweep, 4, 40},    {TransitionKind::Twist, 2, 0},
        {TransitionKind::Wipe, 4, 1},      {TransitionKind::Wipe, 4, 0},
        {TransitionKind::Zoom, 2, 0},
    };
    const auto check = [&](TransitionKind kind, int first, int second) {
        SCOPED_TRACE(std::to_string(transitionKindId(kind)) + "/" + std::to_string(first) + "/" +
                     std::to_string(second));
        ASSERT_EQ(render(kind, first, second, 1), 0);
        EXPECT_EQ(frames, 25 + 25);
        EXPECT_GT(shareOf(firstFrame, kOld), 0.6);
        EXPECT_GT(shareOf(lastFrame, kNew), 0.9);
    };
    for (const Case& c : cases) {
        for (int first = 0; first < c.firsts; ++first)
            check(c.kind, first, c.second);
        // No transition time: the segment starts on the new picture.
        SCOPED_TRACE(transitionKindId(c.kind));
        ASSERT_EQ(render(c.kind, 0, c.second, 0), 0);
        EXPECT_EQ(frames, 25 + 25);
        EXPECT_GT(shareOf(firstFrame, kNew), 0.99);
    }
    // Polygon: 3 and 9 half discs, flying in and out.
    for (int corners : {3, 9}) {
        for (int out = 0; out < 2; ++out)
            check(TransitionKind::Polygon, corners, out);
    }
}

TEST_F(TransitionFrames, ASlideshowOfRandomTransitionsRendersCompletely) {
    slideshow_.pictures.clear();
    addPicture("old.png", true, 0, 0, TransitionKind::Alpha, 0);
    std::set<int> kinds;
    const auto random = makeTransition(TransitionKind::Random);
    for (int i = 0; i < 12; ++i) {
        addPicture(i % 2 == 0 ? "new.png" : "old.png", true, 0, 1, TransitionKind::Alpha, 0);
        // A Random transition becomes a concrete kind with drawn parameters.
        auto& transition = slideshow_.pictures.back().settings.effect.transition;
        transition = cloneTransition(*random, random_);
        kinds.insert(transition->id());
    }
    slideshow_.recomputeFrames();
    EXPECT_GT(kinds.size(), 6u);
    RenderJob job;
    job.slideshow = &slideshow_;
    job.composedFrame = [&](int frame, const QImage&) { frames = frame + 1; };
    DiscardingEncoder encoder;
    EXPECT_EQ(encodeSlideshow(job, encoder, log_), 0);
    EXPECT_EQ(frames, slideshow_.totalFrames);
    EXPECT_EQ(frames, 25 + 12 * 25);
}

// Refuses frame 60, ten frames into the transition.
class RefusingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const std::filesystem::path&, const std::filesystem::path&,
                       VideoFormat) override {
        return 0;
    }
    int initEncoder(const std::filesystem::path&, VideoFormat) override { return 0; }
    int EncOneFrame(SharedVideoFrame) override { return ++frames == 60 ? -42 : 0; }
    int closeEncoder() override { return 0; }
    int frames = 0;
};

TEST_F(TransitionFrames, AnEncoderErrorEndsEveryKindAtThatFrame) {
    for (int kind = 0; kind < kConcreteTransitionKindCount; ++kind) {
        SCOPED_TRACE(kind);
        slideshow_.pictures.clear();
        addPicture("old.png", true, 1, 0, TransitionKind::Alpha, 0);
        addPicture("new.png", true, 1, 1, TransitionKind(kind), 0);
        RenderJob job;
        job.slideshow = &slideshow_;
        RefusingEncoder encoder;
        EXPECT_EQ(encodeSlideshow(job, encoder, log_), -42);
        EXPECT_EQ(encoder.frames, 60);
    }
}

TEST(TransitionGeometry, KindsNineToSeventeen) {
    // Polygon: half discs from −45, 45, 135 and 225 degrees fly along 45, 135,
    // 225 and 315; with 7 corners the first starts at −64.29 and flies along
    // 25, truncated.
    const PolygonGeometry four(720, 540, 25, 4);
    const float starts[] = {-45, 45, 135, 225};
    const int flights[] = {45, 135, 225, 315};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(four.startAngle(i), starts[i]);
        EXPECT_EQ(four.flightAngle(i), flights[i]);
    }
    const PolygonGeometry seven(720, 540, 25, 7);
    EXPECT_NEAR(seven.startAngle(0), -64.29, 0.01);
    EXPECT_EQ(seven.flightAngle(0), 25);
    EXPECT_NEAR(four.offset(0, 24, true).x(), 0, 1e-9);  // in place at the last frame
    EXPECT_NEAR(four.offset(0, 24, false).x(), 450 * std::cos(M_PI / 4), 1e-6);

    // Spin, T = 25: the old picture turns 30 a frame up to 360 at frame 11;
    // frame 12 sets 330 (anticlockwise 390) and turns on to 360.
    for (bool anti : {false, true}) {
        SpinGeometry spin(720, 540, 25, anti);
        for (int k = 0; k < 12; ++k)
            spin.step(k);
        EXPECT_FLOAT_EQ(spin.angle(), anti ? -360 : 360);
        EXPECT_NEAR(spin.rect().width(), 0, 0.01);
        EXPECT_FLOAT_EQ(spin.resetAngle(), anti ? 390 : 330);
        spin.step(12);
        EXPECT_FLOAT_EQ(spin.angle(), 360);
        for (int k = 13; k < 25; ++k)
            spin.step(k);
        EXPECT_NEAR(spin.rect().width(), 720, 0.01);
        EXPECT_EQ(int(spin.angle()) % 360, 0);  // upright
    }

    // Fly out on 720 pixels, T = 25: 27 whole pixels a frame in phase 2, the
    // bottom corners end 18 apart and the quad 0 high.
    FlyGeometry fly(720, 540, 25, true);
    for (int k = 0; k < 13; ++k)
        fly.step(k);
    const float before = fly.bottomLeft().x;
    fly.step(13);
    EXPECT_FLOAT_EQ(fly.bottomLeft().x - before, 27);
    for (int k = 14; k < 25; ++k)
        fly.step(k);
    EXPECT_FLOAT_EQ(fly.bottomRight().x - fly.bottomLeft().x, 18);
    EXPECT_NEAR(fly.bottomRight().y - fly.topLeft().y, 0, 0.01);
    FlyGeometry flyIn(720, 540, 25, false);
    for (int k = 0; k < 25; ++k)
        flyIn.step(k);
    EXPECT_NEAR(flyIn.topLeft().x, 0, 0.01);
    EXPECT_NEAR(flyIn.topLeft().y, 0, 0.01);
    EXPECT_NEAR(flyIn.bottomRight().x, 720, 0.01);

    // Shutter, width 80, T = 50, 720 wide: e = 8.64 in 9 sub-steps of 0.96.
    const ShutterGeometry shutter(720, 540, 50, false, 80);
    EXPECT_NEAR(shutter.perFrame(), 8.64, 1e-4);
    EXPECT_EQ(shutter.subSteps(), 9);
    EXPECT_NEAR(shutter.stepPerSubStep(), 0.96, 1e-5);
    EXPECT_EQ(shutter.entrySubStep(0.5, 10), 1);
    EXPECT_EQ(shutter.entrySubStep(719.5, 10), 1);
    EXPECT_EQ(shutter.entrySubStep(10.5, 10), 6);  // the band grows 1.92 a sub-step

    // Twist left to right, T = 50, 720 wide.
    TwistGeometry twist(720, 540, 50, false);
    twist.step();
    EXPECT_NEAR(twist.centre(), -158.4, 1e-3);
    EXPECT_EQ(twist.a(), 0);
    EXPECT_EQ(twist.b(), 0);
    EXPECT_EQ(twist.d(), 22);
    for (int k = 1; k < 50; ++k)
        twist.step();
    EXPECT_NEAR(twist.centre(), 900, 1e-2);
    EXPECT_EQ(twist.a(), 720);  // every column the new picture, unscaled
    EXPECT_NEAR(twist.halfHeight(int(twist.centre()) - 180), 270, 2);  // a quarter width away: full

    // Wipe without push, left to right, T = 25: the new picture's right edge
    // at 28.8 on the first frame, at the frame's edge on the last.
    WipeGeometry wipe(720, 540, 25, 0, false);
    wipe.step();
    EXPECT_NEAR(wipe.newAt().x() + 720, 28.8, 1e-3);
    for (int k = 1; k < 25; ++k)
        wipe.step();
    EXPECT_NEAR(wipe.newAt().x(), 0, 1e-3);
    EXPECT_EQ(wipe.oldAt(), QPointF(0, 0));

    // Zoom out: the last frame shows the new picture at 0.85 × 24 / 25.
    ZoomGeometry zoom(720, 540, 25, true);
    for (int k = 0; k < 25; ++k)
        zoom.step();
    EXPECT_FLOAT_EQ(zoom.alpha(24), 0.85f * 24 * (1.0f / 25));
    EXPECT_NEAR(zoom.rect().width(), 720, 0.01);
    EXPECT_NEAR(zoom.rect().x(), 0, 0.01);
}

}  // namespace
}  // namespace velmora
