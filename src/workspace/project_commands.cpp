#include "workspace/project_commands.h"

#include "base/notifier.h"
#include "workspace/application.h"

namespace velmora {

namespace {

constexpr const char* kQuery = "Query";

}  // namespace

ProjectCommands::ProjectCommands(Application& app, Notifier& notifier, ProjectCommandHost& host)
    : app_(app), notifier_(notifier), host_(host) {}

bool ProjectCommands::offerToSaveBeforeReplacing() {
    if (!app_.project.flags().modified) return true;
    switch (notifier_.ask("Do you want save this project?", kQuery, NotifierButtons::YesNoCancel)) {
        case NotifierAnswer::Yes:
            host_.refreshMenu();
            return app_.session.saveProject(true);
        case NotifierAnswer::No:
            return true;
        case NotifierAnswer::Cancel:
            return false;
    }
    return false;
}

bool ProjectCommands::newProject() {
    if (!offerToSaveBeforeReplacing()) return false;
    host_.stopPreviews();
    app_.session.startNewProject();
    app_.project.estimateDiscSize();
    host_.refreshCurrentPage();
    return true;
}

bool ProjectCommands::openProject() {
    const std::optional<std::filesystem::path> file =
        host_.chooseProjectToOpen(app_.folders.userFolder);
    return file && openProjectFile(*file);
}

bool ProjectCommands::openProjectFile(const std::filesystem::path& file) {
    if (!offerToSaveBeforeReplacing()) return false;
    host_.stopPreviews();
    // A file that cannot be read leaves an empty project; the reading logs why.
    app_.session.openProject(file);
    app_.project.estimateDiscSize();
    host_.refreshCurrentPage();
    return true;
}

void ProjectCommands::saveProject() {
    host_.refreshMenu();
    app_.session.saveProject(true);
}

void ProjectCommands::saveProjectAs() {
    const std::optional<std::filesystem::path> file =
        host_.chooseProjectToSave(app_.folders.userFolder);
    if (!file) return;
    host_.refreshMenu();
    app_.session.saveProjectAs(*file, true);
}

bool ProjectCommands::stopBuildFirst() {
    if (!host_.isBuilding()) return true;
    if (notifier_.ask("Do you want to stop making DVD", kQuery, NotifierButtons::YesNo) !=
        NotifierAnswer::Yes)
        return false;
    host_.stopBuild();
    return true;
}

bool ProjectCommands::agreeToQuit(bool askEvenWhenSaved) {
    if (app_.project.flags().modified) {
        switch (notifier_.ask("Do you want to save this project?", kQuery,
                              NotifierButtons::YesNoCancel)) {
            case NotifierAnswer::Yes:
                // A save that failed keeps the window: leaving now would lose the work.
                return app_.session.saveProject(true);
            case NotifierAnswer::No:
                return true;
            case NotifierAnswer::Cancel:
                return false;
        }
    }
    return !askEvenWhenSaved || notifier_.ask("Do you want to quit?", kQuery,
                                              NotifierButtons::YesNo) == NotifierAnswer::Yes;
}

bool ProjectCommands::exitRequested() {
    if (!stopBuildFirst()) return false;
    app_.preferencesFile.savePreferences(app_.preferences, app_.random);
    if (!agreeToQuit(false)) return false;
    app_.log.writeLog("Quit software!");
    return true;
}

bool ProjectCommands::closeRequested() {
    if (!stopBuildFirst()) return false;
    app_.preferencesFile.savePreferences(app_.preferences, app_.random);
    if (!agreeToQuit(true)) return false;
    app_.log.writeLog("Quite software!");
    host_.stopPreviews();
    app_.session.discardWorkingFolderIfUnsaved();
    return true;
}

}  // namespace velmora
