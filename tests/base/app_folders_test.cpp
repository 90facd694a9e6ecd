#include "base/app_folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "base/working_folder_claim.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class AppFoldersTest : public ::testing::Test {
  protected:
    void touch(const fs::path& file) { std::ofstream(file) << "x"; }

    test::TemporaryFolder folder_;
    const fs::path root_ = folder_.path();
};

// Sets an environment variable for one scope.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { old_.empty() ? unsetenv(name_) : setenv(name_, old_.c_str(), 1); }

  private:
    const char* name_;
    std::string old_;
};

TEST_F(AppFoldersTest, FoldersComeFromTheEnvironment) {
    {
        ScopedEnvironment home("VELMORA_HOME", "/data/home");
        ScopedEnvironment data("VELMORA_DATA", "/data/share");
        const AppFolders folders = AppFolders::fromEnvironment("/opt/velmora/bin/velmora");
        EXPECT_EQ(folders.userFolder, "/data/home");
        EXPECT_EQ(folders.resourceFolder, "/data/share");
    }
    ScopedEnvironment home("VELMORA_HOME", nullptr);
    ScopedEnvironment data("VELMORA_DATA", nullptr);
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/xdg");
        const AppFolders folders = AppFolders::fromEnvironment("/opt/velmora/bin/velmora");
        EXPECT_EQ(folders.userFolder, "/xdg/velmora");
        EXPECT_EQ(folders.resourceFolder, "/opt/velmora/share/velmora");
    }
    ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
    ScopedEnvironment user("HOME", "/home/ann");
    EXPECT_EQ(AppFolders::fromEnvironment("/usr/bin/velmora").userFolder,
              "/home/ann/.local/share/velmora");

    const ResourcePaths paths = ResourcePaths::under({"/u", "/r"});
    EXPECT_EQ(paths.preferencesFile, "/u/referenceFile.xml");
    EXPECT_EQ(paths.logFile, "/u/log.txt");
    EXPECT_EQ(paths.silence, "/r/menu_pic/silent.mp2");
    EXPECT_EQ(paths.defaultPicture, "/r/res/defaultImage.bmp");
}

TEST_F(AppFoldersTest, WorkingFoldersAreNumberedAsNumbers) {
    EXPECT_EQ(nextWorkingFolder(root_), root_ / "Project_1");
    for (const char* name : {"Project_1", "Project_3", "Project_10", "Project_x", "Project_2abc"}) {
        fs::create_directory(root_ / name);
    }
    touch(root_ / "Project_7.txt");  // a file counts too: atoi reads 7
    EXPECT_EQ(nextWorkingFolder(root_), root_ / "Project_11");

    const WorkingFolders folders = WorkingFolders::inside(root_ / "Project_11");
    EXPECT_EQ(folders.temporary, root_ / "Project_11" / "temp");
    EXPECT_EQ(folders.output, root_ / "Project_11" / "dvd");
    ASSERT_TRUE(folders.create());
    EXPECT_TRUE(fs::is_directory(folders.temporary));
}

TEST_F(AppFoldersTest, DefaultProjectFileTakesTheFirstFreeNumber) {
    EXPECT_EQ(defaultProjectFile(root_), root_ / "project0.prg");
    touch(root_ / "project0.prg");
    touch(root_ / "project1.prg");
    touch(root_ / "project3.prg");
    EXPECT_EQ(defaultProjectFile(root_), root_ / "project2.prg");
}

TEST_F(AppFoldersTest, UnsavedWorkingFolderIsDiscardedSavedOneKept) {
    const WorkingFolders folders = WorkingFolders::inside(root_ / "Project_1");
    ASSERT_TRUE(folders.create());
    fs::create_directories(folders.temporary / "menu");
    touch(folders.temporary / "menu" / "page.bmp");
    touch(folders.temporary / "a.mpg");

    touch(root_ / "project0.prg");
    discardUnsavedWorkingFolder(folders, root_ / "project0.prg");
    EXPECT_TRUE(fs::exists(folders.temporary / "a.mpg"));

    discardUnsavedWorkingFolder(folders, root_ / "project9.prg");
    EXPECT_FALSE(fs::exists(folders.working));

    // O is not empty: it stays, in a folder that is no longer marked as a
    // working folder, so nothing deletes it later.
    ASSERT_TRUE(folders.create());
    touch(folders.output / "VIDEO_TS.IFO");
    discardUnsavedWorkingFolder(folders, root_ / "project9.prg");
    EXPECT_FALSE(fs::exists(folders.temporary));
    EXPECT_TRUE(fs::exists(folders.output / "VIDEO_TS.IFO"));
    EXPECT_TRUE(fs::exists(folders.working));
    EXPECT_FALSE(isMarkedWorkingFolder(folders.working));

    EXPECT_TRUE(deleteFolderTree(root_ / "absent"));
}

}  // namespace
}  // namespace velmora
