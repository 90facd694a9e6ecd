#include "workspace/slideshow_commands.h"

#include <algorithm>
#include <system_error>

#include "base/notifier.h"
#include "base/path_text.h"
#include "image/image_type.h"
#include "image/picture_files_service.h"
#include "image/picture_loader.h"
#include "model/motion_effect.h"
#include "workspace/application.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDiscFullMessage = "Add too many images then output disk can contain!";
constexpr const char* kDeleteQuestion = "Do you want really want to del this slideshow?";

std::vector<int> sortedUnique(std::vector<int> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

// A quarter turn of the working file, written beside the other edited
// copies in the working file's own type where the picture type writes it
// (so a photo stays a JPEG of photo size), as a PNG otherwise.
bool rotateWorkingFile(SlideImage& picture, bool left, const fs::path& workingFolder,
                       std::string* failure) {
    std::string reason;
    const Picture loaded = loadPicture(picture.workingPath, &reason);
    if (loaded.isNull()) {
        *failure = reason;
        return false;
    }
    const Picture turned = left ? loaded.rotatedLeft90() : loaded.rotatedRight90();
    const ImageType type = imageTypeOf(picture.workingPath.filename().string());
    bool saved = false;
    fs::path target;
    if (type == ImageType::Jpeg) {
        target = editedCopyPath(workingFolder, picture.sourcePath, "jpg");
        saved = turned.saveJpeg(target, 95, &reason);
    } else if (type == ImageType::Bmp) {
        target = editedCopyPath(workingFolder, picture.sourcePath, "bmp");
        saved = turned.saveBmp(target, &reason);
    } else {
        target = editedCopyPath(workingFolder, picture.sourcePath, "png");
        saved = turned.savePng(target, &reason);
    }
    if (!saved) {
        *failure = reason;
        return false;
    }
    picture.workingPath = target;
    PictureEdit turn;
    turn.kind = left ? PictureEditKind::RotateLeft90 : PictureEditKind::RotateRight90;
    picture.edits.push_back(std::move(turn));
    return true;
}

}  // namespace

SlideshowCommands::SlideshowCommands(Application& app, Notifier& notifier)
    : app_(app), notifier_(notifier) {}

Slideshow* SlideshowCommands::currentSlideshow() {
    const int index = app_.project.currentSlideshow;
    if (index < 0 || index >= int(app_.project.slideshows.size())) return nullptr;
    return app_.project.slideshows[size_t(index)].get();
}

int SlideshowCommands::startSlideshow() {
    Project& project = app_.project;
    if (project.addSlideshow(project.nextSlideshowName()) != 0) {
        notifier_.show("Slideshow name conflict or is NULL!", "Velmora", NotifierIcon::Warning);
        return -1;
    }
    project.slideshows.back()->addDefaultAudio(project.folders().working);
    return int(project.slideshows.size()) - 1;
}

bool SlideshowCommands::fillNewSlideshow(int index, const std::vector<fs::path>& pictures,
                                         AddedPictures* result) {
    Project& project = app_.project;
    if (index < 0 || index >= int(project.slideshows.size())) return false;
    project.setCurrentSlideshow(index);
    const AddedPictures added = addPictures(pictures);
    if (result != nullptr) *result = added;
    if (added.added == 0) {
        project.removeSlideshow(index);
        project.estimateDiscSize();
        return false;
    }
    app_.log.writeLog("Add Slideshow named " + project.slideshows[size_t(index)]->name);
    return true;
}

bool SlideshowCommands::deleteSlideshow(int index) {
    Project& project = app_.project;
    if (index < 0 || index >= int(project.slideshows.size())) return false;
    if (notifier_.ask(kDeleteQuestion, "Query", NotifierButtons::YesNo) != NotifierAnswer::Yes)
        return false;
    project.removeSlideshow(index);
    project.estimateDiscSize();
    return true;
}

bool SlideshowCommands::deleteAllSlideshows() {
    Project& project = app_.project;
    if (project.slideshows.empty()) return false;
    if (notifier_.ask(kDeleteQuestion, "Query", NotifierButtons::YesNo) != NotifierAnswer::Yes)
        return false;
    project.removeAllSlideshows();
    project.estimateDiscSize();
    return true;
}

