// Pictures given by someone who means harm, or by bad luck: special files
// where a picture should be, and pictures that decode only in part. Each is
// refused at once, with its reason, at every entry point that reads it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "base/path_text.h"
#include "image/decoder_messages.h"
#include "image/openjpeg_decoder.h"
#include "image/picture_file.h"
#include "image/picture_files_service.h"
#include "image/picture_fit.h"
#include "image/picture_fixtures.h"
#include "image/picture_loader.h"
#include "image/qt_picture_reader.h"
#include "image/tiff_decoder.h"

Q_LOGGING_CATEGORY(lcTestJpeg, "qt.gui.imageio.jpeg")

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Long enough for any sanitised decode of a small file; only a hang reaches it.
constexpr auto kWatchdog = 60s;

// Runs `check` on a thread of its own. A check still running when the
// watchdog fires is blocked opening a FIFO: the test fails, and the FIFO is
// opened for writing now and then, so the reader comes free and the run
// goes on instead of hanging.
::testing::AssertionResult returnsAtOnce(const std::function<void()>& check, const fs::path& fifo) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread worker([&] {
        check();
        done.set_value();
    });
    const bool inTime = finished.wait_for(kWatchdog) == std::future_status::ready;
    while (finished.wait_for(100ms) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) ::close(writer);
    }
    worker.join();
    if (inTime) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "blocked until the FIFO was opened for writing";
}

// The quadrants with a fine texture, so that a JPEG of it has enough
// picture data for a cut or a scribble to land in the middle of it.
QImage texturedQuadrants(int width, int height) {
    QImage image = test::quadrants(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb p = image.pixel(x, y);
            const int d = (x * 7 + y * 13) % 24;
            auto near = [d](int channel) { return channel > 127 ? channel - d : channel + d; };
            image.setPixel(x, y, qRgb(near(qRed(p)), near(qGreen(p)), near(qBlue(p))));
        }
    }
    return image;
}

std::vector<uint8_t> firstHalf(const std::vector<uint8_t>& bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
}

class HostilePicturesTest : public ::testing::Test {
  protected:
    HostilePicturesTest() {
        test::writeWithQt(folder_ / "good.jpg", texturedQuadrants(320, 240), "jpeg", 90);
        test::writeWithQt(folder_ / "whole.png", texturedQuadrants(320, 240), "png");
        const std::vector<uint8_t> jpeg = test::readBytes(folder_ / "good.jpg");
        test::writeBytes(folder_ / "cut.jpg", firstHalf(jpeg));
        test::writeBytes(folder_ / "cut.png", firstHalf(test::readBytes(folder_ / "whole.png")));
        // Scribbled over in the middle of the scan data, the end intact.
        std::vector<uint8_t> scribbled = jpeg;
        for (size_t i = scribbled.size() / 2; i < scribbled.size() / 2 + 40; i += 2)
            scribbled[i] = 0x5A;
        test::writeBytes(folder_ / "corrupt.jpg", scribbled);
        // A BMP that ends a third of the way through its rows.
        test::writeWithQt(folder_ / "whole.bmp", texturedQuadrants(64, 48), "bmp");
        const std::vector<uint8_t> bmp = test::readBytes(folder_ / "whole.bmp");
        test::writeBytes(folder_ / "cut.bmp", std::vector<uint8_t>(bmp.begin(), bmp.end() - 6000));

        EXPECT_EQ(::mkfifo(fifo().c_str(), 0600), 0);
        fs::create_directory(folder_ / "album.jpg");
        fs::create_symlink(fifo(), folder_ / "link.png");
    }
    fs::path fifo() const { return folder_ / "fifo.jpg"; }

    test::TemporaryFolder folder_;
};

