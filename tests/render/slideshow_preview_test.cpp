#include "render/slideshow_preview.h"

#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/event.h"
#include "render/preview_clocks.h"
#include "render/preview_frames.h"
#include "render/preview_state.h"
#include "render/slideshow_fixture.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::FakeClock;
using test::StandstillClock;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// What happened, in order, on whichever thread.
class EventLog {
  public:
    void add(std::string entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    std::function<void()> adder(std::string entry) {
        return [this, entry] { add(entry); };
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

// Keeps a copy of every frame shown. With `holdFirstFrame` the first frame
// is held (the preview thread waits in showFrame) until `release` is set.
class RecordingSink final : public FrameSink {
  public:
    explicit RecordingSink(bool holdFirstFrame = false) : hold_(holdFirstFrame) {}
    void showFrame(const QImage& frame) override {
        if (hold_) {
            hold_ = false;
            showing.set();
            release.waitFor(20s);
        }
        std::lock_guard lock(mutex_);
        frames_.push_back(frame.copy());
    }
    std::vector<QImage> frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    Event showing;
    Event release;

  private:
    bool hold_;  // read and written by the preview thread only
    mutable std::mutex mutex_;
    std::vector<QImage> frames_;
};

bool isPlain(const QImage& frame, QRgb colour) {
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (frame.pixel(x, y) != colour) return false;
    return true;
}

class SlideshowPreviewTest : public test::SlideshowFixture {
  protected:
    SlideshowPreviewTest() {
        writePicture("red.png", kRed);
        writePicture("blue.png", kBlue);
        job_.slideshow = &slideshow_;
        job_.sink = &sink_;
        job_.onPlayedToEnd = events_.adder("played to end");
        job_.onEnded = events_.adder("ended");
        music_.stop = events_.adder("stop music");
        music_.playDiscMusic = events_.adder("play music");
    }
    void writePicture(const char* name, QRgb colour) {
        QImage picture(QSize(448, 336), QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString((folder_ / name).string()), "png"));
    }
    void addPictures(TvStandard standard, int firstDisplay, int laterPictures) {
        const bool isPal = standard == TvStandard::Pal;
        addPicture("red.png", isPal, firstDisplay, 0, TransitionKind::Alpha, 0);
        for (int i = 0; i < laterPictures; ++i)
            addPicture("blue.png", isPal, 1, 1, TransitionKind::Alpha, 0);
    }

    RecordingSink sink_;
    EventLog events_;
    SlideshowPreviewJob job_;
    PreviewMusic music_;
    Event stopRequest_;
};

struct PlayCase {
    TvStandard standard;
    int firstDisplay;
    int laterPictures;  // blue, 1 s cross-fade, 1 s shown
    int frames;
    std::chrono::microseconds playTime;  // the lead-in second included
};

TEST_F(SlideshowPreviewTest, PlaysTheEncodersFramesThenThePoster) {
    for (const PlayCase& play : {PlayCase{TvStandard::Pal, 2, 0, 75, 1s + 75 * 40ms},
                                 PlayCase{TvStandard::Ntsc, 1, 1, 60 + 60, 1s + 120 * 33367us}}) {
        SCOPED_TRACE(play.frames);
        slideshow_.pictures.clear();
        addPictures(play.standard, play.firstDisplay, play.laterPictures);
        RecordingSink sink;
        FakeClock clock;
        job_.sink = &sink;
        job_.format = {play.standard, AspectRatio::Standard};
        EXPECT_EQ(runSlideshowPreview(job_, clock, stopRequest_), 0);

        const std::vector<QImage> frames = sink.frames();
        ASSERT_EQ(frames.size(), size_t(play.frames + 1));
        EXPECT_EQ(frames.front().size(), QSize(224, 168));
        // The fade from white has barely begun on the first frame.
        EXPECT_GT(qGreen(frames.front().pixel(112, 84)), 200);
        const QRgb lastPicture = play.laterPictures > 0 ? kBlue : kRed;
        EXPECT_TRUE(isPlain(frames[size_t(play.frames - 1)], lastPicture));
        EXPECT_TRUE(isPlain(frames.back(), kRed)) << "the poster is the first picture";
        EXPECT_EQ(clock.elapsed(), play.playTime);
    }
    EXPECT_EQ(events_.entries(),
              (std::vector<std::string>{"played to end", "ended", "played to end", "ended"}));
}

TEST_F(SlideshowPreviewTest, ExplicitCanvasSizeIsComposedAtThatSize) {
    addPictures(TvStandard::Pal, 1, 0);
    job_.canvasSize = QSize(368, 207);
    FakeClock clock;
    runSlideshowPreview(job_, clock, stopRequest_);

    const QImage poster = sink_.frames().back();
    ASSERT_EQ(poster.size(), QSize(368, 207));
    // The 4:3 poster fills the height of the wide canvas, centred: 276 wide
    // from column 46.
    EXPECT_EQ(poster.pixel(45, 100), job_.background) << "the last frame's margin";
    EXPECT_EQ(poster.pixel(46, 100), kRed);
}

TEST_F(SlideshowPreviewTest, PlaysTheSlideshowAsItWasWhenStarted) {
    addPictures(TvStandard::Pal, 2, 0);
    FakeClock clock(true);
    Event ended;
    job_.onEnded = [&] {
        events_.add("ended");
        ended.set();
    };
    {
        PreviewState state;
        EXPECT_EQ(startSlideshowPreview(state, job_, clock, music_), 0);
        clock.asleep.wait();  // in the lead-in
        slideshow_.pictures.clear();
        addPicture("blue.png", true, 5, 0, TransitionKind::Alpha, 0);
        clock.gate.set();
        ASSERT_TRUE(ended.waitFor(20s));
    }
    const std::vector<QImage> frames = sink_.frames();
    ASSERT_EQ(frames.size(), 76u);
    EXPECT_TRUE(isPlain(frames[74], kRed));
    EXPECT_TRUE(isPlain(frames.back(), kRed));
    EXPECT_EQ(events_.entries(),
              (std::vector<std::string>{"stop music", "play music", "played to end", "ended"}));
}

TEST_F(SlideshowPreviewTest, StartWhileAStopIsUnderWayIsRefusedAndTheStopEndsTheRun) {
    addPictures(TvStandard::Pal, 2, 1);
    RecordingSink sink(true);
    job_.sink = &sink;
    FakeClock clock;
    PreviewState state;
    ASSERT_EQ(startSlideshowPreview(state, job_, clock, music_), 0);
    sink.showing.wait();  // the preview thread is held in its first frame

    std::thread stopper([&] { state.stopPreview(); });
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (!state.isPreviewStopping() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(state.isPreviewStopping());
    EXPECT_EQ(startSlideshowPreview(state, job_, clock, music_), 1);
    sink.release.set();
    stopper.join();

    EXPECT_FALSE(state.isPreviewRunning());
    // The frame it was on, then the poster.
    const std::vector<QImage> frames = sink.frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(isPlain(frames.back(), kRed));
    // The refused start touched no music; the stopped run did not report
    // that it played to its end.
    EXPECT_EQ(events_.entries(), (std::vector<std::string>{"stop music", "play music", "ended"}));
}

TEST_F(SlideshowPreviewTest, StartStopsTheMusicAndTheRunningPreviewBeforeStartingTheMusic) {
    addPictures(TvStandard::Pal, 2, 0);
    StandstillClock clock;
    PreviewState state;
    job_.onEnded = events_.adder("first ended");
    startSlideshowPreview(state, job_, clock, music_);
    clock.asleep.wait();

    job_.onEnded = events_.adder("second ended");
    EXPECT_EQ(startSlideshowPreview(state, job_, clock, music_), 0);
    clock.asleep.wait();
    state.stopPreview();
    EXPECT_EQ(events_.entries(),
              (std::vector<std::string>{"stop music", "play music", "stop music", "first ended",
                                        "play music", "second ended"}));
}

}  // namespace
}  // namespace velmora
