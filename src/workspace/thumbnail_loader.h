#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace velmora {

// The thumbnails of a list of picture files, made on worker threads so that
// a window showing hundreds of photos never waits for them. Each is the
// picture fitted on white, decoded at a reduced size where the type allows
// (a JPEG at a fraction of its size) and turned upright by its EXIF
// orientation. Finished thumbnails stay in a bounded cache in memory, keyed
// by the file's path, modification time and byte size, so that a rewritten
// file is never shown stale.
//
// Use it from one thread (the one it lives on). Its signals are emitted on
// that thread, from queued calls of the workers; a receiver keeps the batch
// number load() returned and ignores any other. The loader itself never
// emits for a batch once load() of a newer one or cancel() has returned.
class ThumbnailLoader final : public QObject {
    Q_OBJECT
  public:
    // threadCount 0: one worker fewer than the processors (the window's
    // thread keeps one), at least one. Workers run at a lower priority than
    // the window's thread.
    explicit ThumbnailLoader(int threadCount = 0, QObject* parent = nullptr);
    ~ThumbnailLoader() override;  // drops what is queued, waits for running decodes
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    // Starts a batch, dropping one still loading. The pictures are made in
    // index order, so the first screen comes first; those already cached
    // arrive together in the next turn of the event loop, the rest as they
    // are made, each through thumbnailReady, and then batchFinished.
    // Returns the batch number.
    int load(std::vector<std::filesystem::path> files, QSize size);
    void cancel();
    bool isLoading() const { return remaining_ > 0; }
    int workerCount() const { return int(workers_.size()); }

    // The cached thumbnail, or a null image.
    QImage cached(const std::filesystem::path& file, QSize size) const;
    // Forgets every cached size of a file that was rewritten.
    void forget(const std::filesystem::path& file);

    // About 2,700 thumbnails of 160 × 120.
    static constexpr size_t kCacheBytes = size_t(200) << 20;

  signals:
    void thumbnailReady(int batch, int index, QImage image);  // null: cannot be loaded
    void batchFinished(int batch);

  private:
    struct Job {
        int batch = 0;
        int index = 0;
        std::filesystem::path file;
        std::string key;
        QSize size;
    };
    struct Ready {
        int index = 0;
        QImage image;
    };
    struct CacheEntry {
        std::string key;
        std::filesystem::path file;
        QImage image;
    };

    void work();
    void deliver(int batch, const std::vector<Ready>& thumbnails);
    static std::string keyOf(const std::filesystem::path& file, QSize size);
    QImage lookUp(const std::string& key) const;
    void remember(const std::string& key, const std::filesystem::path& file, const QImage& image);

    // Shared with the workers. A job of a batch other than currentBatch_ is
    // dropped, whether still queued, being made or on its way back.
    std::mutex queueMutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool stopping_ = false;
    std::atomic<int> currentBatch_{0};

    // The cache, most recently used first; shared with the workers.
    mutable std::mutex cacheMutex_;
    mutable std::list<CacheEntry> cache_;
    std::unordered_map<std::string, std::list<CacheEntry>::iterator> cacheIndex_;
    size_t cacheBytes_ = 0;

    // This object's thread only: the pictures of the current batch not yet
    // delivered.
    int remaining_ = 0;

    // Last, so that the workers start after everything they use exists.
    std::vector<std::thread> workers_;
};

}  // namespace velmora
