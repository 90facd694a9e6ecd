#include "outside/libburn_disc_writer.h"

#include <libburn/libburn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>

#include "base/log.h"
#include "outside/dvd_tool_fixtures.h"
#include "support/dvd_reading.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace burn;  // libburn.h declares its C API in a namespace for C++
using namespace std::chrono_literals;

constexpr int kProfileDvdRam = 0x12;

// The writer's events as they come, on whichever thread.
class EventRecord {
  public:
    struct Entry {
        WriterEvent event;
        int64_t value;
    };

    DiscWriterLibrary::Callback callback() {
        return [this](WriterEvent event, int64_t value, std::string_view) {
            {
                std::lock_guard lock(mutex_);
                entries_.push_back({event, value});
            }
            changed_.notify_all();
        };
    }
    bool waitFor(WriterEvent event, int64_t above, std::chrono::seconds patience = 30s) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [&] {
            return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
                return entry.event == event && entry.value > above;
            });
        });
    }
    bool waitForFinished(std::chrono::seconds patience = 30s) {
        return waitFor(WriterEvent::Finished, -1, patience);
    }
    std::vector<Entry> entries() {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    std::vector<int64_t> values(WriterEvent event) {
        std::vector<int64_t> found;
        for (const Entry& entry : entries())
            if (entry.event == event) found.push_back(entry.value);
        return found;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Entry> entries_;
};

class LibburnDiscWriterTest : public ::testing::Test {
  protected:
    // A PAL DVD-Video folder with `titles` titles of `seconds` each.
    void makeDvd(const fs::path& folder, int titles, int seconds) const {
        test::makeDvdFolder(folder, folder_.path(), titles, seconds);
    }
    std::string logText() const { return test::fileText(log_.file()); }
    // Temporaries of image writes left in the folder.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_.path()))
            if (entry.path().filename().string().ends_with(".part"))
                names.push_back(entry.path().filename().string());
        return names;
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    const fs::path image_ = folder_ / "disc.iso";
};

int64_t imageSectors(const fs::path& dvd, const std::string& volumeId) {
    const test::ProgramResult sized =
        test::runProgram({"genisoimage", "-dvd-video", "-udf", "-V", volumeId, "-quiet",
                          "-print-size", dvd.string()});
    std::istringstream lines(sized.output);
    int64_t sectors = -1;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            sectors = std::stoll(line);
    return sectors;
}

// The volume identifier of the primary volume descriptor, without its padding.
std::string volumeId(const fs::path& image) {
    std::string id(32, '\0');
    std::ifstream in(image, std::ios::binary);
    in.seekg(16 * 2048 + 40);
    in.read(id.data(), std::streamsize(id.size()));
    id.erase(id.find_last_not_of(' ') + 1);
    return id;
}

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(fs::file_size(file), '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    return bytes;
}

TEST(IsoVolumeId, KeepsOnlyWhatIso9660Allows) {
    const struct {
        std::string label;
        std::string id;
    } cases[] = {
        {"My DVD", "MY_DVD"},
        {"HOLIDAY_2024", "HOLIDAY_2024"},
        {"Ünïcode: 1", "_N_CODE__1"},
        {std::string(40, 'a'), std::string(32, 'A')},
        {"", "DVD_VIDEO"},
        {"***", "DVD_VIDEO"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isoVolumeId(c.label), c.id) << c.label;
}

TEST(LibburnMediaStatus, ReadyOnlyForBlankOrBlankableDvds) {
    const struct {
        const char* what;
        burn_disc_status disc;
        int profile;
        bool erasable;
        int status;
    } cases[] = {
        {"no medium", BURN_DISC_EMPTY, 0, false, kMediaNoMedium},
        {"blank DVD-R", BURN_DISC_BLANK, 0x11, false, 0},
        {"DVD+RW with data", BURN_DISC_BLANK, 0x1a, false, 0},
        {"written DVD-RW", BURN_DISC_FULL, 0x14, true, 0},
        {"closed DVD-R", BURN_DISC_FULL, 0x11, false, kMediaNotWritable},
        {"open DVD+R", BURN_DISC_APPENDABLE, 0x1b, false, kMediaNotWritable},
        {"DVD-ROM", BURN_DISC_FULL, 0x10, false, kMediaNotWritable},
        {"unsuitable medium", BURN_DISC_UNSUITABLE, 0x11, false, kMediaNotWritable},
        {"blank CD-R", BURN_DISC_BLANK, 0x09, false, kMediaNotDvd},
        {"written CD-RW", BURN_DISC_FULL, 0x0a, true, kMediaNotDvd},
        {"blank BD-R", BURN_DISC_BLANK, 0x41, false, kMediaNotDvd},
    };
    for (const auto& c : cases)
        EXPECT_EQ(libburnMediaStatus(c.disc, c.profile, c.erasable), c.status) << c.what;
}

// Without an image file the writers are the drives libburn finds, which on
// a machine without one are none; the test holds either way.
TEST_F(LibburnDiscWriterTest, DriveScanAndLibraryLifetime) {
    LibburnDiscWriter image(log_, image_);
    ASSERT_EQ(image.init(), 0);
    image.setWriter(0);

    LibburnDiscWriter drives(log_);
    ASSERT_EQ(drives.init(), 0) << logText();
    const int count = drives.dvdWritersCount();
    EXPECT_GE(count, 0);
    for (int i = 0; i < count; ++i)
        EXPECT_FALSE(drives.dvdWriterName(i).empty());
    EXPECT_EQ(drives.dvdWriterName(count), "");
    drives.setWriter(count);  // past the end: nothing selected
    EXPECT_EQ(drives.mediaStatus(), kNoWriterSelected);
    EXPECT_EQ(drives.startWriting(folder_.path(), "X"), kWriteMediaNotReady);

    // libburn stays up while one writer still holds it, and starts again.
    drives.free();
    EXPECT_EQ(drives.dvdWritersCount(), 0);
    EXPECT_EQ(image.mediaStatus(), 0) << logText();
    EXPECT_FALSE(fs::exists(image_));  // looking at the "medium" makes no file
    EXPECT_EQ(drives.init(), 0);
    EXPECT_EQ(drives.dvdWritersCount(), count);
}

TEST_F(LibburnDiscWriterTest, WritesImageFileThatReadsBackAsTheDvd) {
    const fs::path dvd = folder_ / "dvd";
    makeDvd(dvd, 2, 1);
    // Some 2000 sectors, which the throttle lets through 512 at a time.
    std::ofstream(dvd / "extra.bin", std::ios::binary) << std::string(3 << 20, '\1');
    std::ofstream(image_, std::ios::binary) << std::string(8 << 20, 'x');  // an older, larger image
    fs::permissions(image_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    LibburnDiscWriter writer(log_, image_);
    EventRecord events;
    writer.registerCallback(events.callback());
    ASSERT_EQ(writer.init(), 0);
    ASSERT_EQ(writer.dvdWritersCount(), 1);
    EXPECT_EQ(writer.dvdWriterName(0), "ISO image file: " + image_.string());
    EXPECT_EQ(writer.mediaStatus(), kNoWriterSelected);
    writer.setWriter(0);
    EXPECT_EQ(writer.mediaType(), kProfileDvdRam);
    EXPECT_EQ(writer.mediaStatus(), 0);
    writer.setEnablePolling(true);
    writer.setWriteSpeed(2770);  // 2x DVD: slow enough for progress along the way
    ASSERT_EQ(writer.startWriting(dvd, "Velmora test"), 0);
    ASSERT_TRUE(events.waitForFinished()) << logText();
    writer.free();

    const std::vector<EventRecord::Entry> seen = events.entries();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().event, WriterEvent::Finished);
    EXPECT_EQ(events.values(WriterEvent::Finished), std::vector<int64_t>{kWriteSucceeded})
        << logText();
    EXPECT_TRUE(events.values(WriterEvent::NewMediaInserted).empty());
    EXPECT_TRUE(events.values(WriterEvent::MediaRemoved).empty());
    const std::vector<int64_t> progress = events.values(WriterEvent::Writing);
    ASSERT_GE(progress.size(), 3u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()) &&
                std::adjacent_find(progress.begin(), progress.end()) == progress.end());
    EXPECT_EQ(progress.back(), 65535);
    EXPECT_EQ(events.values(WriterEvent::Finishing).size(), 1u);

    // The file is the image and nothing more: the older one's tail is gone.
    EXPECT_EQ(int64_t(fs::file_size(image_)), imageSectors(dvd, "VELMORA_TEST") * 2048);
    EXPECT_EQ(volumeId(image_), "VELMORA_TEST");
    EXPECT_EQ(test::titleCount(image_), 2);
    // The new image took the old one's place, and its permissions.
    EXPECT_EQ(fs::status(image_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(LibburnDiscWriterTest, ImageFailuresEndInOneFinishedEventAndALogLine) {
    const fs::path dvd = folder_ / "dvd";
    makeDvd(dvd, 1, 1);
    const fs::path photos = folder_ / "photos";
    fs::create_directories(photos);
    std::ofstream(photos / "photo.jpg") << "not a DVD";
    const struct {
        const char* what;
        fs::path folder;
        std::string program;
        const char* logMentions;
    } cases[] = {
        {"folder without VIDEO_TS", photos, "genisoimage", "Could not find correct 'VIDEO_TS'"},
        {"genisoimage missing", dvd, "/nonexistent/velmora-genisoimage",
         "/nonexistent/velmora-genisoimage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(log_.file());
        LibburnDiscWriter writer(log_, image_, c.program);
        EventRecord events;
        writer.registerCallback(events.callback());
        ASSERT_EQ(writer.init(), 0);
        writer.setWriter(0);
        ASSERT_EQ(writer.startWriting(c.folder, "X"), 0);
        ASSERT_TRUE(events.waitForFinished());
        writer.free();
        EXPECT_EQ(events.values(WriterEvent::Finished), std::vector<int64_t>{kWriteImageFailed});
        EXPECT_TRUE(events.values(WriterEvent::Writing).empty());
        EXPECT_NE(logText().find(c.logMentions), std::string::npos) << logText();
        EXPECT_TRUE(test::noChildProcessLeft());
    }
}

// A large image written slowly, stopped early by either way there is.
TEST_F(LibburnDiscWriterTest, StoppingAWriteEndsItAsAbortedWithoutWaiting) {
    const fs::path dvd = folder_ / "dvd";
    makeDvd(dvd, 1, 1);
    std::ofstream(dvd / "padding.bin", std::ios::binary) << std::string(32 << 20, '\0');
    for (const bool byFree : {false, true}) {
        SCOPED_TRACE(byFree ? "free" : "abortWrite");
        LibburnDiscWriter writer(log_, image_);
        EventRecord events;
        writer.registerCallback(events.callback());
        ASSERT_EQ(writer.init(), 0);
        writer.setWriter(0);
        writer.setWriteSpeed(2000);  // some 17 seconds for the whole image
        ASSERT_EQ(writer.startWriting(dvd, "X"), 0);
        ASSERT_TRUE(events.waitFor(WriterEvent::Writing, 0)) << logText();
        EXPECT_EQ(writer.startWriting(dvd, "X"), kWriteDeviceBusy);

        const auto stopped = std::chrono::steady_clock::now();
        if (byFree)
            writer.free();  // returns once the write has ended
        else
            writer.abortWrite();
        ASSERT_TRUE(events.waitForFinished(byFree ? 0s : 20s));
        EXPECT_LT(std::chrono::steady_clock::now() - stopped, 5s);
        writer.free();
        EXPECT_EQ(events.values(WriterEvent::Finished),
                  std::vector<int64_t>{kWriteFailedOrAborted});
        EXPECT_LT(events.values(WriterEvent::Writing).back(), 65535);
        EXPECT_TRUE(test::noChildProcessLeft());
        // Nothing half-written under the image's name, nor beside it.
        EXPECT_FALSE(fs::exists(image_));
        EXPECT_TRUE(leftovers().empty());
    }
}

// An image file is replaced only by a whole image: a write that is aborted
// or fails, early or midway, leaves the previous image as it was.
TEST_F(LibburnDiscWriterTest, FailedOrAbortedWriteLeavesThePreviousImageAsItWas) {
    const fs::path dvd = folder_ / "dvd";
    makeDvd(dvd, 1, 1);
    std::ofstream(dvd / "padding.bin", std::ios::binary) << std::string(8 << 20, '\0');
    const test::ProgramResult made =
        test::runProgram({"genisoimage", "-dvd-video", "-udf", "-V", "OLD", "-quiet", "-o",
                          image_.string(), (folder_ / "dvd").string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const std::string previous = fileBytes(image_);
    // A genisoimage that announces an image and gives up after a few sectors.
    const fs::path failing = folder_ / "failing-genisoimage";
    std::ofstream(failing) << "#!/bin/sh\n"
                              "for a; do [ \"$a\" = -print-size ] && { echo 2000; exit 0; }; done\n"
                              "head -c 204800 /dev/zero\n"
                              "sleep 1\n"  // long enough for the write's progress to be seen
                              "exit 3\n";
    fs::permissions(failing, fs::perms::owner_all);
    const fs::path photos = folder_ / "photos";
    fs::create_directories(photos);

    struct Case {
        const char* what;
        std::string program;
        fs::path folder;
        bool abortMidway;
        bool writingBegins;
        int status;
    };
    const Case cases[] = {
        {"aborted midway", "genisoimage", dvd, true, true, kWriteFailedOrAborted},
        {"image program fails midway", failing.string(), dvd, false, true, kWriteImageFailed},
        {"nothing to make an image of", "genisoimage", photos, false, false, kWriteImageFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LibburnDiscWriter writer(log_, image_, c.program);
        EventRecord events;
        writer.registerCallback(events.callback());
        ASSERT_EQ(writer.init(), 0);
        writer.setWriter(0);
        if (c.abortMidway) writer.setWriteSpeed(2000);  // slow enough to be stopped on the way
        ASSERT_EQ(writer.startWriting(c.folder, "NEW"), 0);
        if (c.abortMidway) {
            ASSERT_TRUE(events.waitFor(WriterEvent::Writing, 0)) << logText();
            writer.abortWrite();
        }
        ASSERT_TRUE(events.waitForFinished()) << logText();
        writer.free();
        EXPECT_EQ(events.values(WriterEvent::Finished), std::vector<int64_t>{c.status})
            << logText();
        EXPECT_EQ(events.values(WriterEvent::Writing).empty(), !c.writingBegins);
        EXPECT_TRUE(fileBytes(image_) == previous) << "the previous image was changed";
        EXPECT_TRUE(leftovers().empty());
        EXPECT_TRUE(test::noChildProcessLeft());
    }
}

TEST_F(LibburnDiscWriterTest, ImageInAFolderThatIsNotThereFailsAndSaysWhere) {
    const fs::path dvd = folder_ / "dvd";
    makeDvd(dvd, 1, 1);
    const fs::path image = folder_ / "gone" / "disc.iso";
    LibburnDiscWriter writer(log_, image);
    EventRecord events;
    writer.registerCallback(events.callback());
    ASSERT_EQ(writer.init(), 0);
    writer.setWriter(0);
    ASSERT_EQ(writer.startWriting(dvd, "X"), 0);
    ASSERT_TRUE(events.waitForFinished());
    writer.free();
    EXPECT_EQ(events.values(WriterEvent::Finished), std::vector<int64_t>{kWriteImageFailed});
    EXPECT_NE(logText().find(image.string()), std::string::npos) << logText();
    EXPECT_FALSE(fs::exists(folder_ / "gone"));
}

}  // namespace
}  // namespace velmora
