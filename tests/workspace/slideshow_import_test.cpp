#include "workspace/slideshow_import.h"

#include <gtest/gtest.h>

#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class SlideshowImportTest : public ::testing::Test {
  protected:
    SlideshowImportTest() {
        services_.audio.seconds = {{"default.mp3", 60}};
        test::writeFile(user() / "default.mp3");
    }
    fs::path user() const { return temporary_.path(); }
    fs::path folderWith(const fs::path& folder, std::vector<std::string> files) {
        for (const std::string& file : files)
            test::writeFile(folder / file);
        return folder;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& slideshow : stack_.project.slideshows)
            result.push_back(slideshow->name);
        return result;
    }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
    test::ProjectStack stack_{user(), services_, 1};
};

TEST_F(SlideshowImportTest, OneSlideshowPerFolderWithFreeNames) {
    const std::vector<fs::path> folders = {
        folderWith(user() / "a" / "Holiday", {"b.JPG", "a.png", "notes.txt"}),
        folderWith(user() / "b" / "Holiday", {"c.jpeg"}),
        folderWith(user() / "empty", {"readme.txt"}),
        folderWith(user() / "x" / "A long folder name", {"p.jpg"}),
        folderWith(user() / "y" / "A long folder name", {"p.jpg"}),
    };
    const ImportResult result = importFolders(stack_.project, folders);
    EXPECT_EQ(result.slideshowsAdded, 4);
    EXPECT_FALSE(result.discLimitReached);
    // Names are cut to 15 characters, so "+" takes the place of the last one.
    EXPECT_EQ(names(), (std::vector<std::string>{"Holiday", "Holiday+", "A long folder n",
                                                 "A long folder +"}));
    const Slideshow& first = *stack_.project.slideshows[0];
    ASSERT_EQ(first.pictures.size(), 2u);  // pictures only, in name order
    EXPECT_EQ(first.pictures[0].fileName, "a.png");
    EXPECT_EQ(first.audioTracks.size(), 1u);  // the default music
}

TEST_F(SlideshowImportTest, TheDiscLimitStopsTheImport) {
    // An hour a picture: the third photo would take the disc past its limit.
    stack_.preferences.defaults.tvStandard = 1;
    stack_.preferences.defaults.effect.displayTime = 3600;
    const std::vector<fs::path> folders = {
        folderWith(user() / "long", {"1.jpg", "2.jpg", "3.jpg"}),
        folderWith(user() / "later", {"4.jpg"}),
    };
    const ImportResult result = importFolders(stack_.project, folders);
    EXPECT_TRUE(result.discLimitReached);
    EXPECT_EQ(names(), std::vector<std::string>{"long"});
    EXPECT_EQ(stack_.project.slideshows[0]->pictures.size(), 2u);
    EXPECT_FALSE(stack_.project.isOverDiscLimit());
    EXPECT_EQ(services_.notifier.messages.back(),
              "Add too many images then output disk can contain!");
}

}  // namespace
}  // namespace velmora
