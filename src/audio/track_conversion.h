#pragma once

#include <vector>

namespace velmora {

class AudioConverterLibrary;
class ConvertedTracks;
class Event;
class Log;
struct AudioTrack;
struct ConversionLimit;

// The tracks of a list that start before `maxSeconds` (every track when 0),
// the last one's duration shortened to end there. A negative duration (from
// a damaged project) counts as none.
std::vector<AudioTrack> tracksWithin(const std::vector<AudioTrack>& tracks, int maxSeconds);

// Converts every track of a list to its temporary MP2 file, in list order,
// with the converter's log lines. Under a limit (the list made with
// tracksWithin) each track is converted only as far as the limit lets the
// list go, and the track that reaches the cut fades out. 0 when all are
// converted; 1 when there is no converter; the converter's code when a
// track fails (the tracks before it keep their files); 2 when `cancel` is
// found set after a track. With `earlier` (the build's conversions so far),
// a track converted before as it would be now is taken from there, and each
// conversion made here is kept there for the build's later soundtracks.
int convertTracks(const std::vector<AudioTrack>& tracks, AudioConverterLibrary* converter,
                  const Event& cancel, const Log& log, const ConversionLimit& limit,
                  ConvertedTracks* earlier = nullptr);

}  // namespace velmora
