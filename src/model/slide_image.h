#pragma once

#include <QImage>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "model/effect_setting.h"

namespace velmora {

enum class PictureEditKind : int {
    Text = 0,
    Image = 1,
    Crop = 2,
    RotateLeft90 = 3,
    RotateRight90 = 4,
    Rotate180 = 5,
    FlipHorizontally = 6,
    FlipVertically = 7,
};

// One step of a picture's edit list, replayed by the picture editor.
struct PictureEdit {
    PictureEditKind kind = PictureEditKind::Text;
    std::string text;                  // Text: the caption
    std::filesystem::path imagePath;   // Image: the decoration
    int x = 0, y = 0, cx = 0, cy = 0;  // Text, Image: box; Crop: left, top, right, bottom
    std::string faceName;              // Text: font face (up to 31 characters)
    int height = 0;
    int weight = 400;
    int italic = 0;
    uint32_t colour = 0;  // 0x00BBGGRR
};

// One picture of a slideshow.
struct SlideImage {
    int sequence = 0;
    std::filesystem::path sourcePath;   // the file the user added
    std::filesystem::path workingPath;  // the file rendered: source or an edited copy
    std::string fileName;
    std::time_t modifiedTime = 0;
    SlideSettings settings;
    int startSeconds = 0;
    std::string startText = "00:00:00";
    std::vector<PictureEdit> edits;
    int brightness = 0, contrast = 0, sharpen = 0, soften = 0;
    uint64_t fileSize = 0;
    std::string sizeText;
    QImage thumbnail;  // the cached list picture, of size class thumbnailSize
    int thumbnailSize = 5;
};

// The list thumbnail sizes by size class: 0 = 60 × 45, 1 = 80 × 60,
// 2 = 160 × 120, 3 = 320 × 240, 4 = 80 × 60, 5 = 76 × 95; an invalid size
// for any other class.
QSize thumbnailSizeOfClass(int sizeClass);

// "%02d:%02d:%02d" of whole seconds as hours, minutes, seconds.
std::string clockText(int seconds);
// A file size as the picture list shows it: "0KB", "1KB" up to 1024 bytes,
// whole kilobytes up to 1 MiB, whole megabytes above.
std::string fileSizeText(uint64_t bytes);

}  // namespace velmora
