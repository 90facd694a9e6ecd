#include "outside/spumux_subpicture.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "base/log.h"
#include "base/path_text.h"
#include "outside/child_process.h"

namespace velmora {

namespace fs = std::filesystem;

SpumuxSubpicture::SpumuxSubpicture(const Log& log, std::string program)
    : log_(log), program_(std::move(program)) {}

int SpumuxSubpicture::spumux(const SubpictureJob& job) {
    const std::string name = fs::path(program_).filename().string();
    if (job.streamId < 0 || job.streamId > 31) {
        log_.writeLog(name + " for " + quotedPath(job.output) + " cannot run: stream number " +
                      std::to_string(job.streamId) + " is outside 0..31");
        return 1;
    }
    // spumux writes the output as it reads the input; the output gets its
    // name only once complete.
    fs::path partial = job.output;
    partial += ".partial";

    ChildJob child;
    child.arguments = {program_,           "-m", "dvd", "-s", std::to_string(job.streamId),
                       job.script.string()};
    child.input = job.input;
    child.output = partial;
    // spumux takes the TV standard from VIDEO_FORMAT, else from the user's
    // video_format file in the XDG configuration folders; it sizes text
    // subtitles by it. Set it so the user's file never decides.
    child.environment = {{"VIDEO_FORMAT", job.standard == TvStandard::Pal ? "PAL" : "NTSC"}};
    child.cancelEvent = job.cancelEvent;
    // spumux ends with status 0 even when it skipped a subpicture (a mask it
    // cannot read, say); only its closing count tells.
    int added = 0;
    int skipped = 0;
    bool counted = false;
    child.onLine = [&](std::string_view line) {
        const std::string text(line);
        if (std::sscanf(text.c_str(), "INFO: %d subtitles added, %d subtitles skipped", &added,
                        &skipped) == 2)
            counted = true;
        if (!text.starts_with("STAT: ")) log_.writeLog(name + ": " + text);
    };
    const ChildResult result = runChildProcess(child);

    std::error_code error;
    if (result.succeeded() && !(counted && added > 0 && skipped == 0)) {
        fs::remove(partial, error);
        log_.writeLog(name + " for " + quotedPath(job.output) + " added no subpictures");
        return 1;
    }
    if (result.succeeded()) {
        fs::rename(partial, job.output, error);
        if (!error) return 0;
        log_.writeLog(name + " output " + quotedPath(job.output) +
                      " cannot be put in place: " + error.message());
        fs::remove(partial, error);
        return 1;
    }
    fs::remove(partial, error);
    if (result.ending == ChildResult::Ending::NotStarted)
        log_.writeLog(name + " for " + quotedPath(job.output) + " cannot run: " + result.problem);
    else
        log_.writeLog(name + " for " + quotedPath(job.output) + " " + childEndingText(result));
    return childResultCode(result);
}

}  // namespace velmora
