#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace velmora::test {

// While it lives, no file of this process may grow beyond `bytes`: writes
// past the limit fail as they do on a full disk (the signal the kernel
// would send is ignored, so the write just reports the error).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(size_t bytes) : previousSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    void (*previousSignal_)(int);
};

}  // namespace velmora::test
