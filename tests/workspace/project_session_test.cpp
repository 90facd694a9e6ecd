#include "workspace/project_session.h"

#include <gtest/gtest.h>

#include "menu/theme_fixture.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class ProjectSessionTest : public ::testing::Test {
  protected:
    ProjectSessionTest() {
        services_.audio.seconds = {{"default.mp3", 60}};
        test::writeFile(user() / "default.mp3");
        test::writeTheme(user() / "theme" / "two", test::ThemeText{}.text());
        stack_.catalogue.loadThemes(user() / "theme", stack_.log);
        stack_.project.projectFilePath = user() / "project0.prg";
    }
    fs::path user() const { return temporary_.path(); }

    void addSlideshowAndMenu() {
        ASSERT_EQ(stack_.project.addSlideshow("trip"), 0);
        stack_.project.slideshows[0]->addPicture(test::writeFile(user() / "p.jpg"),
                                                 stack_.project.defaults());
        stack_.menu.createPages(stack_.folders.working, {"trip"}, stack_.catalogue);
        stack_.menu.pages[0].texts[0].setText("Summer");
    }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
    test::ProjectStack stack_{user(), services_, 1};
};

TEST_F(ProjectSessionTest, NewProjectDropsUnsavedWorkAndStartsAFreshFolder) {
    addSlideshowAndMenu();
    test::writeFile(stack_.folders.temporary / "trip.m2v");

    ASSERT_TRUE(stack_.session.startNewProject());
    EXPECT_FALSE(fs::exists(stack_.folders.temporary / "trip.m2v"));  // never saved: removed
    const WorkingFolders& folders = stack_.project.folders();
    EXPECT_EQ(folders.working, user() / "Project_1");  // the number is free again
    EXPECT_TRUE(fs::is_directory(folders.temporary) && fs::is_directory(folders.output));
    EXPECT_EQ(stack_.project.authorScriptPath, folders.temporary / "author.xml");
    EXPECT_EQ(stack_.project.projectFilePath, user() / "project0.prg");
    EXPECT_TRUE(stack_.project.slideshows.empty());
    EXPECT_EQ(stack_.menu.pageCount(), 0);
    EXPECT_EQ(stack_.menu.savedTitles, std::vector<std::string>{"Summer"});
    ASSERT_EQ(stack_.menu.menuTracks.size(), 1u);
    EXPECT_EQ(stack_.menu.menuTracks[0].tempMp2Path, folders.temporary / "default.mp2");
}

TEST_F(ProjectSessionTest, SavedWorkAndForeignFoldersAreNeverDeleted) {
    addSlideshowAndMenu();
    ASSERT_TRUE(stack_.session.saveProjectAs(user() / "mine", false));
    EXPECT_EQ(stack_.project.projectFilePath, user() / "mine.prg");
    ASSERT_TRUE(stack_.session.startNewProject());
    EXPECT_TRUE(fs::exists(stack_.folders.temporary));  // saved: kept
    EXPECT_EQ(stack_.project.folders().working, user() / "Project_2");

    // A project naming a folder of the user's own as its working folder.
    const fs::path photos = user() / "Photos";
    test::writeFile(photos / "temp" / "keep.jpg");
    const std::string text = "<rorevav><Preference File>x</Preference File><Working Path>" +
                             photos.string() + "</Working Path><Temp Path>" +
                             (photos / "temp").string() + "</Temp Path><OutPut Path>" +
                             photos.string() + "</OutPut Path></rorevav>";
    const fs::path file = test::writeFile(user() / "odd.prg", text);
    EXPECT_TRUE(stack_.session.openProject(file));
    EXPECT_EQ(stack_.project.folders().temporary, photos / "temp");
    EXPECT_EQ(stack_.project.authorScriptPath, photos / "temp" / "author.xml");
    fs::remove(file);  // the project file is gone: still not ours to delete
    ASSERT_TRUE(stack_.session.startNewProject());
    EXPECT_TRUE(fs::exists(photos / "temp" / "keep.jpg"));
}

TEST_F(ProjectSessionTest, SaveAsAddsTheExtensionOnlyWhenMissing) {
    addSlideshowAndMenu();
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain.prg"}, {"kept.prg", "kept.prg"}, {"holiday.2024", "holiday.2024.prg"}};
    for (const auto& [chosen, stored] : cases) {
        EXPECT_TRUE(stack_.session.saveProjectAs(user() / chosen, false));  // always writes
        EXPECT_TRUE(fs::exists(user() / stored)) << stored;
    }
}

}  // namespace
}  // namespace velmora
