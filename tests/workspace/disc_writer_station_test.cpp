#include "workspace/disc_writer_station.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <thread>
#include <mutex>

#include "base/log.h"
#include "base/notifier.h"
#include "disc/burn_engine.h"
#include "interfaces/disc_writer_library.h"
#include "outside/dvd_tool_fixtures.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// What the station showed and said, from whichever thread.
class Recorder final : public BurnDisplay, public Notifier {
  public:
    void setWriterNames(const std::vector<std::string>& names, int) override {
        std::lock_guard lock(mutex_);
        writerNames.push_back(names);
    }
    void setMediumText(std::string_view) override {}
    void setSpeedList(const std::vector<SpeedEntry>&, int) override {}
    void setMainLabel(std::string_view) override {}
    void setDetailLabel(std::string_view) override {}
    void setMainBar(int value) override {
        std::lock_guard lock(mutex_);
        highestBar = std::max(highestBar, value);
    }
    void setDetailBar(int) override {}
    void setButtonCaption(std::string_view caption) override {
        std::lock_guard lock(mutex_);
        captions.emplace_back(caption);
    }
    void burnStarted() override {}
    void burnEnded() override {}
    void show(std::string_view text, std::string_view, NotifierIcon) override {
        std::lock_guard lock(mutex_);
        shown.emplace_back(text);
    }
    NotifierAnswer ask(std::string_view, std::string_view, NotifierButtons) override {
        return NotifierAnswer::No;
    }

    void finished(int status) {
        std::lock_guard lock(mutex_);
        statuses.push_back(status);
        changed_.notify_all();
    }
    // The completion status of the next write; -2 when none came in time.
    int waitForStatus() {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, 60s, [this] { return !statuses.empty(); })) return -2;
        return statuses.front();
    }

    std::vector<std::vector<std::string>> writerNames;
    std::vector<std::string> captions;
    std::vector<std::string> shown;
    std::vector<int> statuses;
    int highestBar = 0;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

int titleCount(const fs::path& image) {
    dvd_reader_t* dvd = DVDOpen(image.c_str());
    if (dvd == nullptr) return -1;
    ifo_handle_t* manager = ifoOpen(dvd, 0);
    const int count = manager != nullptr ? manager->tt_srpt->nr_of_srpts : -1;
    if (manager != nullptr) ifoClose(manager);
    DVDClose(dvd);
    return count;
}

class DiscWriterStationTest : public ::testing::Test {
  protected:
    // A PAL DVD folder of two one-second titles, with `extraMegabytes` of
    // other data for a write that takes a while.
    fs::path makeDvd(int extraMegabytes = 0) {
        const fs::path dvd = folder_ / "dvd";
        const fs::path stream = folder_ / "title.mpg";
        test::makeProgramStream(stream, 1);
        const test::ScriptElement video{"video", {{"format", "pal"}, {"aspect", "4:3"}}, {}, {}};
        test::ScriptElement titles{"titles", {}, {}, {video}};
        for (int i = 0; i < 2; ++i)
            titles.children.push_back(
                {"pgc", {}, {}, {{"vob", {{"file", stream.string()}}, {}, {}}}});
        const test::ScriptElement managerVideo{"video", {{"format", "pal"}}, {}, {}};
        test::writeScript(folder_ / "dvd.xml",
                          {"dvdauthor",
                           {},
                           {},
                           {{"vmgm", {}, {}, {{"menus", {}, {}, {managerVideo}}}},
                            {"titleset", {}, {}, {titles}}}});
        const auto made = test::runProgram(
            {"dvdauthor", "-o", dvd.string(), "-x", (folder_ / "dvd.xml").string()});
        EXPECT_EQ(made.exitCode, 0) << made.output;
        if (extraMegabytes > 0)
            std::ofstream(dvd / "extra.bin", std::ios::binary)
                << std::string(size_t(extraMegabytes) << 20, '\1');
        return dvd;
    }
    std::unique_ptr<DiscWriterStation> station() {
        return std::make_unique<DiscWriterStation>(
            log_, record_, record_, [this](int status) { record_.finished(status); });
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    Recorder record_;
};

TEST_F(DiscWriterStationTest, WritesAnImageOfThePickedVideoTsFolderWithoutListingItAsAWriter) {
    const fs::path dvd = makeDvd();
    const fs::path image = folder_ / "disc.iso";
    auto writers = station();
    writers->refresh();
    writers->write({WriteTarget::ImageFile, dvd / "VIDEO_TS", image, "Holiday", true});
    EXPECT_TRUE(writers->writing());
    ASSERT_EQ(record_.waitForStatus(), kWriteSucceeded);
    writers->waitUntilIdle();
    EXPECT_FALSE(writers->writing());
    EXPECT_EQ(titleCount(image), 2);
    EXPECT_EQ(record_.highestBar, 65535);
    // The image's pseudo-writer stays out of the writer list.
    for (const auto& names : record_.writerNames)
        for (const std::string& name : names)
            EXPECT_EQ(name.find("ISO image file"), std::string::npos) << name;
    // An image's success is the caller's to tell.
    EXPECT_TRUE(record_.shown.empty()) << record_.shown.front();
}

TEST_F(DiscWriterStationTest, AnAbortAskedBeforeTheWriteStartedStillStopsIt) {
    const fs::path dvd = makeDvd(64);
    const fs::path image = folder_ / "disc.iso";
    auto writers = station();
    writers->write({WriteTarget::ImageFile, dvd, image, "Holiday", true});
    writers->abort();
    EXPECT_EQ(record_.waitForStatus(), kWriteFailedOrAborted);
    EXPECT_FALSE(fs::exists(image));
}

TEST_F(DiscWriterStationTest, ADiscWriteWithoutAWriterIsRefusedByTheMediaCheck) {
    auto writers = station();
    writers->refresh();
    writers->waitUntilIdle();
    if (writers->writerCount() > 0) GTEST_SKIP() << "this machine has a DVD writer";
    writers->write({WriteTarget::Disc, makeDvd(), {}, "Holiday", true});
    EXPECT_EQ(record_.waitForStatus(), DiscWriterStation::kWriteNotStarted);
    ASSERT_EQ(record_.shown.size(), 1u);
    EXPECT_EQ(record_.shown[0], "No select dvd writer! Disk inserted type is 0");
}

TEST_F(DiscWriterStationTest, GoingAwayDuringAWriteStopsItAndLeavesNoImage) {
    const fs::path dvd = makeDvd(64);
    const fs::path image = folder_ / "disc.iso";
    auto writers = station();
    writers->write({WriteTarget::ImageFile, dvd, image, "Holiday", true});
    while (record_.highestBar == 0 && writers->writing())
        std::this_thread::sleep_for(1ms);
    writers.reset();
    EXPECT_EQ(record_.waitForStatus(), kWriteFailedOrAborted);
    EXPECT_FALSE(fs::exists(image));
}

}  // namespace
}  // namespace velmora
