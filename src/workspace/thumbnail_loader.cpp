#include "workspace/thumbnail_loader.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QThread>
#include <algorithm>
#include <system_error>

#include "image/picture_fit.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Workers give way to the window's thread, which must stay quick to answer.
void lowerThisThreadsPriority() {
    setpriority(PRIO_PROCESS, pid_t(gettid()), 10);
}

}  // namespace

ThumbnailLoader::ThumbnailLoader(int threadCount, QObject* parent) : QObject(parent) {
    if (threadCount <= 0) threadCount = std::max(1, QThread::idealThreadCount());
    for (int i = 0; i < threadCount; ++i)
        workers_.emplace_back([this] { work(); });
}

ThumbnailLoader::~ThumbnailLoader() {
    {
        const std::lock_guard lock(queueMutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

int ThumbnailLoader::load(std::vector<fs::path> files, QSize size) {
    const int batch = currentBatch_ + 1;
    const int count = int(files.size());
    {
        const std::lock_guard lock(queueMutex_);
        currentBatch_ = batch;
        queue_.clear();
        for (size_t i = 0; i < files.size(); ++i)
            queue_.push_back({batch, int(i), std::move(files[i]), size});
    }
    remaining_ = count;
    wake_.notify_all();
    if (remaining_ == 0) {
        QMetaObject::invokeMethod(
            this, [this, batch] { emit batchFinished(batch); }, Qt::QueuedConnection);
    }
    return batch;
}

void ThumbnailLoader::cancel() {
    {
        const std::lock_guard lock(queueMutex_);
        ++currentBatch_;
        queue_.clear();
    }
    remaining_ = 0;
}

void ThumbnailLoader::work() {
    lowerThisThreadsPriority();
    for (;;) {
        Job job;
        {
            std::unique_lock lock(queueMutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        const std::string key = keyOf(job.file, job.size);
        QImage image = lookUp(key);
        if (image.isNull() && job.batch == currentBatch_) {
            std::string reason;
            image = renderFittedOnWhite(job.file, job.size, &reason).image();
            if (!image.isNull()) remember(key, job.file, image);
        }
        QMetaObject::invokeMethod(
            this,
            [this, batch = job.batch, index = job.index, image] { arrived(batch, index, image); },
            Qt::QueuedConnection);
    }
}

void ThumbnailLoader::arrived(int batch, int index, const QImage& image) {
    // A dropped batch's pictures are not told about.
    if (batch != currentBatch_) return;
    emit thumbnailReady(batch, index, image);
    if (--remaining_ == 0) emit batchFinished(batch);
}

std::string ThumbnailLoader::keyOf(const fs::path& file, QSize size) {
    std::error_code error;
    const auto modified = fs::last_write_time(file, error);
    const auto bytes = fs::file_size(file, error);
    return file.string() + '\n' + std::to_string(size.width()) + 'x' +
           std::to_string(size.height()) + '\n' +
           std::to_string(modified.time_since_epoch().count()) + '\n' +
           std::to_string(error ? 0 : bytes);
}

QImage ThumbnailLoader::cached(const fs::path& file, QSize size) const {
    return lookUp(keyOf(file, size));
}

QImage ThumbnailLoader::lookUp(const std::string& key) const {
    const std::lock_guard lock(cacheMutex_);
    const auto found = cacheIndex_.find(key);
    if (found == cacheIndex_.end()) return {};
    cache_.splice(cache_.begin(), cache_, found->second);
    return found->second->image;
}

void ThumbnailLoader::remember(const std::string& key, const fs::path& file, const QImage& image) {
    const std::lock_guard lock(cacheMutex_);
    if (cacheIndex_.contains(key)) return;
    cache_.push_front({key, file, image});
    cacheIndex_[key] = cache_.begin();
    cacheBytes_ += size_t(image.sizeInBytes());
    while (cacheBytes_ > kCacheBytes && cache_.size() > 1) {
        cacheBytes_ -= size_t(cache_.back().image.sizeInBytes());
        cacheIndex_.erase(cache_.back().key);
        cache_.pop_back();
    }
}

void ThumbnailLoader::forget(const fs::path& file) {
    const std::lock_guard lock(cacheMutex_);
    for (auto entry = cache_.begin(); entry != cache_.end();) {
        if (entry->file == file) {
            cacheBytes_ -= size_t(entry->image.sizeInBytes());
            cacheIndex_.erase(entry->key);
            entry = cache_.erase(entry);
        } else {
            ++entry;
        }
    }
}

}  // namespace velmora
