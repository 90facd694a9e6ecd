#include "disc/dvd_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/log.h"
#include "base/path_text.h"
#include "base/working_folder_claim.h"
#include "interfaces/dvd_file_names.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// A DVD folder that exists must be a real folder, not a link or a file.
bool isAbsentOrRealFolder(const fs::path& folder) {
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0) return errno == ENOENT;
    return S_ISDIR(status.st_mode);
}

}  // namespace

std::string dvdOutputProblem(const fs::path& output, const fs::path& workingFolder) {
    const std::string named = "The output folder " + quotedPath(output);
    std::error_code error;
    fs::create_directories(output, error);
    if (!fs::is_directory(output, error)) return named + " cannot be made.";
    if (::access(output.c_str(), W_OK | X_OK) != 0)
        return named + " cannot be written: " + std::strerror(errno) + ".";
    if (const std::string problem = outputFolderProblem(output, workingFolder); !problem.empty())
        return named + " " + problem + ", which is deleted with its project.";
    for (const char* dvdFolder : {"VIDEO_TS", "AUDIO_TS"}) {
        if (!isAbsentOrRealFolder(output / dvdFolder))
            return named + " holds a " + dvdFolder + " that is not a folder of its own.";
    }
    return {};
}

void removeEarlierDvd(const fs::path& output, const Log& log) {
    std::error_code error;
    for (const char* dvdFolder : {"VIDEO_TS", "AUDIO_TS"}) {
        const fs::path folder = output / dvdFolder;
        if (!isAbsentOrRealFolder(folder)) continue;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const fs::path& file = it->path();
            if (isDvdFileName(file.filename().string()) && !it->is_directory(error)) {
                fs::remove(file, error);
            } else {
                log.writeLog(quotedPath(file) + " is not a DVD file; it is left in place.");
            }
            error.clear();
        }
        error.clear();
    }
}

}  // namespace velmora
