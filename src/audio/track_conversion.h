#pragma once

#include <vector>

namespace velmora {

class AudioConverterLibrary;
class Event;
class Log;
struct AudioTrack;

// Converts every track of a list to its temporary MP2 file, in list order,
// with the converter's log lines. 0 when all are converted; 1 when there is
// no converter; the converter's code when a track fails (the tracks before
// it keep their files); 2 when `cancel` is found set after a track.
int convertTracks(const std::vector<AudioTrack>& tracks, AudioConverterLibrary* converter,
                  const Event& cancel, const Log& log);

}  // namespace velmora
