#include "render/timeline.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/event.h"
#include "base/log.h"
#include "base/notifier.h"
#include "base/random_generator.h"
#include "image/picture_fixtures.h"
#include "interfaces/audio_converter.h"
#include "interfaces/encoder_library.h"
#include "model/slideshow.h"
#include "model/transition_kinds.h"
#include "outside/ffmpeg_encoder.h"
#include "outside/queued_encoder.h"
#include "render/frame_geometry.h"
#include "render/picture_groups.h"
#include "render/slideshow_fixture.h"
#include "support/intra_frames.h"
#include "support/run_program.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Counts frames and remembers the first luma sample of each.
class CountingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const fs::path&, const fs::path&, VideoFormat) override {
        ++inits;
        return 0;
    }
    int initEncoder(const fs::path&, VideoFormat) override { return 0; }
    int EncOneFrame(SharedVideoFrame frame) override {
        firstLuma.push_back(frame->y()[0]);
        if (int(firstLuma.size()) == failAt) return -42;
        if (int(firstLuma.size()) == cancelAt && cancel != nullptr) cancel->set();
        return 0;
    }
    int closeEncoder() override {
        ++closes;
        return 0;
    }
    std::vector<uint8_t> firstLuma;
    int inits = 0, closes = 0, failAt = -1, cancelAt = -1;
    Event* cancel = nullptr;
};

class TimelineTest : public test::SlideshowFixture {
  protected:
    TimelineTest() {
        test::writeWithQt(folder_ / "a.png", test::quadrants(800, 600), "png");
        test::writeWithQt(folder_ / "b.png", test::quadrants(600, 800), "png");
        job_.format = kPalStandard;
        job_.slideshow = &slideshow_;
        job_.cancelEvent = &cancel_;
        job_.progress = [this](int value) { lastProgress_ = value; };
    }
    void addPicture(const std::string& name, int display, int transition,
                    TransitionKind kind = TransitionKind::Alpha, int mode = 0) {
        SlideshowFixture::addPicture(name, job_.format.isPal(), display, transition, kind, mode);
    }

    Event cancel_;
    RenderJob job_;
    int lastProgress_ = 0;
    CountingEncoder encoder_;
};

TEST_F(TimelineTest, SegmentsHaveTheirFrameCounts) {
    addPicture("a.png", 3, 2);
    addPicture("b.png", 3, 2);
    ASSERT_EQ(slideshow_.totalFrames, 225);
    EXPECT_EQ(encodeSlideshow(job_, encoder_, log_), 0);
    EXPECT_EQ(encoder_.firstLuma.size(), 225u);  // 100 + 125
    EXPECT_EQ(encoder_.inits, 1);
    EXPECT_EQ(encoder_.closes, 1);
    EXPECT_GE(lastProgress_, 65530);
    EXPECT_GT(encoder_.firstLuma[0], 225);  // the fade starts from white
    std::ifstream logFile(log_.file());
    const std::string logText(std::istreambuf_iterator<char>(logFile), {});
    EXPECT_NE(
        logText.find("cur iamge:0, imagetime:3, transmittime:2, singleeffect:20, effectid:0, "),
        std::string::npos);
}

TEST_F(TimelineTest, CutsFadesAndColours) {
    addPicture("a.png", 2, 2);
    addPicture("b.png", 2, 0);                            // a cut: 50 frames
    addPicture("b.png", 1, 2, TransitionKind::Alpha, 2);  // through black: 75 frames
    std::ofstream(folder_ / "broken.png", std::ios::binary) << "not a picture";
    addPicture("broken.png", 1, 0);  // shows the background for 25 frames
    job_.background = 0xFF808080;
    EXPECT_EQ(encodeSlideshow(job_, encoder_, log_), 0);
    EXPECT_EQ(encoder_.firstLuma.size(), size_t(75 + 50 + 75 + 25));
    // Halfway through the fade to black the frame is black.
    EXPECT_EQ(encoder_.firstLuma[75 + 50 + 24], 16);
    EXPECT_EQ(encoder_.firstLuma.back(), 126);  // grey 128
}

