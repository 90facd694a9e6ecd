// A menu made into a real VIDEO_TS: page pictures, masks and scripts, then
// still video, multiplexing, spumux and dvdauthor, read back with libdvdread.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/log.h"
#include "disc/authoring_scripts.h"
#include "disc/menu_streams.h"
#include "image/picture_loader.h"
#include "interfaces/encoder_library.h"
#include "interfaces/multiplexer_library.h"
#include "interfaces/video_format.h"
#include "menu/menu_composer.h"
#include "menu/menu_set.h"
#include "menu/menu_theme.h"
#include "model/audio_track.h"
#include "outside/dvdauthor_authoring.h"
#include "outside/ffmpeg_audio_converter.h"
#include "outside/ffmpeg_encoder.h"
#include "outside/ffmpeg_multiplexer.h"
#include "outside/spumux_subpicture.h"
#include "support/dvd_reading.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = VELMORA_TEST_RESOURCES;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What the disc's menus hold, as a player sees them.
struct MenuFacts {
    int titles = 0;
    bool isPal = false;
    int aspect = -1;  // 0 4:3, 3 16:9
    std::vector<int> buttonsPerPage;
    std::vector<int> buttonGroupsPerPage;
    std::vector<std::pair<int, int>> buttonRows;  // first and last, every button of every group
    uint32_t subpictureControl = 0;               // of the first page
};

MenuFacts readMenus(const fs::path& folder) {
    MenuFacts facts;
    test::DvdReader dvd(DVDOpen(folder.c_str()));
    if (!dvd) return facts;
    test::DvdIfo vmg(ifoOpen(dvd.get(), 0));
    if (!vmg || vmg->pgci_ut == nullptr) return facts;
    facts.titles = vmg->tt_srpt->nr_of_srpts;
    facts.isPal = vmg->vmgi_mat->vmgm_video_attr.video_format == 1;
    facts.aspect = vmg->vmgi_mat->vmgm_video_attr.display_aspect_ratio;
    const pgcit_t* pages = vmg->pgci_ut->lu[0].pgcit;
    if (pages->nr_of_pgci_srp > 0)
        facts.subpictureControl = pages->pgci_srp[0].pgc->subp_control[0];
    for (const hli_t& page : test::menuHighlights(dvd.get(), *vmg)) {
        facts.buttonsPerPage.push_back(page.hl_gi.btn_ns);
        facts.buttonGroupsPerPage.push_back(page.hl_gi.btngr_ns);
        // Every group's buttons (a 16:9 menu has a widescreen and a
        // letterbox group), each in its group's part of the table.
        const int groups = std::max(1, int(page.hl_gi.btngr_ns));
        for (int g = 0; g < groups; ++g) {
            for (int b = 0; b < page.hl_gi.btn_ns; ++b) {
                const btni_t& button = page.btnit[g * (36 / groups) + b];
                facts.buttonRows.push_back({int(button.y_start), int(button.y_end)});
            }
        }
    }
    return facts;
}

struct DiscCase {
    const char* name;
    bool isPal;
    bool isWide;
    QSize background;  // of the theme used: one of four buttons a page

    VideoFormat format() const {
        return {isPal ? TvStandard::Pal : TvStandard::Ntsc,
                isWide ? AspectRatio::Wide : AspectRatio::Standard};
    }
};

class MenuDiscTest : public ::testing::TestWithParam<DiscCase> {
  protected:
    // Script paths must reach spumux and dvdauthor intact whatever they hold.
    fs::path user() const { return temporary_ / "A & B's \"menü\""; }

    // A theme of four slideshow buttons on the background size wanted.
    void selectTheme(QSize background) {
        stack_.catalogue.loadThemes(kResources / "theme", stack_.log);
        for (int i = 0; i < stack_.catalogue.themeCount(); ++i) {
            const MenuTheme& theme = stack_.catalogue.themes()[size_t(i)];
            std::string reason;
            if (theme.buttonSlots.size() == 4 &&
                loadPicture(theme.backgroundPath, &reason).size() == background) {
                stack_.catalogue.select(i);
                return;
            }
        }
        FAIL() << "no four-button theme on " << background.width() << "x" << background.height();
    }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
    test::ProjectStack stack_{user(), services_, 1};
};

