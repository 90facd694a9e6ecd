#include "outside/queued_encoder.h"

namespace velmora {

QueuedEncoder::QueuedEncoder(std::unique_ptr<EncoderLibrary> encoder, int queuedFrames)
    : encoder_(std::move(encoder)), queuedFrames_(size_t(queuedFrames > 0 ? queuedFrames : 1)) {}

QueuedEncoder::~QueuedEncoder() {
    stopWorker();
}

int QueuedEncoder::initVobEncoder(const std::filesystem::path& soundtrack,
                                  const std::filesystem::path& output, VideoFormat format) {
    stopWorker();
    const int result = encoder_->initVobEncoder(soundtrack, output, format);
    start(result);
    return result;
}

int QueuedEncoder::initEncoder(const std::filesystem::path& output, VideoFormat format) {
    stopWorker();
    const int result = encoder_->initEncoder(output, format);
    start(result);
    return result;
}

void QueuedEncoder::start(int init) {
    if (init != 0) return;  // frames go straight to the encoder, which refuses them
    queue_.clear();
    nextStartsGroup_ = false;
    error_ = 0;
    closing_ = false;
    worker_ = std::thread([this] { encodeQueuedFrames(); });
}

int QueuedEncoder::EncOneFrame(SharedVideoFrame frame) {
    if (!worker_.joinable()) return encoder_->EncOneFrame(std::move(frame));
    const bool startsGroup = nextStartsGroup_;
    nextStartsGroup_ = false;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < queuedFrames_ || error_ != 0; });
    if (error_ != 0) return error_;
    const bool wasEmpty = queue_.empty();
    queue_.push_back({std::move(frame), startsGroup});
    lock.unlock();
    // The encoder thread waits only when it has run dry.
    if (wasEmpty) changed_.notify_all();
    return 0;
}

int QueuedEncoder::encodeStillFrames(const SharedVideoFrame& frame, int frameCount,
                                     const std::function<bool(int)>& carryOn) {
    stopWorker();
    {
        std::lock_guard lock(mutex_);
        if (error_ != 0) return error_;
    }
    return encoder_->encodeStillFrames(frame, frameCount, carryOn);
}

void QueuedEncoder::encodeQueuedFrames() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
        if (queue_.empty()) return;  // closing with nothing left
        Queued next = std::move(queue_.front());
        queue_.pop_front();
        const bool wasFull = queue_.size() + 1 == queuedFrames_;
        int result = 0;
        if (error_ == 0) {
            lock.unlock();
            if (wasFull) changed_.notify_all();  // the composing thread may be waiting for room
            if (next.startsGroup) encoder_->startGroupAtNextFrame();
            result = encoder_->EncOneFrame(std::move(next.frame));
            next.frame.reset();  // back to its pool before the lock is taken again
            lock.lock();
        }
        if (result != 0 && error_ == 0) {
            error_ = result;
            changed_.notify_all();
        }
    }
}

void QueuedEncoder::startGroupAtNextFrame() {
    if (!worker_.joinable()) {
        encoder_->startGroupAtNextFrame();
        return;
    }
    nextStartsGroup_ = true;
}

void QueuedEncoder::stopWorker() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    worker_.join();
    queue_.clear();
}

int QueuedEncoder::closeEncoder() {
    stopWorker();
    const int closed = encoder_->closeEncoder();
    std::lock_guard lock(mutex_);
    const int queuedError = error_;
    error_ = 0;
    return closed != 0 ? closed : queuedError;
}

}  // namespace velmora
