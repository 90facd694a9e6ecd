#pragma once

#include <filesystem>
#include <string>

#include "base/app_folders.h"
#include "base/log.h"
#include "base/random_generator.h"
#include "image/picture_files_service.h"
#include "menu/menu_set.h"
#include "menu/theme_catalogue.h"
#include "model/model_context.h"
#include "model/preferences.h"
#include "model/project.h"
#include "outside/ffmpeg_audio_converter.h"
#include "workspace/project_session.h"

namespace velmora {

class Notifier;

// The engine of one run: the folders, the log, the services the model
// calls, the preferences, the one project with its menu and the themes.
// The desktop program and the command-line builder each make one and talk
// to the user through the Notifier and ProjectEvents they pass in.
class Application {
  public:
    Application(const AppFolders& folders, Notifier& notifier, ProjectEvents& events);

    // The start of a run: removes the working folders that dead runs left,
    // reads the preferences (re-creating a missing or unreadable file),
    // claims W with its temporary and output folders, gives the menu its
    // default music and reads the themes. False with *reason when the
    // working folder cannot be created.
    bool start(std::string* reason);

    AppFolders folders;
    ResourcePaths resources;
    Log log;
    RandomGenerator random;
    PictureFilesService pictures;
    FfmpegAudioConverter audio;
    ProjectContext context;
    Preferences preferences;
    PreferencesFile preferencesFile;
    Project project;
    MenuSet menu;
    ThemeCatalogue catalogue;
    ProjectSession session;
};

}  // namespace velmora
