#include "disc/build_job.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

#include "base/path_text.h"
#include "interfaces/audio_converter.h"
#include "interfaces/authoring_library.h"
#include "interfaces/encoder_library.h"
#include "interfaces/multiplexer_library.h"
#include "interfaces/subpicture_library.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Every outside part writes its output file and nothing more.
class FakeTools final : public EncoderLibrary,
                        public MultiplexerLibrary,
                        public SubpictureLibrary,
                        public AuthoringLibrary {
  public:
    int initVobEncoder(const fs::path& soundtrack, const fs::path& output,
                       VideoFormat format) override {
        titles.emplace_back(soundtrack, output);
        return initEncoder(output, format);
    }
    int initEncoder(const fs::path& output, VideoFormat) override {
        test::writeFile(output, "video");
        if (onInit) onInit(output);
        return 0;
    }
    int EncOneFrame(SharedVideoFrame) override { return 0; }
    int closeEncoder() override { return 0; }
    int Mplex(const fs::path&, const fs::path&, const fs::path& output) override {
        test::writeFile(output, "program stream");
        return 0;
    }
    int spumux(const SubpictureJob& job) override {
        test::writeFile(job.output, "with buttons");
        return 0;
    }
    int dvdauthor(const AuthorJob& job) override {
        test::writeFile(job.outputFolder / "VIDEO_TS" / "VIDEO_TS.IFO", "ifo");
        if (job.progress) job.progress(65535);
        return authoringResult;
    }

    std::function<void(const fs::path&)> onInit;
    int authoringResult = 0;
    std::vector<std::pair<fs::path, fs::path>> titles;  // (soundtrack, program stream)
};

// Writes every conversion's target and keeps what it was asked.
class RecordingConverter final : public AudioConverterLibrary {
  public:
    struct Conversion {
        fs::path source;
        fs::path target;
        ConversionLimit limit;
    };
    int GetFileTimeLength(const fs::path&) override { return 0; }
    int xToMp2(const fs::path& source, const fs::path& target, const Event&,
               const ConversionLimit& limit) override {
        test::writeFile(target, "mp2");
        conversions.push_back({source, target, limit});
        if (onConvert) onConvert(source);
        return 0;
    }
    // The conversions of one source.
    std::vector<Conversion> of(const fs::path& source) const {
        std::vector<Conversion> found;
        std::copy_if(conversions.begin(), conversions.end(), std::back_inserter(found),
                     [&](const Conversion& c) { return c.source == source; });
        return found;
    }

    std::vector<Conversion> conversions;
    std::function<void(const fs::path&)> onConvert;
};

class RecordingDisplay final : public BuildDisplay {
  public:
    void setMainLabel(std::string_view text) override { record(mainLabels, text); }
    void setDetailLabel(std::string_view) override {}
    void setMainBar(int value) override {
        std::lock_guard lock(mutex_);
        mainValues.push_back(value);
    }
    void setDetailBar(int) override {}
    void buildStarted() override { ++started; }
    void buildEnded() override { ++ended; }

    std::vector<std::string> mainLabels;
    std::vector<int> mainValues;
    std::atomic<int> started{0}, ended{0};

  private:
    void record(std::vector<std::string>& list, std::string_view text) {
        std::lock_guard lock(mutex_);
        list.emplace_back(text);
    }
    std::mutex mutex_;
};

