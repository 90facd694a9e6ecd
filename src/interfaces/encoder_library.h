#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "interfaces/video_format.h"
#include "interfaces/video_frame.h"

namespace velmora {

// The MPEG-2 encoder: planar YUV 4:2:0 frames in, a DVD program stream (a
// slideshow, with its soundtrack) or a video elementary stream (a menu
// still) out. The frames have the DVD frame's size (720 × 576 PAL, 720 ×
// 480 NTSC; dvdFrameSize in render/frame_geometry.h).
// Calling order per encode: one init, EncOneFrame once per frame in display
// order, then exactly one closeEncoder, also after an error or a cancel. A
// frame is shared, never written again once handed over: the encoder may
// keep it as long as it needs and the same frame may come again.
class EncoderLibrary {
  public:
    virtual ~EncoderLibrary() = default;

    // 0 when ready, otherwise an error code (also for initEncoder).
    virtual int initVobEncoder(const std::filesystem::path& soundtrack,
                               const std::filesystem::path& output, VideoFormat format) = 0;
    virtual int initEncoder(const std::filesystem::path& output, VideoFormat format) = 0;
    // 0 when the frame was taken, otherwise an error code. An encoder that
    // does not take frames (takesFrames) is handed null.
    virtual int EncOneFrame(SharedVideoFrame frame) = 0;
    // False for an encoder that keeps nothing of the frames (a render
    // watched through its composed canvases): they are not converted then.
    virtual bool takesFrames() const { return true; }
    // A still video: `frameCount` frames of one picture, all the frames of
    // an encode. `carryOn(framesDone)` is told how far it got and answers
    // false to stop there (the caller then closes). 0 or the encoder's
    // error. Here the frame is simply handed over frameCount times; an
    // encoder may instead encode one group of pictures and repeat it, since
    // every group of a still comes out the same.
    virtual int encodeStillFrames(const SharedVideoFrame& frame, int frameCount,
                                  const std::function<bool(int framesDone)>& carryOn) {
        for (int i = 0; i < frameCount; ++i) {
            if (const int result = EncOneFrame(frame); result != 0) return result;
            if (!carryOn(i + 1)) return 0;
        }
        return 0;
    }
    // The next frame begins a closed group of pictures, where a DVD
    // chapter can start exactly (a picture's first frame). Encoders that
    // cannot place groups ignore it.
    virtual void startGroupAtNextFrame() {}
    virtual int closeEncoder() = 0;
};

}  // namespace velmora
