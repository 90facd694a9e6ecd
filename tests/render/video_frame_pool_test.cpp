#include "interfaces/video_frame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace velmora {
namespace {

TEST(VideoFramePool, FramesComeBackForReuseAndTakeWaitsAtTheLimit) {
    VideoFramePool pool(720, 576, 2);
    std::shared_ptr<VideoFrame> first = pool.take();
    const uint8_t* firstPlanes = first->y();
    std::shared_ptr<VideoFrame> second = pool.take();
    EXPECT_NE(second->y(), firstPlanes);

    // A third frame waits until a holder on another thread lets one go,
    // and it is that very frame.
    std::atomic<bool> released = false;
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        released = true;
        first.reset();
    });
    const std::shared_ptr<VideoFrame> third = pool.take();
    EXPECT_TRUE(released);
    EXPECT_EQ(third->y(), firstPlanes);
    holder.join();
}

TEST(VideoFramePool, AFrameMayOutliveItsPool) {
    std::shared_ptr<VideoFrame> kept;
    {
        VideoFramePool pool(64, 48, 1);
        kept = pool.take();
    }
    kept->y()[0] = 1;  // still its own memory; freed when let go (sanitizers check)
    kept.reset();
}

}  // namespace
}  // namespace velmora
