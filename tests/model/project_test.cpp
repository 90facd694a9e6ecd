#include "model/project.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "base/event.h"
#include "base/fixed_random.h"
#include "base/notifier.h"
#include "interfaces/audio_converter.h"
#include "model/model_fakes.h"
#include "model/settings_save.h"
#include "model/transition_kinds.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class ProjectTest : public ::testing::Test {
  protected:
    ProjectTest() {
        folders_.create();
        audio_.seconds = {{"default.mp3", 60}, {"a.mp3", 100}, {"a.wav", 30}, {"b.mp3", 45}};
    }

    fs::path picture(const std::string& name) {
        const fs::path file = temporary_ / name;
        std::ofstream(file) << std::string(2000, 'x');
        return file;
    }
    Slideshow& addSlideshowWithPictures(int count, TvStandard tvStandard = TvStandard::Pal) {
        preferences_.defaults.tvStandard = tvStandard;
        EXPECT_EQ(project_.addSlideshow(project_.nextSlideshowName()), 0);
        Slideshow& slideshow = *project_.slideshows.back();
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(slideshow.addPicture(picture("p" + std::to_string(i) + ".jpg"),
                                           preferences_.defaults),
                      0);
        }
        return slideshow;
    }

    test::TemporaryFolder temporary_;
    WorkingFolders folders_ = WorkingFolders::inside(temporary_ / "Project_1");
    ResourcePaths resources_ = ResourcePaths::under({temporary_.path(), temporary_ / "share"});
    RandomGenerator random_{7};
    test::FakePictureFiles pictures_;
    test::FakeAudio audio_;
    test::RecordingNotifier notifier_;
    test::RecordingEvents events_;
    ProjectContext context_{{}, random_, pictures_, audio_, notifier_, events_, "/r/default.mp3"};
    Preferences preferences_ = Preferences::initial(temporary_.path(), "/r/default.bmp");
    Project project_{context_, preferences_, folders_, resources_};
};

TEST_F(ProjectTest, FramesAndStartTimes) {
    Slideshow& slideshow = addSlideshowWithPictures(3);
    const int times[3][2] = {{3, 2}, {4, 1}, {5, 2}};
    for (int i = 0; i < 3; ++i) {
        const int index[] = {i};
        slideshow.setDisplayTime(index, times[i][0]);
        slideshow.setTransitionTime(index, times[i][1]);
    }
    EXPECT_EQ(slideshow.pictures[0].startText, "00:00:00");
    EXPECT_EQ(slideshow.pictures[1].startText, "00:00:05");
    EXPECT_EQ(slideshow.pictures[2].startText, "00:00:10");
    EXPECT_EQ(slideshow.totalFrames, (3 + 2 + 4 + 1 + 5 + 2) * 25 + (1 - 2) * 25);

    const int rest[] = {1, 2};
    slideshow.removePictures(rest);
    EXPECT_EQ(slideshow.totalFrames, 100);  // one picture of 3 + 2 at PAL
    slideshow.removePicture(0);
    EXPECT_EQ(slideshow.totalFrames, 0);
    EXPECT_EQ(clockText(3725), "01:02:05");
}

TEST_F(ProjectTest, SlideshowNamesAndTheLimit) {
    EXPECT_EQ(project_.addSlideshow("A very long holiday name"), 0);
    EXPECT_EQ(project_.slideshows[0]->name, "A very long hol");
    EXPECT_EQ(project_.addSlideshow("A very long holiday trip"), 1);  // same first 15
    EXPECT_EQ(project_.addSlideshow(""), 1);
    EXPECT_EQ(project_.addSlideshow("\xC3\xA9t\xC3\xA9 \xC3\xA0 Paris, vacances"), 0);
    EXPECT_EQ(project_.slideshows[1]->name, "\xC3\xA9t\xC3\xA9 \xC3\xA0 Paris, va");
    EXPECT_EQ(project_.nextSlideshowName(), "Slideshow_2");
    EXPECT_EQ(project_.addSlideshow("Slideshow_3"), 0);
    EXPECT_EQ(project_.nextSlideshowName(), "Slideshow_4");  // from the count 3, skipping the taken
    while (project_.slideshows.size() < 50) {
        ASSERT_EQ(project_.addSlideshow(project_.nextSlideshowName()), 0);
    }
    EXPECT_TRUE(notifier_.messages.empty());
    EXPECT_EQ(project_.addSlideshow("one too many"), 1);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0], "get to Max slideshow count 50!");
    EXPECT_EQ(project_.slideshows[49]->index, 49);
    EXPECT_EQ(project_.currentSlideshow, 49);
}

