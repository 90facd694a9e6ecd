#include "image/picture_files_service.h"

#include "image/picture_fit.h"
#include "image/picture_loader.h"
#include "model/slide_image.h"

#include <cstdint>
#include <cstdio>

namespace velmora {

bool PictureFilesService::canLoad(const std::filesystem::path& file, std::string* reason) {
    return pictureLoads(file, imageTypeOf(file.filename().string()), reason);
}

bool PictureFilesService::renderCover(const std::filesystem::path& picture,
                                      const std::filesystem::path& cover) {
    std::string reason;
    return velmora::renderCover(picture, cover, &reason);
}

QImage PictureFilesService::renderThumbnail(const std::filesystem::path& picture, QSize size) {
    std::string reason;
    return renderFittedOnWhite(picture, size, &reason).image();
}

std::filesystem::path editedCopyPath(const std::filesystem::path& workingFolder,
                                     const std::filesystem::path& sourcePath,
                                     std::string_view extension) {
    // FNV-1a: stable across runs and machines, unlike std::hash.
    uint32_t hash = 2166136261u;
    for (const char c : sourcePath.string()) {
        hash ^= uint8_t(c);
        hash *= 16777619u;
    }
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", hash);
    const std::string name =
        sourcePath.stem().string() + "-" + digits + "." + std::string(extension);
    return workingFolder / "temp" / name;
}

int saveEditedPictureCopy(SlideImage& slideImage, const Picture& edited,
                          const std::filesystem::path& workingFolder) {
    if (edited.isNull()) return -1;
    // The copy keeps the type of the source when it is one the picture type
    // writes (JPEG, BMP, PNG); any other picture becomes a PNG, named so.
    const ImageType type = imageTypeOf(slideImage.fileName);
    const bool keepsType =
        type == ImageType::Jpeg || type == ImageType::Bmp || type == ImageType::Png;
    const std::string fileName = "~" + slideImage.fileName + (keepsType ? "" : ".png");
    const std::filesystem::path target = workingFolder / "temp" / fileName;
    std::string reason;
    bool saved = false;
    if (type == ImageType::Jpeg) {
        saved = edited.saveJpeg(target, 95, &reason);
    } else if (type == ImageType::Bmp) {
        saved = edited.saveBmp(target, &reason);
    } else {
        saved = edited.savePng(target, &reason);
    }
    if (!saved) return -1;
    slideImage.fileName = fileName;
    slideImage.workingPath = target;
    return 0;
}

}  // namespace velmora
