#pragma once

#include <filesystem>
#include <functional>

#include "interfaces/video_format.h"

namespace velmora {

class EncoderLibrary;
class Event;

// One menu still turned into a video of a given length.
struct StillVideoJob {
    std::filesystem::path stillPath;
    std::filesystem::path outputPath;  // the page's video elementary stream
    VideoFormat format = kPalStandard;
    int seconds = 0;
    const Event* cancelEvent = nullptr;
    std::function<void(int)> progress;  // 0..65535
};

// Converts the still once and has the encoder make seconds × 25 (PAL) or
// × 30 (NTSC) frames of it (EncoderLibrary::encodeStillFrames). 0 when done (with a final
// progress of 65535); 1 when the still cannot be decoded; init's error code
// after closing; closeEncoder's result when a frame is refused; 2 when
// cancelled (after the frame in hand).
int encodeStillVideo(const StillVideoJob& job, EncoderLibrary& encoder);

}  // namespace velmora
