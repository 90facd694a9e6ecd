#include "image/picture.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImageReader>
#include <functional>

#include "image/picture_fixtures.h"

namespace velmora {
namespace {

using test::Corners;
using test::quadrants;
using test::showsQuadrants;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

TEST(Picture, QuarterTurnsAndMirrorsMoveEveryPixel) {
    // A picture whose every pixel is different, so any misplaced pixel shows.
    QImage source(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            source.setPixel(x, y, qRgb(x * 40, y * 80, 7));
    }
    const Picture picture(source);
    const int w = 5;
    const int h = 3;
    struct Case {
        const char* name;
        Picture result;
        QSize size;
        // Source position of the result's pixel (x, y).
        std::function<QPoint(int, int)> from;
    };
    const Case cases[] = {
        {"right",
         picture.rotatedRight90(),
         {h, w},
         [&](int x, int y) { return QPoint(y, h - 1 - x); }},
        {"left",
         picture.rotatedLeft90(),
         {h, w},
         [&](int x, int y) { return QPoint(w - 1 - y, x); }},
        {"180",
         picture.rotated180(),
         {w, h},
         [&](int x, int y) { return QPoint(w - 1 - x, h - 1 - y); }},
        {"upside down",
         picture.upsideDown(),
         {w, h},
         [&](int x, int y) { return QPoint(x, h - 1 - y); }},
        {"mirrored",
         picture.mirrored(),
         {w, h},
         [&](int x, int y) { return QPoint(w - 1 - x, y); }},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.result.size(), c.size) << c.name;
        for (int y = 0; y < c.size.height(); ++y) {
            for (int x = 0; x < c.size.width(); ++x) {
                const QPoint p = c.from(x, y);
                ASSERT_EQ(c.result.pixel(x, y), source.pixel(p))
                    << c.name << " at " << x << "," << y;
            }
        }
    }
    // The quadrants picture turned clockwise: the bottom left corner comes to the top left.
    EXPECT_TRUE(showsQuadrants(Picture(quadrants(40, 20)).rotatedRight90(), 0,
                               Corners{kBlue, kRed, kWhite, kGreen}));
}

TEST(Picture, CropIsClippedToThePicture) {
    const Picture picture(quadrants(40, 20));
    const Picture inside = picture.cropped(QRect(20, 0, 20, 10));
    EXPECT_EQ(inside.size(), QSize(20, 10));
    EXPECT_EQ(inside.pixel(0, 0), kGreen);
    EXPECT_EQ(picture.cropped(QRect(30, 15, 50, 50)).size(), QSize(10, 5));
    EXPECT_TRUE(picture.cropped(QRect(100, 100, 5, 5)).isNull());
}

TEST(Picture, DownscaleAveragesWhereBilinearWouldAlias) {
    QImage checker(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? kWhite : kBlack);
    }
    const Picture small = Picture(checker).downscaled(QSize(8, 8));
    ASSERT_EQ(small.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            EXPECT_NEAR(qGray(small.pixel(x, y)), 128, 12);
    }

    // Bilinear enlargement of black|white gives a ramp between them.
    QImage pair(2, 1, QImage::Format_RGB32);
    pair.setPixel(0, 0, kBlack);
    pair.setPixel(1, 0, kWhite);
    const Picture ramp = Picture(pair).resampled(QSize(8, 1));
    ASSERT_EQ(ramp.size(), QSize(8, 1));
    for (int x = 1; x < 8; ++x)
        EXPECT_GE(qGray(ramp.pixel(x, 0)), qGray(ramp.pixel(x - 1, 0)));
    EXPECT_LT(qGray(ramp.pixel(0, 0)), 40);
    EXPECT_GT(qGray(ramp.pixel(7, 0)), 215);
    EXPECT_TRUE(Picture(pair).resampled(QSize(0, 5)).isNull());
}

TEST(Picture, TransparencyFlattensOverWhite) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(255, 0, 0, 128));
    const Picture picture(image);
    ASSERT_TRUE(picture.hasAlpha());
    const Picture flat = picture.flattenedOverWhite();
    EXPECT_FALSE(flat.hasAlpha());
    EXPECT_EQ(flat.pixel(0, 0), kWhite);
    EXPECT_EQ(qRed(flat.pixel(1, 0)), 255);
    EXPECT_NEAR(qGreen(flat.pixel(1, 0)), 127, 2);
    EXPECT_NEAR(qBlue(flat.pixel(1, 0)), 127, 2);
}

