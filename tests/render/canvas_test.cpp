#include "render/canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

QImage twoByTwo() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, kRed);
    image.setPixel(1, 0, kWhite);
    image.setPixel(0, 1, kBlack);
    image.setPixel(1, 1, kBlue);
    return image;
}

TEST(Canvas, FillsDrawsAndReadsOutBgrRows) {
    Canvas canvas(QSize(4, 3));
    canvas.clear(kBlack);
    canvas.fillRect(QRect(1, 1, 2, 1), kRed);
    canvas.drawUnscaled(twoByTwo(), QPoint(2, 1));
    std::vector<uint8_t> bytes(4 * 3 * 3);
    canvas.readBgr24(bytes);
    // Row 1: black, red, then the 2 × 2 picture's top row (red, white).
    const std::vector<uint8_t> row1(bytes.begin() + 12, bytes.begin() + 24);
    EXPECT_EQ(row1, (std::vector<uint8_t>{0, 0, 0, 0, 0, 255, 0, 0, 255, 255, 255, 255}));
    EXPECT_EQ(bytes[0], 0);                        // top-down: row 0 is the black top row
    EXPECT_EQ(canvas.image().pixel(3, 2), kBlue);  // clipped at the edge
}

TEST(Canvas, ScaledAndTurnedDrawing) {
    Canvas canvas(QSize(8, 8));
    canvas.clear(kBlack);
    canvas.drawScaled(twoByTwo(), QRectF(0, 0, 8, 8));
    EXPECT_EQ(canvas.image().pixel(0, 0), kRed);  // corners keep their colours
    EXPECT_EQ(canvas.image().pixel(7, 7), kBlue);
    // Bilinear: the middle of the top edge mixes red and white.
    EXPECT_GT(qGreen(canvas.image().pixel(4, 0)), 40);
    EXPECT_LT(qGreen(canvas.image().pixel(4, 0)), 215);

    canvas.clear(kBlack);
    canvas.drawScaled(twoByTwo(), QRectF(0, 0, 8, 8), 180, QPointF(4, 4));
    EXPECT_EQ(canvas.image().pixel(0, 0), kBlue);
    EXPECT_EQ(canvas.image().pixel(7, 7), kRed);
    canvas.drawScaled(QImage(), QRectF(0, 0, 8, 8));  // nothing to draw
}

TEST(Canvas, ConstantAlphaMixes) {
    Canvas canvas(QSize(2, 2));
    canvas.clear(kBlack);
    QImage white(2, 2, QImage::Format_RGB32);
    white.fill(kWhite);
    canvas.drawWithAlpha(white, QPoint(0, 0), 0.5f);
    EXPECT_NEAR(qRed(canvas.image().pixel(1, 1)), 128, 2);
    canvas.drawWithAlpha(white, QPoint(0, 0), 1.0f);
    EXPECT_EQ(canvas.image().pixel(1, 1), kWhite);

    Canvas frozen = canvas;  // a copy keeps the frame as it was
    canvas.clear(kBlack);
    EXPECT_EQ(frozen.image().pixel(0, 0), kWhite);
}

}  // namespace
}  // namespace velmora
