#include "workspace/thumbnail_loader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <map>

#include "image/picture_fixtures.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// What a batch delivered, gathered from the loader's signals.
struct Received {
    std::map<int, QImage> thumbnails;
    std::vector<int> batchesOfThumbnails;
    std::vector<int> finished;
};

class ThumbnailLoaderTest : public ::testing::Test {
  protected:
    ThumbnailLoaderTest() {
        QObject::connect(&loader_, &ThumbnailLoader::thumbnailReady,
                         [this](int batch, int index, const QImage& image) {
                             received_.batchesOfThumbnails.push_back(batch);
                             received_.thumbnails[index] = image;
                         });
        QObject::connect(&loader_, &ThumbnailLoader::batchFinished,
                         [this](int batch) { received_.finished.push_back(batch); });
    }
    // Runs the event loop until `batch` finished (or ten seconds went by).
    bool waitFor(int batch) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            for (int finished : received_.finished)
                if (finished == batch) return true;
        }
        return false;
    }
    fs::path quadrantJpeg(const std::string& name, int orientation = 1) {
        const fs::path file = folder_ / name;
        test::writeJpegWithOrientation(file, test::quadrants(400, 300), orientation);
        return file;
    }

    test::TemporaryFolder folder_;
    ThumbnailLoader loader_{2};
    Received received_;
};

// Every index arrives, at the size asked, upright by its EXIF tag; a damaged
// file arrives as a null image and does not stop the others.
TEST_F(ThumbnailLoaderTest, EveryPictureArrivesUprightAndAFaultyOneAsNull) {
    const fs::path plain = quadrantJpeg("plain.jpg");
    // Orientation 3: stored upside down, shown turned back.
    const fs::path turned = folder_ / "turned.jpg";
    test::writeJpegWithOrientation(turned, test::quadrants(400, 300).mirrored(true, true), 3);
    const fs::path damaged = folder_ / "damaged.jpg";
    test::writeBytes(damaged, {0xFF, 0xD8, 0xFF, 0xE0, 0x00});
    const int batch = loader_.load({plain, damaged, turned}, QSize(80, 60));
    EXPECT_TRUE(loader_.isLoading());
    ASSERT_TRUE(waitFor(batch));
    EXPECT_FALSE(loader_.isLoading());
    ASSERT_EQ(received_.thumbnails.size(), 3u);
    EXPECT_EQ(received_.thumbnails[0].size(), QSize(80, 60));
    EXPECT_TRUE(test::showsQuadrants(Picture(received_.thumbnails[0]), 40));
    EXPECT_TRUE(received_.thumbnails[1].isNull());
    EXPECT_TRUE(test::showsQuadrants(Picture(received_.thumbnails[2]), 40));
}

// A new batch drops the old one: nothing of the old arrives after load()
// returned, and the new one still finishes.
TEST_F(ThumbnailLoaderTest, ANewBatchSilencesTheOldOne) {
    std::vector<fs::path> many;
    for (int i = 0; i < 12; ++i)
        many.push_back(quadrantJpeg("p" + std::to_string(i) + ".jpg"));
    const int first = loader_.load(many, QSize(160, 120));
    const int second = loader_.load({many[0]}, QSize(40, 30));
    ASSERT_TRUE(waitFor(second));
    for (int batch : received_.batchesOfThumbnails)
        EXPECT_EQ(batch, second);
    EXPECT_EQ(std::count(received_.finished.begin(), received_.finished.end(), first), 0);
}

// The cache answers for a file as it is; a rewritten file is made anew.
TEST_F(ThumbnailLoaderTest, TheCacheNeverShowsARewrittenFileStale) {
    const fs::path file = quadrantJpeg("photo.jpg");
    ASSERT_TRUE(waitFor(loader_.load({file}, QSize(80, 60))));
    EXPECT_FALSE(loader_.cached(file, QSize(80, 60)).isNull());
    EXPECT_TRUE(loader_.cached(file, QSize(40, 30)).isNull());

    // The same name, now all blue and of another size: the key differs.
    QImage blue(320, 240, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    test::writeWithQt(file, blue, "JPEG", 95);
    loader_.forget(file);
    EXPECT_TRUE(loader_.cached(file, QSize(80, 60)).isNull());
    received_ = {};
    ASSERT_TRUE(waitFor(loader_.load({file}, QSize(80, 60))));
    const QRgb centre = received_.thumbnails[0].pixel(40, 30);
    EXPECT_GT(qBlue(centre), 200);
    EXPECT_LT(qRed(centre), 60);
}

}  // namespace
}  // namespace velmora