TEST_F(TimelineTest, CancelAndEncoderErrors) {
    addPicture("a.png", 3, 2);
    addPicture("b.png", 3, 2);
    encoder_.cancel = &cancel_;
    encoder_.cancelAt = 110;  // inside the transition
    EXPECT_EQ(encodeSlideshow(job_, encoder_, log_), 2);
    EXPECT_EQ(encoder_.firstLuma.size(), 110u);
    EXPECT_EQ(encoder_.closes, 1);
    cancel_.reset();

    CountingEncoder failing;
    failing.failAt = 30;
    EXPECT_EQ(encodeSlideshow(job_, failing, log_), -42);
    EXPECT_EQ(failing.firstLuma.size(), 30u);
    EXPECT_EQ(failing.closes, 1);
}

// A checksum of every frame it is handed, and how often a frame came again
// as the very buffer of the frame before (kept alive, so no other frame can
// reuse it meanwhile).
class SharingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const fs::path&, const fs::path&, VideoFormat) override { return 0; }
    int initEncoder(const fs::path&, VideoFormat) override { return 0; }
    int EncOneFrame(SharedVideoFrame frame) override {
        sums.push_back(checksum(*frame));
        repeated.push_back(previous_ == frame);
        previous_ = std::move(frame);
        return 0;
    }
    int closeEncoder() override { return 0; }

    static uint64_t checksum(const VideoFrame& frame) {
        uint64_t sum = 14695981039346656037u;
        for (size_t i = 0; i < frame.bytes(); ++i)
            sum = (sum ^ frame.y()[i]) * 1099511628211u;
        return sum;
    }
    std::vector<uint64_t> sums;
    std::vector<bool> repeated;

  private:
    SharedVideoFrame previous_;
};

TEST_F(TimelineTest, StillStretchesHandOverOneFrameAndEveryFrameIsItsCanvas) {
    constexpr int kNone = int(MotionEffectKind::None);
    constexpr int kPan = int(MotionEffectKind::PanLeftToRight);
    SlideshowFixture::addPicture("a.png", true, 1, 1, TransitionKind::Alpha, 0, kNone);
    SlideshowFixture::addPicture("b.png", true, 1, 1, TransitionKind::Wipe, 0, kPan);
    SlideshowFixture::addPicture("a.png", true, 1, 1, TransitionKind::Alpha, 0, kNone);
    // What each frame must be: its composed canvas, converted on its own.
    DvdFrameConverter converter(canvasSize(kPalStandard), dvdFrameSize(kPalStandard));
    VideoFrame alone(720, 576);
    std::vector<uint64_t> expected;
    job_.composedFrame = [&](int, const QImage& canvas) {
        converter.convert(canvas, alone);
        expected.push_back(SharingEncoder::checksum(alone));
    };
    SharingEncoder encoder;
    ASSERT_EQ(encodeSlideshow(job_, encoder, log_), 0);
    ASSERT_EQ(encoder.sums.size(), size_t(slideshow_.totalFrames));  // 50 + 50 + 50
    EXPECT_EQ(encoder.sums, expected);
    // Each still picture's second after its transition is one frame handed
    // over 25 times; the fades and the pan are new frames every time.
    for (int i = 0; i < 150; ++i) {
        const bool stillStretch = (i > 25 && i < 50) || i > 125;
        EXPECT_EQ(encoder.repeated[size_t(i)], stillStretch) << "frame " << i;
    }
}