TEST(Picture, MixSkipsTheTransparentColourAndClips) {
    Picture base = Picture::filled(QSize(4, 4), kWhite);
    QImage decoration(3, 3, QImage::Format_RGB32);
    decoration.fill(kBlack);
    decoration.setPixel(1, 1, kRed);
    decoration.setPixel(2, 2, kBlue);
    base.mix(Picture(decoration), QPoint(2, 2), kBlack);  // partly outside
    EXPECT_EQ(base.pixel(2, 2), kWhite);                  // black: left alone
    EXPECT_EQ(base.pixel(3, 3), kRed);
    EXPECT_EQ(base.pixel(0, 0), kWhite);
    base.mix(Picture(decoration), QPoint(-2, -2), kBlack);
    EXPECT_EQ(base.pixel(0, 0), kBlue);
}

TEST(Picture, LinesKeepTheirExactColour) {
    Picture picture = Picture::filled(QSize(20, 20), kBlack);
    const QRgb highlight = 0xFF123456;
    picture.drawLine(QPoint(2, 5), QPoint(17, 5), highlight, 2);
    picture.drawLine(QPoint(3, 3), QPoint(15, 18), highlight, 1);
    int lit = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const QRgb p = picture.pixel(x, y);
            ASSERT_TRUE(p == kBlack || p == highlight) << std::hex << p;
            lit += p == highlight;
        }
    }
    EXPECT_GT(lit, 40);
}

TEST(Picture, TextStaysInsideItsBox) {
    EXPECT_EQ(QFontInfo(toQFont(FontRecord{"Arial", 16, 400, false})).family(),
              QString("Liberation Sans"));
    Picture picture = Picture::filled(QSize(120, 60), kWhite);
    const QRect box(10, 10, 100, 40);
    picture.drawText(box, "Caf\xC3\xA9 trip", FontRecord{"Arial", 20, 700, true}, kBlack,
                     Qt::AlignHCenter | Qt::TextWordWrap);
    int inked = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (picture.pixel(x, y) == kWhite) continue;
            ASSERT_TRUE(box.contains(x, y)) << x << "," << y;
            ++inked;
        }
    }
    EXPECT_GT(inked, 50);
}

TEST(Picture, SavesAndReloads) {
    test::TemporaryFolder folder;
    QImage withAlpha = quadrants(40, 30).convertToFormat(QImage::Format_ARGB32);
    withAlpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
    const Picture picture(withAlpha);
    std::string reason;

    ASSERT_TRUE(picture.saveBmp(folder / "a.bmp", &reason)) << reason;
    const std::vector<uint8_t> bmp = test::readBytes(folder / "a.bmp");
    ASSERT_GT(bmp.size(), 30u);
    EXPECT_EQ(bmp[28], 24);  // bits per pixel
    const QImage bmpBack(QString::fromStdString((folder / "a.bmp").string()));
    EXPECT_EQ(bmpBack.pixel(0, 0), kWhite);  // flattened
    EXPECT_EQ(bmpBack.pixel(39, 29), kWhite);
    EXPECT_EQ(bmpBack.pixel(1, 1), kRed);

    ASSERT_TRUE(picture.savePng(folder / "a.png", &reason)) << reason;
    EXPECT_EQ(qAlpha(QImage(QString::fromStdString((folder / "a.png").string())).pixel(0, 0)), 0);

    ASSERT_TRUE(picture.saveJpeg(folder / "low.jpg", 10, &reason)) << reason;
    ASSERT_TRUE(picture.saveJpeg(folder / "high.jpg", 95, &reason)) << reason;
    EXPECT_LT(std::filesystem::file_size(folder / "low.jpg"),
              std::filesystem::file_size(folder / "high.jpg"));

    EXPECT_FALSE(picture.saveBmp(folder / "missing" / "a.bmp", &reason));
    EXPECT_NE(reason.find("missing/a.bmp"), std::string::npos) << reason;
    EXPECT_FALSE(Picture().savePng(folder / "empty.png", &reason));
}

}  // namespace
}  // namespace velmora
