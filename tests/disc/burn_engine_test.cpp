#include "disc/burn_engine.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "interfaces/disc_writer_library.h"
#include "interfaces/shutdown.h"
#include "model/model_fakes.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A writer whose medium, speeds and events the test decides.
class FakeWriter final : public DiscWriterLibrary {
  public:
    int init() override { return initResult; }
    void registerCallback(Callback callback) override { events = std::move(callback); }
    int dvdWritersCount() override { return int(names.size()); }
    std::string dvdWriterName(int index) override { return names[size_t(index)]; }
    void setWriter(int index) override { selectedWriter = index; }
    void setEnablePolling(bool on) override { polling = on; }
    int mediaType() override { return type; }
    int mediaStatus() override { return status; }
    std::vector<int> writeSpeeds() override { return speeds; }
    void setWriteSpeed(int speed) override { writeSpeed = speed; }
    int startWriting(const fs::path& folder, const std::string& label) override {
        writtenFolder = folder;
        writtenLabel = label;
        return 0;
    }
    void abortWrite() override { ++aborts; }
    void free() override { ++frees; }

    void report(WriterEvent event, int64_t value) { events(event, value, {}); }

    int initResult = 0;
    std::vector<std::string> names = {"Optical drive"};
    int type = 17, status = 0;
    std::vector<int> speeds = {1385, 2770, 5540};
    Callback events;
    int selectedWriter = -1, writeSpeed = 0, aborts = 0, frees = 0;
    bool polling = false;
    fs::path writtenFolder;
    std::string writtenLabel;
};

class RecordingBurnDisplay final : public BurnDisplay {
  public:
    void setWriterNames(const std::vector<std::string>& names, int) override { writers = names; }
    void setMediumText(std::string_view text) override { medium = text; }
    void setSpeedList(const std::vector<SpeedEntry>&, int selected) override {
        selectedSpeed = selected;
    }
    void setMainLabel(std::string_view text) override { mainLabel = text; }
    void setDetailLabel(std::string_view) override {}
    void setMainBar(int value) override { mainBar = value; }
    void setDetailBar(int) override {}
    void setButtonCaption(std::string_view text) override { caption = text; }
    void burnStarted() override { ++started; }
    void burnEnded() override { ++ended; }

    std::vector<std::string> writers;
    std::string medium, mainLabel, caption;
    int selectedSpeed = -1, mainBar = -1, started = 0, ended = 0;
};

class CountingShutdown final : public Shutdown {
  public:
    bool countdown(std::string_view, int seconds) override { return seconds == 10; }
    bool powerOff() override { return ++powerOffs > 0; }
    int powerOffs = 0;
};

class BurnEngineTest : public ::testing::Test {
  protected:
    BurnEngineTest() { EXPECT_TRUE(engine_.initBurnEngine()); }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    FakeWriter writer_;
    test::RecordingNotifier notifier_;
    RecordingBurnDisplay display_;
    BurnEngine engine_{&writer_, notifier_, log_, display_};
};

TEST_F(BurnEngineTest, WritersAndSpeeds) {
    EXPECT_EQ(display_.writers, std::vector<std::string>{"Optical drive"});
    EXPECT_EQ(writer_.selectedWriter, 0);
    EXPECT_TRUE(writer_.polling);

    engine_.fillSpeedList();
    const std::vector<std::string> expected = {
        "Max", "x1.0 (1385 KB/s) - Ref x1 = 1385.0 - recommended",
        "x2.0 (2770 KB/s) - Ref x1 = 1385.0", "x4.0 (5540 KB/s) - Ref x1 = 1385.0"};
    std::vector<std::string> texts;
    for (const SpeedEntry& speed : engine_.speeds())
        texts.push_back(speed.text);
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(engine_.speeds()[0].kilobytesPerSecond, 0xFFFF);
    EXPECT_EQ(display_.selectedSpeed, 0);
    EXPECT_EQ(speedText(800), "x0.5 (800 KB/s) - Ref x1 = 1600.0");
    EXPECT_EQ(speedText(40000), "x24.0 (40000 KB/s) - Ref x1 = 1666.7");
}