void SlideshowCommands::moveSlideshowUp(int index) {
    app_.project.moveSlideshowUp(index);
}

void SlideshowCommands::moveSlideshowDown(int index) {
    app_.project.moveSlideshowDown(index);
}

bool SlideshowCommands::renameSlideshow(int index, const std::string& newName) {
    Project& project = app_.project;
    if (index < 0 || index >= int(project.slideshows.size())) return false;
    const std::string oldName = project.slideshows[size_t(index)]->name;
    if (oldName == newName) return true;
    if (newName.empty() || project.renameSlideshow(oldName, newName) != 0) return false;
    project.flags().modified = true;
    return true;
}

AddedPictures SlideshowCommands::addPictures(const std::vector<fs::path>& pictures) {
    AddedPictures result;
    Slideshow* slideshow = currentSlideshow();
    if (slideshow == nullptr) return result;
    Project& project = app_.project;
    for (const fs::path& picture : pictures) {
        // Once the disc is full nothing more fits: the rest is not tried,
        // so the user hears about the full disc once.
        if (result.discLimitReached) {
            result.refused.push_back({picture, "does not fit on the disc any more"});
            continue;
        }
        app_.preferences.pictureFolder = picture.parent_path();
        std::string refusal;
        if (slideshow->addPicture(picture, project.defaults(), &refusal) != 0) {
            result.refused.push_back({picture, refusal.empty() ? "cannot be loaded" : refusal});
            continue;
        }
        project.estimateDiscSize();
        if (project.isOverDiscLimit()) {
            slideshow->removePicture(int(slideshow->pictures.size()) - 1);
            project.estimateDiscSize();
            result.discLimitReached = true;
            result.refused.push_back({picture, "does not fit on the disc any more"});
            continue;
        }
        ++result.added;
    }
    logRefusals(result.refused);
    if (result.discLimitReached) notifier_.show(kDiscFullMessage, "Velmora", NotifierIcon::Warning);
    return result;
}

AddedPictures SlideshowCommands::dropPictures(const std::vector<fs::path>& paths) {
    std::vector<fs::path> pictures;
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (fs::path& picture : importablePictures(path))
                pictures.push_back(std::move(picture));
        } else if (imageTypeOf(path.filename().string()) != ImageType::Unknown) {
            pictures.push_back(path);
        }
    }
    AddedPictures result;
    if (pictures.empty()) return result;
    if (currentSlideshow() == nullptr) {
        const int index = startSlideshow();
        if (index >= 0) fillNewSlideshow(index, pictures, &result);
        return result;
    }
    return addPictures(pictures);
}

ImportResult SlideshowCommands::dropSlideshows(const std::vector<fs::path>& paths) {
    std::vector<fs::path> folders;
    std::vector<fs::path> files;
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            folders.push_back(path);
        } else if (imageTypeOf(path.filename().string()) != ImageType::Unknown) {
            files.push_back(path);
        }
    }
    ImportResult result = importFolders(folders);
    if (!files.empty() && !result.discLimitReached) {
        const int index = startSlideshow();
        AddedPictures added;
        if (index >= 0 && fillNewSlideshow(index, files, &added)) ++result.slideshowsAdded;
        result.discLimitReached = added.discLimitReached;
        for (RefusedPicture& refused : added.refused)
            result.refusedPictures.push_back(std::move(refused));
    }
    return result;
}

ImportResult SlideshowCommands::importFolders(const std::vector<fs::path>& folders) {
    ImportResult result = velmora::importFolders(app_.project, folders, &app_.log);
    app_.project.estimateDiscSize();
    return result;
}

bool SlideshowCommands::deletePictures(const std::vector<int>& selected) {
    Slideshow* slideshow = currentSlideshow();
    if (slideshow == nullptr || selected.empty()) return false;
    slideshow->removePictures(selected);
    const bool slideshowWent = slideshow->pictures.empty();
    if (slideshowWent) app_.project.removeSlideshow(app_.project.currentSlideshow);
    pictureCountChanged();
    return slideshowWent;
}

int SlideshowCommands::movePictureUp(const std::vector<int>& selected) {
    Slideshow* slideshow = currentSlideshow();
    if (slideshow == nullptr || selected.empty()) return -1;
    const int first = sortedUnique(selected).front();
    if (slideshow->movePictureUp(first) != 0) return -1;
    return std::max(first - 1, 0);
}

