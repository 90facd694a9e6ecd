#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "interfaces/encoder_library.h"

namespace velmora {

// Runs another encoder on a thread of its own behind a small bounded queue,
// so that composing the next frame and encoding this one use both cores.
// EncOneFrame copies the frame into a free slot (waiting while every slot is
// full) and returns; an error of the encoder therefore shows up at a later
// EncOneFrame or at closeEncoder. After an error the frames still queued
// are dropped. init and close run on the caller's thread.
class QueuedEncoder final : public EncoderLibrary {
  public:
    // 32 frames (18 MB for PAL) keep the encoder busy while the composing
    // thread decodes the next segment's photo, which takes about as long as
    // encoding 20 to 30 frames.
    explicit QueuedEncoder(std::unique_ptr<EncoderLibrary> encoder, int queuedFrames = 32);
    ~QueuedEncoder() override;
    QueuedEncoder(const QueuedEncoder&) = delete;
    QueuedEncoder& operator=(const QueuedEncoder&) = delete;

    int initVobEncoder(const std::filesystem::path& soundtrack, const std::filesystem::path& output,
                       VideoFormat format) override;
    int initEncoder(const std::filesystem::path& output, VideoFormat format) override;
    int EncOneFrame(const uint8_t* planarFrame) override;
    void startGroupAtNextFrame() override;
    int closeEncoder() override;

  private:
    void start(int init, VideoFormat format);
    // Lets the thread encode what is queued, then joins it.
    void stopWorker();
    void encodeQueuedFrames();

    std::unique_ptr<EncoderLibrary> encoder_;
    const int queuedFrames_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<uint8_t>> slots_;
    std::vector<char> slotStartsGroup_;  // per slot: its frame begins a group
    bool nextStartsGroup_ = false;       // the caller's thread only
    std::deque<int> freeSlots_;
    std::deque<int> queuedSlots_;
    int error_ = 0;  // the first error of the encoder thread
    bool closing_ = false;
    std::thread worker_;
};

}  // namespace velmora
