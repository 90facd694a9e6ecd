#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "base/app_folders.h"
#include "base/log.h"
#include "base/random_generator.h"
#include "menu/menu_set.h"
#include "menu/theme_catalogue.h"
#include "model/model_fakes.h"
#include "model/preferences.h"
#include "model/project.h"
#include "workspace/project_session.h"

namespace velmora::test {

// The services a project calls, faked: pictures are files that exist,
// music lengths come from a table.
struct ProjectServices {
    RandomGenerator random{7};
    FakePictureFiles pictures;
    FakeAudio audio;
    RecordingNotifier notifier;
    RecordingEvents events;
};

// One run's project with its menu and commands, working in
// userFolder/Project_<number>. Two of them over the same user folder stand
// for two runs of the program.
struct ProjectStack {
    ProjectStack(const std::filesystem::path& userFolder, ProjectServices& services, int number)
        : user(userFolder),
          context{{},
                  services.random,
                  services.pictures,
                  services.audio,
                  services.notifier,
                  services.events,
                  userFolder / "default.mp3"},
          folders(WorkingFolders::inside(userFolder / ("Project_" + std::to_string(number)))),
          project(context, preferences, folders, ResourcePaths::under({userFolder, userFolder})) {
        folders.create();
    }

    std::filesystem::path user;
    ProjectContext context;
    Preferences preferences = Preferences::initial(user, user / "defaultImage.bmp");
    PreferencesFile preferencesFile{user / "referenceFile.xml"};
    Log log{user / "log.txt"};
    WorkingFolders folders;
    Project project;
    MenuSet menu;
    ThemeCatalogue catalogue;
    ProjectSession session{{project, menu, catalogue, preferences, preferencesFile, log, user}};
};

inline std::filesystem::path writeFile(const std::filesystem::path& file,
                                       const std::string& content = std::string(2000, 'x')) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

}  // namespace velmora::test
