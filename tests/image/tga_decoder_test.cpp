#include "image/tga_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

std::vector<uint8_t> header(uint8_t type, int width, int height, uint8_t bits, uint8_t descriptor,
                            int mapLength = 0, uint8_t mapBits = 0) {
    return {0,
            uint8_t(mapLength > 0 ? 1 : 0),
            type,
            0,
            0,
            uint8_t(mapLength & 0xFF),
            uint8_t(mapLength >> 8),
            mapBits,
            0,
            0,
            0,
            0,
            uint8_t(width),
            uint8_t(width >> 8),
            uint8_t(height),
            uint8_t(height >> 8),
            bits,
            descriptor};
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every file shows the same 2 × 2 picture: red, green on top; blue, white below.
struct ValidCase {
    const char* name;
    std::vector<uint8_t> file;
};

TEST(TgaDecoder, ReadsEveryKindAndOrigin) {
    const std::vector<uint8_t> bgrTopDown = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    const std::vector<uint8_t> bgrBottomUp = {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0};
    const ValidCase cases[] = {
        {"24-bit top down", header(2, 2, 2, 24, 0x20) + bgrTopDown},
        {"24-bit bottom up", header(2, 2, 2, 24, 0x00) + bgrBottomUp},
        {"24-bit right to left",
         header(2, 2, 2, 24, 0x30) +
             std::vector<uint8_t>{0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0}},
        {"32-bit, alpha bits but all zero",
         header(2, 2, 2, 32, 0x28) +
             std::vector<uint8_t>{0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}},
        {"16-bit", header(2, 2, 2, 16, 0x20) +
                       std::vector<uint8_t>{0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}},
        {"run-length 24-bit, a packet across the row end",
         header(10, 2, 2, 24, 0x20) + std::vector<uint8_t>{0x00, 0, 0, 255, 0x01, 0, 255, 0, 255, 0,
                                                           0, 0x00, 255, 255, 255}},
        {"colour-mapped", header(1, 2, 2, 8, 0x20, 4, 24) +
                              std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255} +
                              std::vector<uint8_t>{0, 1, 2, 3}},
        {"run-length colour-mapped",
         header(9, 2, 2, 8, 0x20, 4, 24) +
             std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255} +
             std::vector<uint8_t>{0x83, 0, 0x00, 0}},
    };
    for (const ValidCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        EXPECT_EQ(tgaSize(c.file, &reason), QSize(2, 2)) << reason;
        const QImage image = decodeTga(c.file, &reason);
        ASSERT_FALSE(image.isNull()) << reason;
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        if (std::string(c.name) == "run-length colour-mapped") {
            // One run of four red pixels: checks the run, not the layout.
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(image.pixel(i % 2, i / 2), kRed);
            continue;
        }
        EXPECT_EQ(image.pixel(0, 0), kRed);
        EXPECT_EQ(image.pixel(1, 0), kGreen);
        EXPECT_EQ(image.pixel(0, 1), kBlue);
        EXPECT_EQ(image.pixel(1, 1), kWhite);
    }
}

TEST(TgaDecoder, KeepsUsedAlphaAndGrey) {
    std::string reason;
    const QImage alpha =
        decodeTga(header(2, 1, 1, 32, 0x28) + std::vector<uint8_t>{0, 0, 255, 128}, &reason);
    ASSERT_EQ(alpha.format(), QImage::Format_ARGB32) << reason;
    EXPECT_EQ(alpha.pixel(0, 0), qRgba(255, 0, 0, 128));
    const QImage grey = decodeTga(header(3, 2, 1, 8, 0x20) + std::vector<uint8_t>{0, 200}, &reason);
    ASSERT_FALSE(grey.isNull()) << reason;
    EXPECT_EQ(grey.pixel(1, 0), qRgb(200, 200, 200));
}

TEST(TgaDecoder, RefusesDamagedFiles) {
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* because;
    };
    const Case cases[] = {
        {"empty", {}, "header is incomplete"},
        {"unknown type", header(5, 2, 2, 24, 0), "unknown image type"},
        {"odd depth", header(2, 2, 2, 12, 0), "pixel depth"},
        {"no colour map", header(1, 2, 2, 8, 0), "colour map"},
        {"too large", header(2, 60000, 60000, 24, 0), "too large"},
        {"no pixels", header(2, 0, 5, 24, 0), "no pixels"},
        {"short data", header(2, 2, 2, 24, 0) + std::vector<uint8_t>(5, 0), "ends before"},
        {"run past the end", header(10, 2, 2, 24, 0) + std::vector<uint8_t>{0x81, 1, 2},
         "ends before"},
        {"map past the end", header(1, 2, 2, 8, 0, 200, 24), "colour map"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        EXPECT_TRUE(decodeTga(c.file, &reason).isNull());
        EXPECT_NE(reason.find(c.because), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace velmora
