#include "workspace/disc_writer_station.h"

#include <gtest/gtest.h>

#include <atomic>
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
#include "support/dvd_reading.h"
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
        if (value > highestBar) highestBar = value;  // one writing thread
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
    std::atomic<int> highestBar{0};

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

class DiscWriterStationTest : public ::testing::Test {
  protected:
    // A PAL DVD folder of two one-second titles, with `extraMegabytes` of
    // other data for a write that takes a while.
    fs::path makeDvd(int extraMegabytes = 0) {
        const fs::path dvd = folder_ / "dvd";
        test::makeDvdFolder(dvd, folder_.path(), 2, 1);
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
    EXPECT_EQ(test::titleCount(image), 2);
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
