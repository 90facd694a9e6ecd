#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace velmora {

// One picture of a video in planar YUV 4:2:0, rows without padding: the
// luma plane (width × height), then U and V ((width / 2) × (height / 2)
// each). Width and height are even. The planes start on 64-byte
// boundaries, which vector code and FFmpeg prefer.
class VideoFrame {
  public:
    VideoFrame(int width, int height)
        : width_(width), height_(height), data_(allocate(planarBytes(width, height))) {}

    static size_t planarBytes(int width, int height) {
        return size_t(width) * size_t(height) * 3 / 2;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    int lumaStride() const { return width_; }
    int chromaStride() const { return width_ / 2; }
    size_t bytes() const { return planarBytes(width_, height_); }

    uint8_t* y() { return data_.get(); }
    uint8_t* u() { return y() + lumaBytes(); }
    uint8_t* v() { return u() + lumaBytes() / 4; }
    const uint8_t* y() const { return data_.get(); }
    const uint8_t* u() const { return y() + lumaBytes(); }
    const uint8_t* v() const { return u() + lumaBytes() / 4; }

  private:
    struct Free {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };
    static std::unique_ptr<uint8_t, Free> allocate(size_t bytes) {
        // aligned_alloc wants a multiple of the alignment.
        void* memory = std::aligned_alloc(64, (bytes + 63) / 64 * 64);
        if (memory == nullptr) throw std::bad_alloc();
        return std::unique_ptr<uint8_t, Free>(static_cast<uint8_t*>(memory));
    }
    size_t lumaBytes() const { return size_t(width_) * size_t(height_); }

    int width_;
    int height_;
    std::unique_ptr<uint8_t, Free> data_;
};

// A frame handed to an encoder: read-only from there on and shared, so that
// a picture that stays on screen is one buffer handed over frame after frame.
using SharedVideoFrame = std::shared_ptr<const VideoFrame>;

// Frames of one size, reused: a frame goes back to the pool when its last
// holder lets it go, on whatever thread that happens, also after the pool
// itself is gone. At most `maxFrames` frames exist at once: take() waits
// for one to come back, so the frames in flight to an encoder stay within
// a known memory however long the encoder's queue of (often repeated)
// frames is.
class VideoFramePool {
  public:
    VideoFramePool(int width, int height, int maxFrames)
        : idle_(std::make_shared<Idle>()), width_(width), height_(height), maxFrames_(maxFrames) {}

    int width() const { return width_; }
    int height() const { return height_; }

    // A frame to fill, with whatever an earlier user left in it. Waits
    // while all frames are in use: whoever holds them must let go on
    // another thread.
    std::shared_ptr<VideoFrame> take() {
        std::unique_ptr<VideoFrame> frame;
        {
            std::unique_lock lock(idle_->mutex);
            idle_->returned.wait(lock, [this] {
                return !idle_->frames.empty() || idle_->made < maxFrames_;
            });
            if (!idle_->frames.empty()) {
                frame = std::move(idle_->frames.back());
                idle_->frames.pop_back();
            } else {
                ++idle_->made;
            }
        }
        if (!frame) frame = std::make_unique<VideoFrame>(width_, height_);
        return std::shared_ptr<VideoFrame>(frame.release(), [idle = idle_](VideoFrame* returned) {
            {
                std::lock_guard lock(idle->mutex);
                try {
                    idle->frames.emplace_back(returned);
                } catch (const std::bad_alloc&) {
                    delete returned;  // not kept for reuse, then
                    --idle->made;
                }
            }
            idle->returned.notify_one();
        });
    }

  private:
    struct Idle {
        std::mutex mutex;
        std::condition_variable returned;
        std::vector<std::unique_ptr<VideoFrame>> frames;
        int made = 0;
    };
    std::shared_ptr<Idle> idle_;
    int width_;
    int height_;
    int maxFrames_;
};

}  // namespace velmora
