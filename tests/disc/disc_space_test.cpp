#include "disc/disc_space.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <numeric>
#include <sstream>

#include "disc/disc_overview.h"
#include "interfaces/video_format.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t megabytes(double count) {
    return uint64_t(count * double(1 << 20));
}

// Drives named by the first folder of a path ("/data/x" is on "/data"), with
// sizes from a table; a drive missing from the table cannot be asked.
class FakeDrives final : public Drives {
  public:
    std::optional<FilesystemSpace> space(const fs::path& path) override {
        const auto it = spaces.find(driveName(path));
        if (it == spaces.end()) return std::nullopt;
        return it->second;
    }
    bool sameDrive(const fs::path& a, const fs::path& b) override {
        return driveName(a) == driveName(b);
    }
    std::string driveName(const fs::path& path) override {
        auto part = path.begin();
        return (*part / *std::next(part)).string();
    }
    std::map<std::string, FilesystemSpace> spaces;
};

TEST(DiscSpace, ButtonsAndMessagesByTheRoomOnEachDrive) {
    const std::string oneDrive1600 =
        " No enough space, please change a driver, you need 1600M disk space,\n and /data driver "
        "need 1600M disk space!";
    const std::string output1600 =
        " No enough space, please change a driver, you need 1600M disk space";
    const std::string temporary1600 =
        "/scratch driver need more then 1600M free space. Please free no use file and then try "
        "again!";
    struct Case {
        const char* what;
        float estimate;
        const char* temporaryFolder;
        uint64_t dataFree, scratchFree;  // bytes; ~0 for a drive that cannot be asked
        BuildButtons buttons;
        std::string message;
    };
    const uint64_t unknown = ~uint64_t(0);
    const Case cases[] = {
        {"one drive, twice the estimate missing", 1600, "/data/temp", megabytes(3000), 0,
         BuildButtons::Disable, oneDrive1600},
        {"one drive, exactly twice the estimate", 1600, "/data/temp", megabytes(3200), 0,
         BuildButtons::Enable, ""},
        {"one drive, a byte short of it: whole megabytes count", 1600, "/data/temp",
         megabytes(3200) - 1, 0, BuildButtons::Disable, oneDrive1600},
        {"one drive that cannot be asked", 1, "/data/temp", unknown, 0, BuildButtons::Disable,
         " No enough space, please change a driver, you need 1M disk space,\n and /data driver "
         "need 1M disk space!"},
        {"output drive short: the temporary drive is not looked at", 1600, "/scratch/temp",
         megabytes(1000), megabytes(100), BuildButtons::Disable, output1600},
        {"the output drive rounds the estimate as printf does", 1600.4f, "/scratch/temp",
         megabytes(1600), megabytes(5000), BuildButtons::Disable, output1600},
        {"only the temporary drive short: buttons kept", 1600, "/scratch/temp", megabytes(4000),
         megabytes(1000), BuildButtons::Keep, temporary1600},
        {"temporary drive that cannot be asked", 1600, "/scratch/temp", megabytes(4000), unknown,
         BuildButtons::Keep, temporary1600},
        {"both drives hold the estimate", 1600, "/scratch/temp", megabytes(1600), megabytes(1600),
         BuildButtons::Enable, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDrives drives;
        if (c.dataFree != unknown) drives.spaces["/data"] = {megabytes(100000), c.dataFree};
        if (c.scratchFree != unknown)
            drives.spaces["/scratch"] = {megabytes(100000), c.scratchFree};
        const DiscSpaceCheck check =
            checkDiscSpace(c.estimate, "/data/Project_1/dvd", c.temporaryFolder, drives);
        EXPECT_EQ(check.buttons, c.buttons);
        EXPECT_EQ(check.message, c.message);
    }
}

TEST(DiscSpace, DriveUsageFitsTheBarsSixteenBits) {
    struct Case {
        uint64_t total, free;
        int barMaximum, barPosition;
        std::string text;
    };
    const Case cases[] = {
        {megabytes(4000.7), megabytes(1000.9), 4000, 3000, "/data 1000M free!"},
        {megabytes(65535), megabytes(35), 65535, 65500, "/data 35M free!"},
        // 750000 of 1000000 MB used: three quarters of 65535, rounded down.
        {megabytes(1000000), megabytes(250000), 65535, 49151, "/data 250000M free!"},
        {megabytes(4) << 30, megabytes(3) << 30, 65535, 16383, "/data 3221225472M free!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FakeDrives drives;
        drives.spaces["/data"] = {c.total, c.free};
        const DriveUsage usage = showDriveUsage("/data/Project_1/dvd", drives);
        EXPECT_EQ(usage.drive, "/data");
        EXPECT_EQ(usage.barMaximum, c.barMaximum);
        EXPECT_EQ(usage.barPosition, c.barPosition);
        EXPECT_EQ(usage.text, c.text);
    }
    FakeDrives none;
    const DriveUsage unknown = showDriveUsage("/data/dvd", none);
    EXPECT_EQ(unknown.barMaximum, 0);
    EXPECT_EQ(unknown.barPosition, 0);
    EXPECT_EQ(unknown.text, "/data 0M free!");
}

// The machine's own filesystems: the temporary folder is on an ordinary
// disk filesystem and /proc on one of its own.
TEST(DiscSpace, SystemDrivesJudgeMissingFoldersByTheirParents) {
    const test::TemporaryFolder folder;
    const fs::path notMade = folder / "Project_1/dvd";
    Drives& drives = systemDrives();

    EXPECT_TRUE(drives.sameDrive(folder.path(), notMade));
    EXPECT_FALSE(drives.sameDrive(notMade, "/proc/self"));
    EXPECT_EQ(drives.driveName("/proc/self/not/there"), "/proc");
    const std::string mount = drives.driveName(notMade);
    EXPECT_EQ(mount, drives.driveName(folder.path()));
    EXPECT_TRUE(folder.path().string().starts_with(mount)) << mount;

    const auto space = drives.space(notMade);
    ASSERT_TRUE(space.has_value());
    EXPECT_GT(space->totalBytes, 0u);
    EXPECT_LE(space->freeBytes, space->totalBytes);

    EXPECT_EQ(checkDiscSpace(1, notMade, folder / "temp").buttons, BuildButtons::Enable);
    const DiscSpaceCheck tooBig = checkDiscSpace(1e12f, notMade, folder / "temp");
    EXPECT_EQ(tooBig.buttons, BuildButtons::Disable);
    EXPECT_NE(tooBig.message.find(" and " + mount + " driver need"), std::string::npos);
    EXPECT_EQ(showDriveUsage(notMade).drive, mount);
}

TEST(DiscSpace, OnlyFatLimitsFileSizes) {
    const test::TemporaryFolder folder;
    EXPECT_TRUE(isNtfsVolume(folder / "Project_1/temp"));
    // Any FAT filesystem this machine has mounted (an EFI partition, a
    // memory stick) answers false.
    std::ifstream mounts("/proc/mounts");
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        fields >> device >> mountPoint >> type;
        if (type == "vfat" || type == "msdos") {
            EXPECT_FALSE(isNtfsVolume(fs::path(mountPoint) / "VIDEO_TS")) << mountPoint;
        }
    }
}

class DiscOverviewTest : public ::testing::Test {
  protected:
    // A slideshow of `count` pictures, each shown `display` seconds with a
    // two-second transition into it.
    Slideshow& addSlideshow(const std::string& name, int count, int display) {
        Project& project = stack_.project;
        project.addSlideshow(name);
        Slideshow& slideshow = *project.slideshows.back();
        std::vector<int> all(static_cast<size_t>(count));
        std::iota(all.begin(), all.end(), 0);
        for (int i : all)
            slideshow.addPicture(test::writeFile(folder_ / (name + std::to_string(i) + ".jpg")),
                                 project.defaults());
        slideshow.setTransitionTime(all, 2);
        slideshow.setDisplayTime(all, display);
        return slideshow;
    }

    test::TemporaryFolder folder_;
    test::ProjectServices services_;
    test::ProjectStack stack_{folder_.path(), services_, 1};
};

TEST_F(DiscOverviewTest, EmptyProjectShowsTheDiscAlone) {
    stack_.menu.pages.resize(1);
    const DiscTree tree = rebuildDiscTree(stack_.project, stack_.menu);
    EXPECT_EQ(tree.root.kind, DiscTreeKind::Disc);
    EXPECT_EQ(tree.root.text, "VideoDisc");
    EXPECT_EQ(tree.root.a, 1);
    EXPECT_EQ(tree.root.b, 0);
    EXPECT_TRUE(tree.children.empty());
}

TEST_F(DiscOverviewTest, SlideshowsFollowTheMenuWithPicturesAndRunningTime) {
    for (const TvStandard standard : {TvStandard::Ntsc, TvStandard::Pal}) {
        SCOPED_TRACE(int(standard));
        stack_.project.removeAllSlideshows();
        stack_.project.defaults().tvStandard = standard;
        // 12 pictures, 8 of them 5 s and 4 of them 3 s, each with a 2 s
        // transition; the first one second longer and without transition:
        // 8 × 7 + 4 × 5 + 1 − 2 = 75 s.
        Slideshow& beach = addSlideshow("Beach", 12, 3);
        const int longer[] = {0, 1, 2, 3, 4, 5, 6, 7};
        beach.setDisplayTime(longer, 5);
        addSlideshow("Empty", 0, 3);
        stack_.menu.pages.resize(2);

        const DiscTree tree = rebuildDiscTree(stack_.project, stack_.menu);
        EXPECT_EQ(tree.root.a, 2);
        EXPECT_EQ(tree.root.b, 2);
        ASSERT_EQ(tree.children.size(), 3u);
        const DiscTreeItem& menu = tree.children[0];
        EXPECT_EQ(menu.kind, DiscTreeKind::Menu);
        EXPECT_EQ(menu.text, "Menu");
        EXPECT_EQ(menu.a, 2);
        const DiscTreeItem& item = tree.children[1];
        EXPECT_EQ(item.kind, DiscTreeKind::Slideshow);
        EXPECT_EQ(item.text, "Beach");
        EXPECT_EQ(item.cover, beach.coverPath);
        const DiscTreeTooltip tooltip = discTreeTooltip(item);
        EXPECT_EQ(tooltip.text, "Image: 12\nDuration: 00:01:15");
        EXPECT_EQ(tooltip.picture, beach.coverPath);
        EXPECT_EQ(tree.children[2].text, "Empty");
        EXPECT_EQ(discTreeTooltip(tree.children[2]).text, "Image: 0\nDuration: 00:00:00");
    }
}

TEST_F(DiscOverviewTest, RemovingASlideshowKeepsTheOthersAndTheMenu) {
    for (const char* name : {"One", "Two", "Three"})
        addSlideshow(name, 1, 3);
    DiscTree tree = rebuildDiscTree(stack_.project, stack_.menu);

    removeDiscTreeSlideshow(tree, 1, 1, 2);
    ASSERT_EQ(tree.children.size(), 3u);
    EXPECT_EQ(tree.children[1].text, "One");
    EXPECT_EQ(tree.children[2].text, "Three");
    EXPECT_EQ(tree.root.b, 2);
    EXPECT_EQ(tree.children[0].a, 1);

    removeDiscTreeSlideshow(tree, 2, 1, 2);  // no such item: counts only
    EXPECT_EQ(tree.children.size(), 3u);
    removeDiscTreeSlideshow(tree, 1, 0, 1);
    removeDiscTreeSlideshow(tree, 0, 0, 0);
    ASSERT_EQ(tree.children.size(), 1u);
    EXPECT_EQ(tree.children[0].kind, DiscTreeKind::Menu);
    EXPECT_EQ(tree.root.a, 0);
    EXPECT_EQ(tree.root.b, 0);
}

TEST(DiscOverview, TooltipsByKind) {
    struct Case {
        DiscTreeItem item;
        std::string title, text;
    };
    const Case cases[] = {
        {{DiscTreeKind::Disc, "VideoDisc", 2, 7, {}}, "DVD disk", "Menu: 2    Slideshow: 7"},
        {{DiscTreeKind::Menu, "Menu", 3, 0, {}}, "DVD menu", "Page: 3"},
        {{DiscTreeKind::Slideshow, "Long", 250, 3725, "c.bmp"},
         "Slideshow Info",
         "Image: 250\nDuration: 01:02:05"},
    };
    for (const Case& c : cases) {
        const DiscTreeTooltip tooltip = discTreeTooltip(c.item);
        EXPECT_EQ(tooltip.title, c.title);
        EXPECT_EQ(tooltip.text, c.text);
        EXPECT_EQ(tooltip.picture, c.item.cover);
    }
}

}  // namespace
}  // namespace velmora
