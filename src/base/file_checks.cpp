#include "base/file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

// What a stat result names, for a file that is not a regular one.
std::string kindReason(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a FIFO, not a file";
    if (S_ISSOCK(mode)) return "is a socket, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a file";
    return "is not a regular file";
}

// Why a file could not be looked at or opened.
std::string errorReason(int errorNumber) {
    if (errorNumber == ENOENT) return "does not exist";
    return std::string("cannot be read: ") + std::strerror(errorNumber);
}

bool checkedRegular(const struct stat& status, std::string* reason) {
    if (S_ISREG(status.st_mode)) return true;
    *reason = kindReason(status.st_mode);
    return false;
}

}  // namespace

bool isRegularFile(const std::filesystem::path& file, std::string* reason) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        *reason = errorReason(errno);
        return false;
    }
    return checkedRegular(status, reason);
}

int openRegularFile(const std::filesystem::path& file, std::string* reason) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int openErrno = errno;
        // A socket cannot be opened at all; say what it is rather than why.
        struct stat status {};
        if (::stat(file.c_str(), &status) != 0 || checkedRegular(status, reason))
            *reason = errorReason(openErrno);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !checkedRegular(status, reason)) {
        if (reason->empty()) *reason = errorReason(errno);
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::int64_t regularFileSize(const std::filesystem::path& file, std::string* reason) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        *reason = errorReason(errno);
        return -1;
    }
    if (!checkedRegular(status, reason)) return -1;
    return static_cast<std::int64_t>(status.st_size);
}

}  // namespace velmora
