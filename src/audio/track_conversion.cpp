#include "audio/track_conversion.h"

#include <algorithm>
#include <optional>
#include <string>

#include "audio/converted_tracks.h"
#include "base/event.h"
#include "base/log.h"
#include "interfaces/audio_converter.h"
#include "interfaces/run_result.h"
#include "model/audio_track.h"

namespace velmora {

std::vector<AudioTrack> tracksWithin(const std::vector<AudioTrack>& tracks, int maxSeconds) {
    std::vector<AudioTrack> kept;
    int startSeconds = 0;
    for (const AudioTrack& track : tracks) {
        if (maxSeconds > 0 && startSeconds >= maxSeconds) break;
        AudioTrack& copy = kept.emplace_back(track);
        copy.durationSeconds = std::max(copy.durationSeconds, 0);
        if (maxSeconds > 0) {
            copy.durationSeconds = std::min(copy.durationSeconds, maxSeconds - startSeconds);
            startSeconds += copy.durationSeconds;
        }
    }
    return kept;
}

namespace {

// One track's MP2: taken from an earlier conversion of this build when one
// is what converting it would write, converted otherwise (and then kept).
int convertTrack(const AudioTrack& track, AudioConverterLibrary& converter, const Event& cancel,
                 const Log& log, const ConversionLimit& limit, ConvertedTracks* earlier) {
    if (earlier != nullptr && earlier->reuse(track.sourcePath, limit, track.tempMp2Path)) {
        log.writeLog("reusing this build's earlier conversion of mp3 file " +
                     track.sourcePath.string());
        return 0;
    }
    // Taken before reading: a change while it is read then shows as a change.
    const std::optional<SourceState> before = SourceState::of(track.sourcePath);
    log.writeLog("convering mp3 file " + track.sourcePath.string());
    const int result = converter.xToMp2(track.sourcePath, track.tempMp2Path, cancel, limit);
    if (result == 0 && earlier != nullptr && before)
        earlier->keep(track.sourcePath, *before, limit, track.tempMp2Path);
    return result;
}

}  // namespace

int convertTracks(const std::vector<AudioTrack>& tracks, AudioConverterLibrary* converter,
                  const Event& cancel, const Log& log, const ConversionLimit& limit,
                  ConvertedTracks* earlier) {
    int startSeconds = 0;
    for (const AudioTrack& track : tracks) {
        // The converter is linked in; "cannot be loaded" is a build without one.
        if (converter == nullptr) {
            log.writeLog("Load audio converter module error");
            return 1;
        }
        ConversionLimit ownLimit;
        if (limit.maxSeconds > 0) {
            // What the tracks before this one have left of the limit.
            ownLimit = {std::max(limit.maxSeconds - startSeconds, 1), limit.fadeOutSeconds};
            startSeconds += std::clamp(track.durationSeconds, 0, limit.maxSeconds - startSeconds);
        }
        log.writeLog("Load audio converter module ok");
        const int result = convertTrack(track, *converter, cancel, log, ownLimit, earlier);
        log.writeLog("converted mp3 file resault: " + std::to_string(result));
        if (result != 0) return result;
        if (cancel.isSet()) return kCancelled;
    }
    return 0;
}

}  // namespace velmora