// Two slideshows of one picture each and a one-page menu, PAL 4:3.
class BuildJobTest : public ::testing::Test {
  protected:
    BuildJobTest() {
        services_.audio.seconds = {{"default.mp3", 3}, {"menu.mp3", 1}};
        test::writeFile(user() / "default.mp3");
        test::writeFile(user() / "menu.mp3");
        test::writeFile(resources_.silence);
        stack_.preferences.defaults.tvStandard = TvStandard::Pal;
        for (const char* name : {"first", "second"}) {
            stack_.project.addSlideshow(name);
            Slideshow& slideshow = *stack_.project.slideshows.back();
            slideshow.addPicture(test::writeFile(user() / (std::string(name) + ".jpg")),
                                 stack_.project.defaults());
            slideshow.addDefaultAudio(stack_.folders.working);
        }
        MenuSet& menu = stack_.menu;
        menu.addPage(user() / "background.jpg", stack_.folders.working);
        QImage page(720, 540, QImage::Format_RGB32);
        page.fill(Qt::darkBlue);
        page.save(QString::fromStdString(menu.pages[0].picturePath.string()));
        menu.setMenuMusic(user() / "menu.mp3", stack_.folders.working, stack_.context);
        menu.menuSoundtrackPath = stack_.folders.temporary / "menu.mp2";
    }
    fs::path user() const { return temporary_.path(); }

    // The log's build lines without their times.
    std::vector<std::string> buildLines() const {
        std::ifstream in(stack_.log.file());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            const std::string text = line.substr(line.find(": ") + 2);
            for (const char* start : {"Begin", "End", "Created", "Load spumux"}) {
                if (text.starts_with(start)) lines.push_back(text);
            }
        }
        return lines;
    }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
    test::ProjectStack stack_{user(), services_, 1};
    ResourcePaths resources_ = ResourcePaths::under({user(), user()});
    FakeTools tools_;
    RecordingConverter converter_;
    RecordingDisplay display_;
    BuildJob job_{BuildParts{stack_.project,
                             stack_.menu,
                             stack_.preferences,
                             resources_,
                             BuildTools{tools_, &tools_, &converter_, &tools_, &tools_},
                             stack_.log,
                             services_.notifier,
                             display_,
                             nullptr,
                             {}}};
};

TEST_F(BuildJobTest, StagesRunInOrderWithTheirLogLines) {
    ASSERT_TRUE(job_.startBuild({}));
    EXPECT_EQ(job_.waitForBuild(), 0);
    const std::string T = stack_.folders.temporary.string();
    const std::vector<std::string> expected = {
        "Created output directory " + stack_.folders.output.string(),
        "Begin make DVD process",
        "Begin make menu",
        "Begin make menu audio",
        "End make menu audio return value:0",
        "Begin make menu video m2v file Path:" + T + "/menuVideo0.m2v",
        "End make menu video return value: 0",
        "Begin combine menu video and audio mpg path:" + T + "/menuVideo0NoInteract.MPG",
        "End combine menu video and audio return value:0",
        "Begin spumux",
        "Load spumux module success, begin spmux mpg path:" + T + "/menuVideo0.MPG",
        "End spmux return value:0",
        "End spumux",
        "End make menu return value:0",
        "Begin make slideshow audio",
        "End make slideshow audio return value:0",
        "Begin make Slideshow video index:0",
        "End make Slideshow return value:0",
        "Begin make Slideshow video index:1",
        "End make Slideshow return value:0",
        "Begin make DVD Structure",
        "End make DVD Structure, return value:0",
        "End make DVD process successful and no burn to dvd"};
    EXPECT_EQ(buildLines(), expected);
    EXPECT_EQ(services_.notifier.messages,
              std::vector<std::string>{"Making dvd file structure successful!"});

    // The main bar: the menu, then 6553, then the slideshows from 9830 on.
    const std::vector<int>& bars = display_.mainValues;
    const auto menuDone = std::find(bars.begin(), bars.end(), kMenuDoneProgress);
    ASSERT_NE(menuDone, bars.end());
    EXPECT_TRUE(std::all_of(bars.begin() + 1, menuDone, [](int v) { return v < 6553; }));
    EXPECT_GE(*(menuDone + 1), 9830);
    EXPECT_EQ(bars.back(), 0);  // reset at the end
    EXPECT_EQ(display_.started, 1);
    EXPECT_EQ(display_.ended, 1);

    // What is left: VIDEO_TS; no streams, no soundtracks, no menu video.
    EXPECT_TRUE(fs::exists(stack_.folders.output / "VIDEO_TS" / "VIDEO_TS.IFO"));
    for (const auto& slideshow : stack_.project.slideshows)
        EXPECT_FALSE(fs::exists(slideshow->programStreamPath));
    EXPECT_FALSE(fs::exists(stack_.project.slideshows[0]->soundtrackPath));
    EXPECT_FALSE(fs::exists(stack_.menu.menuSoundtrackPath));
    EXPECT_FALSE(fs::exists(stack_.menu.pages[0].menuStreamPath));
    EXPECT_TRUE(fs::exists(stack_.menu.pages[0].picturePath));
}

