#include "model/preferences.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/fixed_random.h"
#include "base/markup_document.h"
#include "model/transition_kinds.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class PreferencesTest : public ::testing::Test {
  protected:
    Preferences fresh() const { return Preferences::initial(folder_, "/r/res/defaultImage.bmp"); }
    std::string fileText() const {
        std::ifstream in(file_.file(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void writeFile(const std::string& text) const {
        std::ofstream(file_.file(), std::ios::binary) << text;
    }
    // The value of a key in the file as it stands.
    std::string keyInFile(std::string_view key) const {
        MarkupDocument doc;
        doc.parseText(fileText());
        doc.findNext("reference");
        doc.enter();
        return doc.findNext(key) ? doc.currentText() : "<missing>";
    }

    test::TemporaryFolder temporary_;
    const fs::path folder_ = temporary_.path();
    PreferencesFile file_{folder_ / "referenceFile.xml"};
    test::ScriptedRandom random_{{0}};
};

TEST_F(PreferencesTest, EveryStartCountsAndRewritesTheFile) {
    for (int start = 0; start < 4; ++start) {
        Preferences preferences = fresh();
        ASSERT_EQ(file_.loadPreferences(preferences, random_), 0);
        EXPECT_EQ(preferences.runCount, start);
        EXPECT_EQ(keyInFile("RunTimes"), std::to_string(start));
    }
    EXPECT_TRUE(fileText().starts_with(
        "<reference>\r\n<VERSION>3.0.6</VERSION>\r\n<RunTimes>3</RunTimes>\r\n"));
    EXPECT_NE(fileText().find("<EFFECT_SETS>"), std::string::npos);
}

TEST_F(PreferencesTest, EverythingSurvivesSaveAndLoad) {
    Preferences written = fresh();
    written.defaults.tvStandard = TvStandard::Pal;
    written.aspectRatio = AspectRatio::Wide;
    written.defaults.effect.transitionTime = 4;
    written.defaults.effect.displayTime = 9;
    written.pictureFolder = "/photos/2026";
    written.useNation = true;
    written.nationName = "Japan";
    written.nationTvStandard = TvStandard::Ntsc;
    written.tvFormat = TvStandard::Pal;
    written.loopAudio = false;
    written.randomImageEffect = true;
    written.randomTransition = false;
    written.catalogue.entry(3).setParameters(1, 6);
    ASSERT_EQ(file_.savePreferences(written, random_), 0);

    Preferences read = fresh();
    ASSERT_EQ(file_.loadPreferences(read, random_), 0);
    EXPECT_EQ(read.runCount, 1);
    EXPECT_EQ(read.defaults.tvStandard, TvStandard::Pal);
    EXPECT_EQ(read.aspectRatio, AspectRatio::Wide);
    EXPECT_EQ(read.defaults.effect.transitionTime, 4);
    EXPECT_EQ(read.defaults.effect.displayTime, 9);
    EXPECT_EQ(read.pictureFolder, "/photos/2026");
    EXPECT_TRUE(read.useNation);
    EXPECT_EQ(read.nationName, "Japan");
    EXPECT_EQ(read.tvFormat, TvStandard::Pal);
    EXPECT_FALSE(read.loopAudio);
    EXPECT_TRUE(read.randomImageEffect);
    EXPECT_FALSE(read.randomTransition);
    EXPECT_EQ(read.catalogue.entry(3).secondParameter(), 6);
    // The default effect follows the flags: category 3, an Alpha transition.
    EXPECT_EQ(read.defaults.effect.motionCategory, 3);
    EXPECT_EQ(read.defaults.effect.transition->kind(), TransitionKind::Alpha);
}

TEST_F(PreferencesTest, ForeignOldAndPartialFilesAreReplaced) {
    Preferences other = Preferences::initial("/elsewhere", "/r/res/defaultImage.bmp");
    other.runCount = 7;
    other.aspectRatio = AspectRatio::Wide;
    ASSERT_EQ(file_.savePreferences(other, random_), 0);
    Preferences mine = fresh();
    ASSERT_EQ(file_.loadPreferences(mine, random_), 0);
    EXPECT_EQ(mine.aspectRatio, AspectRatio::Standard);  // not taken from the other folder's file
    EXPECT_EQ(keyInFile("AppPath"), folder_.string());
    EXPECT_EQ(keyInFile("RunTimes"), "8");  // counted before the folder was compared

    writeFile("<reference><VERSION>2.0</VERSION><RunTimes>5</RunTimes></reference>");
    Preferences old = fresh();
    ASSERT_EQ(file_.loadPreferences(old, random_), 0);
    EXPECT_EQ(old.runCount, 0);
    EXPECT_EQ(keyInFile("VERSION"), "3.0.6");

    // Keys that stop after singleTime: what came before the gap is taken.
    writeFile("<reference><VERSION>3.0.6</VERSION><RunTimes>-5</RunTimes><AppPath>" +
              folder_.string() +
              "/</AppPath><workingPath/><outputPath/><isNtsc>1</isNtsc>"
              "<AspectRatio>1</AspectRatio><transmitTime>5</transmitTime>"
              "<singleTime>7</singleTime></reference>");
    Preferences partial = fresh();
    ASSERT_EQ(file_.loadPreferences(partial, random_), 0);
    EXPECT_EQ(partial.runCount, 3);  // -5 + 1 is below 0
    EXPECT_EQ(partial.defaults.tvStandard, TvStandard::Pal);
    EXPECT_EQ(partial.defaults.effect.displayTime, 7);
    EXPECT_TRUE(partial.loopAudio);
    EXPECT_EQ(keyInFile("DefaultImage"), "/r/res/defaultImage.bmp");  // rewritten whole
}

TEST_F(PreferencesTest, OutOfRangeValuesAreHeldToWhatTheProgramWrites) {
    Preferences written = fresh();
    ASSERT_EQ(file_.savePreferences(written, random_), 0);
    std::string text = fileText();
    const std::pair<std::string, std::string> hostile[] = {
        {"<singleTime>3</singleTime>", "<singleTime>2147483647</singleTime>"},
        {"<transmitTime>2</transmitTime>", "<transmitTime>-5</transmitTime>"},
        {"<isNtsc>0</isNtsc>", "<isNtsc>7</isNtsc>"},
        {"<AspectRatio>0</AspectRatio>", "<AspectRatio>-3</AspectRatio>"},
        {"<TVFormat>0</TVFormat>", "<TVFormat>9</TVFormat>"},
    };
    for (const auto& [from, to] : hostile) {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    writeFile(text);
    Preferences read = fresh();
    ASSERT_EQ(file_.loadPreferences(read, random_), 0);
    EXPECT_EQ(read.defaults.effect.displayTime, 3600);
    EXPECT_EQ(read.defaults.effect.transitionTime, 0);
    EXPECT_EQ(read.defaults.tvStandard, TvStandard::Pal);
    EXPECT_EQ(read.aspectRatio, AspectRatio::Standard);
    EXPECT_EQ(read.tvFormat, TvStandard::Pal);
    EXPECT_EQ(keyInFile("singleTime"), "3600");  // and so they are written back
    EXPECT_EQ(keyInFile("isNtsc"), "1");
}

TEST_F(PreferencesTest, ARunCountAtTheEndOfIntStartsOver) {
    Preferences written = fresh();
    written.runCount = 2147483647;
    ASSERT_EQ(file_.savePreferences(written, random_), 0);
    Preferences read = fresh();
    ASSERT_EQ(file_.loadPreferences(read, random_), 0);
    EXPECT_EQ(read.runCount, 3);
}

TEST_F(PreferencesTest, AFileWithEmbeddedZerosIsNeitherReadNorReplaced) {
    std::string wide = "\xFF\xFE<";
    wide += '\0';
    wide += std::string(200, 'x');
    writeFile(wide);
    Preferences preferences = fresh();
    EXPECT_EQ(file_.loadPreferences(preferences, random_), -1);
    EXPECT_EQ(fileText(), wide);

    writeFile("<reference><VERSION>3.0.6</VERSION><RunTimes>2</RunTimes>");  // unparsable
    EXPECT_EQ(file_.loadPreferences(preferences, random_), -1);

    const PreferencesFile nowhere(folder_ / "missing" / "referenceFile.xml");
    EXPECT_EQ(nowhere.loadPreferences(preferences, random_), -1);
}

TEST_F(PreferencesTest, DefaultEffectFollowsTheRandomFlags) {
    Preferences preferences = fresh();
    preferences.randomImageEffect = true;
    preferences.randomTransition = true;
    test::ScriptedRandom top({32767});
    preferences.rebuildDefaultEffect(top);
    EXPECT_EQ(preferences.defaults.effect.motionCategory, 3);
    EXPECT_EQ(preferences.defaults.effect.motionEffect, MotionEffectKind::ZoomOutAndRotate);
    EXPECT_EQ(preferences.defaults.effect.transition->kind(), TransitionKind::Random);
    preferences.randomImageEffect = false;
    preferences.randomTransition = false;
    preferences.rebuildDefaultEffect(top);
    EXPECT_EQ(preferences.defaults.effect.motionEffect, MotionEffectKind::None);
    EXPECT_EQ(preferences.defaults.effect.transition->kind(), TransitionKind::Alpha);
    EXPECT_EQ(preferences.defaults.effect.transition->firstParameter(), 0);
}

TEST(NationTable, CountriesAndTheirStandards) {
    const auto& nations = nationTable();
    EXPECT_EQ(nations.front().name, "Algeria");
    EXPECT_EQ(nations.back().name, "Zran");
    int ntsc = 0;
    for (const Nation& nation : nations)
        ntsc += nation.tvStandard == TvStandard::Ntsc;
    EXPECT_EQ(ntsc, 18);
    EXPECT_EQ(nations[36].name, "Japan");
    EXPECT_EQ(nations[36].tvStandard, TvStandard::Ntsc);
    EXPECT_EQ(nations[80].name, "U.S.A");
}

}  // namespace
}  // namespace velmora
