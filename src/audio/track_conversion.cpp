#include "audio/track_conversion.h"

#include <string>

#include "core/audio_track.h"
#include "core/event.h"
#include "core/log.h"
#include "outside/audio_converter.h"

namespace velmora {

int convertTracks(const std::vector<AudioTrack>& tracks, AudioConverterLibrary* converter,
                  const Event& cancel, const Log& log) {
    for (const AudioTrack& track : tracks) {
        // The converter is linked in; "cannot be loaded" is a build without one.
        if (converter == nullptr) {
            log.writeLog("Load audio converter module error");
            return 1;
        }
        log.writeLog("Load audio converter module ok");
        log.writeLog("convering mp3 file " + track.sourcePath.string());
        const int result = converter->xToMp2(track.sourcePath, track.tempMp2Path, cancel);
        log.writeLog("converted mp3 file resault: " + std::to_string(result));
        if (result != 0) return result;
        if (cancel.isSet()) return 2;
    }
    return 0;
}

}  // namespace velmora
