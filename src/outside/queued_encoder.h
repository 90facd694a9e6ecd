#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "interfaces/encoder_library.h"

namespace velmora {

// Runs another encoder on a thread of its own behind a small bounded queue,
// so that composing the next frame and encoding this one use both cores.
// EncOneFrame queues the shared frame itself, no copy (waiting while the
// queue is full), and returns; an error of the encoder therefore shows up
// at a later EncOneFrame or at closeEncoder. After an error the frames
// still queued are dropped. init and close run on the caller's thread.
class QueuedEncoder final : public EncoderLibrary {
  public:
    // 100 frames (4 s of PAL) keep the encoder busy while the composing
    // thread works through a transition: a picture that stays on screen is
    // one frame queued many times, so the queue is long in time and costs
    // little memory (the composer's frame pool bounds the frames in flight).
    explicit QueuedEncoder(std::unique_ptr<EncoderLibrary> encoder, int queuedFrames = 100);
    ~QueuedEncoder() override;
    QueuedEncoder(const QueuedEncoder&) = delete;
    QueuedEncoder& operator=(const QueuedEncoder&) = delete;

    int initVobEncoder(const std::filesystem::path& soundtrack, const std::filesystem::path& output,
                       VideoFormat format) override;
    int initEncoder(const std::filesystem::path& output, VideoFormat format) override;
    int EncOneFrame(SharedVideoFrame frame) override;
    // On the caller's thread, after what is queued: a still is the whole
    // encode, and its encoder may do it its own way.
    int encodeStillFrames(const SharedVideoFrame& frame, int frameCount,
                          const std::function<bool(int framesDone)>& carryOn) override;
    void startGroupAtNextFrame() override;
    int closeEncoder() override;

  private:
    struct Queued {
        SharedVideoFrame frame;
        bool startsGroup = false;
    };
    void start(int init);
    // Lets the thread encode what is queued, then joins it.
    void stopWorker();
    void encodeQueuedFrames();

    std::unique_ptr<EncoderLibrary> encoder_;
    const size_t queuedFrames_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    bool nextStartsGroup_ = false;  // the caller's thread only
    int error_ = 0;                 // the first error of the encoder thread
    bool closing_ = false;
    std::thread worker_;
};

}  // namespace velmora
