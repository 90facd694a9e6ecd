#pragma once

#include <filesystem>

namespace velmora {

class Event;

// Where a conversion stops: after maxSeconds seconds and extraMilliseconds
// milliseconds of sound (both 0: the whole source). When the source goes on
// beyond the cut, its last fadeOutSeconds seconds before the cut fade
// smoothly to silence, so the cut is heard as an ending and not as a click.
// The milliseconds let a cut meet a video's end, which seldom falls on a
// whole second (an NTSC title runs 1001/1000 of its counted length).
struct ConversionLimit {
    int maxSeconds = 0;
    int fadeOutSeconds = 0;
    int extraMilliseconds = 0;
};

// Measures audio files and converts them to the one sound format of the
// disc's soundtracks: MPEG-1 Layer II, 48 kHz stereo, 224 kbit/s, written as
// bare frames with no tags, so that converted files can be joined byte by
// byte into one stream.
class AudioConverterLibrary {
  public:
    virtual ~AudioConverterLibrary() = default;

    // Duration in whole seconds; 0 for anything that is not decodable audio
    // (and for what is not a regular file, which is never opened for reading).
    virtual int GetFileTimeLength(const std::filesystem::path& file) = 0;

    // Converts `source` into `target`, no further than `limit`. 0 when done;
    // 2 when `cancel` was set (tested between packets); −1 when the target
    // cannot be written; 1 when the source is not a regular file or holds
    // no audio this program can decode; another non-zero value (the
    // decoder's or encoder's error code) when conversion fails. A failed or
    // cancelled conversion leaves no target file behind.
    virtual int xToMp2(const std::filesystem::path& source, const std::filesystem::path& target,
                       const Event& cancel, const ConversionLimit& limit = {}) = 0;
};

}  // namespace velmora
