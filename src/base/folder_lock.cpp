#include "base/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <utility>

namespace velmora {

bool FolderLock::acquire(const std::filesystem::path& folder) {
    release();
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.isOpen() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
    fd_ = std::move(fd);
    return true;
}

}  // namespace velmora
