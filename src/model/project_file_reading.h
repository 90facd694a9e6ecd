#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/markup_document.h"
#include "interfaces/video_format.h"

namespace velmora {

class Log;
class PreferencesFile;
class Project;
class ProjectFileSection;
class Slideshow;
struct Preferences;
struct SlideImage;
struct SlideSettings;
struct WorkingFolders;

// Element names of the picture edit kinds, by PictureEditKind value.
inline constexpr std::array<std::string_view, 8> kEditElementNames = {"Text",
                                                                      "Image",
                                                                      "Crop",
                                                                      "RotateLeft90",
                                                                      "RotateRight90",
                                                                      "Rotate180",
                                                                      "FlipHorizontally",
                                                                      "FlipVertically"};

// Reads one project file into the project, step by step. Each step either
// goes on or stops the whole reading (a required element is missing); what
// was read before a stop stays in the project.
class ProjectReader {
  public:
    ProjectReader(Project& project, Preferences& preferences,
                  const PreferencesFile& preferencesFile, ProjectFileSection& menu, const Log& log);

    bool read(const std::filesystem::path& file);

  private:
    enum class Step { GoOn, Stop };

    bool readFolders();
    void reloadPreferences(const std::string& storedFile);
    WorkingFolders acceptedFolders(const WorkingFolders& stored);
    std::string outputProblem(const std::filesystem::path& output, const WorkingFolders& folders);
    std::filesystem::path acceptedWorkingCopy(const std::filesystem::path& stored,
                                              const SlideImage& picture);
    Step readSlideshows();
    Step readSlideshow();
    void finishSlideshow(Slideshow& slideshow, int coverIndex);
    Step readAudio(Slideshow& slideshow);
    Step readPicture(Slideshow& slideshow);
    Step readSettings(SlideSettings& settings);
    Step readEdits(SlideImage& picture);
    void readMenu();
    void adoptVideoFormat();

    bool findText(std::string_view name, std::string* text);
    bool findNumber(std::string_view name, int* value);
    void returnTo(int elementIndex);

    MarkupDocument doc_;
    std::filesystem::path storedTemporary_;  // the temp folder the project names
    std::optional<AspectRatio> storedAspect_;
    Project& project_;
    Preferences& preferences_;
    const PreferencesFile& preferencesFile_;
    ProjectFileSection& menu_;
    const Log& log_;
};

}  // namespace velmora
