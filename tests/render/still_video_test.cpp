#include "render/still_video.h"

#include <gtest/gtest.h>

#include "base/event.h"
#include "image/picture_fixtures.h"
#include "interfaces/encoder_library.h"

namespace velmora {
namespace {

// Counts the calls; refuses a chosen frame; sets the cancel event while
// encoding a chosen frame.
class RecordingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const std::filesystem::path&, const std::filesystem::path&,
                       VideoFormat) override {
        return 0;
    }
    int initEncoder(const std::filesystem::path&, VideoFormat format) override {
        isPal = format.isPal();
        return initResult;
    }
    int EncOneFrame(SharedVideoFrame frame) override {
        ++frames;
        firstLuma = frame->y()[0];
        if (frames == cancelAtFrame && cancel != nullptr) cancel->set();
        return frames == refuseFrame ? 77 : 0;
    }
    int closeEncoder() override {
        ++closes;
        return 5;
    }
    int initResult = 0;
    int frames = 0;
    int closes = 0;
    int refuseFrame = -1;
    int cancelAtFrame = -1;
    Event* cancel = nullptr;
    bool isPal = false;
    uint8_t firstLuma = 0;
};

class StillVideoTest : public ::testing::Test {
  protected:
    StillVideoTest() {
        QImage white(64, 48, QImage::Format_RGB32);
        white.fill(Qt::white);
        test::writeWithQt(folder_ / "page.bmp", white, "bmp");
        job_.stillPath = folder_ / "page.bmp";
        job_.outputPath = folder_ / "page.m2v";
        job_.format = kNtscStandard;
        job_.seconds = 4;
        job_.cancelEvent = &cancel_;
        job_.progress = [this](int value) { progress_.push_back(value); };
    }
    test::TemporaryFolder folder_;
    Event cancel_;
    StillVideoJob job_;
    std::vector<int> progress_;
    RecordingEncoder encoder_;
};

TEST_F(StillVideoTest, FourSecondsOfNtscAreOneHundredTwentyFrames) {
    EXPECT_EQ(encodeStillVideo(job_, encoder_), 0);
    EXPECT_EQ(encoder_.frames, 120);
    EXPECT_EQ(encoder_.closes, 1);
    EXPECT_EQ(encoder_.firstLuma, 235);  // white
    ASSERT_EQ(progress_.size(), 121u);
    EXPECT_EQ(progress_.back(), 65535);

    RecordingEncoder pal;
    job_.format = kPalStandard;
    job_.seconds = 0;  // still opens and closes the encoder
    EXPECT_EQ(encodeStillVideo(job_, pal), 0);
    EXPECT_EQ(pal.frames, 0);
    EXPECT_EQ(pal.closes, 1);
    EXPECT_TRUE(pal.isPal);
}

TEST_F(StillVideoTest, CancelRefusalAndBadStill) {
    encoder_.cancel = &cancel_;
    encoder_.cancelAtFrame = 7;
    EXPECT_EQ(encodeStillVideo(job_, encoder_), 2);
    EXPECT_EQ(encoder_.frames, 7);
    EXPECT_EQ(encoder_.closes, 1);
    cancel_.reset();

    RecordingEncoder refusing;
    refusing.refuseFrame = 3;
    EXPECT_EQ(encodeStillVideo(job_, refusing), 5);  // what closeEncoder returned
    EXPECT_EQ(refusing.closes, 1);

    RecordingEncoder failingInit;
    failingInit.initResult = -9;
    EXPECT_EQ(encodeStillVideo(job_, failingInit), -9);
    EXPECT_EQ(failingInit.closes, 1);

    RecordingEncoder untouched;
    job_.stillPath = folder_ / "absent.bmp";
    EXPECT_EQ(encodeStillVideo(job_, untouched), 1);
    EXPECT_EQ(untouched.closes, 0);
}

}  // namespace
}  // namespace velmora
