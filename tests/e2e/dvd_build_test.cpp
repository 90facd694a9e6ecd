// Whole DVDs built the way velmora-cli builds them, with the real FFmpeg,
// spumux and dvdauthor, and read back with libdvdread.

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/notifier.h"
#include "disc/build_job.h"
#include "disc/burn_engine.h"
#include "interfaces/video_format.h"
#include "menu/theme_fixture.h"
#include "model/transition_setting.h"
#include "outside/libburn_disc_writer.h"
#include "support/dvd_navigation.h"
#include "support/dvd_reading.h"
#include "support/run_program.h"
#include "support/silent_build_display.h"
#include "support/temporary_folder.h"
#include "workspace/application.h"
#include "workspace/application_build.h"
#include "workspace/menu_preparation.h"
#include "workspace/slideshow_import.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = VELMORA_TEST_RESOURCES;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Quiet final : public Notifier, public ProjectEvents {
  public:
    void show(std::string_view, std::string_view, NotifierIcon) override {}
    NotifierAnswer ask(std::string_view, std::string_view, NotifierButtons) override {
        return NotifierAnswer::No;
    }
    void thumbnailsChanged(int) override {}
};

class NoBurnDisplay final : public BurnDisplay {
  public:
    void setWriterNames(const std::vector<std::string>&, int) override {}
    void setMediumText(std::string_view) override {}
    void setSpeedList(const std::vector<SpeedEntry>&, int) override {}
    void setMainLabel(std::string_view) override {}
    void setDetailLabel(std::string_view) override {}
    void setMainBar(int) override {}
    void setDetailBar(int) override {}
    void setButtonCaption(std::string_view) override {}
    void burnStarted() override {}
    void burnEnded() override {}
};

// A playback time in frames at the frame rate it is flagged with.
int framesOf(const dvd_time_t& time) {
    auto bcd = [](uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); };
    const int fps = (time.frame_u >> 6) == 1 ? 25 : 30;
    return ((bcd(time.hour) * 60 + bcd(time.minute)) * 60 + bcd(time.second)) * fps +
           bcd(time.frame_u & 0x3F);
}

// What a player finds on the disc.
struct DiscFacts {
    std::vector<int> titleFrames;
    std::vector<std::vector<int>> chapterFrames;  // of every title, where each chapter starts
    std::vector<int> buttonsPerMenuPage;
    std::vector<std::pair<uint32_t, uint32_t>> menuPageSectors;  // first and last, in VIDEO_TS.VOB
    bool isPal = false;
    int aspect = -1;  // 0 4:3, 3 16:9
    int audioStreams = 0;
    int audioFormat = -1;  // 0 AC-3, 2 MPEG-1
};

DiscFacts readDisc(const fs::path& folder) {
    DiscFacts facts;
    test::DvdReader dvd(DVDOpen(folder.c_str()));
    if (!dvd) return facts;
    test::DvdIfo vmg(ifoOpen(dvd.get(), 0));
    test::DvdIfo vts(ifoOpen(dvd.get(), 1));
    if (!vmg || !vts) return facts;
    facts.isPal = vts->vtsi_mat->vts_video_attr.video_format == 1;
    facts.aspect = vts->vtsi_mat->vts_video_attr.display_aspect_ratio;
    facts.audioStreams = vts->vtsi_mat->nr_of_vts_audio_streams;
    if (facts.audioStreams > 0) facts.audioFormat = vts->vtsi_mat->vts_audio_attr[0].audio_format;
    for (int i = 0; i < vts->vts_pgcit->nr_of_pgci_srp; ++i) {
        const pgc_t& pgc = *vts->vts_pgcit->pgci_srp[i].pgc;
        facts.titleFrames.push_back(framesOf(pgc.playback_time));
        std::vector<int>& chapters = facts.chapterFrames.emplace_back();
        for (int program = 0; program < pgc.nr_of_programs; ++program) {
            int frames = 0;
            for (int cell = 0; cell + 1 < pgc.program_map[program]; ++cell)
                frames += framesOf(pgc.cell_playback[cell].playback_time);
            chapters.push_back(frames);
        }
    }
    const pgcit_t& menus = *vmg->pgci_ut->lu[0].pgcit;
    for (int i = 0; i < menus.nr_of_pgci_srp; ++i) {
        const cell_playback_t& cell = menus.pgci_srp[i].pgc->cell_playback[0];
        facts.menuPageSectors.push_back({cell.first_sector, cell.last_sector});
    }

    for (const hli_t& highlights : test::menuHighlights(dvd.get(), *vmg))
        facts.buttonsPerMenuPage.push_back(highlights.hl_gi.btn_ns);
    return facts;
}

