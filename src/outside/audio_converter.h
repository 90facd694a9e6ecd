#pragma once

#include <filesystem>

namespace velmora {

class Event;

// Measures audio files and converts them to the one sound format of the
// disc's soundtracks: MPEG-1 Layer II, 48 kHz stereo, 224 kbit/s, written as
// bare frames with no tags, so that converted files can be joined byte by
// byte into one stream.
class AudioConverterLibrary {
  public:
    virtual ~AudioConverterLibrary() = default;

    // Duration in whole seconds; 0 for anything that is not decodable audio.
    virtual int GetFileTimeLength(const std::filesystem::path& file) = 0;

    // Converts `source` into `target`. 0 when done; 2 when `cancel` was set
    // (tested between packets); −1 when the target cannot be written; 1 when
    // the source holds no audio this program can decode; another non-zero
    // value (the decoder's or encoder's error code) when conversion fails.
    // A failed or cancelled conversion leaves no target file behind.
    virtual int xToMp2(const std::filesystem::path& source, const std::filesystem::path& target,
                       const Event& cancel) = 0;
};

}  // namespace velmora
