#include "audio/soundtrack_assembly.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "audio/track_conversion.h"
#include "base/event.h"
#include "base/file_checks.h"
#include "base/log.h"
#include "base/path_text.h"
#include "interfaces/run_result.h"
#include "model/audio_track.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {
// A count as an int: lengths from a damaged project must not overflow it.
int countFrom(int64_t count) {
    return int(std::clamp<int64_t>(count, INT_MIN, INT_MAX));
}
}  // namespace

int loopRepetitions(int videoSeconds, int musicSeconds) {
    if (musicSeconds <= 0) return 0;
    const int64_t total = int64_t(videoSeconds) + 3 * int64_t(musicSeconds);
    return countFrom(total / musicSeconds + 1);
}

int silenceClips(int videoSeconds, int musicSeconds) {
    // The clip is at least 9 seconds long, so each covers 9 seconds. Music
    // of a negative length (a damaged project) must not call for millions.
    return countFrom((int64_t(videoSeconds) - std::max(musicSeconds, 0)) / 9 + 2);
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Writes the soundtrack file: appends whole files in 1024-byte blocks.
class SoundtrackWriter {
  public:
    SoundtrackWriter(const fs::path& output, const Event* cancel, const Log& log)
        : file_(std::fopen(output.c_str(), "wb")), output_(output), cancel_(cancel), log_(log) {}

    bool isOpen() const { return file_ != nullptr; }

    // 0 appended, 1 a file that cannot be read or a write that fails, 2 cancelled.
    int append(const fs::path& input) {
        const FilePtr in = openInput(input);
        if (!in) return 1;
        char block[1024];
        size_t count = 0;
        while ((count = std::fread(block, 1, sizeof block, in.get())) > 0) {
            if (std::fwrite(block, 1, count, file_.get()) != count)
                return fail("cannot write " + quotedPath(output_) + " (is the disk full?)");
        }
        if (std::ferror(in.get())) return fail("cannot read " + quotedPath(input));
        return cancel_ != nullptr && cancel_->isSet() ? kCancelled : kDone;
    }

    // Closes the file; false when what was written did not reach the disk.
    bool close() {
        std::FILE* file = file_.release();
        return file != nullptr && std::fclose(file) == 0;
    }

  private:
    // The file to append, when it is a regular file: a FIFO or device in its
    // place would block or never end.
    FilePtr openInput(const fs::path& input) {
        std::string reason;
        const int fd = openRegularFile(input, &reason);
        if (fd < 0) {
            fail("cannot read " + quotedPath(input) + ": it " + reason);
            return nullptr;
        }
        FilePtr in(::fdopen(fd, "rb"));
        if (!in) {
            ::close(fd);
            fail("cannot read " + quotedPath(input));
        }
        return in;
    }

    int fail(const std::string& reason) {
        log_.writeLog("Joining the soundtrack failed: " + reason);
        return 1;
    }

    FilePtr file_;
    fs::path output_;
    const Event* cancel_;
    const Log& log_;
};

// Appends the tracks' MP2 files `times` times.
int appendTracks(SoundtrackWriter& writer, const std::vector<AudioTrack>& tracks, int times) {
    for (int round = 0; round < times; ++round) {
        for (const AudioTrack& track : tracks) {
            if (const int result = writer.append(track.tempMp2Path); result != 0) return result;
        }
    }
    return 0;
}

int writeSoundtrack(SoundtrackWriter& writer, const std::vector<AudioTrack>& tracks,
                    const SoundtrackCover& cover, const Log& log) {
    int64_t totalSeconds = 0;  // durations are never negative here (tracksWithin)
    for (const AudioTrack& track : tracks)
        totalSeconds += track.durationSeconds;
    const int musicSeconds = countFrom(totalSeconds);
    const int fps = cover.framesPerSecond > 0 ? cover.framesPerSecond : 25;
    // Without music to repeat, loop mode pads with silence instead.
    if (cover.loopAudio && musicSeconds > 0) {
        const int videoSeconds = cover.longestSlideshowFrames / fps;
        const int repetitions = loopRepetitions(videoSeconds, musicSeconds);
        char line[96];
        std::snprintf(line, sizeof line, "video time:%lld, audio loop time:%d, audio length:%d",
                      static_cast<long long>(videoSeconds) + 3LL * musicSeconds, repetitions,
                      musicSeconds);
        log.writeLog(line);
        return appendTracks(writer, tracks, repetitions);
    }
    const int videoSeconds = cover.projectFrames / fps;
    if (const int result = appendTracks(writer, tracks, 1); result != 0) return result;
    for (int clip = 0; clip < silenceClips(videoSeconds, musicSeconds); ++clip) {
        if (const int result = writer.append(cover.silenceClip); result != 0) return result;
    }
    return 0;
}

// The tracks with a temporary file each of their own. Temporary names come
// from the file names, so two tracks named alike, or a track named like the
// soundtrack itself ("menu.mp3" for the menu), would write over each other;
// such a track gets its position added to its name.
std::vector<AudioTrack> withOwnTemporaryFiles(const std::vector<AudioTrack>& tracks,
                                              const fs::path& outputPath) {
    std::vector<AudioTrack> own = tracks;
    std::vector<fs::path> taken = {outputPath.lexically_normal()};
    for (size_t i = 0; i < own.size(); ++i) {
        fs::path& file = own[i].tempMp2Path;
        if (std::find(taken.begin(), taken.end(), file.lexically_normal()) != taken.end())
            file = file.parent_path() / (file.stem().string() + "_" + std::to_string(i) + ".mp2");
        taken.push_back(file.lexically_normal());
    }
    return own;
}

}  // namespace

int buildSoundtrack(const SoundtrackJob& job, const SoundtrackCover& cover,
                    AudioConverterLibrary* converter, const Log& log) {
    const std::vector<AudioTrack> tracks =
        job.tracks != nullptr ? tracksWithin(withOwnTemporaryFiles(*job.tracks, job.outputPath),
                                             job.musicLimit.maxSeconds)
                              : std::vector<AudioTrack>();
    const Event neverSet;
    const Event& cancel = job.cancelEvent != nullptr ? *job.cancelEvent : neverSet;
    if (const int result =
            convertTracks(tracks, converter, cancel, log, job.musicLimit, job.earlierConversions);
        result != 0)
        return result;
    log.writeLog("begin join all mp2 file");
    SoundtrackWriter writer(job.outputPath, job.cancelEvent, log);
    if (!writer.isOpen()) {
        log.writeLog("Joining the soundtrack failed: cannot create " + quotedPath(job.outputPath));
        return 1;
    }
    const int result = writeSoundtrack(writer, tracks, cover, log);
    if (!writer.close() && result == 0) {
        log.writeLog("Joining the soundtrack failed: cannot write " + quotedPath(job.outputPath));
        return 1;
    }
    if (result != 0) return result;
    std::error_code ignored;
    for (const AudioTrack& track : tracks)
        fs::remove(track.tempMp2Path, ignored);
    log.writeLog("end join all mp2 file");
    return 0;
}

}  // namespace velmora
