#include "outside/queued_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>

#include "interfaces/video_format.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kPalFrameBytes = kPalStandard.composedFrameSize().planarBytes();

// Records a checksum of every frame it encodes, slowly enough that frames
// queue up, and can refuse a chosen frame or its init.
class RecordingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const fs::path&, const fs::path&, VideoFormat) override {
        return initResult;
    }
    int initEncoder(const fs::path&, VideoFormat) override { return initResult; }
    int EncOneFrame(const uint8_t* frame) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        sums.push_back(std::accumulate(frame, frame + kPalFrameBytes, uint64_t{0}));
        return int(sums.size()) == failAt ? -42 : 0;
    }
    int closeEncoder() override {
        ++closes;
        return closeResult;
    }
    void startGroupAtNextFrame() override { groupStarts.push_back(int(sums.size())); }
    std::vector<uint64_t> sums;
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
    // Frame i is filled with the value i, in one buffer reused at once; the
    // frames in `groupStarts` are announced as starting a group.
    int send(int frameCount, const std::vector<int>& groupStarts = {}) {
        std::vector<uint8_t> frame(kPalFrameBytes);
        for (int i = 0; i < frameCount; ++i) {
            if (std::count(groupStarts.begin(), groupStarts.end(), i) != 0)
                queued->startGroupAtNextFrame();
            std::fill(frame.begin(), frame.end(), uint8_t(i));
            if (const int result = queued->EncOneFrame(frame.data()); result != 0) return result;
        }
        return 0;
    }
    RecordingEncoder* inner = nullptr;
    std::unique_ptr<QueuedEncoder> queued;
};

TEST_F(QueuedEncoderTest, EveryFrameReachesTheEncoderInOrderBeforeClose) {
    for (int run = 0; run < 2; ++run) {  // the same object serves several encodes
        inner->sums.clear();
        inner->groupStarts.clear();
        ASSERT_EQ(queued->initVobEncoder("s.mp2", "o.mpg", kPalStandard), 0);
        ASSERT_EQ(send(20, {7, 15}), 0);
        EXPECT_EQ(queued->closeEncoder(), 0);
        ASSERT_EQ(inner->sums.size(), 20u);
        // A group start reaches the encoder with its own frame, however
        // many frames wait in the queue.
        EXPECT_EQ(inner->groupStarts, (std::vector<int>{7, 15}));
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(inner->sums[size_t(i)], uint64_t(i) * kPalFrameBytes);
    }
    EXPECT_EQ(inner->closes, 2);
}

TEST_F(QueuedEncoderTest, AnEncoderErrorShowsUpLaterAndStopsTheEncode) {
    inner->failAt = 5;
    ASSERT_EQ(queued->initEncoder("o.m2v", kPalStandard), 0);
    EXPECT_EQ(send(100), -42);  // refused at a later frame, not at the 100th
    EXPECT_EQ(queued->closeEncoder(), -42);
    EXPECT_EQ(inner->sums.size(), 5u);  // nothing after the failed frame
    EXPECT_EQ(inner->closes, 1);

    // An error that only surfaces at close, and close's own error first.
    inner->sums.clear();
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
    EXPECT_EQ(queued->EncOneFrame(std::vector<uint8_t>(kPalFrameBytes).data()), -42);
    EXPECT_EQ(queued->closeEncoder(), 0);
}

}  // namespace
}  // namespace velmora
