#pragma once

// Small picture files in every format the loader reads, written by the tests
// themselves: with Qt where Qt writes the format, with libjpeg, libtiff and
// OpenJPEG for the variants Qt cannot write, and byte by byte for the rest.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/picture.h"
#include "support/temporary_folder.h"

namespace velmora::test {

// A picture of four quadrants: red top left, green top right, blue bottom
// left, white bottom right. Orientation and colour mistakes show at once.
QImage quadrants(int width, int height);

// True when `picture` shows the quadrants (in the given corner colours,
// clockwise from top left) within `tolerance` per channel at their centres.
struct Corners {
    QRgb topLeft = 0xFFFF0000;
    QRgb topRight = 0xFF00FF00;
    QRgb bottomLeft = 0xFF0000FF;
    QRgb bottomRight = 0xFFFFFFFF;
};
::testing::AssertionResult showsQuadrants(const Picture& picture, int tolerance,
                                          Corners corners = {});

std::vector<uint8_t> readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);

void writeWithQt(const std::filesystem::path& file, const QImage& image, const char* format,
                 int quality = -1, bool progressive = false);
void writeTga(const std::filesystem::path& file, const QImage& image);
// Two frames; the second is all blue, so only a first-frame load shows quadrants.
void writeTwoFrameGif(const std::filesystem::path& file, const QImage& firstFrame);
// An icon holding each image (32-bit, uncompressed) in the given order.
void writeIco(const std::filesystem::path& file, const std::vector<QImage>& images);
void writeCmykJpeg(const std::filesystem::path& file, const QImage& image);
// A JPEG with an EXIF orientation tag (1..8) inserted after its start marker.
void writeJpegWithOrientation(const std::filesystem::path& file, const QImage& image,
                              int orientation);

enum class TiffLayout { Tiles8, Strips16, Cmyk };
void writeTiff(const std::filesystem::path& file, const QImage& image, TiffLayout layout);

enum class Jpeg2000Kind { Jp2File, Codestream };
// Lossless; `grey` writes one component, otherwise three (RGB).
void writeJpeg2000(const std::filesystem::path& file, const QImage& image, Jpeg2000Kind kind,
                   bool grey = false, int resolutions = 3);

// A placeable metafile of width × height pixels (at 96 dpi) filled with red.
void writeRedWmf(const std::filesystem::path& file, int width, int height);

}  // namespace velmora::test
