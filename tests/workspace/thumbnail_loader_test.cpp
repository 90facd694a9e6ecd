#include "workspace/thumbnail_loader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTransform>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "image/picture_fixtures.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr QSize kSize(80, 60);
constexpr int kTimeoutMs = 10000;

// The loader and what it has said so far.
class ThumbnailLoaderTest : public ::testing::Test {
  protected:
    explicit ThumbnailLoaderTest(int threads = 2)
        : loader_(threads),
          ready_(&loader_, &ThumbnailLoader::thumbnailReady),
          finished_(&loader_, &ThumbnailLoader::batchFinished) {}

    // Runs the event loop until `batch` finished; false after the timeout.
    bool waitFor(int batch) {
        while (!finished(batch))
            if (!finished_.wait(kTimeoutMs)) return false;
        return true;
    }
    bool finished(int batch) const {
        return std::any_of(finished_.begin(), finished_.end(),
                           [batch](const QList<QVariant>& call) { return call[0] == batch; });
    }
    // The thumbnails that arrived, by index; each index must come once.
    std::map<int, QImage> thumbnails() const {
        std::map<int, QImage> byIndex;
        for (const QList<QVariant>& call : ready_) {
            const bool first = byIndex.emplace(call[1].toInt(), call[2].value<QImage>()).second;
            EXPECT_TRUE(first) << "index " << call[1].toInt() << " came twice";
        }
        return byIndex;
    }
    std::vector<int> batchesHeardOf() const {
        std::vector<int> batches;
        for (const QSignalSpy* spy : {&ready_, &finished_})
            for (const QList<QVariant>& call : *spy)
                batches.push_back(call[0].toInt());
        return batches;
    }
    fs::path quadrantJpeg(const std::string& name) {
        const fs::path file = folder_ / name;
        test::writeWithQt(file, test::quadrants(400, 300), "JPEG", 95);
        return file;
    }

    test::TemporaryFolder folder_;
    ThumbnailLoader loader_;
    QSignalSpy ready_;
    QSignalSpy finished_;
};

// With one worker the pictures are made strictly one after the other.
class OneWorkerTest : public ThumbnailLoaderTest {
  protected:
    OneWorkerTest() : ThumbnailLoaderTest(1) {}
};

TEST_F(ThumbnailLoaderTest, EveryPictureArrivesUprightAndADamagedOneAsNull) {
    const fs::path plain = quadrantJpeg("plain.jpg");
    // Stored turned a quarter to the left; the camera's tag turns it back.
    const fs::path tagged = folder_ / "tagged.jpg";
    test::writeJpegWithOrientation(
        tagged, test::quadrants(400, 300).transformed(QTransform().rotate(-90)), 6);
    const fs::path damaged = folder_ / "damaged.jpg";
    test::writeBytes(damaged, {0xFF, 0xD8, 0xFF, 0xE0, 0x00});

    const int batch = loader_.load({plain, damaged, tagged}, kSize);
    EXPECT_TRUE(loader_.isLoading());
    ASSERT_TRUE(waitFor(batch));
    EXPECT_FALSE(loader_.isLoading());
    EXPECT_EQ(finished_.count(), 1);

    std::map<int, QImage> arrived = thumbnails();
    ASSERT_EQ(arrived.size(), 3u);
    EXPECT_TRUE(arrived[1].isNull());
    for (const int index : {0, 2}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(arrived[index].size(), kSize);
        EXPECT_TRUE(test::showsQuadrants(Picture(arrived[index]), 40));
    }
}

TEST_F(OneWorkerTest, PicturesAreMadeInIndexOrder) {
    std::vector<fs::path> files;
    for (int i = 0; i < 6; ++i)
        files.push_back(quadrantJpeg("p" + std::to_string(i) + ".jpg"));
    ASSERT_TRUE(waitFor(loader_.load(files, kSize)));
    std::vector<int> indices;
    for (const QList<QVariant>& call : ready_)
        indices.push_back(call[1].toInt());
    EXPECT_EQ(indices, std::vector<int>({0, 1, 2, 3, 4, 5}));
}