TEST_F(HostilePicturesTest, EveryEntryPointRefusesWithTheReason) {
    struct Case {
        const char* fileName;
        const char* refusal;  // in what canLoad says, and in the loader's reason
    };
    const Case cases[] = {
        {"fifo.jpg", "is a FIFO, not a file"},          // would block in open()
        {"album.jpg", "is a folder, not a file"},       // a folder named like a picture
        {"link.png", "is a FIFO, not a file"},          // a link to the FIFO
        {"absent.png", "does not exist"},               // named, but not there
        {"cut.jpg", "damaged (Corrupt JPEG data"},      // the second half missing
        {"cut.png", "damaged"},                         // the second half missing
        {"corrupt.jpg", "damaged (Corrupt JPEG data"},  // scribbled over in the middle
        {"cut.bmp", "damaged (the file ends before"},   // Qt would leave the rest blank
    };
    PictureFilesService service;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const fs::path file = folder_ / c.fileName;
        const fs::path cover = folder_ / "cover.bmp";
        const ImageType type = imageTypeOf(c.fileName);
        const auto refusedEverywhere = [&] {
            std::string refusal;
            EXPECT_FALSE(service.canLoad(file, &refusal));
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
            std::string reason;
            EXPECT_TRUE(loadPicture(file, &reason).isNull());
            EXPECT_NE(reason.find(quotedPath(file)), std::string::npos) << reason;
            EXPECT_NE(reason.find(c.refusal), std::string::npos) << reason;
            reason.clear();
            EXPECT_TRUE(loadPictureScaled(file, type, QSize(40, 30), &reason).isNull());
            EXPECT_NE(reason.find(c.refusal), std::string::npos) << reason;
            EXPECT_TRUE(service.renderThumbnail(file, QSize(80, 60)).isNull());
            EXPECT_FALSE(service.renderCover(file, cover));
            EXPECT_FALSE(fs::exists(cover));
        };
        EXPECT_TRUE(returnsAtOnce(refusedEverywhere, fifo()));
    }
    // What is no file has no size either; a damaged picture's header is whole.
    const auto measured = [&] {
        std::string reason;
        EXPECT_FALSE(pictureSize(fifo(), ImageType::Jpeg, &reason).isValid());
        EXPECT_EQ(pictureSize(folder_ / "cut.jpg", ImageType::Jpeg, &reason), QSize(320, 240));
    };
    EXPECT_TRUE(returnsAtOnce(measured, fifo()));
}

TEST_F(HostilePicturesTest, AGoodPictureStillLoadsEverywhere) {
    const fs::path file = folder_ / "good.jpg";
    PictureFilesService service;
    const auto loadsEverywhere = [&] {
        std::string refusal;
        EXPECT_TRUE(service.canLoad(file, &refusal)) << refusal;
        std::string reason;
        EXPECT_TRUE(test::showsQuadrants(loadPicture(file, &reason), 40)) << reason;
        EXPECT_TRUE(test::showsQuadrants(
            loadPictureScaled(file, ImageType::Jpeg, QSize(80, 60), &reason), 40))
            << reason;
        EXPECT_EQ(service.renderThumbnail(file, QSize(80, 60)).size(), QSize(80, 60));
        EXPECT_TRUE(service.renderCover(file, folder_ / "cover.bmp"));
    };
    EXPECT_TRUE(returnsAtOnce(loadsEverywhere, fifo()));
}

// The name decides the decoder: a FIFO under every picture type's name is
// refused whichever decoder would have read it.
TEST_F(HostilePicturesTest, AFifoIsRefusedUnderEveryPictureName) {
    const char* const extensions[] = {"bmp",  "jpg", "gif", "png", "ico", "tif", "tga", "pcx",
                                      "wbmp", "wmf", "jp2", "j2c", "pgx", "ppm", "ras"};
    for (const char* extension : extensions) {
        SCOPED_TRACE(extension);
        const fs::path file = folder_ / (std::string("pipe.") + extension);
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        const ImageType type = imageTypeOf(file.filename().string());
        const auto refusedByType = [&] {
            std::string reason;
            EXPECT_FALSE(pictureSize(file, type, &reason).isValid());
            EXPECT_NE(reason.find("FIFO"), std::string::npos) << reason;
            EXPECT_TRUE(loadPicture(file, type, &reason).isNull());
            EXPECT_TRUE(loadPictureScaled(file, type, QSize(8, 6), &reason).isNull());
            EXPECT_FALSE(pictureLoads(file, type, &reason));
            EXPECT_EQ(reason, "is a FIFO, not a file");
        };
        EXPECT_TRUE(returnsAtOnce(refusedByType, file));
    }
}

