#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "interfaces/video_format.h"

namespace velmora {

class AudioConverterLibrary;
class Event;
class Log;

// How long the music takes to fall silent at the end of a title.
inline constexpr int kTitleFadeOutSeconds = 1;

// The length of a title's video as the encoder writes it, in whole
// milliseconds (rounded down, so the sound never outlasts the picture): PAL
// at 25 frames a second, NTSC at 30000/1001, though the timeline counts NTSC
// at 30 (an hour's title runs 3.6 s longer than counted).
int64_t titleMilliseconds(int64_t frames, VideoFormat format);

// One title's own soundtrack: where it goes and how long the title's video is.
struct TitleSoundtrack {
    std::filesystem::path outputPath;
    int frames = 0;
};

struct TitleSoundtrackJob {
    std::filesystem::path sharedSoundtrack;  // long enough for the longest title
    std::vector<TitleSoundtrack> titles;
    VideoFormat format;
    bool fadeOut = true;  // music fades; silence (no music) is only cut
    const Event* cancelEvent = nullptr;
};

// Converts the shared soundtrack once per title, cut where the title's video
// ends and, with music, faded out over its last kTitleFadeOutSeconds: every
// title plays its sound from the start, and the encoder would otherwise cut
// it at full volume. A title gets at least a millisecond of sound. 0 when
// every title has its file; 1 without a converter; the converter's code
// when a cut fails; 2 when cancelled (tested before each title and by the
// converter). Each title's lines go to the log.
int cutTitleSoundtracks(const TitleSoundtrackJob& job, AudioConverterLibrary* converter,
                        const Log& log);

}  // namespace velmora
