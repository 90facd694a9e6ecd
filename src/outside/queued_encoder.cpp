#include "outside/queued_encoder.h"

#include <cstring>

namespace velmora {

QueuedEncoder::QueuedEncoder(std::unique_ptr<EncoderLibrary> encoder, int queuedFrames)
    : encoder_(std::move(encoder)), queuedFrames_(queuedFrames > 0 ? queuedFrames : 1) {}

QueuedEncoder::~QueuedEncoder() {
    stopWorker();
}

int QueuedEncoder::initVobEncoder(const std::filesystem::path& soundtrack,
                                  const std::filesystem::path& output, VideoFormat format) {
    stopWorker();
    const int result = encoder_->initVobEncoder(soundtrack, output, format);
    start(result, format);
    return result;
}

int QueuedEncoder::initEncoder(const std::filesystem::path& output, VideoFormat format) {
    stopWorker();
    const int result = encoder_->initEncoder(output, format);
    start(result, format);
    return result;
}

void QueuedEncoder::start(int init, VideoFormat format) {
    if (init != 0) return;  // frames go straight to the encoder, which refuses them
    const size_t frameBytes = size_t(format.composedFrameSize().planarBytes());
    slots_.assign(size_t(queuedFrames_), std::vector<uint8_t>(frameBytes));
    slotStartsGroup_.assign(size_t(queuedFrames_), 0);
    nextStartsGroup_ = false;
    freeSlots_.clear();
    queuedSlots_.clear();
    for (int slot = 0; slot < queuedFrames_; ++slot)
        freeSlots_.push_back(slot);
    error_ = 0;
    closing_ = false;
    worker_ = std::thread([this] { encodeQueuedFrames(); });
}

int QueuedEncoder::EncOneFrame(const uint8_t* planarFrame) {
    if (!worker_.joinable()) return encoder_->EncOneFrame(planarFrame);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !freeSlots_.empty() || error_ != 0; });
    if (error_ != 0) return error_;
    const int slot = freeSlots_.front();
    freeSlots_.pop_front();
    // The slot belongs to this thread until it is queued.
    lock.unlock();
    std::vector<uint8_t>& buffer = slots_[size_t(slot)];
    std::memcpy(buffer.data(), planarFrame, buffer.size());
    slotStartsGroup_[size_t(slot)] = nextStartsGroup_ ? 1 : 0;
    nextStartsGroup_ = false;
    lock.lock();
    queuedSlots_.push_back(slot);
    changed_.notify_all();
    return 0;
}

void QueuedEncoder::encodeQueuedFrames() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queuedSlots_.empty() || closing_; });
        if (queuedSlots_.empty()) return;  // closing with nothing left
        const int slot = queuedSlots_.front();
        queuedSlots_.pop_front();
        int result = 0;
        if (error_ == 0) {
            lock.unlock();
            if (slotStartsGroup_[size_t(slot)] != 0) encoder_->startGroupAtNextFrame();
            result = encoder_->EncOneFrame(slots_[size_t(slot)].data());
            lock.lock();
        }
        if (result != 0 && error_ == 0) error_ = result;
        freeSlots_.push_back(slot);
        changed_.notify_all();
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
