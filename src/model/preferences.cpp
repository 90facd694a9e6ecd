#include "model/preferences.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <system_error>

#include "base/decimal_text.h"
#include "base/markup_document.h"
#include "base/markup_file.h"
#include "base/random_generator.h"
#include "model/motion_effect.h"

namespace velmora {

namespace {

// A preferences file is a few kilobytes; anything far larger is refused
// before it is read into memory.
constexpr std::int64_t kLargestPreferencesFileBytes = 1024 * 1024;

constexpr TvStandard P = TvStandard::Pal;
constexpr TvStandard N = TvStandard::Ntsc;

// The names are kept as the dialog has always shown them.
constexpr std::array<Nation, kNationCount> kNations = {{
    {"Algeria", P},     {"Argentina", P},   {"Australia", P},      {"Austria", P},
    {"Banglandesh", P}, {"Belgium", P},     {"Bolivia", N},        {"Brazil", P},
    {"Bulgaria", P},    {"Canada", N},      {"Chile", N},          {"China", P},
    {"Colombia", N},    {"Congo", P},       {"CostaRica", N},      {"Cuba", N},
    {"Cyprus", P},      {"Denmark", P},     {"Egypt", P},          {"Finland", P},
    {"France", P},      {"Germany", P},     {"Gibraltar", P},      {"Greece", P},
    {"Haiti", N},       {"Honduras", N},    {"HungKong", P},       {"Hungry", P},
    {"Iceland", P},     {"India", P},       {"Indonesia", P},      {"Irag", P},
    {"Ireland", P},     {"Israel", P},      {"Italy", P},          {"Jamaica", N},
    {"Japan", N},       {"Jordan", P},      {"Kenya", P},          {"North Korea", P},
    {"South Korea", N}, {"Kuwait", P},      {"Lebanon", P},        {"Liberia", P},
    {"Libya", P},       {"Luxembourg", P},  {"Macau", P},          {"Madagascar", P},
    {"Malaysia", P},    {"Mexico", N},      {"Monaco", P},         {"Morocco", P},
    {"Netherlands", P}, {"NewZealand", P},  {"Niger", P},          {"Nigeria", P},
    {"Norway", P},      {"Pakistan", P},    {"Panama", N},         {"Paraguay", P},
    {"Peru", N},        {"Philippines", N}, {"Poland", P},         {"Portugnl", P},
    {"Qatar", P},       {"Romania", P},     {"SandiArabia", P},    {"Smgapore", P},
    {"Spain", P},       {"SriLanka", P},    {"Sudan", P},          {"Swaden,", P},
    {"Switzerland", P}, {"Syria", P},       {"TaiWan,", N},        {"Tanzania", P},
    {"Tnailand", P},    {"Togo", P},        {"Tunisia", P},        {"Turkey,", P},
    {"U.S.A", N},       {"U.S.S.R", P},     {"UnitedKingdom,", P}, {"Uruguay", P},
    {"Venezuela", N},   {"Yugoslavie,", P}, {"Zaire", P},          {"Zambia,", P},
    {"Zran", P},
}};

std::string flag(bool value) {
    return value ? "1" : "0";
}

// Folder names compared as folders: "/a/b/" and "/a/b" are the same.
bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    auto normal = [](const std::filesystem::path& p) {
        std::filesystem::path n = p.lexically_normal();
        return n.has_filename() ? n : n.parent_path();
    };
    return normal(a) == normal(b);
}

// A hand-edited or damaged file can hold any number: every value is held to
// what the program itself would write, before anything uses it or a saved
// project carries it on.
void clampValues(Preferences& preferences) {
    EffectSetting& effect = preferences.defaults.effect;
    effect.displayTime = std::clamp(effect.displayTime, 0, kLongestDisplaySeconds);
    effect.transitionTime = std::clamp(effect.transitionTime, 0, kLongestTransitionSeconds);
}

// Reads the keys of the file in order into `preferences`. False at the first
// missing key (what was read stays), or when the file belongs to another
// application folder (then *foreign is set).
bool readKeys(MarkupDocument& doc, Preferences& preferences, bool* foreign) {
    auto text = [&](std::string_view key, std::string* value) {
        if (!doc.findNext(key)) return false;
        *value = doc.currentText();
        return true;
    };
    auto number = [&](std::string_view key, int* value) {
        std::string raw;
        if (!text(key, &raw)) return false;
        *value = decimalValue(raw);
        return true;
    };
    // Standards and aspects beyond the two are held to the nearer one.
    auto standard = [&](std::string_view key, TvStandard* value) {
        int raw = 0;
        if (!number(key, &raw)) return false;
        *value = tvStandardFromNumber(raw);
        return true;
    };
    auto aspect = [&](std::string_view key, AspectRatio* value) {
        int raw = 0;
        if (!number(key, &raw)) return false;
        *value = aspectRatioFromNumber(raw);
        return true;
    };
    auto boolean = [&](std::string_view key, bool* value) {
        int raw = 0;
        if (!number(key, &raw)) return false;
        *value = raw != 0;
        return true;
    };
    auto path = [&](std::string_view key, std::filesystem::path* value) {
        std::string raw;
        if (!text(key, &raw)) return false;
        *value = raw;
        return true;
    };

    int runCount = 0;
    if (!number("RunTimes", &runCount)) return false;
    // A count that does not go up (it ran past the largest int) starts over at 3.
    const int64_t next = int64_t(runCount) + 1;
    preferences.runCount = next < 0 || next > INT_MAX ? 3 : int(next);
    std::string applicationFolder;
    if (!text("AppPath", &applicationFolder)) return false;
    if (!sameFolder(applicationFolder, preferences.applicationFolder)) {
        *foreign = true;
        return false;
    }
    std::string ignored;
    return text("workingPath", &ignored) && text("outputPath", &ignored) &&
           standard("isNtsc", &preferences.defaults.tvStandard) &&
           aspect("AspectRatio", &preferences.aspectRatio) &&
           number("transmitTime", &preferences.defaults.effect.transitionTime) &&
           number("singleTime", &preferences.defaults.effect.displayTime) &&
           path("FDSearchPath", &preferences.pictureFolder) &&
           boolean("IsUseNation", &preferences.useNation) &&
           text("NationName", &preferences.nationName) &&
           standard("NationTVFormat", &preferences.nationTvStandard) &&
           standard("TVFormat", &preferences.tvFormat) &&
           boolean("LoopAudio", &preferences.loopAudio) &&
           boolean("RandomImageEffect", &preferences.randomImageEffect) &&
           boolean("RandomTransition", &preferences.randomTransition) &&
           path("DefaultImage", &preferences.defaultImage);
}

}  // namespace

