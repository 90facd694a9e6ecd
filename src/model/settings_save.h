#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "interfaces/video_format.h"

namespace velmora {

class PreferencesFile;
class Project;
class RandomSource;
struct Preferences;

// What the settings dialog holds when the user presses "Save".
struct SettingsChoice {
    std::filesystem::path workingFolder;     // the output folder edit
    bool useNation = false;                  // the country mode is checked
    std::string nationName;                  // the country list's text
    bool ntsc = true;                        // NTSC is checked (else PAL)
    std::optional<AspectRatio> aspectRatio;  // none when neither is checked
    bool loopAudio = true;
    bool randomImageEffect = false;
    bool randomTransition = true;
    int displayTime = 3;  // the photo duration, seconds
    // The transition duration, seconds; none keeps the current default. A
    // list the user can change must not be ignored, so the dialog passes it.
    std::optional<int> transitionTime;
};

struct SettingsSaveResult {
    bool folderMoved = true;         // false: the folder could not be used, files stay put
    bool menuMustBeRebuilt = false;  // the TV standard or the aspect ratio changed
    // The new photo (and transition) duration would overfill the disc.
    bool displayTimeRolledBack = false;
    int preferencesWritten = 0;  // savePreferences' result
};

// The "Save" of the settings dialog: moves the temporary files to the chosen
// folder, takes the TV standard, country, aspect ratio, flags and photo
// duration, hands the defaults to every picture (taking the photo duration
// back when the disc would be over its limit) and writes the preferences.
SettingsSaveResult saveSettings(const SettingsChoice& choice, Project& project,
                                Preferences& preferences, const PreferencesFile& file,
                                RandomSource& random);

}  // namespace velmora
