#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/effect_setting.h"
#include "model/transition_catalogue.h"

namespace velmora {

class RandomSource;

// A country and the TV standard its discs use.
struct Nation {
    std::string_view name;
    TvStandard tvStandard;
};
inline constexpr int kNationCount = 89;
// The countries in the order of the settings dialog's list.
const std::array<Nation, kNationCount>& nationTable();

// The user's lasting choices, kept in the preferences file. The TV standard
// and the default display and transition times live in `defaults`, the
// settings every new picture copies.
struct Preferences {
    int runCount = 0;                         // earlier starts
    std::filesystem::path applicationFolder;  // the user folder the file belongs to
    std::filesystem::path workingFolder;      // written, not read back
    std::filesystem::path outputFolder;       // written, not read back
    AspectRatio aspectRatio = AspectRatio::Standard;
    std::filesystem::path pictureFolder;  // where the picture dialog opens
    bool useNation = false;
    std::string nationName = "U.S.A";
    TvStandard nationTvStandard = TvStandard::Ntsc;
    TvStandard tvFormat = TvStandard::Ntsc;  // TV standard of the subpicture geometry
    bool loopAudio = true;
    bool randomImageEffect = false;
    bool randomTransition = true;
    std::filesystem::path defaultImage;
    SlideSettings defaults;         // tvStandard and the default EffectSetting
    TransitionCatalogue catalogue;  // the configured transition of every kind

    // The defaults of a first start in `applicationFolder`, with the default
    // picture from the resource folder.
    static Preferences initial(const std::filesystem::path& applicationFolder,
                               const std::filesystem::path& defaultImage);

    // The standard of new pictures with the aspect of the disc.
    VideoFormat videoFormat() const { return {defaults.tvStandard, aspectRatio}; }

    // Rebuilds the default EffectSetting from the two random flags: motion
    // category 3 (else 0) with an effect drawn from it, and the Random
    // transition (else Alpha with its defaults). The times stay.
    void rebuildDefaultEffect(RandomSource& random);
};

// The preferences file: one markup document, root `reference`.
class PreferencesFile {
  public:
    static constexpr std::string_view kVersion = "3.0.6";

    explicit PreferencesFile(std::filesystem::path file) : file_(std::move(file)) {}

    // Reads the file into `preferences` (whose applicationFolder is this
    // run's) and writes it back with runCount incremented. A missing file,
    // one of another version, one written for another application folder or
    // one whose keys stop part-way is replaced by the values in force; a
    // file with embedded zero characters is neither read nor replaced.
    // 0 when read or re-created; −1 when it could be neither.
    int loadPreferences(Preferences& preferences, RandomSource& random) const;

    // Writes the preferences (atomically: a crash never leaves half a
    // file) and then rebuilds the default EffectSetting. 0, or −1 when the
    // file could not be written.
    int savePreferences(Preferences& preferences, RandomSource& random) const;

    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
};

}  // namespace velmora
