#include "workspace/project_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/working_folder_claim.h"
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

    // A project naming a folder of the user's own as its working folder is
    // worked on in a fresh folder of the run's: Photos is never written to.
    const fs::path photos = user() / "Photos";
    test::writeFile(photos / "temp" / "keep.jpg");
    const std::string text = "<rorevav><Preference File>x</Preference File><Working Path>" +
                             photos.string() + "</Working Path><Temp Path>" +
                             (photos / "temp").string() + "</Temp Path><OutPut Path>" +
                             photos.string() + "</OutPut Path></rorevav>";
    const fs::path file = test::writeFile(user() / "odd.prg", text);
    EXPECT_TRUE(stack_.session.openProject(file));
    const fs::path working = stack_.project.folders().working;
    EXPECT_TRUE(isMarkedWorkingFolder(working) && working.parent_path() == user()) << working;
    EXPECT_EQ(stack_.project.authorScriptPath, working / "temp" / "author.xml");
    EXPECT_EQ(stack_.project.folders().output, photos);  // an existing folder: DVD files only
    fs::remove(file);
    ASSERT_TRUE(stack_.session.startNewProject());
    EXPECT_TRUE(fs::exists(photos / "temp" / "keep.jpg"));
}

// A crafted project naming files outside Velmora's folders as its menu
// files, edited copies and folders: everything the run will write or delete
// is re-pointed into its own working folder.
TEST_F(ProjectSessionTest, AProjectFileCannotPointTheRunAtForeignFiles) {
    addSlideshowAndMenu();
    services_.audio.seconds["song.mp3"] = 30;
    stack_.project.slideshows[0]->addAudioTrack(test::writeFile(user() / "song.mp3"),
                                                stack_.folders.working);
    stack_.menu.setMenuMusic(user() / "song.mp3", stack_.folders.working, stack_.context);
    ASSERT_TRUE(stack_.session.saveProjectAs(user() / "mine", false));
    std::ifstream in(user() / "mine.prg", std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    // Every path of the run's folder now names the decoy folder instead.
    const fs::path decoy = user() / "decoy";
    const std::string working = stack_.folders.working.string();
    for (size_t at = text.find(working); at != std::string::npos; at = text.find(working, at))
        text.replace(at, working.size(), decoy.string());
    const std::string page = "menuVideo0";
    for (size_t at = text.find(page); at != std::string::npos; at = text.find(page, at))
        text.replace(at, page.size(), "../../victim");
    test::writeFile(user() / "crafted.prg", text);
    for (const char* name : {"temp/author.xml", "temp/menu.mp2", "temp/0.mpg", "author.xml"})
        test::writeFile(decoy / name, "decoy");
    // Marked as a working folder, but not one of this user folder's.
    ASSERT_TRUE(markWorkingFolder(decoy));

    test::ProjectServices services;
    services.audio.seconds = {{"default.mp3", 60}, {"song.mp3", 30}};
    test::ProjectStack other(user(), services, 9);
    other.catalogue.loadThemes(user() / "theme", other.log);
    ASSERT_TRUE(other.session.openProject(user() / "crafted.prg"));

    const WorkingFolders& folders = other.project.folders();
    EXPECT_TRUE(isMarkedWorkingFolder(folders.working));
    EXPECT_NE(folders.working, decoy);
    EXPECT_EQ(folders.output, folders.working / "dvd");  // decoy/dvd: not a folder to use
    auto ours = [&](const fs::path& file) { return file.parent_path() == folders.temporary; };
    ASSERT_EQ(other.project.slideshows.size(), 1u);
    const Slideshow& slideshow = *other.project.slideshows.at(0);
    ASSERT_EQ(slideshow.audioTracks.size(), 1u);
    ASSERT_EQ(other.menu.menuTracks.size(), 1u);
    ASSERT_EQ(other.menu.pages.size(), 1u);
    EXPECT_TRUE(ours(slideshow.soundtrackPath) && ours(slideshow.programStreamPath));
    EXPECT_TRUE(ours(slideshow.audioTracks.at(0).tempMp2Path));
    EXPECT_EQ(slideshow.pictures.at(0).workingPath, slideshow.pictures.at(0).sourcePath);
    EXPECT_TRUE(ours(other.menu.menuSoundtrackPath));
    EXPECT_TRUE(ours(other.menu.menuTracks.at(0).tempMp2Path));
    const MenuPage& menuPage = other.menu.pages.at(0);
    for (const fs::path* file :
         {&menuPage.picturePath, &menuPage.highlightMaskPath, &menuPage.selectMaskPath,
          &menuPage.videoPath, &menuPage.plainStreamPath, &menuPage.menuStreamPath,
          &menuPage.subpictureScriptPath})
        EXPECT_TRUE(ours(*file)) << *file;
}

// Two runs opening one saved project: the second works in a folder of its
// own instead of writing into the one the first is using.
TEST_F(ProjectSessionTest, AWorkingFolderInUseIsNotShared) {
    addSlideshowAndMenu();
    ASSERT_TRUE(stack_.session.saveProjectAs(user() / "mine", false));
    test::ProjectServices services;
    services.audio.seconds = {{"default.mp3", 60}};
    test::ProjectStack first(user(), services, 5);
    test::ProjectStack second(user(), services, 6);
    ASSERT_TRUE(stack_.session.startNewProject());  // lets go of the saved folder

    ASSERT_TRUE(first.session.openProject(user() / "mine.prg"));
    EXPECT_EQ(first.project.folders().working, stack_.folders.working);
    ASSERT_TRUE(second.session.openProject(user() / "mine.prg"));
    EXPECT_NE(second.project.folders().working, stack_.folders.working);
    EXPECT_EQ(second.menu.pages.at(0).picturePath.parent_path(),
              second.project.folders().temporary);
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
