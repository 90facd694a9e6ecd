#pragma once

#include <filesystem>

#include "core/project_file.h"
#include "menu/menu_set_file.h"

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

    // New: drops an unsaved working folder, empties the project and the menu,
    // and sets up a fresh Project_N with its temp and dvd folders, the
    // default menu music and the next free project file name. False when
    // the folders cannot be created.
    bool startNewProject();

    // Open: drops an unsaved working folder, empties the project and the
    // menu and reads `file` into them. The result is the reading's; the
    // project holds what could be read either way.
    bool openProject(const std::filesystem::path& file);

    bool saveProject(bool showMessage) { return file_.saveProject(showMessage); }

    // Save As: the project is saved under `file` (".prg" appended when the
    // name has another extension), whether or not it changed.
    bool saveProjectAs(std::filesystem::path file, bool showMessage);

  private:
    void discardUnsavedWork();
    void emptyProject();

    ProjectSessionParts parts_;
    MenuFileSection menuSection_;
    ProjectFile file_;
};

}  // namespace velmora