// The decoders open the files themselves, after any check by name: a FIFO
// put in place of a picture in between must not hang them either.
TEST_F(HostilePicturesTest, DecodersOpeningFilesRefuseAFifo) {
    using Read = std::function<bool(const fs::path&, std::string*)>;
    const std::pair<const char*, Read> decoders[] = {
        {"qtPictureSize",
         [](const fs::path& f, std::string* r) {
             return qtPictureSize(f, ImageType::Jpeg, r).isValid();
         }},
        {"qtReadPicture",
         [](const fs::path& f, std::string* r) {
             return !qtReadPicture(f, ImageType::Jpeg, QSize(), r).isNull();
         }},
        {"jpeg2000Size",
         [](const fs::path& f, std::string* r) { return jpeg2000Size(f, r).isValid(); }},
        {"decodeJpeg2000",
         [](const fs::path& f, std::string* r) { return !decodeJpeg2000(f, QSize(), r).isNull(); }},
        {"tiffSize", [](const fs::path& f, std::string* r) { return tiffSize(f, r).isValid(); }},
        {"decodeTiff",
         [](const fs::path& f, std::string* r) { return !decodeTiff(f, r).isNull(); }},
        {"readPictureBytes",
         [](const fs::path& f, std::string* r) {
             std::vector<uint8_t> bytes;
             return readPictureBytes(f, &bytes, r);
         }},
    };
    for (const auto& [name, read] : decoders) {
        SCOPED_TRACE(name);
        const auto refusedByDecoder = [&] {
            std::string reason;
            EXPECT_FALSE(read(fifo(), &reason));
            EXPECT_NE(reason.find("is a FIFO, not a file"), std::string::npos) << reason;
        };
        EXPECT_TRUE(returnsAtOnce(refusedByDecoder, fifo()));
    }
}

TEST_F(HostilePicturesTest, DamageIsFoundWhenLoggingRulesSilenceTheDecoders) {
    QLoggingCategory::setFilterRules("qt.gui.imageio*=false");
    PictureFilesService service;
    std::string refusal;
    EXPECT_FALSE(service.canLoad(folder_ / "cut.jpg", &refusal));
    EXPECT_NE(refusal.find("Corrupt JPEG data"), std::string::npos) << refusal;
    QLoggingCategory::setFilterRules(QString());
}

TEST(DecoderMessages, TellsDamageFromHarmlessNotes) {
    struct Case {
        const char* category;
        const char* message;
        const char* damage;  // nullptr: not damage
    };
    const Case cases[] = {
        {"qt.gui.imageio.jpeg", "Premature end of JPEG file", "Premature end of JPEG file"},
        {"qt.gui.imageio.jpeg", "Corrupt JPEG data: 190 extraneous bytes before marker 0xd9",
         "Corrupt JPEG data: 190 extraneous bytes before marker 0xd9"},
        {"qt.gui.imageio.jpeg", "Warning: unknown JFIF revision number 2.01", nullptr},
        {"qt.gui.imageio.jpeg", "Invalid SOS parameters for sequential JPEG", nullptr},
        {"qt.gui.imageio.jpeg", "Corrupt JPEG data: bad ICC marker", nullptr},
        {"qt.gui.imageio", "libpng warning: IDAT: Too much image data",
         "IDAT: Too much image data"},
        {"qt.gui.imageio", "libpng error: Not enough image data", "Not enough image data"},
        {"qt.gui.imageio", "libpng warning: iCCP: known incorrect sRGB profile", nullptr},
        {"qt.gui.imageio", "libpng warning: pHYs: CRC error", nullptr},
        {"qt.gui.imageio", "QImageIOHandler: Rejecting image", nullptr},
        {"default", "Corrupt JPEG data: premature end of data segment", nullptr},
        {"qt.gui.imageiox", "libpng warning: IDAT: Too much image data", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::string text;
        EXPECT_EQ(DecoderMessages::isDamage(c.category, c.message, &text), c.damage != nullptr);
        if (c.damage != nullptr) {
            EXPECT_EQ(text, c.damage);
        }
    }
}

TEST(DecoderMessages, CollectsOnlyTheDecodersOfItsOwnThread) {
    DecoderMessages outer;
    {
        DecoderMessages inner;
        std::thread([] { qCWarning(lcTestJpeg, "Corrupt JPEG data: on another thread"); }).join();
        qWarning("Corrupt JPEG data: in the default category");
        EXPECT_EQ(inner.damage(), "");
        qCWarning(lcTestJpeg, "Corrupt JPEG data: bad Huffman code");
        qCWarning(lcTestJpeg, "Premature end of JPEG file");
        EXPECT_EQ(inner.damage(), "Corrupt JPEG data: bad Huffman code");
    }
    EXPECT_EQ(outer.damage(), "");
    qCWarning(lcTestJpeg, "Premature end of JPEG file");
    EXPECT_EQ(outer.damage(), "Premature end of JPEG file");
}

}  // namespace
}  // namespace velmora
