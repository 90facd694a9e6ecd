#include "image/picture_loader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <functional>

#include "image/picture_fit.h"
#include "image/picture_fixtures.h"
#include "model/slide_image.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::Corners;
using test::quadrants;
using test::showsQuadrants;

constexpr int kWidth = 40;
constexpr int kHeight = 30;

Corners cornersOf(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    return Corners{image.pixel(w / 4, h / 4), image.pixel(w * 3 / 4, h / 4),
                   image.pixel(w / 4, h * 3 / 4), image.pixel(w * 3 / 4, h * 3 / 4)};
}

// The corners as the grey values OpenJPEG's test writer stores.
Corners greyCorners(const Corners& c) {
    auto grey = [](QRgb p) { return qRgb(qGray(p), qGray(p), qGray(p)); };
    return Corners{grey(c.topLeft), grey(c.topRight), grey(c.bottomLeft), grey(c.bottomRight)};
}

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}
void putBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

// A 4 × 2 PCX with a 256-colour palette holding the quadrant colours.
std::vector<uint8_t> pcxQuadrants() {
    std::vector<uint8_t> out(128, 0);
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    out[8] = 3;   // xmax
    out[10] = 1;  // ymax
    out[65] = 1;  // planes
    out[66] = 4;  // bytes per line
    out[68] = 1;
    out.insert(out.end(), {0, 0, 1, 1, 2, 2, 3, 3});
    out.push_back(0x0C);
    const uint8_t palette[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c)
            out.push_back(i < 4 ? palette[i][c] : 0);
    }
    return out;
}