uintmax_t folderBytes(const fs::path& folder) {
    uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) bytes += entry.file_size();
    return bytes;
}

struct DiscCase {
    const char* name;
    bool isPal;
    bool isWide;
};

class DvdBuildTest : public ::testing::TestWithParam<DiscCase> {
  protected:
    DvdBuildTest() {
        // A one-button theme, so that two slideshows make two menu pages.
        const fs::path theme = temporary_ / "theme" / "single";
        test::ThemeText text;
        text.buttons =
            "<DVD_BUTTON TYPE=\"DVD_BUTTON_IMAGE\" X=\"200\" Y=\"150\" WIDTH=\"320\" "
            "HEIGHT=\"240\">frame.png</DVD_BUTTON>";
        test::writeTheme(theme, text.text());
        const std::pair<const char*, QSize> pictures[] = {{"back.jpg", {720, 576}},
                                                          {"frame.png", {320, 240}},
                                                          {"prev.png", {60, 40}},
                                                          {"next.png", {60, 40}}};
        for (const auto& [name, size] : pictures) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(QColor(40, 60, 110));
            image.save(QString::fromStdString((theme / name).string()));
        }
    }

    test::TemporaryFolder temporary_;
    Quiet quiet_;
};

TEST_P(DvdBuildTest, TwoSlideshowsAndTwoMenuPages) {
    const DiscCase& disc = GetParam();
    Application app({temporary_ / "home", kResources}, quiet_, quiet_);
    std::string reason;
    ASSERT_TRUE(app.start(&reason)) << reason;
    app.preferences.defaults.tvStandard = disc.isPal ? TvStandard::Pal : TvStandard::Ntsc;
    app.preferences.tvFormat = app.preferences.defaults.tvStandard;
    app.preferences.aspectRatio = disc.isWide ? AspectRatio::Wide : AspectRatio::Standard;
    app.catalogue.loadThemes(temporary_ / "theme", app.log);

    // Two slideshows of three sample photos, each picture with its own
    // transition and motion.
    const std::vector<fs::path> samples = importablePictures(kResources / "samples");
    ASSERT_GE(samples.size(), 6u);
    const TransitionKind kinds[] = {TransitionKind::Alpha,     TransitionKind::Blinds,
                                    TransitionKind::Circle,    TransitionKind::Clock,
                                    TransitionKind::Accordion, TransitionKind::Door};
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(app.project.addSlideshow(s == 0 ? "first" : "second"), 0);
        Slideshow& slideshow = *app.project.slideshows.back();
        for (int p = 0; p < 3; ++p) {
            const int n = s * 3 + p;
            ASSERT_EQ(slideshow.addPicture(samples[size_t(n)], app.project.defaults()), 0);
            EffectSetting& effect = slideshow.pictures.back().settings.effect;
            effect.displayTime = 2;
            effect.transitionTime = 1;
            effect.motionEffect = MotionEffectKind(n * 3);  // pans, zooms and a rotating zoom
            effect.transition = makeTransition(kinds[n]);
        }
        slideshow.recomputeFrames();
        slideshow.addDefaultAudio(app.project.folders().working);
    }
    const fs::path music = temporary_ / "menu.wav";
    ASSERT_EQ(
        test::runProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=d=2", music.string()})
            .exitCode,
        0);
    app.menu.setMenuMusic(music, app.project.folders().working, app.context);
    ASSERT_TRUE(prepareMenu(app, true, std::nullopt, &reason)) << reason;
    ASSERT_EQ(app.menu.pageCount(), 2);
    app.project.estimateDiscSize();
    const float estimateMegabytes = app.project.sizeEstimate;

    test::SilentBuildDisplay display;
    ApplicationBuild build(app, display);
    BuildJob& job = build.job();
    ASSERT_TRUE(job.startBuild({}));
    ASSERT_EQ(job.waitForBuild(), 0) << fileText(app.log.file());

    const fs::path output = app.project.folders().output;
    const DiscFacts facts = readDisc(output);
    ASSERT_EQ(facts.titleFrames.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_NEAR(facts.titleFrames[i], app.project.slideshows[i]->totalFrames, 2) << i;
    EXPECT_EQ(facts.buttonsPerMenuPage, (std::vector<int>{2, 2}));  // a slideshow and Next/Previous
    EXPECT_EQ(facts.isPal, disc.isPal);
    EXPECT_EQ(facts.aspect, disc.isWide ? 3 : 0);
    EXPECT_EQ(facts.audioStreams, 1);
    EXPECT_EQ(facts.audioFormat, disc.isPal ? 2 : 0);  // MP2 on PAL, AC-3 on NTSC

    std::string files;
    for (const auto& entry : fs::directory_iterator(output / "VIDEO_TS"))
        files += " " + entry.path().filename().string() + "=" + std::to_string(entry.file_size());
    const double megabytes = double(folderBytes(output / "VIDEO_TS")) / (1 << 20);
    EXPECT_NEAR(megabytes / estimateMegabytes, 1.0, 0.15)
        << megabytes << " MB against an estimate of " << estimateMegabytes << " MB:" << files;

    // A chapter where each picture's segment begins, to the frame: 0, 3 s
    // and 6 s (the first picture shows a second longer).
    const int fps = disc.isPal ? 25 : 30;
    for (const std::vector<int>& chapters : facts.chapterFrames)
        EXPECT_EQ(chapters, (std::vector<int>{0, 3 * fps, 6 * fps}));

    // The remote's MENU key during the second slideshow reaches the page
    // holding its button, highlighted; a button the viewer moves to stays
    // highlighted when the page loops.
    test::DvdPlayer player(output);
    ASSERT_TRUE(player.opened());
    const auto pageAt = [&](uint32_t sector) {
        for (size_t page = 0; page < facts.menuPageSectors.size(); ++page) {
            const auto [first, last] = facts.menuPageSectors[page];
            if (sector >= first && sector <= last) return int(page) + 1;
        }
        return 0;
    };
    ASSERT_EQ(dvdnav_title_play(player.nav(), 2), DVDNAV_STATUS_OK);
    ASSERT_TRUE(player.playUntil([] { return true; }));
    ASSERT_EQ(dvdnav_menu_call(player.nav(), DVD_MENU_Root), DVDNAV_STATUS_OK);
    ASSERT_TRUE(player.playUntil([&] { return player.inVideoManagerMenu(); }));
    EXPECT_EQ(pageAt(player.navigationSector()), 2);
    EXPECT_EQ(player.highlightedButton(), 1);  // the second slideshow's, on page 2
    ASSERT_EQ(dvdnav_button_select(player.nav(), dvdnav_get_current_nav_pci(player.nav()), 2),
              DVDNAV_STATUS_OK);
    const int cells = player.cellChanges();
    ASSERT_TRUE(player.playUntil([&] { return player.cellChanges() > cells; }));
    EXPECT_EQ(pageAt(player.navigationSector()), 2);
    EXPECT_EQ(player.highlightedButton(), 2);

    // The same disc as an ISO image reads back with the same titles.
    const fs::path iso = temporary_ / "disc.iso";
    LibburnDiscWriter writer(app.log, iso);
    NoBurnDisplay burnDisplay;
    BurnEngine burner(&writer, app.context.notifier, app.log, burnDisplay);
    ASSERT_TRUE(burner.initBurnEngine());
    ASSERT_TRUE(burner.startBurn(output / "VIDEO_TS", "Velmora test"));
    ASSERT_EQ(burner.waitForBurn(), kWriteSucceeded) << fileText(app.log.file());
    EXPECT_EQ(readDisc(iso).titleFrames, facts.titleFrames);
}

INSTANTIATE_TEST_SUITE_P(Discs, DvdBuildTest,
                         ::testing::Values(DiscCase{"Pal43", true, false},
                                           DiscCase{"Ntsc169", false, true}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace velmora
