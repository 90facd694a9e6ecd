#pragma once

#include <cstdint>
#include <filesystem>

#include "interfaces/video_format.h"

namespace velmora {

// The MPEG-2 encoder: planar YUV 4:2:0 frames in, a DVD program stream (a
// slideshow, with its soundtrack) or a video elementary stream (a menu
// still) out. The frames are the composition canvas of the format
// (VideoFormat::composedFrameSize).
// Calling order per encode: one init, EncOneFrame once per frame in display
// order (the caller may reuse its buffer as soon as the call returns), then
// exactly one closeEncoder, also after an error or a cancel.
class EncoderLibrary {
  public:
    virtual ~EncoderLibrary() = default;

    // 0 when ready, otherwise an error code (also for initEncoder).
    virtual int initVobEncoder(const std::filesystem::path& soundtrack,
                               const std::filesystem::path& output, VideoFormat format) = 0;
    virtual int initEncoder(const std::filesystem::path& output, VideoFormat format) = 0;
    // 0 when the frame was taken, otherwise an error code.
    virtual int EncOneFrame(const uint8_t* planarFrame) = 0;
    // The next frame begins a closed group of pictures, where a DVD
    // chapter can start exactly (a picture's first frame). Encoders that
    // cannot place groups ignore it.
    virtual void startGroupAtNextFrame() {}
    virtual int closeEncoder() = 0;
};

}  // namespace velmora