// A 4 × 2 24-bit Sun raster (blue, green, red order) of the quadrants.
std::vector<uint8_t> rasQuadrants() {
    std::vector<uint8_t> out;
    for (uint32_t v : {0x59A66A95u, 4u, 2u, 24u, 24u, 1u, 0u, 0u})
        putBigEndian32(out, v);
    const uint8_t bgr[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
    for (int index : {0, 0, 1, 1, 2, 2, 3, 3})
        out.insert(out.end(), bgr[index], bgr[index] + 3);
    return out;
}

// A 4 × 2 8-bit PGX with four grey levels.
std::vector<uint8_t> pgxQuadrants() {
    const std::string header = "PG ML + 8 4 2\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), {10, 10, 100, 100, 180, 180, 255, 255});
    return out;
}

struct FormatCase {
    std::string fileName;
    std::function<void(const fs::path&)> write;
    Corners corners;
    int tolerance;
    QSize size;
};

class PictureLoaderTest : public ::testing::Test {
  protected:
    test::TemporaryFolder folder_;
};

TEST_F(PictureLoaderTest, EveryFormatLoads) {
    const QImage colour = quadrants(kWidth, kHeight);
    const QImage grey = colour.convertToFormat(QImage::Format_Grayscale8);
    QImage blackWhite(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            blackWhite.setPixel(x, y, x < kWidth / 2 ? 0xFF000000 : 0xFFFFFFFF);
    }
    QImage transparentCorner = colour.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kHeight / 2; ++y) {
        for (int x = 0; x < kWidth / 2; ++x)
            transparentCorner.setPixel(x, y, qRgba(255, 0, 0, 0));
    }
    const Corners colours;
    const Corners greys = cornersOf(grey);
    const Corners whiteTopLeft{0xFFFFFFFF, colours.topRight, colours.bottomLeft,
                               colours.bottomRight};
    const QSize size(kWidth, kHeight);
    using test::Jpeg2000Kind;
    using test::TiffLayout;

    const FormatCase cases[] = {
        {"a.bmp", [&](auto f) { test::writeWithQt(f, colour, "bmp"); }, colours, 0, size},
        {"a.png", [&](auto f) { test::writeWithQt(f, colour, "png"); }, colours, 0, size},
        {"palette.png",
         [&](auto f) {
             test::writeWithQt(f, colour.convertToFormat(QImage::Format_Indexed8), "png");
         },
         colours, 0, size},
        {"grey.png", [&](auto f) { test::writeWithQt(f, grey, "png"); }, greys, 0, size},
        {"deep.png",
         [&](auto f) {
             test::writeWithQt(f, colour.convertToFormat(QImage::Format_RGBA64), "png");
         },
         colours, 0, size},
        {"alpha.png", [&](auto f) { test::writeWithQt(f, transparentCorner, "png"); }, whiteTopLeft,
         0, size},
        {"a.jpg", [&](auto f) { test::writeWithQt(f, colour, "jpeg", 95); }, colours, 40, size},
        {"progressive.jpeg", [&](auto f) { test::writeWithQt(f, colour, "jpeg", 95, true); },
         colours, 40, size},
        {"grey.jpg", [&](auto f) { test::writeWithQt(f, grey, "jpeg", 95); }, greys, 8, size},
        {"cmyk.jpg", [&](auto f) { test::writeCmykJpeg(f, colour); }, colours, 40, size},
        {"two-frames.gif", [&](auto f) { test::writeTwoFrameGif(f, colour); }, colours, 0, size},
        {"icons.ico",
         [&](auto f) {
             test::writeIco(f, {quadrants(16, 12), colour, quadrants(8, 6)});
         },
         colours, 0, size},
        {"strips.tif", [&](auto f) { test::writeWithQt(f, colour, "tiff"); }, colours, 0, size},
        {"tiles.tiff", [&](auto f) { test::writeTiff(f, colour, TiffLayout::Tiles8); }, colours, 0,
         size},
        {"deep.tif", [&](auto f) { test::writeTiff(f, colour, TiffLayout::Strips16); }, colours, 0,
         size},
        {"cmyk.tif", [&](auto f) { test::writeTiff(f, colour, TiffLayout::Cmyk); }, colours, 2,
         size},
        {"a.tga", [&](auto f) { test::writeTga(f, colour); }, colours, 0, size},
        {"a.wbmp", [&](auto f) { test::writeWithQt(f, blackWhite, "wbmp"); }, cornersOf(blackWhite),
         0, size},
        {"a.ppm", [&](auto f) { test::writeWithQt(f, colour, "ppm"); }, colours, 0, size},
        {"a.pgm", [&](auto f) { test::writeWithQt(f, grey, "pgm"); }, greys, 0, size},
        {"a.pnm", [&](auto f) { test::writeWithQt(f, colour, "ppm"); }, colours, 0, size},
        {"a.jp2", [&](auto f) { test::writeJpeg2000(f, colour, Jpeg2000Kind::Jp2File); }, colours,
         0, size},
        {"a.j2k", [&](auto f) { test::writeJpeg2000(f, colour, Jpeg2000Kind::Codestream); },
         colours, 0, size},
        {"a.jpc", [&](auto f) { test::writeJpeg2000(f, colour, Jpeg2000Kind::Codestream); },
         colours, 0, size},
        {"grey.j2c",
         [&](auto f) { test::writeJpeg2000(f, colour, Jpeg2000Kind::Codestream, true); },
         greyCorners(colours), 2, size},
        {"a.pcx", [&](auto f) { test::writeBytes(f, pcxQuadrants()); }, colours, 0, QSize(4, 2)},
        {"a.ras", [&](auto f) { test::writeBytes(f, rasQuadrants()); }, colours, 0, QSize(4, 2)},
        {"a.pgx", [&](auto f) { test::writeBytes(f, pgxQuadrants()); },
         Corners{0xFF0A0A0A, 0xFF646464, 0xFFB4B4B4, 0xFFFFFFFF}, 0, QSize(4, 2)},
        {"red.wmf", [&](auto f) { test::writeRedWmf(f, kWidth, kHeight); },
         Corners{0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000}, 0, size},
        {"mislabelled.jpg", [&](auto f) { test::writeWithQt(f, colour, "png"); }, colours, 0, size},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.fileName);
        const fs::path file = folder_ / c.fileName;
        c.write(file);
        std::string reason;
        const Picture picture = loadPicture(file, &reason);
        ASSERT_FALSE(picture.isNull()) << reason;
        EXPECT_FALSE(picture.hasAlpha());
        EXPECT_EQ(picture.size(), c.size);
        EXPECT_TRUE(showsQuadrants(picture, c.tolerance, c.corners));
        EXPECT_EQ(pictureSize(file, imageTypeOf(c.fileName), &reason), c.size) << reason;

        const QSize half(std::max(2, c.size.width() / 2), std::max(2, c.size.height() / 2));
        const Picture scaled = loadPictureScaled(file, imageTypeOf(c.fileName), half, &reason);
        ASSERT_EQ(scaled.size(), half) << reason;
        EXPECT_TRUE(showsQuadrants(scaled, c.tolerance + 40, c.corners));
    }
}