TEST_F(BuildJobTest, CancelDuringTheSecondSlideshowKeepsTheFirstsStream) {
    const fs::path second = stack_.project.slideshows[1]->programStreamPath;
    tools_.onInit = [&](const fs::path& output) {
        if (output == second) job_.requestCancel();
    };
    ASSERT_TRUE(job_.startBuild({}));
    EXPECT_EQ(job_.waitForBuild(), 2);
    EXPECT_FALSE(job_.making());
    EXPECT_TRUE(fs::exists(stack_.project.slideshows[0]->programStreamPath));
    EXPECT_TRUE(fs::exists(stack_.project.slideshows[0]->soundtrackPath));
    EXPECT_FALSE(fs::exists(stack_.folders.output / "VIDEO_TS"));
    EXPECT_EQ(display_.mainLabels.back(), "Ready to Sate");
    EXPECT_EQ(display_.ended, 1);
    EXPECT_TRUE(services_.notifier.messages.empty());
}

// A title's render multiplexes its soundtrack from the start and cuts it
// where the video ends: each title gets the shared music cut at its own end
// and faded out over the last second; silence is only cut.
TEST_F(BuildJobTest, EachTitleHasTheMusicCutAtItsOwnEndAndFadedOut) {
    Slideshow& longer = *stack_.project.slideshows[1];
    longer.pictures[0].settings.effect.displayTime += 2;
    longer.recomputeFrames();
    const fs::path shared = stack_.project.slideshows[0]->sharedSoundtrackPath;
    for (const bool music : {true, false}) {
        SCOPED_TRACE(music ? "music" : "silence");
        // Only the first slideshow's music plays on the disc.
        if (!music) stack_.project.slideshows[0]->audioTracks.clear();
        converter_.conversions.clear();
        tools_.titles.clear();
        ASSERT_TRUE(job_.startBuild({}));
        ASSERT_EQ(job_.waitForBuild(), 0);
        const auto cuts = converter_.of(shared);
        ASSERT_EQ(cuts.size(), 2u);
        ASSERT_EQ(tools_.titles.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            const Slideshow& slideshow = *stack_.project.slideshows[i];
            const ConversionLimit& limit = cuts[i].limit;
            EXPECT_EQ(cuts[i].target, slideshow.soundtrackPath);
            EXPECT_EQ(limit.maxSeconds * 1000 + limit.extraMilliseconds,
                      slideshow.totalFrames * 40);  // PAL: 40 ms a frame
            EXPECT_EQ(limit.fadeOutSeconds, music ? 1 : 0);
            EXPECT_EQ(tools_.titles[i],
                      std::make_pair(slideshow.soundtrackPath, slideshow.programStreamPath));
            EXPECT_FALSE(fs::exists(slideshow.soundtrackPath));  // gone with the streams
        }
        EXPECT_NE(cuts[0].limit.maxSeconds, cuts[1].limit.maxSeconds);
        EXPECT_NE(tools_.titles[0].first, tools_.titles[1].first);
        EXPECT_FALSE(fs::exists(shared));
    }
}

// The theme's default music plays in the menu and in the slideshow: one
// conversion serves both soundtracks, and its kept copy goes with the build.
TEST_F(BuildJobTest, MusicOfTheMenuAndTheSlideshowIsConvertedOnce) {
    const fs::path music = user() / "default.mp3";
    stack_.menu.setMenuMusic(music, stack_.folders.working, stack_.context);
    ASSERT_TRUE(job_.startBuild({}));
    ASSERT_EQ(job_.waitForBuild(), 0);
    EXPECT_EQ(converter_.of(music).size(), 1u);
    for (const fs::directory_entry& entry : fs::directory_iterator(stack_.folders.temporary))
        EXPECT_NE(entry.path().extension(), ".kept") << entry.path();
}

