#include "workspace/slideshow_import.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <system_error>

#include "base/log.h"
#include "base/notifier.h"
#include "base/path_text.h"
#include "base/text_encoding.h"
#include "image/image_type.h"
#include "model/project.h"
#include "workspace/picture_checks.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Every type the picture loader takes: the folder import offers what the
// add-picture dialog offers.
bool hasPictureExtension(const fs::path& file) {
    return imageTypeOf(file.filename().string()) != ImageType::Unknown;
}

std::string folderName(const fs::path& folder) {
    const fs::path trimmed = folder.has_filename() ? folder : folder.parent_path();
    return trimmed.filename().string();
}

// A new slideshow named after the folder. Names are cut to the model's
// length, so the "+" marks replace the name's last characters once it is
// full; without that a long name would be refused for ever.
bool addNamedSlideshow(Project& project, const std::string& name) {
    for (size_t plus = 0; plus <= Project::kMaxNameCharacters; ++plus) {
        const std::string candidate =
            firstCharacters(name, Project::kMaxNameCharacters - plus) + std::string(plus, '+');
        if (project.addSlideshow(candidate) == 0) return true;
    }
    return false;
}

// One import: what it took, what it did not and why, in the log as well.
class FolderImport {
  public:
    FolderImport(Project& project, const Log* log) : project_(project), log_(log) {}

    void run(const std::vector<fs::path>& folders) {
        for (size_t i = 0; i < folders.size(); ++i) {
            const std::vector<fs::path> pictures = importablePictures(folders[i]);
            if (pictures.empty()) continue;
            if (int(project_.slideshows.size()) >= Project::kMaxSlideshows) {
                passOver(folders, i, "the project holds as many slideshows as it may");
                return;
            }
            if (!addNamedSlideshow(project_, folderName(folders[i]))) {
                passOver(folders[i], "no free slideshow name is left for it");
                continue;
            }
            importPictures(pictures);
            if (result_.discLimitReached) {
                project_.context().notifier.show(
                    "Add too many images then output disk can contain!", "Velmora",
                    NotifierIcon::Warning);
                passOver(folders, i + 1, "the disc is full");
                return;
            }
        }
    }

    ImportResult& result() { return result_; }

  private:
    // Fills the slideshow just added; one left empty goes again. The
    // pictures are checked side by side and added one by one in name order,
    // each as soon as its check is done.
    void importPictures(const std::vector<fs::path>& pictures) {
        const int index = int(project_.slideshows.size()) - 1;
        Slideshow& slideshow = *project_.slideshows.back();
        PictureChecks checks(pictures, project_.context().pictures);
        for (size_t i = 0; i < pictures.size(); ++i) {
            const fs::path& picture = pictures[i];
            std::string refusal;
            if (slideshow.addCheckedPicture(checks.take(i), project_.defaults(), &refusal) != 0) {
                refuse(picture, std::move(refusal));
                continue;
            }
            project_.estimateDiscSize();
            if (project_.isOverDiscLimit()) {
                slideshow.removePicture(int(slideshow.pictures.size()) - 1);
                project_.estimateDiscSize();
                result_.discLimitReached = true;
                refuse(picture, "does not fit on the disc any more");
            }
        }
        if (slideshow.pictures.empty()) {
            project_.removeSlideshow(index);
        } else {
            slideshow.addDefaultAudio(project_.folders().working);
            ++result_.slideshowsAdded;
            if (log_ != nullptr)
                log_->writeLog("Slideshow \"" + slideshow.name + "\" imported with " +
                               std::to_string(slideshow.pictures.size()) + " pictures");
        }
    }

    void refuse(const fs::path& picture, std::string reason) {
        if (reason.empty()) reason = "cannot be loaded";
        if (log_ != nullptr)
            log_->writeLog("Picture not imported: " + quotedPath(picture) + " " + reason);
        result_.refusedPictures.push_back({picture, std::move(reason)});
    }

    void passOver(const fs::path& folder, const std::string& why) {
        if (log_ != nullptr)
            log_->writeLog("Folder not imported: " + quotedPath(folder) + ": " + why);
        result_.foldersNotImported.push_back(folder);
    }
    // The folders from `first` on.
    void passOver(const std::vector<fs::path>& folders, size_t first, const std::string& why) {
        for (size_t i = first; i < folders.size(); ++i)
            passOver(folders[i], why);
    }

    Project& project_;
    const Log* log_;
    ImportResult result_;
};

}  // namespace

std::vector<fs::path> importablePictures(const fs::path& folder) {
    std::vector<fs::path> pictures;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        // Anything but a folder is offered, so that a FIFO or a dangling link
        // named like a picture is refused with its reason instead of vanishing.
        std::error_code kindError;
        if (!it->is_directory(kindError) && hasPictureExtension(it->path()))
            pictures.push_back(it->path());
    }
    std::sort(pictures.begin(), pictures.end());
    return pictures;
}

ImportResult importFolders(Project& project, const std::vector<fs::path>& folders, const Log* log) {
    FolderImport import(project, log);
    import.run(folders);
    return std::move(import.result());
}

}  // namespace velmora
