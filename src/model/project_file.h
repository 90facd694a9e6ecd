#pragma once

#include <filesystem>
#include <string>

namespace velmora {

class Log;
class MarkupDocument;
class PreferencesFile;
class Project;
class RandomSource;
struct Preferences;

// A part of the project file that a layer above the model keeps: the menu.
// The model writes and finds its element; the section writes and reads what
// is inside.
class ProjectFileSection {
  public:
    virtual ~ProjectFileSection() = default;
    // Appends the section's elements inside the document's current parent.
    virtual void saveSection(MarkupDocument& doc) const = 0;
    // Reads the section's elements; the document has entered its element.
    virtual void loadSection(MarkupDocument& doc) = 0;
};

// True when `file` begins like a project file (its root element), whatever
// its name: ".prg" is used by other programs too.
bool looksLikeProjectFile(const std::filesystem::path& file);

// The project file: one markup document (root "rorevav") holding the paths
// of the run, every slideshow with its pictures, settings, edits and music,
// and the menu. It holds paths, never the pictures or sounds themselves.
class ProjectFile {
  public:
    static constexpr const char* kMenuElement = "roroMenu";
    static constexpr const char* kAspectElement = "Aspect Ratio";

    ProjectFile(Project& project, Preferences& preferences, const PreferencesFile& preferencesFile,
                ProjectFileSection& menu, const Log& log);

    // Writes the project to its projectFilePath when it is modified; false
    // (writing nothing) when it is not. The file is replaced only once the
    // new text is completely on disk; a failed write keeps the old file and
    // the modified flag and tells the user why. With showMessage a written
    // file is announced.
    bool saveProject(bool showMessage);

    // Writes the project as it stands to `file` (through a temporary file
    // beside it) and changes nothing else: not the project's file name, not
    // its modified flag, not its working folder's saved mark, and nothing is
    // shown. False with *error naming the file and the reason. Copies that
    // are not the user's project, such as the crash recovery, are written so.
    bool writeCopy(const std::filesystem::path& file, std::string* error) const;

    // Reads projectFilePath into the (emptied) project. Pictures and music
    // that are gone are dropped one by one; a required element that is
    // missing stops the reading with false and keeps what was read before.
    bool loadProject();

  private:
    Project& project_;
    Preferences& preferences_;
    const PreferencesFile& preferencesFile_;
    ProjectFileSection& menu_;
    const Log& log_;
};

}  // namespace velmora
