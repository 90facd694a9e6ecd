#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "interfaces/audio_converter.h"

namespace velmora {

class ConvertedTracks;
class Event;
class Log;
struct AudioTrack;

// One soundtrack to build: the menu music or the first slideshow's tracks.
struct SoundtrackJob {
    const std::vector<AudioTrack>* tracks = nullptr;
    std::filesystem::path outputPath;
    const Event* cancelEvent = nullptr;
    std::function<void(int)> progress;  // the build's; not called here
    // Where the music is cut, faded out over its last seconds; the whole
    // music when maxSeconds is 0 (whole seconds: extraMilliseconds is not
    // used here). Tracks are converted only as far as the
    // cut, and the repetitions or silence that follow repeat or pad the
    // music as cut.
    ConversionLimit musicLimit;
    // The build's conversions so far, shared by its soundtracks; none: every
    // track is converted.
    ConvertedTracks* earlierConversions = nullptr;
};

// What the soundtrack must cover, from the project.
struct SoundtrackCover {
    bool loopAudio = true;              // repeat the list instead of padding with silence
    int framesPerSecond = 25;           // 25 PAL, 30 NTSC (whole numbers)
    int longestSlideshowFrames = 0;     // loop mode covers the longest slideshow
    int projectFrames = 0;              // pad mode covers all of them
    std::filesystem::path silenceClip;  // R/menu_pic/silent.mp2
};

// Loop mode: how many times the whole list is written, for video and
// music lengths in whole seconds; 0 when the music has no length (there is
// nothing to repeat: the soundtrack is then built as in pad mode).
int loopRepetitions(int videoSeconds, int musicSeconds);
// Pad mode: how many silence clips follow the music (none when ≤ 0).
int silenceClips(int videoSeconds, int musicSeconds);

// Converts the tracks (as far as the job's music limit) and joins their MP2
// files byte by byte into the output, repeated (loop mode) or followed by
// silence clips (pad mode), so that the soundtrack is at least as long as
// the video. Only regular files are joined. 0 when written (the
// tracks' temporary files are then deleted); convertTracks' result when
// that fails; 1 when a file cannot be opened, read or written; 2 when
// cancelled (tested after every appended file).
int buildSoundtrack(const SoundtrackJob& job, const SoundtrackCover& cover,
                    AudioConverterLibrary* converter, const Log& log);

}  // namespace velmora
