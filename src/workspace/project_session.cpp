#include "workspace/project_session.h"

#include "core/app_folders.h"
#include "core/project.h"
#include "menu/menu_set.h"

namespace velmora {

namespace fs = std::filesystem;

ProjectSession::ProjectSession(const ProjectSessionParts& parts)
    : parts_(parts),
      menuSection_(parts.menu, parts.catalogue),
      file_(parts.project, parts.preferences, parts.preferencesFile, menuSection_, parts.log) {}

// Only a Project_N folder of the user folder is ever deleted: an opened
// project may name any folder of the disk as its own.
void ProjectSession::discardUnsavedWork() {
    const WorkingFolders& folders = parts_.project.folders();
    const fs::path working = folders.working.lexically_normal();
    const bool ours = working.parent_path() == parts_.userFolder.lexically_normal() &&
                      working.filename().string().starts_with("Project_") &&
                      folders.temporary.lexically_normal() == working / "temp";
    if (ours) discardUnsavedWorkingFolder(folders, parts_.project.projectFilePath);
}

void ProjectSession::emptyProject() {
    parts_.project.removeAllSlideshows();
    parts_.menu.clearMenu();
}

bool ProjectSession::startNewProject() {
    discardUnsavedWork();
    emptyProject();
    Project& project = parts_.project;
    const WorkingFolders folders = WorkingFolders::inside(nextWorkingFolder(parts_.userFolder));
    project.setFolders(folders);
    parts_.menu.setMenuMusic(project.context().defaultMusic, folders.working, project.context());
    project.projectFilePath = defaultProjectFile(parts_.userFolder);
    return folders.create();
}

bool ProjectSession::openProject(const fs::path& file) {
    discardUnsavedWork();
    emptyProject();
    Project& project = parts_.project;
    project.projectFilePath = file;
    const bool read = file_.loadProject();
    project.authorScriptPath = project.folders().temporary / "author.xml";
    project.estimateDiscSize();
    return read;
}

bool ProjectSession::saveProjectAs(fs::path file, bool showMessage) {
    if (file.extension() != ".prg") file += ".prg";
    parts_.project.projectFilePath = file;
    parts_.project.flags().modified = true;
    return file_.saveProject(showMessage);
}

}  // namespace velmora