TEST(PictureGroups, ASegmentSplitsIntoEqualGroupsNoLongerThanAllowed) {
    struct Case {
        int segmentFrames, maxGroupFrames;
        std::vector<int> starts;
    };
    const Case cases[] = {
        {90, 18, {0, 18, 36, 54, 72}},  // NTSC's count would leave 10 frames at the end
        {60, 18, {0, 15, 30, 45}},      // not 18 + 18 + 18 + 6
        {25, 15, {0, 12}},
        {19, 18, {0, 9}},
        {10, 15, {0}},
        {0, 15, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.segmentFrames);
        EXPECT_EQ(groupStarts(c.segmentFrames, c.maxGroupFrames), c.starts);
    }
}

std::string probe(const fs::path& stream, const char* selection, const char* entry) {
    const auto result = test::runProgram(
        {"ffprobe", "-v", "error", "-count_frames", "-select_streams", selection, "-show_entries",
         entry, "-of", "default=noprint_wrappers=1:nokey=1", stream.string()});
    return result.output.substr(0, result.output.find('\n'));
}

TEST_F(TimelineTest, TwoPicturesBecomeAProgramStreamDvdauthorTakes) {
    struct Case {
        VideoFormat format;
        const char *height, *rate, *displayAspect, *sound, *videoFormat;
        // Each picture's segment split into groups as long as a DVD allows,
        // of equal length: 75 frames in 5 and 50 in 4 (PAL), 90 in 5 and
        // 60 in 4 (NTSC).
        std::vector<int> groupStarts;
    };
    const Case cases[] = {
        {kPalStandard, "576", "25/1", "4:3", "mp2", "PAL", {0, 15, 30, 45, 60, 75, 87, 100, 112}},
        {{TvStandard::Ntsc, AspectRatio::Wide},
         "480",
         "30000/1001",
         "16:9",
         "ac3",
         "NTSC",
         {0, 18, 36, 54, 72, 90, 105, 120, 135}},
    };
    fs::create_directories(slideshow_.soundtrackPath.parent_path());
    const auto sound =
        test::runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                          "sine=frequency=330:sample_rate=48000:duration=10", "-ac", "2", "-c:a",
                          "mp2", "-b:a", "224k", "-f", "mp2", slideshow_.soundtrackPath.string()});
    ASSERT_EQ(sound.exitCode, 0) << sound.output;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.videoFormat);
        job_.format = c.format;
        slideshow_.pictures.clear();
        addPicture("a.png", 2, 1);
        addPicture("b.png", 1, 1, TransitionKind::Alpha, 1);
        // The encoder as the build uses it: on its own thread behind a queue.
        QueuedEncoder encoder(std::make_unique<FfmpegEncoder>(log_));
        ASSERT_EQ(encodeSlideshow(job_, encoder, log_), 0);

        const fs::path stream = slideshow_.programStreamPath;
        EXPECT_EQ(probe(stream, "v:0", "stream=nb_read_frames"),
                  std::to_string(slideshow_.totalFrames));  // 3 s + 2 s
        EXPECT_EQ(test::intraFrames(stream), c.groupStarts);
        EXPECT_EQ(probe(stream, "v:0", "stream=width"), "720");
        EXPECT_EQ(probe(stream, "v:0", "stream=height"), c.height);
        EXPECT_EQ(probe(stream, "v:0", "stream=r_frame_rate"), c.rate);
        EXPECT_EQ(probe(stream, "v:0", "stream=display_aspect_ratio"), c.displayAspect);
        EXPECT_EQ(probe(stream, "a:0", "stream=codec_name"), c.sound);
        // The ten-second soundtrack ends with the five seconds of video.
        const double videoSeconds = std::stod(probe(stream, "v:0", "stream=duration"));
        EXPECT_NEAR(std::stod(probe(stream, "a:0", "stream=duration")), videoSeconds, 0.15);

        setenv("VIDEO_FORMAT", c.videoFormat, 1);
        const auto title = test::runProgram(
            {"dvdauthor", "-o", (folder_ / c.videoFormat).string(), "-t", stream.string()});
        EXPECT_EQ(title.exitCode, 0) << title.output;
    }
}

}  // namespace
}  // namespace velmora
