#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace velmora {

// Thumbnails of picture files, made on worker threads so that a window
// showing hundreds of photos never waits for them. Each is the picture
// fitted on white, decoded at a reduced size where the type allows (a
// JPEG at a fraction of its size) and turned upright by its EXIF
// orientation. Finished thumbnails stay in a bounded cache in memory,
// keyed by the file's path, modification time and size, so that a
// rewritten file is never shown stale.
class ThumbnailLoader final : public QObject {
    Q_OBJECT
  public:
    // threadCount 0: one worker per processor. Workers run at a lower
    // priority than the window's thread.
    explicit ThumbnailLoader(int threadCount = 0, QObject* parent = nullptr);
    ~ThumbnailLoader() override;  // drops what is queued, waits for running decodes

    // Starts a batch, dropping one still loading. The pictures are made in
    // index order, so the first screen comes first; each arrives through
    // thumbnailReady on this object's thread, then batchFinished. Returns
    // the batch number: receivers compare it with the batch they asked for.
    int load(std::vector<std::filesystem::path> files, QSize size);
    void cancel();
    bool isLoading() const { return remaining_ > 0; }

    // The cached thumbnail, or a null image.
    QImage cached(const std::filesystem::path& file, QSize size) const;
    // Forgets every cached size of a file that was rewritten.
    void forget(const std::filesystem::path& file);

    static constexpr size_t kCacheBytes = 200u << 20;

  signals:
    void thumbnailReady(int batch, int index, QImage image);  // null: cannot be loaded
    void batchFinished(int batch);

  private:
    struct Job {
        int batch = 0;
        int index = 0;
        std::filesystem::path file;
        QSize size;
    };
    struct CacheEntry {
        std::string key;
        std::filesystem::path file;
        QImage image;
    };

    void work();
    void arrived(int batch, int index, const QImage& image);
    static std::string keyOf(const std::filesystem::path& file, QSize size);
    QImage lookUp(const std::string& key) const;
    void remember(const std::string& key, const std::filesystem::path& file, const QImage& image);

    // The queue, shared with the workers.
    std::mutex queueMutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::atomic<int> currentBatch_{0};
    bool stopping_ = false;
    std::vector<std::thread> workers_;

    // The cache, most recently used first.
    mutable std::mutex cacheMutex_;
    mutable std::list<CacheEntry> cache_;
    std::unordered_map<std::string, std::list<CacheEntry>::iterator> cacheIndex_;
    size_t cacheBytes_ = 0;

    // This object's thread only.
    int remaining_ = 0;
};

}  // namespace velmora
