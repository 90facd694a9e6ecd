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

}  // namespace velmora