TEST_P(MenuDiscTest, TwoPagesForFiveSlideshowsBecomeAPlayableMenu) {
    const DiscCase& disc = GetParam();
    selectTheme(disc.background);
    const fs::path music = user() / "music.wav";
    ASSERT_EQ(
        test::runProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=d=2", music.string()})
            .exitCode,
        0);
    services_.audio.seconds = {{"music.wav", 2}};
    const WorkingFolders& folders = stack_.folders;
    std::vector<std::string> names;
    for (int i = 0; i < 5; ++i) {
        names.push_back("show " + std::to_string(i));
        stack_.project.addSlideshow(names.back());
    }
    MenuSet& menu = stack_.menu;
    menu.createPages(folders.working, names, stack_.catalogue);
    menu.setMenuMusic(music, folders.working, stack_.context);
    menu.menuSoundtrackPath = folders.temporary / "menu.mp2";
    ASSERT_EQ(menu.pageCount(), 2);

    // What the menu tab does after building the pages.
    const MenuTheme& theme = *stack_.catalogue.selectedTheme();
    MenuComposer composer(services_.notifier, kResources / "res" / "background1.jpg");
    composer.setBackground(theme.backgroundPath, disc.isWide);
    composer.setFramePicture(theme);
    const ComposedFrameSize page = disc.format().composedFrameSize();
    renderPagePictures(composer, menu, slideshowCoverPictures(stack_.project),
                       {page.width, page.height});
    const fs::path maskTemplate =
        kResources / "menu_pic" / (disc.isPal ? "PAL_BG.png" : "NTSC_BG.png");
    AuthoringScripts scripts(stack_.project, menu, stack_.catalogue,
                             {disc.format(), disc.format().standard, maskTemplate},
                             services_.notifier, stack_.log);
    ASSERT_TRUE(scripts.writeAuthoringScripts());

    // Every slideshow's title: a short stream made by the ffmpeg tool.
    const fs::path title = user() / "title.mpg";
    ASSERT_EQ(test::runProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                                "testsrc=size=320x240:rate=25:duration=1", "-f", "lavfi", "-i",
                                "sine=d=1", "-target", disc.isPal ? "pal-dvd" : "ntsc-dvd",
                                "-aspect", disc.isWide ? "16:9" : "4:3", title.string()})
                  .exitCode,
              0);
    for (const auto& slideshow : stack_.project.slideshows)
        fs::copy_file(title, slideshow->programStreamPath);

    // The build's menu stage.
    FfmpegEncoder encoder(stack_.log);
    FfmpegMultiplexer multiplexer(stack_.log);
    FfmpegAudioConverter converter(stack_.log);
    SpumuxSubpicture subpictures(stack_.log);
    MenuStreamTools tools{encoder, &multiplexer, &converter, &subpictures, stack_.log};
    MenuStreamJob job;
    job.menu = &menu;
    job.format = disc.format();
    job.soundtrackCover = {true, disc.isPal ? 25 : 30, 50, 50,
                           kResources / "menu_pic" / "silent.mp2"};
    std::vector<int> stages;
    job.report.stage = [&](MenuBuildStage stage, int, int) { stages.push_back(int(stage)); };
    ASSERT_EQ(makeMenuStreams(job, tools), 0) << fileText(stack_.log.file());
    EXPECT_EQ(stages, (std::vector<int>{0, 1, 1, 2, 2}));
    for (const MenuPage& p : menu.pages) {
        EXPECT_TRUE(fs::exists(p.menuStreamPath)) << p.menuStreamPath;
        EXPECT_TRUE(fs::exists(p.picturePath) && fs::exists(p.subpictureScriptPath));
        EXPECT_FALSE(fs::exists(p.videoPath) || fs::exists(p.plainStreamPath));
    }
    EXPECT_FALSE(fs::exists(menu.menuSoundtrackPath));

    DvdauthorAuthoring authoring(stack_.log);
    AuthorJob author;
    author.outputFolder = folders.output;
    author.scriptPath = stack_.project.authorScriptPath;
    ASSERT_EQ(authoring.dvdauthor(author), 0) << fileText(stack_.log.file());

    const MenuFacts facts = readMenus(folders.output);
    EXPECT_EQ(facts.titles, 5);
    EXPECT_EQ(facts.isPal, disc.isPal);
    EXPECT_EQ(facts.aspect, disc.isWide ? 3 : 0);
    // Four slideshows and Next; one slideshow and Previous.
    EXPECT_EQ(facts.buttonsPerPage, (std::vector<int>{5, 2}));
    // Highlights start and end on even rows, in every stream, or players
    // may draw them a line off.
    ASSERT_FALSE(facts.buttonRows.empty());
    for (const auto& [first, last] : facts.buttonRows) {
        EXPECT_EQ(first % 2, 0) << first << ".." << last;
        EXPECT_EQ(last % 2, 0) << first << ".." << last;
    }
    if (disc.isWide) {
        // Widescreen and letterbox buttons, streams 0 and 1.
        EXPECT_EQ(facts.buttonGroupsPerPage, (std::vector<int>{2, 2}));
        EXPECT_EQ((facts.subpictureControl >> 16) & 0x1F, 0u);
        EXPECT_EQ((facts.subpictureControl >> 8) & 0x1F, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Discs, MenuDiscTest,
                         ::testing::Values(DiscCase{"Pal43", true, false, {720, 576}},
                                           DiscCase{"Ntsc169", false, true, {720, 480}}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The outside parts of the menu stage as fakes: each still video's frames
// are counted, each conversion's limit kept, each page's soundtrack read.
class MenuStageFakes final : public EncoderLibrary,
                             public MultiplexerLibrary,
                             public AudioConverterLibrary {
  public:
    int initVobEncoder(const fs::path&, const fs::path&, VideoFormat) override {
        return 1;  // the menu makes no program streams of its own
    }
    int initEncoder(const fs::path& output, VideoFormat) override {
        test::writeFile(output, "video");
        stillFrames.push_back(0);
        return 0;
    }
    int EncOneFrame(SharedVideoFrame) override {
        ++stillFrames.back();
        return 0;
    }
    int closeEncoder() override { return 0; }
    int Mplex(const fs::path&, const fs::path& audio, const fs::path& output) override {
        soundtracks.push_back(fileText(audio));
        test::writeFile(output, "program stream");
        return 0;
    }
    int GetFileTimeLength(const fs::path&) override { return 0; }
    // One byte a second of music converted: the cut shows in the length.
    int xToMp2(const fs::path&, const fs::path& target, const Event&,
               const ConversionLimit& limit) override {
        limits.push_back(limit);
        const int seconds =
            limit.maxSeconds > 0 ? std::min(musicSeconds, limit.maxSeconds) : musicSeconds;
        test::writeFile(target, std::string(size_t(seconds), 'm'));
        return 0;
    }

    int musicSeconds = 0;
    std::vector<int> stillFrames;
    std::vector<ConversionLimit> limits;
    std::vector<std::string> soundtracks;
};

struct LoopCase {
    const char* name;
    int musicSeconds;
    bool isPal;
    bool loopAudio;
    int loopSeconds;  // of every page's video
};

TEST(MenuLoopTest, ALongSongMakesATwoMinuteLoopFadedOut) {
    const LoopCase cases[] = {
        {"three hours, PAL, looped", 3 * 3600, true, true, 120},
        {"three hours, NTSC, padded", 3 * 3600, false, false, 120},
        {"just over, PAL, padded", 121, true, false, 120},
        {"a short song, NTSC, looped", 90, false, true, 90},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryFolder folder;
        const Log log(folder / "log.txt");
        const fs::path silence = test::writeFile(folder / "silent.mp2", "_");  // 9 s of silence
        MenuSet menu;
        for (int i = 0; i < 2; ++i) {
            MenuPage& page = menu.pages.emplace_back();
            page.videoName = "menuVideo" + std::to_string(i);
            page.placeFilesIn(folder.path());
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(Qt::blue);
            ASSERT_TRUE(picture.save(QString::fromStdString(page.picturePath.string()), "BMP"));
        }
        AudioTrack song;
        song.sourcePath = folder / "song.mp3";
        song.tempMp2Path = folder / "song.mp2";
        song.durationSeconds = c.musicSeconds;
        menu.menuTracks.push_back(song);
        menu.menuSoundtrackPath = folder / "menu.mp2";

        MenuStageFakes fakes;
        fakes.musicSeconds = c.musicSeconds;
        MenuStreamTools tools{fakes, &fakes, &fakes, nullptr, log};
        MenuStreamJob job;
        job.menu = &menu;
        job.format = c.isPal ? kPalStandard : kNtscStandard;
        // Slideshows of an hour: the menu's sound need not last that long.
        const int fps = c.isPal ? 25 : 30;
        job.soundtrackCover = {c.loopAudio, fps, 3600 * fps, 3600 * fps, silence};
        ASSERT_EQ(makeMenuStreams(job, tools), 0) << fileText(log.file());

        EXPECT_EQ(fakes.stillFrames, std::vector<int>(2, c.loopSeconds * fps));
        ASSERT_EQ(fakes.limits.size(), 1u);
        EXPECT_EQ(fakes.limits[0].maxSeconds, 120);
        EXPECT_EQ(fakes.limits[0].fadeOutSeconds, 3);
        const bool capped = c.musicSeconds > 120;
        EXPECT_EQ(
            fileText(log.file())
                    .find("Menu music is longer than 120 seconds; the menu loop "
                          "is cut at 120 seconds with the music faded out") != std::string::npos,
            capped);
        // Each page's sound lasts as long as its video, and not as long as
        // the slideshows.
        ASSERT_EQ(fakes.soundtracks.size(), 2u);
        const std::string& sound = fakes.soundtracks[0];
        const auto musicBytes = std::count(sound.begin(), sound.end(), 'm');
        const auto silenceClips = std::count(sound.begin(), sound.end(), '_');
        const auto soundSeconds = musicBytes + 9 * silenceClips;
        EXPECT_GE(soundSeconds, c.loopSeconds) << sound.size();
        EXPECT_LT(soundSeconds, 3600) << sound.size();
        EXPECT_EQ(musicBytes % c.loopSeconds, 0) << "only whole, cut songs";
    }
}

}  // namespace
}  // namespace velmora
