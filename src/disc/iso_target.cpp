#include "disc/iso_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "base/file_checks.h"
#include "base/file_descriptor.h"
#include "base/path_text.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The standard identifier of the primary volume descriptor, in sector 16.
constexpr std::string_view kIso9660Id = "CD001";
constexpr off_t kIso9660IdOffset = 16 * 2048 + 1;

enum class IsoCheck { Iso, NotIso, Unreadable };

// Opened without blocking and checked to be a regular file (see
// file_checks.h), so a FIFO swapped in since it was looked at cannot hang
// the check.
IsoCheck checkIsoImage(const fs::path& file, std::string* reason) {
    const FileDescriptor fd(openRegularFile(file, reason));
    if (!fd.isOpen()) return IsoCheck::Unreadable;
    char id[kIso9660Id.size()] = {};
    ssize_t got = -1;
    do {
        got = ::pread(fd.get(), id, sizeof id, kIso9660IdOffset);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        *reason = std::strerror(errno);
        return IsoCheck::Unreadable;
    }
    return std::string_view(id, size_t(got)) == kIso9660Id ? IsoCheck::Iso : IsoCheck::NotIso;
}

// The image is made beside the target and renamed over it: its folder must
// exist and take new files.
std::string folderProblem(const fs::path& iso) {
    const fs::path absolute = fs::absolute(iso);
    const fs::path folder = absolute.parent_path();
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return "the folder of the ISO image " + quotedPath(iso) + " does not exist";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "the folder of the ISO image " + quotedPath(iso) + " is not writable (" +
               std::strerror(errno) + ")";
    return {};
}

}  // namespace

std::string isoTargetProblem(const fs::path& iso, bool force) {
    if (iso.empty()) return {};
    if (!iso.has_filename() || iso.filename() == "." || iso.filename() == "..")
        return quotedPath(iso) + " names a folder, not an ISO image file";
    struct stat status {};
    const bool exists = ::stat(iso.c_str(), &status) == 0;
    if (!exists && errno != ENOENT && errno != ENOTDIR)
        return quotedPath(iso) + " cannot be looked at: " + std::strerror(errno);
    std::string reason;
    if (exists && !isRegularFile(iso, &reason)) return quotedPath(iso) + " " + reason;
    if (std::string problem = folderProblem(iso); !problem.empty()) return problem;
    if (!exists || force) return {};
    switch (checkIsoImage(iso, &reason)) {
        case IsoCheck::Iso:
            return {};
        case IsoCheck::NotIso:
            return quotedPath(iso) + " exists and is not an ISO image; --force replaces it";
        case IsoCheck::Unreadable:
            break;
    }
    return quotedPath(iso) + " cannot be read to see whether it is an ISO image (" + reason +
           "); --force replaces it";
}

}  // namespace velmora
