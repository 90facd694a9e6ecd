#include "core/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmora {

bool FolderLock::acquire(const std::filesystem::path& folder) {
    release();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void FolderLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace velmora