TEST_F(PictureLoaderTest, AlphaIsKeptWhenAsked) {
    QImage image = quadrants(kWidth, kHeight).convertToFormat(QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    test::writeWithQt(folder_ / "a.png", image, "png");
    std::string reason;
    const Picture kept = loadPicture(folder_ / "a.png", &reason, AlphaHandling::Keep);
    ASSERT_TRUE(kept.hasAlpha());
    EXPECT_EQ(qAlpha(kept.pixel(0, 0)), 0);
}

TEST_F(PictureLoaderTest, ExifOrientationIsApplied) {
    struct Case {
        int orientation;
        QSize size;
        Corners corners;
    };
    constexpr QRgb r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF, w = 0xFFFFFFFF;
    const Case cases[] = {
        {1, {kWidth, kHeight}, {r, g, b, w}},
        {3, {kWidth, kHeight}, {w, b, g, r}},  // turned 180
        {6, {kHeight, kWidth}, {b, r, w, g}},  // shown turned clockwise
        {8, {kHeight, kWidth}, {g, w, r, b}},  // shown turned counter-clockwise
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        const fs::path file = folder_ / ("o" + std::to_string(c.orientation) + ".jpg");
        test::writeJpegWithOrientation(file, quadrants(kWidth, kHeight), c.orientation);
        std::string reason;
        EXPECT_EQ(pictureSize(file, ImageType::Jpeg, &reason), c.size) << reason;
        const Picture picture = loadPicture(file, &reason);
        EXPECT_EQ(picture.size(), c.size) << reason;
        EXPECT_TRUE(showsQuadrants(picture, 40, c.corners));
        const QSize half = c.size / 2;
        const Picture scaled = loadPictureScaled(file, ImageType::Jpeg, half, &reason);
        EXPECT_EQ(scaled.size(), half) << reason;
        EXPECT_TRUE(showsQuadrants(scaled, 60, c.corners));
        EXPECT_TRUE(showsQuadrants(renderFittedOnWhite(file, c.size, &reason), 60, c.corners));
    }
}

TEST_F(PictureLoaderTest, LargeJpegScalesDownCleanly) {
    const fs::path file = folder_ / "large.jpg";
    test::writeWithQt(file, quadrants(1600, 1200), "jpeg", 90);
    std::string reason;
    const Picture small = loadPictureScaled(file, ImageType::Jpeg, QSize(151, 113), &reason);
    ASSERT_EQ(small.size(), QSize(151, 113)) << reason;
    EXPECT_TRUE(showsQuadrants(small, 30));
}

// Bytes of a valid file with some of them replaced.
std::vector<uint8_t> patched(std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + long(at));
    return bytes;
}

std::vector<uint8_t> encoded(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return std::vector<uint8_t>(data.begin(), data.end());
}

// The offset of the first JPEG start-of-frame segment.
size_t startOfFrame(const std::vector<uint8_t>& jpeg) {
    for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i;
    }
    return 0;
}

