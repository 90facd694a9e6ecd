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
    setpriority(PRIO_PROCESS, id_t(gettid()), 10);
}

int defaultWorkerCount() {
    return std::max(1, QThread::idealThreadCount() - 1);
}

}  // namespace

ThumbnailLoader::ThumbnailLoader(int threadCount, QObject* parent) : QObject(parent) {
    const int count = threadCount > 0 ? threadCount : defaultWorkerCount();
    for (int i = 0; i < count; ++i)
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
    // What the workers posted last goes with this object's pending events.
}

int ThumbnailLoader::load(std::vector<fs::path> files, QSize size) {
    const int batch = currentBatch_ + 1;
    std::vector<Ready> cachedNow;
    std::deque<Job> jobs;
    for (size_t i = 0; i < files.size(); ++i) {
        std::string key = keyOf(files[i], size);
        if (QImage image = lookUp(key); !image.isNull()) {
            cachedNow.push_back({int(i), std::move(image)});
        } else {
            jobs.push_back({batch, int(i), std::move(files[i]), std::move(key), size});
        }
    }
    {
        const std::lock_guard lock(queueMutex_);
        currentBatch_ = batch;
        queue_ = std::move(jobs);
    }
    wake_.notify_all();
    remaining_ = int(files.size());
    // Posted, not emitted: the receiver learns the batch number first.
    if (!cachedNow.empty() || files.empty()) {
        QMetaObject::invokeMethod(
            this, [this, batch, cachedNow = std::move(cachedNow)] { deliver(batch, cachedNow); },
            Qt::QueuedConnection);
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
        // The same file may come twice, or another batch made it meanwhile.
        QImage image = lookUp(job.key);
        if (image.isNull()) {
            std::string reason;
            image = renderFittedOnWhite(job.file, job.size, &reason).image();
            // The key was taken before decoding, so a picture of a file's old
            // content is never filed under the key of its new content.
            if (!image.isNull()) remember(job.key, job.file, image);
        }
        if (job.batch != currentBatch_) continue;
        QMetaObject::invokeMethod(
            this,
            [this, batch = job.batch, ready = std::vector<Ready>{{job.index, std::move(image)}}] {
                deliver(batch, ready);
            },
            Qt::QueuedConnection);
    }
}

void ThumbnailLoader::deliver(int batch, const std::vector<Ready>& thumbnails) {
    // Checked before every signal: a receiver may start another batch or
    // cancel this one from its slot.
    for (const Ready& ready : thumbnails) {
        if (batch != currentBatch_) return;
        --remaining_;
        emit thumbnailReady(batch, ready.index, ready.image);
    }
    if (batch == currentBatch_ && remaining_ == 0) emit batchFinished(batch);
}

std::string ThumbnailLoader::keyOf(const fs::path& file, QSize size) {
    std::error_code timeError, sizeError;
    const auto modified = fs::last_write_time(file, timeError);
    const auto bytes = fs::file_size(file, sizeError);
    return file.string() + '\n' + std::to_string(size.width()) + 'x' +
           std::to_string(size.height()) + '\n' +
           std::to_string(timeError ? 0 : modified.time_since_epoch().count()) + '\n' +
           std::to_string(sizeError ? 0 : bytes);
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
