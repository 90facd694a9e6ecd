#include "workspace/slideshow_import.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <system_error>

#include "core/notifier.h"
#include "core/project.h"
#include "core/text_encoding.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 10> kPictureExtensions = {
    "bmp", "gif", "jpg", "jpeg", "png", "tif", "tiff", "ico", "wmf", "emf"};

bool hasPictureExtension(const fs::path& file) {
    std::string extension = file.extension().string();
    if (extension.empty()) return false;
    extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::find(kPictureExtensions.begin(), kPictureExtensions.end(), extension) !=
           kPictureExtensions.end();
}

std::string folderName(const fs::path& folder) {
    const fs::path trimmed = folder.has_filename() ? folder : folder.parent_path();
    return trimmed.filename().string();
}

// A new slideshow named after the folder. Names are cut to the model's
// length, so the "+" marks replace the name's last characters once it is
// full; without that a long name would be refused for ever.
bool addNamedSlideshow(Project& project, const std::string& name) {
    if (int(project.slideshows.size()) >= Project::kMaxSlideshows) return false;
    for (size_t plus = 0; plus <= Project::kMaxNameCharacters; ++plus) {
        const std::string candidate =
            firstCharacters(name, Project::kMaxNameCharacters - plus) + std::string(plus, '+');
        if (project.addSlideshow(candidate) == 0) return true;
    }
    return false;
}

}  // namespace

std::vector<fs::path> importablePictures(const fs::path& folder) {
    std::vector<fs::path> pictures;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && hasPictureExtension(it->path()))
            pictures.push_back(it->path());
    }
    std::sort(pictures.begin(), pictures.end());
    return pictures;
}

ImportResult importFolders(Project& project, const std::vector<fs::path>& folders) {
    ImportResult result;
    for (const fs::path& folder : folders) {
        const std::vector<fs::path> pictures = importablePictures(folder);
        if (pictures.empty()) continue;
        if (!addNamedSlideshow(project, folderName(folder))) break;
        const int index = int(project.slideshows.size()) - 1;
        Slideshow& slideshow = *project.slideshows.back();
        for (const fs::path& picture : pictures) {
            if (slideshow.addPicture(picture, project.defaults()) != 0) continue;
            project.estimateDiscSize();
            if (project.isOverDiscLimit()) {
                slideshow.removePicture(int(slideshow.pictures.size()) - 1);
                project.estimateDiscSize();
                result.discLimitReached = true;
            }
        }
        if (slideshow.pictures.empty()) {
            project.removeSlideshow(index);
        } else {
            slideshow.addDefaultAudio(project.folders().working);
            ++result.slideshowsAdded;
        }
        if (result.discLimitReached) {
            project.context().notifier.show("Add too many images then output disk can contain!",
                                            "Velmora", NotifierIcon::Warning);
            break;
        }
    }
    return result;
}

}  // namespace velmora
