#include "base/working_folder_claim.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/path_text.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class WorkingFolderClaimTest : public ::testing::Test {
  protected:
    static fs::path touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
        return file;
    }
    fs::path markedFolder(const std::string& name) const {
        const fs::path folder = user_ / name;
        EXPECT_TRUE(WorkingFolders::inside(folder).create());
        touch(folder / "temp" / "0.mpg");
        return folder;
    }

    test::TemporaryFolder temporary_;
    const fs::path user_ = temporary_.path() / "user";
};

TEST_F(WorkingFolderClaimTest, TwoRunsClaimDifferentFoldersAndEachHoldsItsOwn) {
    WorkingFolderLock first, second;
    std::string reason;
    const auto a = claimWorkingFolder(user_, first, &reason);
    const auto b = claimWorkingFolder(user_, second, &reason);
    ASSERT_TRUE(a && b) << reason;
    EXPECT_EQ(a->working, user_ / "Project_1");
    EXPECT_EQ(b->working, user_ / "Project_2");
    EXPECT_TRUE(isMarkedWorkingFolder(a->working));
    EXPECT_TRUE(fs::is_directory(a->temporary) && fs::is_directory(a->output));

    WorkingFolderLock intruder;
    EXPECT_FALSE(intruder.acquire(a->working));  // held by the first run
    first.release();
    EXPECT_TRUE(intruder.acquire(a->working));
    EXPECT_FALSE(intruder.acquire(user_));  // not a working folder at all
}

TEST_F(WorkingFolderClaimTest, StartUpRemovesOnlyWhatDeadRunsLeft) {
    const fs::path abandoned = markedFolder("Project_3");
    const fs::path saved = markedFolder("Project_4");
    markWorkingFolderSaved(saved);
    const fs::path unmarked = touch(user_ / "Project_5" / "temp" / "mine.jpg").parent_path();
    const fs::path live = markedFolder("Project_6");
    WorkingFolderLock liveRun;
    ASSERT_TRUE(liveRun.acquire(live));
    const fs::path oddName = markedFolder("Project_7x");
    // A link named like a working folder, to a marked folder elsewhere.
    const fs::path elsewhere = temporary_.path() / "elsewhere";
    ASSERT_TRUE(WorkingFolders::inside(elsewhere).create());
    fs::create_directory_symlink(elsewhere, user_ / "Project_8");

    EXPECT_EQ(removeAbandonedWorkingFolders(user_), std::vector<fs::path>{abandoned});
    EXPECT_FALSE(fs::exists(abandoned));
    for (const fs::path& kept : {saved, unmarked, live, oddName, elsewhere / "temp"})
        EXPECT_TRUE(fs::exists(kept)) << kept;
}

TEST_F(WorkingFolderClaimTest, DiscardingTouchesOnlyMarkedFolders) {
    const fs::path photos = user_ / "Photos";
    const fs::path keep = touch(photos / "temp" / "keep.jpg");
    discardUnsavedWorkingFolder(WorkingFolders::inside(photos), user_ / "none.prg");
    EXPECT_TRUE(fs::exists(keep));

    // A finished DVD in the working folder's dvd folder outlives its
    // working folder, which is no longer marked afterwards.
    const fs::path working = markedFolder("Project_1");
    touch(working / "dvd" / "VIDEO_TS" / "VIDEO_TS.IFO");
    discardUnsavedWorkingFolder(WorkingFolders::inside(working), user_ / "none.prg");
    EXPECT_FALSE(fs::exists(working / "temp"));
    EXPECT_TRUE(fs::exists(working / "dvd" / "VIDEO_TS" / "VIDEO_TS.IFO"));
    EXPECT_FALSE(isMarkedWorkingFolder(working));
    EXPECT_TRUE(removeAbandonedWorkingFolders(user_).empty());
}

TEST_F(WorkingFolderClaimTest, OutputFoldersInsideWorkingFoldersAreRefused) {
    const fs::path working = markedFolder("Project_1");
    const fs::path other = markedFolder("Project_2");
    const fs::path unmarked = user_ / "Project_3";  // the run's own, not marked in a test
    fs::create_directories(temporary_.path() / "discs");
    fs::create_directory_symlink(working / "temp", temporary_.path() / "link");
    const struct {
        fs::path output;
        fs::path workingFolder;
        bool refused;
    } cases[] = {
        {working / "dvd", working, false},
        {temporary_.path() / "discs", working, false},
        {temporary_.path() / "discs" / "new", working, false},
        {working, working, true},
        {working / "temp", working, true},
        {working / "temp" / "out", working, true},
        {temporary_.path() / "link" / "out", working, true},
        {other / "temp", working, true},
        {other / "dvd", working, true},  // another run's: deleted with it
        {unmarked / "temp", unmarked, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outputFolderProblem(c.output, c.workingFolder).empty(), !c.refused) << c.output;
    }
}

// Which folders a project file may name as its working folder.
TEST_F(WorkingFolderClaimTest, OnlyThisUsersProjectFoldersAreWorkedIn) {
    const fs::path own = markedFolder("Project_3");
    const fs::path legacy =
        touch(user_ / "Project_4" / "temp" / "0.mpg").parent_path().parent_path();
    const fs::path elsewhere = temporary_.path() / "elsewhere" / "Project_5";
    ASSERT_TRUE(WorkingFolders::inside(elsewhere).create());
    const fs::path victim = temporary_.path() / "victim";
    fs::create_directories(victim);
    const fs::path linkedTemp = markedFolder("Project_6");
    fs::remove_all(linkedTemp / "temp");
    fs::create_directory_symlink(victim, linkedTemp / "temp");
    fs::create_directory_symlink(own, user_ / "Project_7");
    const fs::path photos = touch(user_ / "Photos" / "a.jpg").parent_path();
    const struct {
        fs::path folder;
        bool own;
    } cases[] = {
        {own, true},
        {legacy, true},
        {user_ / "." / "Project_3", true},
        {elsewhere, false},
        {linkedTemp, false},
        {user_ / "Project_7", false},
        {photos, false},
        {user_ / "Project_9", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isOwnWorkingFolder(c.folder, user_), c.own) << c.folder;
}

TEST(FileNameSafe, NamesNeverLeaveTheirFolderNorShareAFile) {
    const std::pair<std::string, std::string> cases[] = {
        {"Summer", "Summer"}, {"../../etc/x", "..%2F..%2Fetc%2Fx"},
        {"a/b", "a%2Fb"},     {"a%2Fb", "a%252Fb"},
        {"..", "%2E."},       {".", "%2E"},
    };
    for (const auto& [name, file] : cases) {
        EXPECT_EQ(fileNameSafe(name), file) << name;
        EXPECT_EQ(fs::path(fileNameSafe(name)).filename().string(), fileNameSafe(name));
    }
}

}  // namespace
}  // namespace velmora