TEST_F(PictureLoaderTest, HostileFilesAreRefusedWithReasons) {
    const QImage small = quadrants(16, 12);
    const std::vector<uint8_t> png = encoded(small, "png");
    const std::vector<uint8_t> jpeg = encoded(small, "jpeg");
    const std::vector<uint8_t> bmp = encoded(small, "bmp");
    const size_t sof = startOfFrame(jpeg);
    ASSERT_GT(sof, 0u);

    // A PNG whose header claims 30000 × 30000 pixels, with a correct checksum.
    std::vector<uint8_t> hugePng = patched(png, 16, {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30});
    {
        uint32_t crc = 0xFFFFFFFFu;
        for (size_t i = 12; i < 29; ++i) {
            crc ^= hugePng[i];
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        crc ^= 0xFFFFFFFFu;
        hugePng = patched(
            hugePng, 29, {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    }
    std::vector<uint8_t> emf(64, 0);
    emf[0] = 1;
    emf[40] = ' ';
    emf[41] = 'E';
    emf[42] = 'M';
    emf[43] = 'F';
    std::vector<uint8_t> hugeGif = {'G', 'I', 'F', '8', '9', 'a'};
    put16(hugeGif, 30000);
    put16(hugeGif, 30000);
    hugeGif.insert(hugeGif.end(),
                   {0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 1, 0, 0x3B});
    std::vector<uint8_t> jp2Garbage = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    jp2Garbage.insert(jp2Garbage.end(), 100, 0x55);

    struct Case {
        std::string fileName;
        std::vector<uint8_t> bytes;
        std::string because;
    };
    const Case cases[] = {
        {"empty.jpg", {}, "the file is empty"},
        {"text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'}, "not a picture"},
        {"huge.png", hugePng, "too large"},
        {"huge.bmp", patched(bmp, 18, {0x70, 0x11, 0x01, 0, 0x70, 0x11, 0x01, 0}), "too large"},
        {"huge.jpg", patched(jpeg, sof + 5, {0xEA, 0x60, 0xEA, 0x60}), "too large"},
        {"huge.gif", hugeGif, "too large"},
        {"cut.png", std::vector<uint8_t>(png.begin(), png.begin() + 40), "damaged"},
        {"garbage.jp2", jp2Garbage, "damaged"},
        {"drawing.emf", emf, "EMF"},
        {"notes.txt", {'x'}, "not one of the picture types"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const fs::path file = folder_ / c.fileName;
        test::writeBytes(file, c.bytes);
        std::string reason;
        EXPECT_TRUE(loadPicture(file, &reason).isNull());
        EXPECT_NE(reason.find(file.string()), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.because), std::string::npos) << reason;
        reason.clear();
        EXPECT_FALSE(
            loadPictureScaled(file, imageTypeOf(c.fileName), QSize(8, 6), &reason).isNull() &&
            reason.empty());
    }

    std::string reason;
    EXPECT_TRUE(loadPicture(folder_ / "absent.png", &reason).isNull());
    EXPECT_NE(reason.find("does not exist"), std::string::npos) << reason;
    fs::create_directory(folder_ / "folder.png");
    EXPECT_TRUE(loadPicture(folder_ / "folder.png", &reason).isNull());
    EXPECT_NE(reason.find("not a file"), std::string::npos) << reason;
}

TEST_F(PictureLoaderTest, CoversAndThumbnailsFitOnWhite) {
    const fs::path wide = folder_ / "wide.png";
    QImage strip(200, 50, QImage::Format_RGB32);
    strip.fill(0xFF0000FF);
    test::writeWithQt(wide, strip, "png");
    std::string reason;
    const Picture thumbnail = renderFittedOnWhite(wide, thumbnailSizeOfClass(1), &reason);
    ASSERT_EQ(thumbnail.size(), QSize(80, 60)) << reason;
    // 200 × 50 fits 80 × 20, centred from row 20.
    EXPECT_EQ(thumbnail.pixel(40, 10), 0xFFFFFFFFu);
    EXPECT_EQ(thumbnail.pixel(40, 30), 0xFF0000FFu);
    EXPECT_EQ(thumbnail.pixel(40, 50), 0xFFFFFFFFu);
    EXPECT_EQ(thumbnail.pixel(0, 30), 0xFF0000FFu);

    ASSERT_TRUE(renderCover(wide, folder_ / "cover_show.bmp", &reason)) << reason;
    const Picture cover = loadPicture(folder_ / "cover_show.bmp", &reason);
    EXPECT_EQ(cover.size(), kCoverSize);
    EXPECT_FALSE(renderCover(folder_ / "absent.png", folder_ / "cover_none.bmp", &reason));
    EXPECT_FALSE(fs::exists(folder_ / "cover_none.bmp"));

    const QSize classes[] = {{60, 45}, {80, 60}, {160, 120}, {320, 240}, {80, 60}, {76, 95}};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(thumbnailSizeOfClass(i), classes[i]);
    EXPECT_FALSE(thumbnailSizeOfClass(6).isValid());
    EXPECT_EQ(fitInside(QSize(3000, 4000), QSize(76, 95)), QSize(71, 95));
}

}  // namespace
}  // namespace velmora
