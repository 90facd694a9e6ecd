// The load-by-type entry point on arbitrary bytes: the first byte picks the
// picture type, the rest is written to a file of that type, which is then
// measured, loaded whole, loaded at a reduced size and checked as a slideshow
// picture.

#include <unistd.h>

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "image/headless_qt.h"
#include "image/picture_loader.h"

namespace {

using velmora::ImageType;

constexpr ImageType kTypes[] = {
    ImageType::Bmp,  ImageType::Jpeg, ImageType::Gif,      ImageType::Png,
    ImageType::Ico,  ImageType::Tiff, ImageType::Tga,      ImageType::Pcx,
    ImageType::Wbmp, ImageType::Wmf,  ImageType::Jpeg2000, ImageType::JpegCodestream,
    ImageType::Pgx,  ImageType::Pnm,  ImageType::Ras,
};
constexpr const char* kExtensions[] = {"bmp",  "jpg", "gif", "png", "ico", "tif", "tga", "pcx",
                                       "wbmp", "wmf", "jp2", "j2c", "pgx", "ppm", "ras"};
constexpr size_t kTypeCount = sizeof kTypes / sizeof kTypes[0];

std::filesystem::path scratchFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        const auto path = base / ("velmora-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    velmora::prepareHeadlessQt();
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t pick = data[0] % kTypeCount;
    const auto file = scratchFolder() / (std::string("input.") + kExtensions[pick]);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
    }
    // Every failure must say why; every success must have the size asked for.
    std::string reason;
    const QSize stated = velmora::pictureSize(file, kTypes[pick], &reason);
    if (!stated.isValid() && reason.empty()) __builtin_trap();
    reason.clear();
    const velmora::Picture whole = velmora::loadPicture(file, kTypes[pick], &reason);
    if (whole.isNull() ? reason.empty() : whole.size().isEmpty()) __builtin_trap();
    reason.clear();
    const velmora::Picture small =
        velmora::loadPictureScaled(file, kTypes[pick], QSize(16, 12), &reason);
    if (small.isNull() ? reason.empty() : small.size() != QSize(16, 12)) __builtin_trap();
    reason.clear();
    if (!velmora::pictureLoads(file, kTypes[pick], &reason) && reason.empty()) __builtin_trap();
    return 0;
}
