#include "base/app_folders.h"

#include "base/working_folder_claim.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

fs::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path();
}

// The number after `prefix` in `name` as atoi reads it: leading digits,
// 0 when there are none.
long numberAfter(std::string_view name, std::string_view prefix) {
    return std::atol(std::string(name.substr(prefix.size())).c_str());
}

}  // namespace

AppFolders AppFolders::fromEnvironment(const fs::path& executable) {
    AppFolders folders;
    folders.userFolder = environmentPath("VELMORA_HOME");
    if (folders.userFolder.empty()) {
        fs::path data = environmentPath("XDG_DATA_HOME");
        if (data.empty()) data = environmentPath("HOME") / ".local" / "share";
        folders.userFolder = data / "velmora";
    }
    folders.resourceFolder = environmentPath("VELMORA_DATA");
    if (folders.resourceFolder.empty()) {
        folders.resourceFolder =
            (executable.parent_path() / ".." / "share" / "velmora").lexically_normal();
    }
    return folders;
}

ResourcePaths ResourcePaths::under(const AppFolders& folders) {
    const fs::path& u = folders.userFolder;
    const fs::path& r = folders.resourceFolder;
    ResourcePaths paths;
    paths.preferencesFile = u / "referenceFile.xml";
    paths.logFile = u / "log.txt";
    paths.ntscMenuBackground = r / "menu_pic" / "ntsc_menu_background.jpg";
    paths.palMenuBackground = r / "menu_pic" / "pal_menu_background.jpg";
    paths.defaultMusic = r / "menu_pic" / "default.mp3";
    paths.ntscSubpictureCanvas = r / "menu_pic" / "NTSC_BG.png";
    paths.palSubpictureCanvas = r / "menu_pic" / "PAL_BG.png";
    paths.silence = r / "menu_pic" / "silent.mp2";
    paths.previewFirstPicture = r / "menu_pic" / "0.jpg";
    paths.previewSecondPicture = r / "menu_pic" / "1.jpg";
    paths.defaultPicture = r / "res" / "defaultImage.bmp";
    paths.pictureFrame1 = r / "res" / "PictureFrame1.jpg";
    paths.pictureFrame2 = r / "res" / "PictureFrame2.jpg";
    paths.background1 = r / "res" / "background1.jpg";
    paths.background2 = r / "res" / "background2.jpg";
    paths.tipsFile = r / "Tips.txt";
    paths.themeFolder = r / "theme";
    paths.effectCoverFolder = r / "EffectCover";
    paths.decorationFolder = r / "decorate_pics";
    return paths;
}

WorkingFolders WorkingFolders::inside(const fs::path& workingFolder) {
    return {workingFolder, workingFolder / "temp", workingFolder / "dvd"};
}

bool WorkingFolders::create() const {
    std::error_code error;
    fs::create_directories(working, error);
    if (!markWorkingFolder(working)) return false;
    for (const fs::path& folder : {temporary, output}) {
        fs::create_directories(folder, error);
        if (!fs::is_directory(folder, error)) return false;
    }
    return true;
}

fs::path nextWorkingFolder(const fs::path& userFolder) {
    constexpr std::string_view kPrefix = "Project_";
    long largest = 0;
    std::error_code error;
    for (fs::directory_iterator it(userFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(kPrefix)) largest = std::max(largest, numberAfter(name, kPrefix));
    }
    return userFolder / ("Project_" + std::to_string(largest + 1));
}

fs::path defaultProjectFile(const fs::path& userFolder) {
    std::error_code error;
    for (long n = 0;; ++n) {
        fs::path candidate = userFolder / ("project" + std::to_string(n) + ".prg");
        if (!fs::exists(candidate, error)) return candidate;
    }
}

bool deleteFolderTree(const fs::path& folder) {
    std::error_code error;
    fs::remove_all(folder, error);
    if (!error && !fs::exists(folder, error)) return true;
    fs::remove_all(folder, error);
    return false;
}

void discardUnsavedWorkingFolder(const WorkingFolders& folders, const fs::path& projectFile) {
    std::error_code error;
    if (fs::exists(projectFile, error)) return;
    // Only a folder this program made, and only its own temp folder.
    if (!isMarkedWorkingFolder(folders.working) ||
        folders.temporary.lexically_normal() != (folders.working / "temp").lexically_normal())
        return;
    deleteFolderTree(folders.temporary);
    // fs::remove takes only empty folders, which is what is wanted here: a
    // finished DVD in the working folder's dvd folder stays, in a folder that
    // is no longer marked, so no later start-up takes it for leftovers. An
    // output folder elsewhere is the user's and is not touched.
    fs::remove(folders.working / "dvd", error);
    fs::remove(folders.working / kSavedProjectMark, error);
    fs::remove(folders.working / kWorkingFolderMark, error);
    fs::remove(folders.working, error);
}

}  // namespace velmora
