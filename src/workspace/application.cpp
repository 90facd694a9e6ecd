#include "workspace/application.h"

#include "base/path_text.h"
#include "base/working_folder_claim.h"

namespace velmora {

Application::Application(const AppFolders& appFolders, Notifier& notifier, ProjectEvents& events)
    : folders(appFolders),
      resources(ResourcePaths::under(appFolders)),
      log(resources.logFile),
      random(RandomGenerator::seededFromClock()),
      audio(log),
      context{{}, random, pictures, audio, notifier, events, resources.defaultMusic},
      preferences(Preferences::initial(appFolders.userFolder, resources.defaultPicture)),
      preferencesFile(resources.preferencesFile),
      project(context, preferences,
              WorkingFolders::inside(nextWorkingFolder(appFolders.userFolder)), resources),
      session(
          {project, menu, catalogue, preferences, preferencesFile, log, appFolders.userFolder}) {}

bool Application::start(std::string* reason) {
    std::error_code ignored;
    std::filesystem::create_directories(folders.userFolder, ignored);
    for (const std::filesystem::path& leftover : removeAbandonedWorkingFolders(folders.userFolder))
        log.writeLog("Removed " + quotedPath(leftover) + ", left behind by a run that ended early");
    preferencesFile.loadPreferences(preferences, random);
    if (!session.claimWorkingFolder(reason)) return false;
    menu.setMenuMusic(resources.defaultMusic, project.folders().working, context);
    project.projectFilePath = defaultProjectFile(folders.userFolder);
    catalogue.loadThemes(resources.themeFolder, log);
    return true;
}

}  // namespace velmora