TEST_F(ProjectTest, CurrentSlideshowFollowsRemovalsAndMoves) {
    for (const char* name : {"a", "b", "c"})
        project_.addSlideshow(name);
    project_.setCurrentSlideshow(1);
    EXPECT_EQ(project_.moveSlideshowDown(1), 0);
    EXPECT_EQ(project_.currentSlideshow, 2);
    EXPECT_EQ(project_.slideshows[2]->name, "b");
    EXPECT_EQ(project_.moveSlideshowDown(2), 0);  // last: nothing happens
    EXPECT_EQ(project_.moveSlideshowUp(7), 1);
    EXPECT_EQ(project_.removeSlideshow(0), 0);
    EXPECT_EQ(project_.currentSlideshow, 1);
    EXPECT_EQ(project_.renameSlideshow("b", "c"), -1);  // taken
    EXPECT_EQ(project_.renameSlideshow("x", "y"), -1);  // no such slideshow
    EXPECT_EQ(project_.renameSlideshow("b", "beach"), 0);
    project_.removeAllSlideshows();
    EXPECT_EQ(project_.currentSlideshow, -1);
    EXPECT_TRUE(project_.flags().menuStale);
}

TEST_F(ProjectTest, DiscThresholdsDiffer) {
    Slideshow& slideshow = addSlideshowWithPictures(0);
    slideshow.totalFrames = 221154;  // about 4600 MB at PAL
    project_.estimateDiscSize();
    EXPECT_NEAR(project_.sizeEstimate, 4600.0f, 0.1f);
    EXPECT_TRUE(project_.isOverDiscLimit());
    EXPECT_TRUE(notifier_.messages.empty());
    slideshow.totalFrames = 230769;  // about 4800 MB
    project_.estimateDiscSize();
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0].substr(0, 24), "dvdLength Is over 4500M!");
    preferences_.defaults.tvStandard = TvStandard::Ntsc;
    slideshow.totalFrames = 1000;
    project_.estimateDiscSize();
    EXPECT_FLOAT_EQ(project_.sizeEstimate, 24.0f);
    EXPECT_FALSE(project_.isOverDiscLimit());
}

TEST_F(ProjectTest, AddingPictures) {
    Slideshow& slideshow = addSlideshowWithPictures(1);
    const fs::path first = slideshow.pictures[0].sourcePath;
    EXPECT_EQ(slideshow.pictures[0].sizeText, "1KB");
    ASSERT_EQ(pictures_.covers.size(), 1u);  // the first picture became the cover
    EXPECT_EQ(pictures_.covers[0].second, folders_.temporary / "cover_Slideshow_0.bmp");
    EXPECT_EQ(events_.changed, std::vector<int>{0});

    project_.flags().modified = false;
    EXPECT_EQ(slideshow.addPicture("", preferences_.defaults), 1);
    EXPECT_EQ(slideshow.addPicture(first, preferences_.defaults), 1);  // already there
    EXPECT_EQ(slideshow.addPicture(picture("broken.bad"), preferences_.defaults), 1);
    EXPECT_EQ(slideshow.addPicture(temporary_ / "absent.jpg", preferences_.defaults), 1);
    EXPECT_TRUE(project_.flags().modified);  // refusals count as changes too
    EXPECT_EQ(slideshow.pictures.size(), 1u);
    EXPECT_EQ(fileSizeText(0), "0KB");
    EXPECT_EQ(fileSizeText(1024 * 1024), "1024KB");
    EXPECT_EQ(fileSizeText(5 * 1024 * 1024 + 1), "5MB");
}

TEST_F(ProjectTest, DefaultsReachEveryPictureWithItsOwnDraw) {
    Slideshow& slideshow = addSlideshowWithPictures(12);
    preferences_.defaults.effect.motionCategory = 3;
    preferences_.defaults.effect.transition = makeTransition(TransitionKind::Random);
    project_.applyDefaultsToAllPictures();
    std::set<int> effects;
    std::set<TransitionKind> kinds;
    for (const SlideImage& p : slideshow.pictures) {
        EXPECT_GE(int(p.settings.effect.motionEffect), 0);
        EXPECT_LE(int(p.settings.effect.motionEffect), 19);
        effects.insert(int(p.settings.effect.motionEffect));
        kinds.insert(p.settings.effect.transition->kind());
        EXPECT_NE(p.settings.effect.transition->kind(), TransitionKind::Random);
    }
    EXPECT_GT(effects.size(), 3u);
    EXPECT_GT(kinds.size(), 3u);
}

