#include "render/yuv_conversion.h"

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

}  // namespace
}  // namespace velmora
