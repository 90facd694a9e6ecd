#include "render/yuv_conversion.h"

#include "render/canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace velmora {
namespace {

struct Converted {
    std::vector<uint8_t> y, u, v;
};

// Converts top-down rows of (B, G, R) pixels.
Converted convert(const std::vector<std::array<uint8_t, 3>>& pixels, int width, int height) {
    std::vector<uint8_t> bgr;
    for (const auto& p : pixels)
        bgr.insert(bgr.end(), p.begin(), p.end());
    Converted out{std::vector<uint8_t>(size_t(width * height)),
                  std::vector<uint8_t>(size_t(width * height / 4)),
                  std::vector<uint8_t>(size_t(width * height / 4))};
    convertToI420(bgr.data(), width, height, width * 3,
                  PlanarFrame{out.y.data(), out.u.data(), out.v.data(), width});
    return out;
}

TEST(YuvConversion, PlainColours) {
    struct Case {
        std::array<uint8_t, 3> bgr;
        uint8_t y, u, v;
    };
    const Case cases[] = {
        {{255, 255, 255}, 235, 128, 128},
        {{0, 0, 0}, 16, 128, 128},
        {{0, 0, 255}, 81, 90, 239},  // red
    };
    for (const Case& c : cases) {
        const Converted out = convert({c.bgr, c.bgr, c.bgr, c.bgr}, 2, 2);
        EXPECT_EQ(out.y, std::vector<uint8_t>(4, c.y));
        EXPECT_EQ(out.u[0], c.u);
        EXPECT_EQ(out.v[0], c.v);
    }
}

TEST(YuvConversion, BlocksAndRowOrder) {
    const std::array<uint8_t, 3> black{0, 0, 0};
    const std::array<uint8_t, 3> white{255, 255, 255};
    const std::array<uint8_t, 3> red{0, 0, 255};
    // 4 × 2: a black/white checker block, then a red block.
    const Converted out = convert({black, white, red, red, white, black, red, red}, 4, 2);
    EXPECT_EQ(out.y, (std::vector<uint8_t>{16, 235, 81, 81, 235, 16, 81, 81}));
    EXPECT_EQ(out.u, (std::vector<uint8_t>{128, 90}));
    EXPECT_EQ(out.v, (std::vector<uint8_t>{128, 239}));

    // 2 × 4: the first Y row is the top row of the picture.
    const Converted tall = convert({white, white, white, white, black, black, black, black}, 2, 4);
    EXPECT_EQ(tall.y, (std::vector<uint8_t>{235, 235, 235, 235, 16, 16, 16, 16}));
}

TEST(YuvConversion, CanvasConversionGivesTheSamePlanes) {
    // Every value a channel can take, in varied neighbours, on a canvas as
    // wide as a frame row (so the vector code runs with a tail as well).
    QImage canvas(722, 6, QImage::Format_RGB32);
    uint32_t state = 12345;
    for (int y = 0; y < canvas.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = 0xFF000000u | (state >> 8);
        }
    }
    const int width = canvas.width(), height = canvas.height();
    std::vector<uint8_t> bgr(size_t(width * height * 3));
    readBgr24(canvas, bgr);
    const size_t luma = size_t(width * height);
    std::vector<uint8_t> expected(luma * 3 / 2), actual(luma * 3 / 2);
    convertToI420(bgr.data(), width, height, width * 3,
                  PlanarFrame{expected.data(), expected.data() + luma,
                              expected.data() + luma * 5 / 4, width});
    convertCanvasToI420(canvas, PlanarFrame{actual.data(), actual.data() + luma,
                                            actual.data() + luma * 5 / 4, width});
    EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace velmora