TEST_F(BuildJobTest, ACancelWhileTheTitlesAreCutStopsBeforeAnyRender) {
    const fs::path shared = stack_.project.slideshows[0]->sharedSoundtrackPath;
    converter_.onConvert = [&](const fs::path& source) {
        if (source == shared) job_.requestCancel();
    };
    ASSERT_TRUE(job_.startBuild({}));
    EXPECT_EQ(job_.waitForBuild(), 2);
    EXPECT_EQ(converter_.of(shared).size(), 1u);
    EXPECT_TRUE(tools_.titles.empty());
    EXPECT_EQ(display_.mainLabels.back(), "Ready to Sate");
}

TEST_F(BuildJobTest, AFailedBuildEndsIdleAndCanStartAgain) {
    tools_.authoringResult = 1;
    ASSERT_TRUE(job_.startBuild({}));
    EXPECT_EQ(job_.waitForBuild(), 1);
    EXPECT_EQ(services_.notifier.messages,
              std::vector<std::string>{"Making dvd file structure failed!"});
    EXPECT_EQ(buildLines().back(), "End make DVD Structure, return value:1");

    // An outside program's own code fails quietly; a cancel of an idle job
    // returns at once.
    tools_.authoringResult = 7;
    ASSERT_TRUE(job_.startBuild({}));
    EXPECT_EQ(job_.waitForBuild(), 7);
    EXPECT_EQ(services_.notifier.messages.size(), 1u);
    job_.cancelBuild();
    EXPECT_EQ(display_.ended, 2);
}

TEST_F(BuildJobTest, NothingStartsWithoutSlideshowsOrAReadyWriter) {
    BuildOptions burn;
    burn.burnAfter = true;
    burn.mediaReady = [] { return false; };
    test::writeFile(stack_.folders.output / "VIDEO_TS" / "old.VOB");
    EXPECT_FALSE(job_.startBuild(burn));
    EXPECT_TRUE(fs::exists(stack_.folders.output / "VIDEO_TS" / "old.VOB"));  // nothing deleted

    stack_.project.removeAllSlideshows();
    EXPECT_FALSE(job_.startBuild({}));
    EXPECT_EQ(display_.started, 0);
}