TEST_F(ProjectTest, ThumbnailsAreKeptUntilAnotherSizeIsWanted) {
    Slideshow& slideshow = addSlideshowWithPictures(2);
    EXPECT_EQ(slideshow.thumbnail(0, 5).size(), QSize(76, 95));
    EXPECT_EQ(slideshow.thumbnail(0, 5).size(), QSize(76, 95));
    EXPECT_EQ(pictures_.thumbnailsMade, 1);
    EXPECT_EQ(slideshow.thumbnail(0, 2).size(), QSize(160, 120));
    EXPECT_EQ(slideshow.thumbnail(0, 2, true).size(), QSize(160, 120));
    EXPECT_EQ(pictures_.thumbnailsMade, 3);
    EXPECT_TRUE(slideshow.thumbnail(0, 6).isNull());
    EXPECT_TRUE(slideshow.thumbnail(2, 1).isNull());
}

TEST_F(ProjectTest, CoverStaysWithItsPicture) {
    Slideshow& slideshow = addSlideshowWithPictures(5);
    EXPECT_EQ(slideshow.setCover(3), 3);
    EXPECT_EQ(slideshow.setCover(9), 4);  // beyond the list: refused with the last index
    EXPECT_EQ(slideshow.coverIndex, 3);
    const fs::path cover = slideshow.pictures[3].sourcePath;
    const int earlier[] = {0};
    slideshow.removePictures(earlier);
    EXPECT_EQ(slideshow.coverPicture()->sourcePath, cover);
    const int withCover[] = {1, 2};
    slideshow.removePictures(withCover);
    EXPECT_EQ(slideshow.coverIndex, 0);
}

TEST_F(ProjectTest, MovingAndSortingPictures) {
    Slideshow& slideshow = addSlideshowWithPictures(5);
    auto order = [&] {
        std::string names;
        for (const SlideImage& p : slideshow.pictures)
            names += p.fileName.substr(1, 1);
        return names;
    };
    EXPECT_EQ(slideshow.movePictures({0, 2}, 3, false), 3);  // after picture 3, in order
    EXPECT_EQ(order(), "13024");
    EXPECT_EQ(slideshow.movePictures({3, 4}, 0, true), 2);  // before picture 0
    EXPECT_EQ(order(), "24130");
    EXPECT_EQ(slideshow.movePictures({9}, 0, true), -1);
    bool becameFirst = false;
    EXPECT_EQ(slideshow.movePictureUp(1, &becameFirst), 0);
    EXPECT_TRUE(becameFirst);
    EXPECT_EQ(slideshow.movePictureDown(4), 0);
    EXPECT_EQ(slideshow.movePictureDown(5), 1);
    slideshow.sortPictures(Slideshow::SortKey::FileName, Slideshow::SortOrder::Descending);
    EXPECT_EQ(order(), "43210");
}

TEST_F(ProjectTest, AudioTracks) {
    Slideshow& slideshow = addSlideshowWithPictures(0);
    std::ofstream(temporary_ / "a.mp3") << "x";
    std::ofstream(temporary_ / "a.wav") << "x";
    std::ofstream(temporary_ / "noise.mp3") << "x";
    EXPECT_EQ(slideshow.addAudioTrack(temporary_ / "a.mp3", folders_.working), 0);
    EXPECT_EQ(slideshow.addAudioTrack(temporary_ / "a.wav", folders_.working), 0);
    EXPECT_EQ(slideshow.addAudioTrack(temporary_ / "a.mp3", folders_.working), 1);
    ASSERT_EQ(slideshow.audioTracks.size(), 2u);
    EXPECT_EQ(slideshow.audioTracks[0].tempMp2Path, slideshow.audioTracks[1].tempMp2Path);
    EXPECT_EQ(slideshow.audioTracks[1].startText, "00:01:40");

    EXPECT_EQ(slideshow.addAudioTrack(temporary_ / "noise.mp3", folders_.working), 0);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_NE(notifier_.messages[0].find("is not a legal mp3 file"), std::string::npos);
    EXPECT_EQ(slideshow.audioTracks.size(), 2u);

    // A file that is gone plays the default music under its own name.
    EXPECT_EQ(slideshow.addAudioTrack(temporary_ / "gone.mp3", folders_.working), 0);
    ASSERT_EQ(slideshow.audioTracks.size(), 3u);
    EXPECT_EQ(slideshow.audioTracks[2].sourcePath, "/r/default.mp3");
    EXPECT_EQ(slideshow.audioTracks[2].fileName, "gone.mp3");
    EXPECT_EQ(slideshow.audioTracks[2].durationSeconds, 60);

    slideshow.moveAudioUp(2);
    EXPECT_EQ(slideshow.audioTracks[1].startSeconds, 100);
    EXPECT_EQ(slideshow.audioTracks[2].startSeconds, 160);
    EXPECT_EQ(slideshow.removeAudioTrack(5), 1);
    EXPECT_EQ(slideshow.removeAudioTrack(0), 0);
    EXPECT_EQ(slideshow.audioTracks[0].startSeconds, 0);
    EXPECT_EQ(project_.firstSoundtrack(), slideshow.soundtrackPath);
}

