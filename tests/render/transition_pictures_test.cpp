// Each transition kind known by its picture: a frame in the middle of a
// plain red → plain blue transition, recognised by a few pixels that only
// that kind's pattern gives.

#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "image/picture_fixtures.h"
#include "model/transition_kind.h"
#include "model/transition_setting.h"
#include "render/discarding_encoder.h"
#include "render/slideshow_fixture.h"
#include "render/timeline.h"

namespace velmora {
namespace {

constexpr QSize kCanvas(160, 120);
constexpr int kFrames = 20;  // T; the frame looked at is T / 2
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// What a pixel shows, coarsely: the red old frame, the blue new picture,
// the black background, white, or a mix of them.
enum class Look { Old, New, Black, White, Mixed };

Look lookOf(QRgb p) {
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if (r < 48 && g < 48 && b < 48) return Look::Black;
    if (r > 200 && g > 200 && b > 200) return Look::White;
    if (r > 200 && b < 56) return Look::Old;
    if (b > 200 && r < 56) return Look::New;
    return Look::Mixed;
}

char letterOf(Look look) {
    return "onbwm"[int(look)];
}

struct Probe {
    int x, y;
    Look look;
};

struct KindCase {
    TransitionKind kind;
    int first, second;
    std::vector<Probe> probes;
};

bool shows(const QImage& frame, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) {
        if (lookOf(frame.pixel(p.x, p.y)) != p.look) return false;
    }
    return true;
}

// The frame as letters, one every 10 pixels, for a failure's message.
std::string sketch(const QImage& frame) {
    std::string text;
    for (int y = 5; y < frame.height(); y += 10) {
        for (int x = 5; x < frame.width(); x += 10)
            text += letterOf(lookOf(frame.pixel(x, y)));
        text += '\n';
    }
    return text;
}

class TransitionPictures : public test::SlideshowFixture {
  protected:
    TransitionPictures() {
        QImage blue(kCanvas, QImage::Format_RGB32);
        blue.fill(kBlue);
        test::writeWithQt(folder_ / "blue.png", blue, "png");
        addPicture("blue.png", true, 0, 1, TransitionKind::Alpha, 0);
    }

    // Frame T / 2 of the transition from a red frame into the still blue
    // picture, rendered through the timeline's dispatch.
    QImage middleFrame(TransitionKind kind, int first, int second) {
        auto& transition = slideshow_.pictures[0].settings.effect.transition;
        transition = makeTransition(kind);
        transition->setParameters(first, second);
        QImage middle;
        RenderJob job;
        job.slideshow = &slideshow_;
        job.composedFrame = [&](int frame, const QImage& image) {
            if (frame == kFrames / 2) middle = image.copy();
        };
        DiscardingEncoder encoder;
        RenderContext context(job, encoder, kCanvas, kFrames);
        context.frame.clear(kRed);
        context.index = 0;
        context.N = context.T = kFrames;
        EXPECT_EQ(renderTransitionSegment(context, *transition), 0);
        return middle;
    }
};

TEST_F(TransitionPictures, EveryKindIsKnownByItsPattern) {
    using K = TransitionKind;
    constexpr Look o = Look::Old, n = Look::New, b = Look::Black, w = Look::White, m = Look::Mixed;
    // Pixels of frame T / 2 on the 160 x 120 canvas, picked so that no other
    // kind shows all of a row's (checked below).
    const KindCase cases[] = {
        {K::Alpha, 1, 0, {{5, 5, w}, {80, 60, w}, {155, 115, w}}},  // through white
        {K::Accordion, 0, 0, {{5, 55, n}, {15, 55, m}, {35, 55, n}, {95, 55, o}}},
        {K::Blinds, 0, 8, {{25, 60, n}, {75, 60, b}, {145, 60, b}}},
        {K::Circle, 0, 40, {{80, 60, n}, {35, 55, m}, {5, 5, o}}},
        {K::Clock, 0, 1, {{35, 30, o}, {125, 30, n}, {125, 110, n}}},
        {K::CubeFly, 0, 0, {{80, 5, b}, {80, 35, o}, {80, 90, n}, {5, 90, b}}},
        {K::DiagonalSweep, 0, 40, {{5, 5, n}, {5, 115, m}, {75, 55, m}, {155, 115, o}}},
        {K::Door, 0, 0, {{80, 60, n}, {5, 60, o}, {15, 5, n}, {145, 5, n}}},
        {K::Flip, 0, 0, {{85, 15, n}, {85, 105, n}, {25, 60, b}, {135, 60, b}}},
        {K::Fly, 0, 0, {{80, 20, o}, {80, 110, n}, {5, 90, o}}},
        {K::Polygon, 4, 0, {{80, 60, o}, {5, 5, n}, {155, 115, n}}},
        {K::RotateIn, 0, 0, {{80, 60, n}, {5, 60, o}, {105, 5, o}, {105, 60, n}}},
        {K::Shutter, 0, 40, {{75, 60, o}, {25, 60, m}, {135, 60, m}}},
        {K::Spin, 0, 0, {{80, 55, n}, {85, 15, b}, {25, 60, b}}},
        {K::Sweep, 0, 40, {{25, 60, n}, {85, 60, m}, {135, 60, o}}},
        {K::Twist, 0, 0, {{85, 5, b}, {25, 60, n}, {135, 60, o}}},
        {K::Wipe, 0, 1, {{25, 60, n}, {85, 60, n}, {85, 5, n}, {135, 60, o}}},
        {K::Zoom, 0, 0, {{5, 5, m}, {80, 60, m}, {155, 115, m}}},
    };
    ASSERT_EQ(std::size(cases), size_t(kConcreteTransitionKindCount));
    std::vector<QImage> frames;
    for (const KindCase& c : cases) {
        frames.push_back(middleFrame(c.kind, c.first, c.second));
        ASSERT_FALSE(frames.back().isNull());
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string name(transitionKindInfo(cases[i].kind).name);
        EXPECT_TRUE(shows(frames[i], cases[i].probes)) << name << " does not show its pattern:\n"
                                                       << sketch(frames[i]);
        // A renderer run for another kind, or two swapped, shows here.
        for (size_t j = 0; j < std::size(cases); ++j) {
            if (j == i) continue;
            EXPECT_FALSE(shows(frames[j], cases[i].probes))
                << transitionKindInfo(cases[j].kind).name << " shows " << name << "'s pattern";
        }
    }
}

}  // namespace
}  // namespace velmora
