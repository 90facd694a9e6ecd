#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The largest picture the program decodes, counted in decoded pixels. A
// 100-megapixel photo needs 400 MB as 32-bit pixels; anything larger is
// refused before its pixels are allocated.
inline constexpr int64_t kMaxPicturePixels = 100'000'000;
// Largest side accepted from a file header; guards the arithmetic as well.
inline constexpr int kMaxPictureSide = 65535;

// Empty when a picture of width × height may be decoded, else the reason.
inline std::string checkPictureSize(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) {
        return "the picture has no pixels (" + std::to_string(width) + " x " +
               std::to_string(height) + ")";
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        return "the picture is too large to load (" + std::to_string(width) + " x " +
               std::to_string(height) + " pixels; at most " +
               std::to_string(kMaxPicturePixels / 1'000'000) + " megapixels are accepted)";
    }
    return {};
}

}  // namespace velmora