int SlideshowCommands::movePictureDown(const std::vector<int>& selected) {
    Slideshow* slideshow = currentSlideshow();
    if (slideshow == nullptr || selected.size() != 1) return -1;
    const int picture = selected.front();
    if (slideshow->movePictureDown(picture) != 0) return -1;
    return std::min(picture + 1, int(slideshow->pictures.size()) - 1);
}

int SlideshowCommands::movePicturesTo(const std::vector<int>& selected, int position) {
    Slideshow* slideshow = currentSlideshow();
    if (slideshow == nullptr || selected.empty()) return -1;
    const int count = int(slideshow->pictures.size());
    const std::vector<int> moving = sortedUnique(selected);
    if (moving.front() < 0 || moving.back() >= count) return -1;
    position = std::clamp(position, 0, count);
    // The moved pictures leave the list in their order and go in again
    // where the gap before `position` ended up.
    std::vector<SlideImage> moved;
    std::vector<SlideImage> staying;
    int insertAt = 0;
    for (int i = 0; i < count; ++i) {
        SlideImage& picture = slideshow->pictures[size_t(i)];
        if (std::binary_search(moving.begin(), moving.end(), i)) {
            moved.push_back(std::move(picture));
        } else {
            if (i < position) ++insertAt;
            staying.push_back(std::move(picture));
        }
    }
    staying.insert(staying.begin() + insertAt, std::make_move_iterator(moved.begin()),
                   std::make_move_iterator(moved.end()));
    slideshow->pictures = std::move(staying);
    slideshow->recomputeFrames();
    app_.project.flags().modified = true;
    pictureCountChanged();
    return insertAt;
}

void SlideshowCommands::sortPictures(Slideshow::SortKey key, Slideshow::SortOrder order) {
    if (Slideshow* slideshow = currentSlideshow()) {
        slideshow->sortPictures(key, order);
        pictureCountChanged();
    }
}

std::vector<fs::path> SlideshowCommands::rotatePictures(const std::vector<int>& selected, bool left,
                                                        std::string* failure) {
    std::vector<fs::path> rewritten;
    Slideshow* slideshow = currentSlideshow();
    if (slideshow == nullptr) return rewritten;
    for (const int index : sortedUnique(selected)) {
        if (index < 0 || index >= int(slideshow->pictures.size())) continue;
        SlideImage& picture = slideshow->pictures[size_t(index)];
        const fs::path before = picture.workingPath;
        if (!rotateWorkingFile(picture, left, app_.project.folders().working, failure)) {
            app_.log.writeLog("Picture not rotated: " + *failure);
            break;
        }
        rewritten.push_back(before);
        rewritten.push_back(picture.workingPath);
        app_.project.flags().modified = true;
        if (index == slideshow->coverIndex) slideshow->setCover(index);
    }
    return rewritten;
}

void SlideshowCommands::resetMotionEffects(const std::vector<int>& selected) {
    if (Slideshow* slideshow = currentSlideshow())
        slideshow->setMotionCategoryEffect(selected, int(MotionCategory::None));
}

void SlideshowCommands::randomizeMotionEffects(const std::vector<int>& selected) {
    if (Slideshow* slideshow = currentSlideshow())
        slideshow->setMotionCategoryEffect(selected, int(MotionCategory::PanZoomRotate));
}

void SlideshowCommands::randomizeTransitions(const std::vector<int>& selected) {
    if (Slideshow* slideshow = currentSlideshow())
        slideshow->setTransition(selected, app_.preferences.catalogue.entry(0));
}

void SlideshowCommands::setMenuThumbnail(int index) {
    if (Slideshow* slideshow = currentSlideshow()) slideshow->setCover(index);
}

void SlideshowCommands::pictureCountChanged() {
    app_.project.estimateDiscSize();
}

void SlideshowCommands::logRefusals(const std::vector<RefusedPicture>& refused) const {
    for (const RefusedPicture& picture : refused)
        app_.log.writeLog("Picture not added: " + quotedPath(picture.file) + " " + picture.reason);
}

}  // namespace velmora
