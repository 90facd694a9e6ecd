#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/app_folders.h"
#include "model/model_context.h"
#include "model/preferences.h"
#include "model/slideshow.h"

namespace velmora {

// The document: the slideshows of the disc in order, the defaults new
// pictures copy (from the preferences), the folders of the run and the
// derived totals. There is one for the whole run.
class Project {
  public:
    static constexpr int kMaxSlideshows = 50;
    static constexpr size_t kMaxNameCharacters = 15;
    static constexpr float kDiscLimitMegabytes = 4500.0f;
    static constexpr float kDiscWarningMegabytes = 4700.0f;
    // What one second of video takes on the disc, per frame.
    static constexpr float kPalMegabytesPerFrame = 0.0208f;
    static constexpr float kNtscMegabytesPerFrame = 0.024f;

    Project(ProjectContext& context, Preferences& preferences, const WorkingFolders& folders,
            const ResourcePaths& resources);

    std::vector<std::unique_ptr<Slideshow>> slideshows;
    int currentSlideshow = -1;
    std::filesystem::path authorScriptPath;  // T/author.xml
    std::filesystem::path projectFilePath;   // the file saves go to
    int totalFrames = 0;
    float sizeEstimate = 0;  // megabytes

    ProjectContext& context() { return context_; }
    ModelFlags& flags() { return context_.flags; }
    SlideSettings& defaults() { return preferences_.defaults; }
    const WorkingFolders& folders() const { return folders_; }
    // Works in other folders from now on (a new project's, an opened
    // project's): W, T and O, the folders new pictures copy and the
    // authoring script path. Nothing is moved.
    void setFolders(const WorkingFolders& folders);

    int addSlideshow(std::string name);
    std::string nextSlideshowName() const;
    int removeSlideshow(int i);
    void removeAllSlideshows();
    int moveSlideshowUp(int i);
    int moveSlideshowDown(int i);
    int setCurrentSlideshow(int i);
    int renameSlideshow(const std::string& oldName, const std::string& newName);
    void applyDefaultsToAllPictures();

    // The disc's format: the standard of new pictures and the aspect.
    VideoFormat videoFormat() const { return preferences_.videoFormat(); }
    // Makes `format` the disc's for this run: the defaults, the subpicture
    // standard and every picture take its standard (one disc has one), and
    // the frame counts follow. Nothing else of the pictures changes. True
    // when the format was another one (the menu must then be made again).
    bool changeVideoFormat(VideoFormat format);
    void estimateDiscSize();
    bool isOverDiscLimit() const { return sizeEstimate > kDiscLimitMegabytes; }
    int totalSeconds() const;
    int longestSlideshowSeconds() const;
    int pictureCount() const;
    std::filesystem::path firstSoundtrack() const;
    void numberSlideshowOutputs();
    // Moves the temporary files into W'/temp. Only after every file has
    // moved is the old temporary folder deleted; false (with nothing lost and
    // the project still on the old folder) when a file cannot be moved.
    bool changeWorkingFolder(const std::filesystem::path& workingFolder);

  private:
    Slideshow* findSlideshow(const std::string& name);
    void renumber();
    int fps() const;

    ProjectContext& context_;
    Preferences& preferences_;
    WorkingFolders folders_;
    ResourcePaths resources_;
};

}  // namespace velmora
