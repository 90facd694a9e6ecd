#pragma once

#include <unistd.h>

namespace velmora {

// Owns a POSIX file descriptor: closed when the object goes, unless handed
// over with release() to something that closes it itself (a FILE*, a TIFF).
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = other.release();
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now, so that a failing close (a full disk on some filesystems)
    // is seen.
    bool close() { return ::close(release()) == 0; }

  private:
    int fd_ = -1;
};

}  // namespace velmora
