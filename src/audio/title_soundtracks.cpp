#include "audio/title_soundtracks.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/event.h"
#include "base/log.h"
#include "interfaces/audio_converter.h"
#include "interfaces/run_result.h"

namespace velmora {

int64_t titleMilliseconds(int64_t frames, VideoFormat format) {
    // A frame lasts 1/25 s (PAL) or 1001/30000 s (NTSC).
    const int64_t frameNumerator = format.isPal() ? 1 : 1001;
    const int64_t frameDenominator = format.isPal() ? 25 : 30000;
    return std::max<int64_t>(frames, 0) * 1000 * frameNumerator / frameDenominator;
}

namespace {

ConversionLimit titleCut(const TitleSoundtrack& title, VideoFormat format, bool fadeOut) {
    // A limit of nothing would mean the whole shared soundtrack.
    const int64_t milliseconds = std::max<int64_t>(titleMilliseconds(title.frames, format), 1);
    return {int(milliseconds / 1000), fadeOut ? kTitleFadeOutSeconds : 0, int(milliseconds % 1000)};
}

}  // namespace

int cutTitleSoundtracks(const TitleSoundtrackJob& job, AudioConverterLibrary* converter,
                        const Log& log) {
    const Event neverSet;
    const Event& cancel = job.cancelEvent != nullptr ? *job.cancelEvent : neverSet;
    for (size_t i = 0; i < job.titles.size(); ++i) {
        if (converter == nullptr) {
            log.writeLog("Load audio converter module error");
            return kFailed;
        }
        if (cancel.isSet()) return kCancelled;
        const TitleSoundtrack& title = job.titles[i];
        const ConversionLimit limit = titleCut(title, job.format, job.fadeOut);
        char line[128];
        std::snprintf(line, sizeof line, "title %zu soundtrack cut at %d.%03d s, fade out %d s", i,
                      limit.maxSeconds, limit.extraMilliseconds, limit.fadeOutSeconds);
        log.writeLog(line);
        const int result = converter->xToMp2(job.sharedSoundtrack, title.outputPath, cancel, limit);
        if (result != 0) {
            log.writeLog("title soundtrack not made, converter result: " + std::to_string(result));
            return result;
        }
    }
    return kDone;
}

}  // namespace velmora
