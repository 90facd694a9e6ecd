#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include "model/slideshow.h"

namespace velmora {

// Checks a list of picture files on worker threads while the caller takes
// the results in its own order, each as soon as it is ready: checking
// decodes every file, which is where an import of large photos spends its
// time. The workers take the files in list order, so the first results come
// first. Each file is checked once.
//
// Use it from one thread. `pictures` must be safe to call from several
// threads at once.
class PictureChecks {
  public:
    // workerCount 0: one per processor; never more than there are files.
    PictureChecks(std::vector<std::filesystem::path> files, PictureFiles& pictures,
                  int workerCount = 0);
    ~PictureChecks();  // drops the files not yet started, waits for those being checked
    PictureChecks(const PictureChecks&) = delete;
    PictureChecks& operator=(const PictureChecks&) = delete;

    size_t size() const { return files_.size(); }
    int workerCount() const { return int(workers_.size()); }
    // The check of file i, waiting for it; what the check threw is thrown
    // here. Each result can be taken once.
    PictureFileCheck take(size_t i);

  private:
    struct Outcome {
        PictureFileCheck check;
        std::exception_ptr failure;
    };

    void work(const std::stop_token& stop);

    const std::vector<std::filesystem::path> files_;
    PictureFiles& pictures_;

    // Shared with the workers.
    std::mutex mutex_;
    std::condition_variable checked_;
    size_t next_ = 0;  // the first file no worker has taken
    std::vector<std::optional<Outcome>> outcomes_;

    // Last, so that the workers start after everything they use exists and
    // stop before any of it goes.
    std::vector<std::jthread> workers_;
};

}  // namespace velmora