TEST_F(ProjectTest, WorkingFolderChangeKeepsEveryFile) {
    Slideshow& slideshow = addSlideshowWithPictures(2);
    std::ofstream(folders_.temporary / "~p1.jpg") << "edited";
    std::ofstream(folders_.temporary / "menu.mp2") << "music";
    slideshow.pictures[1].fileName = "~p1.jpg";
    slideshow.pictures[1].workingPath = folders_.temporary / "~p1.jpg";

    // A folder that cannot be made (a file stands in the way): nothing moves.
    std::ofstream(temporary_ / "blocked") << "file";
    EXPECT_FALSE(project_.changeWorkingFolder(temporary_ / "blocked" / "W"));
    EXPECT_TRUE(fs::exists(folders_.temporary / "menu.mp2"));
    EXPECT_EQ(slideshow.pictures[1].workingPath, folders_.temporary / "~p1.jpg");

    const fs::path next = temporary_ / "elsewhere";
    ASSERT_TRUE(project_.changeWorkingFolder(next));
    EXPECT_FALSE(fs::exists(folders_.temporary));
    EXPECT_TRUE(fs::exists(next / "temp" / "menu.mp2"));
    EXPECT_EQ(slideshow.pictures[1].workingPath, next / "temp" / "~p1.jpg");
    EXPECT_TRUE(fs::exists(slideshow.pictures[1].workingPath));
    EXPECT_EQ(slideshow.pictures[0].workingPath, slideshow.pictures[0].sourcePath);
    EXPECT_EQ(slideshow.coverPath, next / "temp" / "cover_Slideshow_0.bmp");
    EXPECT_EQ(project_.authorScriptPath, next / "temp" / "author.xml");
    EXPECT_EQ(preferences_.defaults.outputPath, next / "dvd");
    EXPECT_TRUE(project_.changeWorkingFolder(next));  // the same folder: nothing to do
}

TEST_F(ProjectTest, SettingsSaveTakesTheChoiceAndGuardsTheDisc) {
    Slideshow& slideshow = addSlideshowWithPictures(50, TvStandard::Pal);
    const PreferencesFile file(temporary_ / "referenceFile.xml");
    SettingsChoice choice;
    choice.workingFolder = temporary_ / "chosen";
    choice.useNation = true;
    choice.nationName = "Japan";
    choice.ntsc = true;  // the dialog checks NTSC for Japan
    choice.aspectRatio = AspectRatio::Standard;
    choice.displayTime = 5;
    choice.transitionTime = 3;
    project_.flags().menuStale = false;

    SettingsSaveResult result = saveSettings(choice, project_, preferences_, file, random_);
    EXPECT_TRUE(result.folderMoved);
    EXPECT_TRUE(result.menuMustBeRebuilt);  // PAL became NTSC
    EXPECT_FALSE(result.displayTimeRolledBack);
    EXPECT_EQ(result.preferencesWritten, 0);
    EXPECT_EQ(preferences_.defaults.tvStandard, TvStandard::Ntsc);
    EXPECT_EQ(preferences_.tvFormat, TvStandard::Ntsc);
    EXPECT_EQ(preferences_.nationTvStandard, TvStandard::Ntsc);
    EXPECT_EQ(preferences_.outputFolder, temporary_ / "chosen" / "dvd");
    EXPECT_EQ(slideshow.pictures[7].settings.effect.displayTime, 5);
    EXPECT_EQ(slideshow.pictures[7].settings.effect.transitionTime, 3);
    EXPECT_EQ(slideshow.coverPath, temporary_ / "chosen" / "temp" / "cover_Slideshow_0.bmp");

    // The same choice again changes nothing the menu shows.
    result = saveSettings(choice, project_, preferences_, file, random_);
    EXPECT_FALSE(result.menuMustBeRebuilt);

    // 50 pictures of 200 seconds would overfill the disc: the duration goes back.
    choice.displayTime = 200;
    choice.transitionTime = 10;
    result = saveSettings(choice, project_, preferences_, file, random_);
    EXPECT_TRUE(result.displayTimeRolledBack);
    EXPECT_EQ(preferences_.defaults.effect.displayTime, 5);
    EXPECT_EQ(slideshow.pictures[7].settings.effect.displayTime, 5);
    EXPECT_EQ(slideshow.pictures[7].settings.effect.transitionTime, 3);
    EXPECT_FALSE(project_.isOverDiscLimit());
}

}  // namespace
}  // namespace velmora
