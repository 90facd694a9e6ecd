#pragma once

namespace velmora {

// TV standards as the project stores them: 0 NTSC, 1 PAL.
inline constexpr int kNtsc = 0;
inline constexpr int kPal = 1;

// Frames per second counted by the timeline: 25 for PAL, 30 otherwise
// (NTSC is counted at 30, not 29.97).
inline int framesPerSecond(int tvStandard) {
    return tvStandard == kPal ? 25 : 30;
}

// The square-pixel canvas slideshow frames are composed on and handed to
// the encoder: 720 × 540 (PAL 4:3), 640 × 480 (NTSC 4:3), 704 × 396 (16:9 in
// both standards).
struct ComposedFrameSize {
    int width = 0;
    int height = 0;
    constexpr int planarBytes() const { return width * height * 3 / 2; }  // YUV 4:2:0
};
inline constexpr ComposedFrameSize composedFrameSize(bool isPal, bool isWide) {
    if (isWide) return {704, 396};
    return isPal ? ComposedFrameSize{720, 540} : ComposedFrameSize{640, 480};
}

}  // namespace velmora
