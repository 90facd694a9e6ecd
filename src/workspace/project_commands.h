#pragma once

#include <filesystem>
#include <optional>

namespace velmora {

class Application;
class Notifier;

// What the project commands need from the window around them: its file
// dialogs, the pages that hold previews and menus, and the build.
class ProjectCommandHost {
  public:
    virtual ~ProjectCommandHost() = default;
    // The file dialogs, filtered to project files; nothing when cancelled.
    virtual std::optional<std::filesystem::path> chooseProjectToOpen(
        const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> chooseProjectToSave(
        const std::filesystem::path& startFolder) = 0;
    // The menu pages brought up to date before the project is written.
    virtual void refreshMenu() = 0;
    virtual void stopPreviews() = 0;
    virtual void refreshCurrentPage() = 0;
    virtual bool isBuilding() const = 0;
    virtual void stopBuild() = 0;
};

// The Project menu's commands with their questions, and the two ways of
// leaving (Exit and the close box). Everything the user is asked goes
// through the Notifier, every file through the host, so tests answer both.
class ProjectCommands {
  public:
    ProjectCommands(Application& app, Notifier& notifier, ProjectCommandHost& host);

    // New and Open: false when the user cancelled (nothing changed).
    bool newProject();
    bool openProject();                                       // asks for the file
    bool openProjectFile(const std::filesystem::path& file);  // the file chosen
    void saveProject();
    void saveProjectAs();

    // Exit: true when the window is to close (the preferences are written
    // whatever the answer; an unsaved project's folder stays).
    bool exitRequested();
    // The close box and Escape: true when the window is to close, after the
    // previews stopped and an unsaved project's working folder went.
    bool closeRequested();

  private:
    // "Yes" saves (false when that failed), "No" goes on, "Cancel" stops.
    bool offerToSaveBeforeReplacing();
    bool stopBuildFirst();
    // The quit questions: true when the user lets the window close.
    bool agreeToQuit(bool askEvenWhenSaved);

    Application& app_;
    Notifier& notifier_;
    ProjectCommandHost& host_;
};

}  // namespace velmora
