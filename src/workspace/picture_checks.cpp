#include "workspace/picture_checks.h"

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

int workersFor(size_t files, int asked) {
    const int processors = int(std::max(1u, std::thread::hardware_concurrency()));
    const int wanted = asked > 0 ? asked : processors;
    return int(std::min<size_t>(size_t(wanted), files));
}

}  // namespace

PictureChecks::PictureChecks(std::vector<std::filesystem::path> files, PictureFiles& pictures,
                             int workerCount)
    : files_(std::move(files)), pictures_(pictures), outcomes_(files_.size()) {
    const int count = workersFor(files_.size(), workerCount);
    workers_.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        workers_.emplace_back([this](const std::stop_token& stop) { work(stop); });
}

PictureChecks::~PictureChecks() {
    // The workers look for the stop between files only.
    for (std::jthread& worker : workers_)
        worker.request_stop();
}

PictureFileCheck PictureChecks::take(size_t i) {
    std::unique_lock lock(mutex_);
    checked_.wait(lock, [&] { return outcomes_[i].has_value(); });
    Outcome outcome = std::move(*outcomes_[i]);
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    return std::move(outcome.check);
}

void PictureChecks::work(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        size_t i = 0;
        {
            const std::lock_guard lock(mutex_);
            if (next_ == files_.size()) return;
            i = next_++;
        }
        Outcome outcome;
        try {
            outcome.check = checkPictureFile(files_[i], pictures_);
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            outcomes_[i] = std::move(outcome);
        }
        checked_.notify_all();
    }
}

}  // namespace velmora
