#include "model/settings_save.h"

#include "model/preferences.h"
#include "model/project.h"

namespace velmora {

SettingsSaveResult saveSettings(const SettingsChoice& choice, Project& project,
                                Preferences& preferences, const PreferencesFile& file,
                                RandomSource& random) {
    SettingsSaveResult result;
    // A folder that cannot be used leaves everything where it is.
    result.folderMoved = project.changeWorkingFolder(choice.workingFolder);
    if (result.folderMoved) {
        preferences.workingFolder = choice.workingFolder;
        preferences.outputFolder = choice.workingFolder / "dvd";
    }

    preferences.useNation = choice.useNation;
    preferences.nationName = choice.nationName;
    const TvStandard tvStandard = choice.ntsc ? TvStandard::Ntsc : TvStandard::Pal;
    const bool standardChanged = preferences.defaults.tvStandard != tvStandard;
    preferences.nationTvStandard = tvStandard;
    preferences.tvFormat = tvStandard;
    preferences.defaults.tvStandard = tvStandard;
    const bool aspectChanged =
        choice.aspectRatio.has_value() && *choice.aspectRatio != preferences.aspectRatio;
    if (choice.aspectRatio.has_value()) preferences.aspectRatio = *choice.aspectRatio;
    if (standardChanged || aspectChanged) {
        project.flags().menuStale = true;
        result.menuMustBeRebuilt = true;
    }

    preferences.loopAudio = choice.loopAudio;
    preferences.randomImageEffect = choice.randomImageEffect;
    preferences.randomTransition = choice.randomTransition;
    EffectSetting& defaults = preferences.defaults.effect;
    defaults.transition =
        makeTransition(choice.randomTransition ? TransitionKind::Random : TransitionKind::Alpha);

    const int previousDisplayTime = defaults.displayTime;
    const int previousTransitionTime = defaults.transitionTime;
    defaults.displayTime = choice.displayTime;
    defaults.transitionTime = choice.transitionTime.value_or(previousTransitionTime);
    project.applyDefaultsToAllPictures();
    if (project.isOverDiscLimit()) {
        defaults.displayTime = previousDisplayTime;
        defaults.transitionTime = previousTransitionTime;
        project.applyDefaultsToAllPictures();
        result.displayTimeRolledBack = true;
    }

    result.preferencesWritten = file.savePreferences(preferences, random);
    return result;
}

}  // namespace velmora
