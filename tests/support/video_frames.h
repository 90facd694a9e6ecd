#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "interfaces/video_format.h"
#include "interfaces/video_frame.h"

namespace velmora::test {

// A frame of the DVD size of `format`: luma `luma` everywhere, grey chroma.
inline SharedVideoFrame uniformFrame(VideoFormat format, uint8_t luma) {
    auto frame = std::make_shared<VideoFrame>(720, format.dvdFrameHeight());
    std::memset(frame->y(), luma, size_t(frame->width()) * size_t(frame->height()));
    std::memset(frame->u(), 128, size_t(frame->chromaStride()) * size_t(frame->height() / 2) * 2);
    return frame;
}

}  // namespace velmora::test