TEST_F(BurnEngineTest, MediaChecks) {
    struct Case {
        int status;
        int type;
        bool ready;
        std::string warning;  // in warn mode
    };
    const Case cases[] = {
        {0, 17, true, ""},
        {1, 22, true, ""},  // dual layer with jump recording
        {0, 21, false, "Inserted media is not writable DVD Disk!"},
        {-1, 0, false, "No select dvd writer! Disk inserted type is 0"},
        {2, 0, false, "No media inserted!"},
        {3, 16, false, "Disk inserted is not writable!"},
        {4, 9, false, "Media inserted is not a DVD! Disk inserted type is 9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status * 100 + c.type);
        writer_.status = c.status;
        writer_.type = c.type;
        notifier_.messages.clear();
        EXPECT_EQ(engine_.checkMedia(BurnEngine::CheckMode::Silent), c.ready || c.type == 21);
        EXPECT_TRUE(notifier_.messages.empty());
        EXPECT_EQ(engine_.checkMedia(BurnEngine::CheckMode::Warn), c.ready);
        EXPECT_EQ(notifier_.messages, c.warning.empty() ? std::vector<std::string>{}
                                                        : std::vector<std::string>{c.warning});
        EXPECT_EQ(display_.medium, mediaTypeText(c.type));
    }
    EXPECT_EQ(mediaTypeText(99), "Unknown type");
}

TEST_F(BurnEngineTest, AWriteTakesTheFolderHoldingVideoTsAndEndsIdle) {
    fs::create_directories(folder_ / "dvd" / "VIDEO_TS");
    ASSERT_TRUE(engine_.startBurn(folder_ / "dvd" / "VIDEO_TS", "My DVD"));
    EXPECT_EQ(writer_.writtenFolder, folder_.path().string() + "/dvd/");
    EXPECT_EQ(writer_.writtenLabel, "My DVD");
    EXPECT_EQ(writer_.writeSpeed, 0xFFFF);
    EXPECT_EQ(display_.caption, "Cancel");
    EXPECT_EQ(display_.mainLabel, " Burning...");
    EXPECT_TRUE(engine_.burning());

    writer_.report(WriterEvent::Writing, 30000);
    EXPECT_EQ(display_.mainBar, 30000);
    writer_.report(WriterEvent::Finished, kWriteSucceeded);
    EXPECT_EQ(engine_.waitForBurn(), kWriteSucceeded);
    EXPECT_FALSE(engine_.burning());
    EXPECT_EQ(notifier_.messages, std::vector<std::string>{"Burn finished!"});
    EXPECT_EQ(display_.caption, "Make DVD");
    EXPECT_EQ(display_.started, 1);
    EXPECT_EQ(display_.ended, 1);

    // A folder without VIDEO_TS in its path is written as it is.
    EXPECT_EQ(folderHoldingVideoTs("/discs/holiday"), "/discs/holiday");
}

TEST_F(BurnEngineTest, CancelBeforeTheFirstProgressStopsAtIt) {
    ASSERT_TRUE(engine_.startBurn(folder_.path(), "My DVD"));
    engine_.abortBurn();
    EXPECT_EQ(display_.caption, "Stoping");
    EXPECT_EQ(writer_.aborts, 0);
    writer_.report(WriterEvent::Writing, 100);
    writer_.report(WriterEvent::Writing, 200);
    EXPECT_EQ(writer_.aborts, 2);  // every progress until it ends
    writer_.report(WriterEvent::Finished, kWriteFailedOrAborted);
    EXPECT_EQ(engine_.waitForBurn(), kWriteFailedOrAborted);
    EXPECT_EQ(notifier_.messages,
              std::vector<std::string>{"Write Failed - write error or aborted by user"});
    EXPECT_EQ(display_.ended, 1);

    // The next write starts clean and a cancel after progress stops at once.
    ASSERT_TRUE(engine_.startBurn(folder_.path(), "My DVD"));
    writer_.report(WriterEvent::Writing, 100);
    engine_.abortBurn();
    EXPECT_EQ(writer_.aborts, 3);
    writer_.report(WriterEvent::Finished, 99);
    EXPECT_EQ(notifier_.messages.back(), "Unknown write completion status");
}

TEST_F(BurnEngineTest, NoWriteWithoutAReadyMediumOrALibrary) {
    writer_.status = 2;
    EXPECT_FALSE(engine_.startBurn(folder_.path(), "My DVD"));
    EXPECT_EQ(display_.started, 0);
    EXPECT_TRUE(writer_.writtenFolder.empty());

    writer_.initResult = 1;
    BurnEngine failing(&writer_, notifier_, log_, display_);
    EXPECT_FALSE(failing.initBurnEngine());
    BurnEngine missing(nullptr, notifier_, log_, display_);
    EXPECT_FALSE(missing.initBurnEngine());
    EXPECT_FALSE(missing.startBurn(folder_.path(), "My DVD"));
}

TEST_F(BurnEngineTest, PowerOffAfterASuccessfulWriteWhenAsked) {
    CountingShutdown shutdown;
    int saves = 0;
    engine_.setShutdownAfter(true, &shutdown, [&saves] { return ++saves > 0; });
    ASSERT_TRUE(engine_.startBurn(folder_.path(), "My DVD"));
    writer_.report(WriterEvent::Finished, kWriteSucceeded);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(shutdown.powerOffs, 1);
    EXPECT_TRUE(notifier_.messages.empty());
}

}  // namespace
}  // namespace velmora
