#include "render/transition_preview.h"

#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <mutex>
#include <vector>

#include "base/event.h"
#include "base/random_generator.h"
#include "model/transition_setting.h"
#include "render/preview_clocks.h"
#include "render/preview_frames.h"
#include "render/preview_state.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::FakeClock;
using test::StandstillClock;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// Keeps a copy of every frame shown.
class RecordingSink final : public FrameSink {
  public:
    void showFrame(const QImage& frame) override {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame.copy());
    }
    std::vector<QImage> frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<QImage> frames_;
};

class ScriptedRandom final : public RandomSource {
  public:
    explicit ScriptedRandom(int value) : value_(value) {}
    int next() override { return value_; }

  private:
    int value_;
};

bool isPlain(const QImage& frame, QRgb colour) {
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (frame.pixel(x, y) != colour) return false;
    return true;
}

class TransitionPreviewTest : public ::testing::Test {
  protected:
    TransitionPreviewTest() {
        writePicture("red.png", QSize(448, 336), kRed);
        writePicture("blue.png", QSize(448, 336), kBlue);
        transition_->setParameters(0);  // a cross-fade
        job_.firstPicturePath = folder_ / "red.png";
        job_.secondPicturePath = folder_ / "blue.png";
        job_.motionEffect = kMotionEffectNone;
        job_.transition = transition_.get();
        job_.sink = &sink_;
    }
    void writePicture(const char* name, QSize size, QRgb colour) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString((folder_ / name).string()), "png"));
    }

    test::TemporaryFolder folder_;
    std::unique_ptr<TransitionSetting> transition_ = makeTransition(TransitionKind::Alpha);
    RecordingSink sink_;
    TransitionPreviewJob job_;
    Event stopRequest_;
};

struct CutCase {
    TvStandard standard;
    int frames;
    std::chrono::microseconds playTime;
};

TEST_F(TransitionPreviewTest, CutShowsOneSecondOfTheSecondPictureBetweenTheFirst) {
    for (const CutCase& cut :
         {CutCase{TvStandard::Pal, 25, 1000ms}, CutCase{TvStandard::Ntsc, 30, 30 * 33367us}}) {
        SCOPED_TRACE(cut.frames);
        RecordingSink sink;
        FakeClock clock;
        job_.sink = &sink;
        job_.format = {cut.standard, AspectRatio::Standard};
        job_.transitionTime = 0;
        job_.displayTime = 1;
        EXPECT_EQ(runTransitionPreview(job_, clock, stopRequest_), 0);

        const std::vector<QImage> frames = sink.frames();
        ASSERT_EQ(frames.size(), size_t(cut.frames + 2));
        EXPECT_EQ(frames.front().size(), QSize(224, 168));
        EXPECT_TRUE(isPlain(frames.front(), kRed));
        for (int k = 1; k <= cut.frames; ++k)
            EXPECT_TRUE(isPlain(frames[size_t(k)], kBlue)) << k;
        EXPECT_TRUE(isPlain(frames.back(), kRed));
        EXPECT_EQ(clock.elapsed(), cut.playTime);
    }
}

TEST_F(TransitionPreviewTest, TransitionTakesTheFirstFramesOfTheSegment) {
    FakeClock clock;
    job_.transitionTime = 2;
    job_.displayTime = 3;
    EXPECT_EQ(runTransitionPreview(job_, clock, stopRequest_), 0);

    const std::vector<QImage> frames = sink_.frames();
    ASSERT_EQ(frames.size(), 127u);  // the first picture, 125 frames, the first picture
    // Every transition frame moves on from the one before; the last of them
    // has arrived, and the display frames hold it.
    for (size_t k = 1; k <= 50; ++k)
        EXPECT_NE(frames[k], frames[k - 1]) << k;
    EXPECT_FALSE(isPlain(frames[49], kBlue)) << "the fade ends on its last frame, not before";
    EXPECT_TRUE(isPlain(frames[50], kBlue));
    for (size_t k = 51; k <= 125; ++k)
        EXPECT_EQ(frames[k], frames[50]) << k;
    EXPECT_EQ(clock.elapsed(), 5s);
}

TEST_F(TransitionPreviewTest, FirstPictureIsEnlargedToTheCanvasAndCentred) {
    writePicture("band.png", QSize(100, 50), kRed);
    job_.firstPicturePath = folder_ / "band.png";
    job_.transition = nullptr;
    FakeClock clock;
    runTransitionPreview(job_, clock, stopRequest_);

    const QImage first = sink_.frames().front();
    // 224 wide, 112 high, from row 28.
    EXPECT_EQ(first.pixel(0, 27), job_.background);
    EXPECT_EQ(first.pixel(0, 28), kRed);
    EXPECT_EQ(first.pixel(223, 139), kRed);
    EXPECT_EQ(first.pixel(223, 140), job_.background);
}

TEST_F(TransitionPreviewTest, StopEndsThePreviewAfterTheFrameItWaitsFor) {
    StandstillClock clock;
    ScriptedRandom random(0);
    job_.transitionTime = 2;
    job_.displayTime = 3;
    {
        PreviewState state;
        startTransitionPreview(state, job_, random, clock);
        clock.asleep.wait();  // the first frame of the transition waits for its time
        EXPECT_TRUE(state.isPreviewRunning());
        state.stopPreview();
        EXPECT_FALSE(state.isPreviewRunning());
        EXPECT_FALSE(state.isPreviewStopping());
    }
    EXPECT_EQ(clock.sleptThrough(), 0) << "the stop must wake the frame wait";
    const std::vector<QImage> frames = sink_.frames();
    ASSERT_EQ(frames.size(), 3u);  // the first picture, the frame it was on, the first picture
    EXPECT_TRUE(isPlain(frames.back(), kRed));
}

TEST_F(TransitionPreviewTest, StartWhileOneRunsStopsTheFirst) {
    StandstillClock clock;
    ScriptedRandom random(0);
    RecordingSink secondSink;
    PreviewState state;
    startTransitionPreview(state, job_, random, clock);
    clock.asleep.wait();

    TransitionPreviewJob second = job_;
    second.sink = &secondSink;
    startTransitionPreview(state, second, random, clock);
    // The first run has ended before the second began.
    EXPECT_EQ(sink_.frames().size(), 3u);
    EXPECT_TRUE(state.isPreviewRunning());
    clock.asleep.wait();
    EXPECT_EQ(secondSink.frames().size(), 1u);
    state.stopPreview();
    EXPECT_EQ(clock.sleptThrough(), 0);
    EXPECT_EQ(secondSink.frames().size(), 3u);
}

TEST(PreviewRandomDraws, MapTheGeneratorsValues) {
    struct Draw {
        int value;
        int catalogueEntry;
        int motionEffect;
    };
    for (const Draw& draw : {Draw{0, 1, 0}, Draw{1819, 1, 1}, Draw{1820, 2, 1}, Draw{30939, 17, 18},
                             Draw{30940, 18, 18}, Draw{32766, 18, 19}, Draw{32767, 18, 20}}) {
        SCOPED_TRACE(draw.value);
        ScriptedRandom random(draw.value);
        EXPECT_EQ(resolvePreviewCatalogueEntry(0, random), draw.catalogueEntry);
        EXPECT_EQ(resolvePreviewMotionEffect(kMotionEffectRandom, random), draw.motionEffect);
        // A concrete choice is kept whatever the generator says.
        EXPECT_EQ(resolvePreviewCatalogueEntry(5, random), 5);
        EXPECT_EQ(resolvePreviewMotionEffect(7, random), 7);
    }
}

}  // namespace
}  // namespace velmora