TEST_F(BuildJobTest, AnEarlierDiscGoesButTheUsersOwnFilesStay) {
    const fs::path videoTs = stack_.folders.output / "VIDEO_TS";
    const fs::path audioTs = stack_.folders.output / "AUDIO_TS";
    for (const fs::path& file : {videoTs / "VTS_03_1.VOB", videoTs / "VIDEO_TS.BUP"})
        test::writeFile(file, "earlier disc");
    const fs::path notes = test::writeFile(videoTs / "notes.txt", "mine");
    const fs::path lookalike = test::writeFile(videoTs / "VTS_XX_1.VOB", "mine too");
    const fs::path music = test::writeFile(audioTs / "track.wav", "mine as well");
    ASSERT_TRUE(job_.startBuild({}));
    ASSERT_EQ(job_.waitForBuild(), 0);
    EXPECT_FALSE(fs::exists(videoTs / "VTS_03_1.VOB"));
    EXPECT_FALSE(fs::exists(videoTs / "VIDEO_TS.BUP"));
    EXPECT_TRUE(fs::exists(videoTs / "VIDEO_TS.IFO"));  // the new disc
    for (const fs::path& kept : {notes, lookalike, music})
        EXPECT_TRUE(fs::exists(kept)) << kept;
    std::ifstream in(stack_.log.file());
    const std::string log(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(log.find(quotedPath(notes) + " is not a DVD file; it is left in place."),
              std::string::npos);
}

// What would fail or run for hours is refused before anything is deleted
// or encoded, with the reason.
TEST_F(BuildJobTest, AProjectThatCannotBeBuiltIsRefusedBeforeItStarts) {
    const fs::path earlier = test::writeFile(stack_.folders.output / "VIDEO_TS" / "VIDEO_TS.IFO");
    const fs::path plainFile = test::writeFile(user() / "plain.txt");
    fs::create_directory_symlink(user(), user() / "elsewhere");
    const fs::path linkFolder = user() / "linked";
    test::writeFile(linkFolder / "keep.txt");
    fs::create_directory_symlink(user() / "elsewhere", linkFolder / "VIDEO_TS");
    const struct {
        fs::path output;
        const char* reason;
    } cases[] = {
        {stack_.folders.temporary / "disc", "lies inside the working folder"},
        {stack_.folders.working, "lies inside the working folder"},
        {plainFile / "disc", "cannot be made"},
        {linkFolder, "VIDEO_TS that is not a folder of its own"},
    };
    const WorkingFolders own = stack_.folders;
    for (const auto& c : cases) {
        WorkingFolders folders = own;
        folders.output = c.output;
        stack_.project.setFolders(folders);
        EXPECT_FALSE(job_.startBuild({})) << c.output;
        EXPECT_NE(job_.refusalReason().find(c.reason), std::string::npos) << job_.refusalReason();
        EXPECT_NE(job_.refusalReason().find(c.output.string()), std::string::npos);
    }
    stack_.project.setFolders(own);

    // Far more than a disc holds (a hand-made project): refused at once.
    SlideImage& picture = stack_.project.slideshows[0]->pictures[0];
    picture.settings.effect.displayTime = 3600;
    for (int i = 0; i < 3; ++i) {
        const fs::path more = test::writeFile(user() / ("more" + std::to_string(i) + ".jpg"));
        stack_.project.slideshows[0]->addPicture(more, stack_.project.defaults());
        stack_.project.slideshows[0]->pictures.back().settings.effect.displayTime = 3600;
    }
    stack_.project.slideshows[0]->recomputeFrames();
    EXPECT_FALSE(job_.startBuild({}));
    EXPECT_TRUE(job_.refusalReason().starts_with("dvdLength Is over 4500M!"));
    EXPECT_TRUE(fs::exists(earlier));  // nothing deleted
    EXPECT_EQ(display_.started, 0);
}

TEST(BuildProgress, MainBarAndRemainingTime) {
    EXPECT_EQ(mainProgressValue({BuildStage::SlideshowVideo, 4, 2}, 0), 36044);
    EXPECT_EQ(mainProgressValue({BuildStage::SlideshowVideo, 4, 3}, 65535), 62258);
    EXPECT_EQ(mainProgressValue({BuildStage::MenuStillVideo, 1, 0}, 0), 1310);
    EXPECT_EQ(mainProgressValue({BuildStage::DvdFileSystem, 1, 0}, 65535), 65534);
    EXPECT_EQ(mainProgressValue({BuildStage::MenuMultiplexing, 1, 0}, 100), -1);

    EXPECT_EQ(RemainingTime::estimateSeconds(10), 132);  // short videos get 100 more
    EXPECT_EQ(RemainingTime::estimateSeconds(100), 320);
    RemainingTime clock;
    const auto start = RemainingTime::Clock::now();
    clock.start(320, start);
    clock.update(65535 / 2, start + std::chrono::seconds(50));  // half done in 50 s
    EXPECT_EQ(clock.estimate(), 100);
    EXPECT_EQ(clock.remainingSeconds(start + std::chrono::seconds(60)), 40);
    clock.update(60000, start + std::chrono::seconds(90));  // past the projection window
    EXPECT_EQ(clock.estimate(), 100);
    EXPECT_EQ(remainingTimeText(3725), "01:02:05");
    EXPECT_EQ(remainingTimeText(90061), "1d 01:01:01");
}

}  // namespace
}  // namespace velmora
