#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// The two folders the program works from. The user folder holds what the
// program writes (project folders Project_N, project files projectN.prg,
// the log and the preferences); the resource folder holds the read-only
// data it was installed with (menu backgrounds, themes, music, pictures).
struct AppFolders {
    std::filesystem::path userFolder;      // U
    std::filesystem::path resourceFolder;  // R

    // U is $VELMORA_HOME, else $XDG_DATA_HOME/velmora, else
    // ~/.local/share/velmora. R is $VELMORA_DATA, else ../share/velmora
    // beside the folder of `executable`.
    static AppFolders fromEnvironment(const std::filesystem::path& executable);
};

// The files of the installation and of the user folder that the program
// addresses by fixed names.
struct ResourcePaths {
    std::filesystem::path preferencesFile;       // U/referenceFile.xml
    std::filesystem::path logFile;               // U/log.txt
    std::filesystem::path ntscMenuBackground;    // R/menu_pic/ntsc_menu_background.jpg
    std::filesystem::path palMenuBackground;     // R/menu_pic/pal_menu_background.jpg
    std::filesystem::path defaultMusic;          // R/menu_pic/default.mp3
    std::filesystem::path ntscSubpictureCanvas;  // R/menu_pic/NTSC_BG.png
    std::filesystem::path palSubpictureCanvas;   // R/menu_pic/PAL_BG.png
    std::filesystem::path silence;               // R/menu_pic/silent.mp2
    std::filesystem::path previewFirstPicture;   // R/menu_pic/0.jpg
    std::filesystem::path previewSecondPicture;  // R/menu_pic/1.jpg
    std::filesystem::path defaultPicture;        // R/res/defaultImage.bmp
    std::filesystem::path pictureFrame1;         // R/res/PictureFrame1.jpg
    std::filesystem::path pictureFrame2;         // R/res/PictureFrame2.jpg
    std::filesystem::path background1;           // R/res/background1.jpg
    std::filesystem::path background2;           // R/res/background2.jpg
    std::filesystem::path tipsFile;              // R/Tips.txt
    std::filesystem::path themeFolder;           // R/theme
    std::filesystem::path effectCoverFolder;     // R/EffectCover
    std::filesystem::path decorationFolder;      // R/decorate_pics

    static ResourcePaths under(const AppFolders& folders);
};

// The folders of one run: the working folder W = Project_N with its
// temporary folder T = W/temp and output folder O = W/dvd.
struct WorkingFolders {
    std::filesystem::path working;
    std::filesystem::path temporary;
    std::filesystem::path output;

    static WorkingFolders inside(const std::filesystem::path& workingFolder);
    // Creates W (marked as ours), T and O; false when one cannot be made.
    bool create() const;
};

// U/Project_N with N one more than the largest number after "Project_"
// among the entries of U (read as atoi reads it; Project_1 when there are
// none). Numbers compare as numbers: after Project_10 comes Project_11.
std::filesystem::path nextWorkingFolder(const std::filesystem::path& userFolder);

// U/projectN.prg for the first N from 0 whose file does not exist.
std::filesystem::path defaultProjectFile(const std::filesystem::path& userFolder);

// Deletes the folder and everything in it. On failure a second attempt is
// made and the result is false.
bool deleteFolderTree(const std::filesystem::path& folder);

// For a run whose project was never saved (its project file does not exist):
// deletes T with everything in it, then removes W/dvd and W if they are empty.
// Nothing happens to a folder that is not a marked working folder of ours.
void discardUnsavedWorkingFolder(const WorkingFolders& folders,
                                 const std::filesystem::path& projectFile);

}  // namespace velmora
