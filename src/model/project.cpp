#include "model/project.h"

#include <algorithm>
#include <system_error>

#include "base/notifier.h"
#include "base/text_encoding.h"
#include "base/working_folder_claim.h"
#include "interfaces/video_format.h"

namespace velmora {

namespace fs = std::filesystem;

Project::Project(ProjectContext& context, Preferences& preferences, const WorkingFolders& folders,
                 const ResourcePaths& resources)
    : context_(context), preferences_(preferences), folders_(folders), resources_(resources) {
    preferences_.defaults.setFolders(folders_.working);
    authorScriptPath = folders_.temporary / "author.xml";
}

void Project::setFolders(const WorkingFolders& folders) {
    folders_ = folders;
    preferences_.defaults.tempPath = folders.temporary;
    preferences_.defaults.outputPath = folders.output;
    authorScriptPath = folders.temporary / "author.xml";
}

Slideshow* Project::findSlideshow(const std::string& name) {
    for (auto& slideshow : slideshows) {
        if (slideshow->name == name) return slideshow.get();
    }
    return nullptr;
}

void Project::renumber() {
    for (size_t i = 0; i < slideshows.size(); ++i)
        slideshows[i]->index = int(i);
}

int Project::addSlideshow(std::string name) {
    name = firstCharacters(name, kMaxNameCharacters);
    context_.flags.modified = true;
    if (findSlideshow(name) != nullptr || name.empty()) return 1;
    if (int(slideshows.size()) >= kMaxSlideshows) {
        context_.notifier.show("get to Max slideshow count " + std::to_string(kMaxSlideshows) + "!",
                               "Velmora", NotifierIcon::Warning);
        return 1;
    }
    slideshows.push_back(std::make_unique<Slideshow>(name, folders_.working, context_));
    currentSlideshow = int(slideshows.size()) - 1;
    renumber();
    context_.flags.menuStale = true;
    return 0;
}

std::string Project::nextSlideshowName() const {
    for (size_t k = slideshows.size();; ++k) {
        const std::string name = "Slideshow_" + std::to_string(k);
        const bool taken = std::any_of(slideshows.begin(), slideshows.end(),
                                       [&](const auto& s) { return s->name == name; });
        if (!taken) return name;
    }
}

int Project::removeSlideshow(int i) {
    if (i < 0 || i >= int(slideshows.size())) return 1;
    slideshows.erase(slideshows.begin() + i);
    renumber();
    context_.flags.modified = true;
    context_.flags.menuStale = true;
    if (slideshows.empty()) {
        currentSlideshow = -1;
    } else if (currentSlideshow >= i && currentSlideshow != 0) {
        --currentSlideshow;
    }
    return 0;
}

void Project::removeAllSlideshows() {
    while (!slideshows.empty())
        removeSlideshow(0);
}

int Project::moveSlideshowUp(int i) {
    if (i < 0 || i >= int(slideshows.size())) return 1;
    context_.flags.modified = true;
    context_.flags.menuStale = true;
    if (i == 0) return 0;
    std::swap(slideshows[size_t(i)], slideshows[size_t(i) - 1]);
    if (currentSlideshow == i) currentSlideshow = i - 1;
    renumber();
    return 0;
}

int Project::moveSlideshowDown(int i) {
    if (i < 0 || i >= int(slideshows.size())) return 1;
    context_.flags.modified = true;
    context_.flags.menuStale = true;
    if (i == int(slideshows.size()) - 1) return 0;
    std::swap(slideshows[size_t(i)], slideshows[size_t(i) + 1]);
    if (currentSlideshow == i) currentSlideshow = i + 1;
    renumber();
    return 0;
}

int Project::setCurrentSlideshow(int i) {
    currentSlideshow = i;
    return 0;
}

int Project::renameSlideshow(const std::string& oldName, const std::string& newName) {
    context_.flags.menuStale = true;
    if (findSlideshow(newName) != nullptr) return -1;
    Slideshow* slideshow = findSlideshow(oldName);
    if (slideshow == nullptr) return -1;
    slideshow->name = newName;
    return 0;
}

void Project::applyDefaultsToAllPictures() {
    context_.flags.modified = true;
    for (auto& slideshow : slideshows) {
        for (SlideImage& picture : slideshow->pictures) {
            picture.settings.copyFrom(preferences_.defaults, context_.random);
        }
        slideshow->recomputeFrames();
    }
    estimateDiscSize();
}

bool Project::changeVideoFormat(VideoFormat format) {
    const bool changed = format != videoFormat();
    preferences_.defaults.tvStandard = format.standard;
    preferences_.tvFormat = format.standard;
    preferences_.aspectRatio = format.aspect;
    bool picturesChanged = false;
    for (auto& slideshow : slideshows) {
        bool slideshowChanged = false;
        for (SlideImage& picture : slideshow->pictures) {
            if (picture.settings.tvStandard == format.standard) continue;
            picture.settings.tvStandard = format.standard;
            slideshowChanged = true;
        }
        if (slideshowChanged) slideshow->recomputeFrames();
        picturesChanged = picturesChanged || slideshowChanged;
    }
    if (changed) context_.flags.menuStale = true;
    if (changed || picturesChanged) estimateDiscSize();
    return changed;
}

void Project::estimateDiscSize() {
    totalFrames = 0;
    for (const auto& slideshow : slideshows)
        totalFrames += slideshow->totalFrames;
    const float megabytesPerFrame = preferences_.defaults.tvStandard == TvStandard::Pal
                                        ? kPalMegabytesPerFrame
                                        : kNtscMegabytesPerFrame;
    sizeEstimate = float(totalFrames) * megabytesPerFrame;
    if (sizeEstimate > kDiscWarningMegabytes) {
        context_.notifier.show(
            "dvdLength Is over 4500M! Please delete some Image or change Image display time in "
            "Preference Screen!",
            "Velmora", NotifierIcon::Warning);
    }
}

int Project::fps() const {
    return framesPerSecond(preferences_.defaults.tvStandard);
}

int Project::totalSeconds() const {
    return totalFrames / fps();
}

int Project::longestSlideshowSeconds() const {
    int longest = 0;
    for (const auto& slideshow : slideshows)
        longest = std::max(longest, slideshow->totalFrames);
    return longest / fps();
}

int Project::pictureCount() const {
    int count = 0;
    for (const auto& slideshow : slideshows)
        count += int(slideshow->pictures.size());
    return count;
}

fs::path Project::firstSoundtrack() const {
    if (slideshows.empty()) return {};
    const Slideshow& first = *slideshows.front();
    return first.audioTracks.empty() ? resources_.silence : first.soundtrackPath;
}

void Project::numberSlideshowOutputs() {
    for (auto& slideshow : slideshows) {
        slideshow->programStreamPath =
            folders_.temporary / (std::to_string(slideshow->index) + ".mpg");
    }
    context_.flags.modified = true;
}

namespace {

// Moves every file (not folder) of `from` into `to`. On any failure the
// files already moved go back and the result is false: nothing is lost.
bool moveFiles(const fs::path& from, const fs::path& to) {
    struct Moved {
        fs::path source;
        fs::path target;
        bool copied;  // across filesystems: copied, the source still there
    };
    std::vector<Moved> moved;
    std::error_code error;
    auto undo = [&] {
        std::error_code ignored;
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
            if (it->copied) {
                fs::remove(it->target, ignored);
            } else {
                fs::rename(it->target, it->source, ignored);
            }
        }
        return false;
    };
    // The list first: the folder is not read while files leave it.
    std::vector<fs::path> files;
    for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file()) files.push_back(it->path());
    }
    if (error) return false;
    for (const fs::path& file : files) {
        const fs::path target = to / file.filename();
        fs::rename(file, target, error);
        if (!error) {
            moved.push_back({file, target, false});
            continue;
        }
        error.clear();
        fs::copy_file(file, target, fs::copy_options::overwrite_existing, error);
        if (error) return undo();
        moved.push_back({file, target, true});
    }
    return true;
}

}  // namespace

bool Project::changeWorkingFolder(const fs::path& workingFolder) {
    const WorkingFolders next = WorkingFolders::inside(workingFolder);
    if (next.temporary == folders_.temporary) return true;
    if (!next.create() || !moveFiles(folders_.temporary, next.temporary)) return false;
    // The old temp folder goes only when it is a working folder's of ours.
    if (isMarkedWorkingFolder(folders_.working) &&
        folders_.temporary.lexically_normal() == (folders_.working / "temp").lexically_normal())
        deleteFolderTree(folders_.temporary);
    folders_ = next;
    preferences_.defaults.setFolders(workingFolder);
    for (auto& slideshow : slideshows)
        slideshow->repointTempFiles(next.temporary);
    authorScriptPath = next.temporary / "author.xml";
    context_.flags.modified = true;
    return true;
}

}  // namespace velmora
