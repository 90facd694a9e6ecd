#pragma once

#include <filesystem>

#include "base/file_descriptor.h"

namespace velmora {

// An exclusive lock on a folder for as long as the object lives, taken on
// the folder itself so that nothing is written into it. Two runs making a
// DVD in one output folder would mix their discs: the second one is told.
class FolderLock {
  public:
    FolderLock() = default;
    ~FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False when the folder cannot be opened or another process holds it.
    bool acquire(const std::filesystem::path& folder);
    void release() { fd_ = FileDescriptor(); }

  private:
    FileDescriptor fd_;
};

}  // namespace velmora
