#include "outside/queued_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "interfaces/video_format.h"
#include "support/video_frames.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Records the luma of every frame it encodes and where its planes are,
// slowly enough that frames queue up, and can refuse a chosen frame or its
// init.
class RecordingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const fs::path&, const fs::path&, VideoFormat) override {
        return initResult;
    }
    int initEncoder(const fs::path&, VideoFormat) override { return initResult; }
    int EncOneFrame(SharedVideoFrame frame) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        lumas.push_back(frame->y()[0]);
        planes.push_back(frame->y());
        return int(lumas.size()) == failAt ? -42 : 0;
    }
    int closeEncoder() override {
        ++closes;
        return closeResult;
    }
    void startGroupAtNextFrame() override { groupStarts.push_back(int(lumas.size())); }
    std::vector<int> lumas;
    std::vector<const uint8_t*> planes;
    std::vector<int> groupStarts;  // the frames a group was asked to start on
    int initResult = 0, closeResult = 0, failAt = -1;
    std::atomic<int> closes = 0;
};

struct QueuedEncoderTest : ::testing::Test {
    QueuedEncoderTest() {
        auto owned = std::make_unique<RecordingEncoder>();
        inner = owned.get();
        queued = std::make_unique<QueuedEncoder>(std::move(owned), 2);
    }
    // Frame i has the luma i; the frames in `groupStarts` are announced as
    // starting a group.
    int send(int frameCount, const std::vector<int>& groupStarts = {}) {
        for (int i = 0; i < frameCount; ++i) {
            if (std::count(groupStarts.begin(), groupStarts.end(), i) != 0)
                queued->startGroupAtNextFrame();
            const int result = queued->EncOneFrame(test::uniformFrame(kPalStandard, uint8_t(i)));
            if (result != 0) return result;
        }
        return 0;
    }
    RecordingEncoder* inner = nullptr;
    std::unique_ptr<QueuedEncoder> queued;
};

TEST_F(QueuedEncoderTest, EveryFrameReachesTheEncoderInOrderBeforeClose) {
    for (int run = 0; run < 2; ++run) {  // the same object serves several encodes
        inner->lumas.clear();
        inner->groupStarts.clear();
        ASSERT_EQ(queued->initVobEncoder("s.mp2", "o.mpg", kPalStandard), 0);
        ASSERT_EQ(send(20, {7, 15}), 0);
        EXPECT_EQ(queued->closeEncoder(), 0);
        ASSERT_EQ(inner->lumas.size(), 20u);
        // A group start reaches the encoder with its own frame, however
        // many frames wait in the queue.
        EXPECT_EQ(inner->groupStarts, (std::vector<int>{7, 15}));
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(inner->lumas[size_t(i)], i);
    }
    EXPECT_EQ(inner->closes, 2);
}

TEST_F(QueuedEncoderTest, AFrameHandedOverAgainIsTheSameBufferNotACopy) {
    ASSERT_EQ(queued->initVobEncoder("s.mp2", "o.mpg", kPalStandard), 0);
    const SharedVideoFrame still = test::uniformFrame(kPalStandard, 99);
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(queued->EncOneFrame(still), 0);
    EXPECT_EQ(queued->closeEncoder(), 0);
    EXPECT_EQ(inner->planes, std::vector<const uint8_t*>(6, still->y()));
    EXPECT_EQ(still.use_count(), 1);  // the queue let go of every hand-over
}

TEST_F(QueuedEncoderTest, AnEncoderErrorShowsUpLaterAndStopsTheEncode) {
    inner->failAt = 5;
    ASSERT_EQ(queued->initEncoder("o.m2v", kPalStandard), 0);
    EXPECT_EQ(send(100), -42);  // refused at a later frame, not at the 100th
    EXPECT_EQ(queued->closeEncoder(), -42);
    EXPECT_EQ(inner->lumas.size(), 5u);  // nothing after the failed frame
    EXPECT_EQ(inner->closes, 1);

    // An error that only surfaces at close, and close's own error first.
    inner->lumas.clear();
    inner->failAt = 3;
    ASSERT_EQ(queued->initEncoder("o.m2v", kPalStandard), 0);
    ASSERT_EQ(send(3), 0);
    EXPECT_EQ(queued->closeEncoder(), -42);
    inner->closeResult = -7;
    ASSERT_EQ(queued->initEncoder("o.m2v", kPalStandard), 0);
    ASSERT_EQ(send(1), 0);
    EXPECT_EQ(queued->closeEncoder(), -7);
}

TEST_F(QueuedEncoderTest, AFailedInitPassesFramesStraightThrough) {
    inner->initResult = -3;
    EXPECT_EQ(
        queued->initVobEncoder("s.mp2", "o.mpg", VideoFormat{TvStandard::Ntsc, AspectRatio::Wide}),
        -3);
    inner->failAt = 1;
    EXPECT_EQ(queued->EncOneFrame(test::uniformFrame(kPalStandard, 0)), -42);
    EXPECT_EQ(queued->closeEncoder(), 0);
}

}  // namespace
}  // namespace velmora
