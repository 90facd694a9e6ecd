#include "workspace/application.h"

#include "core/path_text.h"

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
    preferencesFile.loadPreferences(preferences, random);
    const WorkingFolders& working = project.folders();
    menu.setMenuMusic(resources.defaultMusic, working.working, context);
    project.projectFilePath = defaultProjectFile(folders.userFolder);
    catalogue.loadThemes(resources.themeFolder, log);
    if (!working.create()) {
        *reason = "The working folder " + quotedPath(working.working) + " cannot be created.";
        return false;
    }
    return true;
}

}  // namespace velmora