// Once load() of a new batch or cancel() returned, nothing of the old batch
// arrives, not even what the worker was decoding at that moment. (With one
// worker, the new batch finishing means the old decode was handed back.)
TEST_F(OneWorkerTest, ANewBatchOrCancelSilencesTheOldOne) {
    std::vector<fs::path> many;
    for (int i = 0; i < 8; ++i)
        many.push_back(quadrantJpeg("p" + std::to_string(i) + ".jpg"));
    for (const bool cancelFirst : {false, true}) {
        SCOPED_TRACE(cancelFirst);
        ready_.clear();
        finished_.clear();
        loader_.forget(many[0]);
        const int old = loader_.load(many, QSize(160, 120 + int(cancelFirst)));
        if (cancelFirst) {
            loader_.cancel();
            EXPECT_FALSE(loader_.isLoading());
        }
        const int current = loader_.load({many[0]}, kSize);
        ASSERT_TRUE(waitFor(current));
        const std::vector<int> batches = batchesHeardOf();
        EXPECT_EQ(std::count(batches.begin(), batches.end(), old), 0);
    }
}

// A receiver may start another batch from its slot: the rest of what was
// about to be delivered for the old batch is dropped.
TEST_F(ThumbnailLoaderTest, ABatchStartedFromASlotStopsTheOldDelivery) {
    const std::vector<fs::path> files = {quadrantJpeg("a.jpg"), quadrantJpeg("b.jpg")};
    ASSERT_TRUE(waitFor(loader_.load(files, kSize)));  // now both are cached
    ready_.clear();
    int restarted = -1;
    const QMetaObject::Connection restart =
        QObject::connect(&loader_, &ThumbnailLoader::thumbnailReady, [&] {
            if (restarted < 0) restarted = loader_.load({files[1]}, kSize);
        });
    const int old = loader_.load(files, kSize);
    while (restarted < 0 || !finished(restarted))
        ASSERT_TRUE(finished_.wait(kTimeoutMs));
    QObject::disconnect(restart);
    const std::vector<int> batches = batchesHeardOf();
    EXPECT_EQ(std::count(batches.begin(), batches.end(), old), 1);  // the first picture only
}

TEST_F(ThumbnailLoaderTest, CachedPicturesArriveInTheNextTurnOfTheEventLoop) {
    const std::vector<fs::path> files = {quadrantJpeg("a.jpg"), quadrantJpeg("b.jpg")};
    ASSERT_TRUE(waitFor(loader_.load(files, kSize)));
    EXPECT_FALSE(loader_.cached(files[0], kSize).isNull());
    EXPECT_TRUE(loader_.cached(files[0], QSize(40, 30)).isNull());
    ready_.clear();

    const int batch = loader_.load(files, kSize);
    // Never from inside load(): the receiver has no batch number yet.
    EXPECT_EQ(ready_.count(), 0);
    QCoreApplication::sendPostedEvents(&loader_);
    EXPECT_EQ(ready_.count(), 2);
    EXPECT_TRUE(finished(batch));
    EXPECT_TRUE(test::showsQuadrants(Picture(thumbnails()[1]), 40));
}

TEST_F(ThumbnailLoaderTest, ARewrittenFileIsNeverShownStale) {
    const fs::path file = quadrantJpeg("photo.jpg");
    ASSERT_TRUE(waitFor(loader_.load({file}, kSize)));
    ASSERT_TRUE(waitFor(loader_.load({file}, QSize(40, 30))));

    // forget() drops every size, even of a file that looks unchanged.
    loader_.forget(file);
    EXPECT_TRUE(loader_.cached(file, kSize).isNull());
    EXPECT_TRUE(loader_.cached(file, QSize(40, 30)).isNull());
    ASSERT_TRUE(waitFor(loader_.load({file}, kSize)));

    // Rewritten in place without forget(): its new time and size miss the cache.
    QImage blue(320, 240, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    test::writeWithQt(file, blue, "JPEG", 95);
    EXPECT_TRUE(loader_.cached(file, kSize).isNull());
    ready_.clear();
    ASSERT_TRUE(waitFor(loader_.load({file}, kSize)));
    const QRgb centre = thumbnails()[0].pixel(40, 30);
    EXPECT_GT(qBlue(centre), 200);
    EXPECT_LT(qRed(centre), 60);
}

}  // namespace
}  // namespace velmora
