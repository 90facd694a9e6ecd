#pragma once

#include <filesystem>
#include <string>

#include "base/app_folders.h"
#include "base/working_folder_claim.h"
#include "menu/menu_set_file.h"
#include "model/project_file.h"

namespace velmora {

class Log;
class MenuSet;
class PreferencesFile;
class Project;
class ThemeCatalogue;
struct Preferences;

// What the project commands work on: the one project of the run with its
// menu, the theme catalogue, the preferences and the user folder U where new
// working folders and project files go.
struct ProjectSessionParts {
    Project& project;
    MenuSet& menu;
    ThemeCatalogue& catalogue;
    Preferences& preferences;
    const PreferencesFile& preferencesFile;
    const Log& log;
    std::filesystem::path userFolder;
};

// The model side of the New, Open, Save and Save As commands. The desktop
// program asks its questions and shows its file dialogs around these; the
// command-line builder calls them directly.
class ProjectSession {
  public:
    explicit ProjectSession(const ProjectSessionParts& parts);

    // The start of a run: claims a fresh Project_N with its temp and dvd
    // folders (the run holds it until it ends or works elsewhere) and makes
    // it the project's. False with *reason when no folder can be made.
    bool claimWorkingFolder(std::string* reason);

    // New: empties the project and the menu, sets up a freshly claimed
    // Project_N, the default menu music and the next free project file name,
    // and drops the previous working folder when it was never saved. False
    // when the folders cannot be created.
    bool startNewProject();

    // Open: empties the project and the menu and reads `file` into them,
    // in the project's own working folder when it is one Velmora made and
    // no other run holds, else in a fresh one; the previous working folder
    // goes when it was never saved. The result is the reading's; the project
    // holds what could be read either way.
    bool openProject(const std::filesystem::path& file);

    bool saveProject(bool showMessage) { return file_.saveProject(showMessage); }

    // A copy of the project as it stands, written to `file`; the project
    // keeps its file name, its modified flag and its folders, and nothing is
    // shown. False with *error naming the file and the reason.
    bool saveCopy(const std::filesystem::path& file, std::string* error) const {
        return file_.writeCopy(file, error);
    }

    // The end of a run by the close box: the working folder goes with what
    // it holds unless a saved project refers to it.
    void discardWorkingFolderIfUnsaved();

    // Save As: the project is saved under `file` (".prg" appended when the
    // name has another extension), whether or not it changed.
    bool saveProjectAs(std::filesystem::path file, bool showMessage);

  private:
    void discardUnsavedWork(const WorkingFolders& folders,
                            const std::filesystem::path& projectFile);
    void emptyProject();
    void adoptStoredFolders(const WorkingFolders& fresh);
    void repointSlideshowFiles(const std::filesystem::path& temporaryFolder);

    ProjectSessionParts parts_;
    WorkingFolderLock lock_;
    MenuFileSection menuSection_;
    ProjectFile file_;
};

}  // namespace velmora
