#include "workspace/project_session.h"

#include <utility>
#include <vector>

#include "base/app_folders.h"
#include "base/log.h"
#include "base/path_text.h"
#include "menu/menu_set.h"
#include "model/project.h"
#include "model/slide_image.h"

namespace velmora {

namespace fs = std::filesystem;

ProjectSession::ProjectSession(const ProjectSessionParts& parts)
    : parts_(parts),
      menuSection_(parts.menu, parts.catalogue),
      file_(parts.project, parts.preferences, parts.preferencesFile, menuSection_, parts.log) {}

// Only a Project_N folder of the user folder is ever deleted (and only a
// marked one, with its own temp folder: discardUnsavedWorkingFolder).
void ProjectSession::discardUnsavedWork(const WorkingFolders& folders,
                                        const fs::path& projectFile) {
    if (isOwnWorkingFolder(folders.working, parts_.userFolder))
        discardUnsavedWorkingFolder(folders, projectFile);
}

void ProjectSession::discardWorkingFolderIfUnsaved() {
    discardUnsavedWork(parts_.project.folders(), parts_.project.projectFilePath);
}

void ProjectSession::emptyProject() {
    parts_.project.removeAllSlideshows();
    parts_.menu.clearMenu();
}

bool ProjectSession::claimWorkingFolder(std::string* reason) {
    const std::optional<WorkingFolders> folders =
        velmora::claimWorkingFolder(parts_.userFolder, lock_, reason);
    if (!folders) return false;
    parts_.project.setFolders(*folders);
    return true;
}

bool ProjectSession::startNewProject() {
    discardUnsavedWork(parts_.project.folders(), parts_.project.projectFilePath);
    emptyProject();
    std::string reason;
    const bool claimed = claimWorkingFolder(&reason);
    if (!claimed) parts_.log.writeLog(reason);
    Project& project = parts_.project;
    const WorkingFolders& folders = project.folders();
    parts_.menu.setMenuMusic(project.context().defaultMusic, folders.working, project.context());
    project.projectFilePath = defaultProjectFile(parts_.userFolder);
    // Emptying the model marked it changed; a new project has nothing to save.
    project.flags() = {};
    return claimed;
}

bool ProjectSession::openProject(const fs::path& file) {
    discardUnsavedWork(parts_.project.folders(), parts_.project.projectFilePath);
    emptyProject();
    // The project is read into a fresh folder of this run, which it keeps
    // when the folders it names cannot be taken.
    std::string reason;
    if (!claimWorkingFolder(&reason)) parts_.log.writeLog(reason);
    const WorkingFolders fresh = parts_.project.folders();
    Project& project = parts_.project;
    project.projectFilePath = file;
    const bool read = file_.loadProject();
    adoptStoredFolders(fresh);
    if (project.folders().working != fresh.working) discardUnsavedWork(fresh, {});
    project.estimateDiscSize();
    if (read)
        parts_.log.writeLog("Project " + file.string() + " opened with " +
                            std::to_string(project.slideshows.size()) + " slideshows");
    return read;
}

// The project's own working folder is worked in when no other live run
// holds it; otherwise the fresh one, with the slideshows' files repointed
// (edited copies are only read and stay where they are). The menu's files
// are always those of the folder worked in, whatever the file said.
void ProjectSession::adoptStoredFolders(const WorkingFolders& fresh) {
    Project& project = parts_.project;
    WorkingFolders folders = project.folders();
    if (folders.working != fresh.working) {
        WorkingFolderLock stored;
        if (stored.acquire(folders.working)) {
            lock_ = std::move(stored);  // lets go of the fresh folder
        } else {
            parts_.log.writeLog("The working folder " + quotedPath(folders.working) +
                                " is in use by another run of Velmora; " +
                                quotedPath(fresh.working) + " is used.");
            const bool ownOutput = folders.output == WorkingFolders::inside(folders.working).output;
            folders.working = fresh.working;
            folders.temporary = fresh.temporary;
            if (ownOutput) folders.output = fresh.output;
            project.setFolders(folders);
            repointSlideshowFiles(folders.temporary);
        }
    }
    parts_.menu.repointMenuFiles(folders.temporary);
}

void ProjectSession::repointSlideshowFiles(const fs::path& temporaryFolder) {
    for (auto& slideshow : parts_.project.slideshows) {
        std::vector<fs::path> pictureFiles;
        for (const SlideImage& picture : slideshow->pictures)
            pictureFiles.push_back(picture.workingPath);
        slideshow->repointTempFiles(temporaryFolder);
        for (size_t i = 0; i < pictureFiles.size(); ++i)
            slideshow->pictures[i].workingPath = pictureFiles[i];
    }
}

bool ProjectSession::saveProjectAs(fs::path file, bool showMessage) {
    if (file.extension() != ".prg") file += ".prg";
    parts_.project.projectFilePath = file;
    parts_.project.flags().modified = true;
    return file_.saveProject(showMessage);
}

}  // namespace velmora