const std::array<Nation, kNationCount>& nationTable() {
    return kNations;
}

Preferences Preferences::initial(const std::filesystem::path& applicationFolder,
                                 const std::filesystem::path& defaultImage) {
    Preferences preferences;
    preferences.applicationFolder = applicationFolder;
    preferences.pictureFolder = applicationFolder;
    preferences.defaultImage = defaultImage;
    return preferences;
}

void Preferences::rebuildDefaultEffect(RandomSource& random) {
    EffectSetting& effect = defaults.effect;
    effect.motionCategory =
        randomImageEffect ? int(MotionCategory::PanZoomRotate) : int(MotionCategory::None);
    effect.motionEffect = drawMotionEffect(effect.motionCategory, random);
    effect.transition =
        makeTransition(randomTransition ? TransitionKind::Random : TransitionKind::Alpha);
}

int PreferencesFile::loadPreferences(Preferences& preferences, RandomSource& random) const {
    std::string error;
    const std::optional<MarkupFileText> text =
        readMarkupFile(file_, &error, kLargestPreferencesFileBytes);
    if (!text) return savePreferences(preferences, random);
    if (text->endsEarly()) return -1;  // embedded zero characters: leave the file alone

    MarkupDocument doc;
    if (!doc.parseText(text->text)) return -1;
    if (doc.findNext("reference") && doc.enter() && doc.findNext("VERSION") &&
        doc.currentText() == kVersion) {
        bool foreign = false;
        const bool complete = readKeys(doc, preferences, &foreign);
        clampValues(preferences);
        if (complete) {
            preferences.rebuildDefaultEffect(random);
            if (preferences.catalogue.load(doc)) return savePreferences(preferences, random);
        } else if (foreign) {
            std::error_code ignored;
            std::filesystem::remove(file_, ignored);
        }
    }
    return savePreferences(preferences, random);
}

int PreferencesFile::savePreferences(Preferences& preferences, RandomSource& random) const {
    const SlideSettings& defaults = preferences.defaults;
    MarkupDocument doc;
    doc.appendElement("reference");
    const std::pair<std::string_view, std::string> keys[] = {
        {"VERSION", std::string(kVersion)},
        {"RunTimes", std::to_string(preferences.runCount)},
        {"AppPath", preferences.applicationFolder.string()},
        {"workingPath", preferences.workingFolder.string()},
        {"outputPath", preferences.outputFolder.string()},
        {"isNtsc", std::to_string(int(defaults.tvStandard))},
        {"AspectRatio", std::to_string(int(preferences.aspectRatio))},
        {"transmitTime", std::to_string(defaults.effect.transitionTime)},
        {"singleTime", std::to_string(defaults.effect.displayTime)},
        {"FDSearchPath", preferences.pictureFolder.string()},
        {"IsUseNation", flag(preferences.useNation)},
        {"NationName", preferences.nationName},
        {"NationTVFormat", std::to_string(int(preferences.nationTvStandard))},
        {"TVFormat", std::to_string(int(preferences.tvFormat))},
        {"LoopAudio", flag(preferences.loopAudio)},
        {"RandomImageEffect", flag(preferences.randomImageEffect)},
        {"RandomTransition", flag(preferences.randomTransition)},
        {"DefaultImage", preferences.defaultImage.string()},
    };
    for (const auto& [key, value] : keys)
        doc.appendChild(key, value);
    doc.enter();
    preferences.catalogue.save(doc);

    std::string error;
    if (!writeMarkupFile(file_, doc.doc(), &error)) return -1;
    preferences.rebuildDefaultEffect(random);
    return 0;
}

}  // namespace velmora
