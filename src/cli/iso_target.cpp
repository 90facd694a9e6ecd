#include "cli/iso_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/path_text.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

// The standard identifier of the primary volume descriptor, in sector 16.
constexpr std::string_view kIso9660Id = "CD001";
constexpr off_t kIso9660IdOffset = 16 * 2048 + 1;

enum class IsoCheck { Iso, NotIso, Unreadable };

// Opened without blocking (a FIFO swapped in after the type check would
// otherwise hang here) and checked again to be a regular file.
IsoCheck checkIsoImage(const fs::path& file, int* error) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return IsoCheck::Unreadable;
    }
    struct stat status {};
    char id[kIso9660Id.size()] = {};
    ssize_t got = -1;
    if (::fstat(fd, &status) != 0) {
        *error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        *error = EINVAL;  // swapped for something else since it was looked at
    } else {
        do {
            got = ::pread(fd, id, sizeof id, kIso9660IdOffset);
        } while (got < 0 && errno == EINTR);
        *error = got < 0 ? errno : 0;
    }
    ::close(fd);
    if (got < 0) return IsoCheck::Unreadable;
    return std::string_view(id, size_t(got)) == kIso9660Id ? IsoCheck::Iso : IsoCheck::NotIso;
}

// What a path that is not a regular file is, for the message; empty for a
// regular file.
std::string otherKind(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
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
    if (exists) {
        const std::string kind = otherKind(status.st_mode);
        if (!kind.empty()) return quotedPath(iso) + " is " + kind + ", not an ISO image file";
    }
    if (std::string problem = folderProblem(iso); !problem.empty()) return problem;
    if (!exists || force) return {};
    int error = 0;
    switch (checkIsoImage(iso, &error)) {
        case IsoCheck::Iso:
            return {};
        case IsoCheck::NotIso:
            return quotedPath(iso) + " exists and is not an ISO image; --force replaces it";
        case IsoCheck::Unreadable:
            break;
    }
    return quotedPath(iso) + " cannot be read to see whether it is an ISO image (" +
           std::strerror(error) + "); --force replaces it";
}

}  // namespace velmora::cli
