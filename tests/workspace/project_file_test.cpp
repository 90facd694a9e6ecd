#include "model/project_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "base/markup_file.h"
#include "menu/theme_fixture.h"
#include "model/transition_setting.h"
#include "support/file_size_limit.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t begin = 0;
    for (size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2)
        result.push_back(text.substr(begin, end - begin));
    return result;
}

std::vector<std::string> slideshowNames(const Project& project) {
    std::vector<std::string> names;
    for (const auto& slideshow : project.slideshows)
        names.push_back(slideshow->name);
    return names;
}

class ProjectFileTest : public ::testing::Test {
  protected:
    ProjectFileTest() {
        services_.audio.seconds = {{"default.mp3", 60}, {"a.mp3", 100}, {"menu.mp3", 20}};
        for (const char* music : {"default.mp3", "a.mp3", "menu.mp3"})
            test::writeFile(user() / music);
    }

    fs::path user() const { return temporary_.path(); }
    fs::path picture(const std::string& name) { return test::writeFile(user() / "pics" / name); }

    // Adds a slideshow of pictures with the given display times.
    Slideshow& addSlideshow(test::ProjectStack& stack, const std::string& name,
                            const std::vector<std::string>& pictures) {
        EXPECT_EQ(stack.project.addSlideshow(name), 0);
        Slideshow& slideshow = *stack.project.slideshows.back();
        for (const std::string& file : pictures)
            EXPECT_EQ(slideshow.addPicture(picture(file), stack.project.defaults()), 0);
        return slideshow;
    }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
};

TEST_F(ProjectFileTest, OneSlideshowIsWrittenLineForLine) {
    test::ProjectStack stack(user(), services_, 1);
    stack.preferences.defaults.tvStandard = TvStandard::Pal;
    stack.preferences.defaults.effect.transition = makeTransition(TransitionKind::Alpha);
    Slideshow& slideshow = addSlideshow(stack, "trip", {"p0.jpg", "p1.jpg"});
    slideshow.addAudioTrack(user() / "a.mp3", stack.folders.working);
    stack.project.projectFilePath = user() / "trip.prg";
    ASSERT_TRUE(stack.session.saveProject(false));
    EXPECT_FALSE(stack.project.flags().modified);

    const std::string W = stack.folders.working.string(), T = stack.folders.temporary.string(),
                      O = stack.folders.output.string();
    std::vector<std::string> expected = {
        "<rorevav>",
        "<Preference File>" + (user() / "referenceFile.xml").string() + "</Preference File>",
        "<Working Path>" + W + "</Working Path>",
        "<Temp Path>" + T + "</Temp Path>",
        "<OutPut Path>" + O + "</OutPut Path>",
        "<Aspect Ratio>0</Aspect Ratio>",
        "<cuteslideshows>",
        "<slideshow>",
        "<name>trip</name>",
        "<cover index>0</cover index>",
        "<audio>",
        "<originalFileName>" + (user() / "a.mp3").string() + "</originalFileName>",
        "</audio>"};
    for (const char* name : {"p0.jpg", "p1.jpg"}) {
        const std::string file = (user() / "pics" / name).string();
        const std::vector<std::string> pic = {
            "<pic>",
            "<strOriginalFile>" + file + "</strOriginalFile>",
            "<m_strTempFile>" + file + "</m_strTempFile>",
            "<RORO_SETTING>",
            "<IS_NTSC>1</IS_NTSC>",
            "<WOKRING_PATH/>",
            "<TEMP_PATH>" + T + "</TEMP_PATH>",
            "<OUTPUT_PATH>" + O + "</OUTPUT_PATH>",
            "<RORO_EFFECT>",
            "<SINGLE_EFFECT_TIME>3</SINGLE_EFFECT_TIME>",
            "<SINGLE_EFFECT_ID>20</SINGLE_EFFECT_ID>",
            "<SINGLE_EFFECT_INIT_TYPE>0</SINGLE_EFFECT_INIT_TYPE>",
            "<TRANSITIO_EFFECT_TIME>2</TRANSITIO_EFFECT_TIME>",
            "<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_ALPHA\">",
            "<TRANSITION_EFFECT_ALPHA_PARAM>0</TRANSITION_EFFECT_ALPHA_PARAM>",
            "</TRANSITION_EFFECT_SETTING>",
            "</RORO_EFFECT>",
            "</RORO_SETTING>",
            "<General/>",
            "</pic>"};
        expected.insert(expected.end(), pic.begin(), pic.end());
    }
    expected.insert(expected.end(), {"</slideshow>", "</cuteslideshows>", "<roroMenu>"});

    const std::string text = fileText(stack.project.projectFilePath);
    const std::vector<std::string> written = lines(text);
    ASSERT_GE(written.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(written.begin(), written.begin() + long(expected.size())),
              expected);
    EXPECT_EQ(written.back(), "</rorevav>");
    EXPECT_TRUE(text.ends_with("</rorevav>\r\n"));

    // Unchanged since: nothing is written and nothing is said.
    fs::remove(stack.project.projectFilePath);
    EXPECT_FALSE(stack.session.saveProject(true));
    EXPECT_FALSE(fs::exists(stack.project.projectFilePath));
    EXPECT_TRUE(services_.notifier.messages.empty());
}

TEST_F(ProjectFileTest, ProjectAndMenuSurviveASaveAndLoadByteForByte) {
    test::ProjectStack first(user(), services_, 1);
    first.preferences.defaults.tvStandard = TvStandard::Pal;
    Slideshow& trip = addSlideshow(first, "Trip & <pals>", {"p0.jpg", "p1.jpg", "p2.jpg"});
    Slideshow& home = addSlideshow(first, "home", {"h0.png"});
    trip.addAudioTrack(user() / "a.mp3", first.folders.working);
    home.addDefaultAudio(first.folders.working);
    const int second[] = {1};
    auto blinds = makeTransition(TransitionKind::Blinds);
    blinds->setParameters(1, 6);
    trip.setTransition(second, *blinds);
    trip.setDisplayTime(second, 7);
    trip.pictures[1].settings.effect.motionEffect = MotionEffectKind::PanRightDownToLeftUp;
    trip.pictures[1].settings.effect.motionCategory = 3;
    trip.setCover(2);

    SlideImage& edited = trip.pictures[0];
    edited.brightness = 5;
    edited.sharpen = 2;
    edited.soften = 1;
    edited.workingPath = first.folders.temporary / "p0_edited.bmp";
    PictureEdit caption;
    caption.text = "Tom & Jerry <3 \"quoted\" 'single' café";
    caption.x = 10, caption.y = 20, caption.cx = 300, caption.cy = 60;
    caption.faceName = "Liberation Sans";
    caption.height = 32, caption.weight = 700, caption.italic = 1, caption.colour = 0x00336699;
    PictureEdit decoration;
    decoration.kind = PictureEditKind::Image;
    decoration.imagePath = user() / "decor ation.png";
    decoration.x = 1, decoration.y = 2, decoration.cx = 3, decoration.cy = 4;
    PictureEdit crop;
    crop.kind = PictureEditKind::Crop;
    crop.x = 5, crop.y = 6, crop.cx = 700, crop.cy = 500;
    edited.edits = {caption, decoration, crop};
    for (int kind = int(PictureEditKind::RotateLeft90);
         kind <= int(PictureEditKind::FlipVertically); ++kind) {
        PictureEdit plain;
        plain.kind = PictureEditKind(kind);
        edited.edits.push_back(plain);
    }

    // Three menu pages from a two-button theme, music and an edited title.
    test::writeTheme(user() / "theme" / "two", test::ThemeText{}.text());
    first.catalogue.loadThemes(user() / "theme", first.log);
    first.menu.createPages(first.folders.working, {"a", "b", "c", "d", "e"}, first.catalogue);
    ASSERT_EQ(first.menu.pageCount(), 3);
    first.menu.pages[1].texts[0].setText("Second & \"last\"");
    first.menu.pages[1].texts[0].colour = 0x00102030;
    first.menu.setCurrentPage(2);
    first.menu.setMenuMusic(user() / "menu.mp3", first.folders.working, first.context);
    first.menu.menuSoundtrackPath = first.folders.temporary / "menu.mp2";

    first.project.projectFilePath = user() / "first.prg";
    ASSERT_TRUE(first.session.saveProject(false));

    test::ProjectStack next(user(), services_, 2);
    next.catalogue.loadThemes(user() / "theme", next.log);
    ASSERT_TRUE(next.session.openProject(user() / "first.prg"));
    EXPECT_TRUE(next.project.flags().modified);
    EXPECT_EQ(next.project.folders().working, first.folders.working);
    ASSERT_EQ(slideshowNames(next.project), (std::vector<std::string>{"Trip & <pals>", "home"}));
    const Slideshow& loaded = *next.project.slideshows[0];
    EXPECT_EQ(loaded.coverIndex, 2);
    EXPECT_EQ(loaded.totalFrames, trip.totalFrames);
    EXPECT_EQ(loaded.pictures[1].settings.effect.motionEffect,
              MotionEffectKind::PanRightDownToLeftUp);  // as stored, not drawn again
    EXPECT_EQ(loaded.pictures[1].settings.effect.transition->kind(), TransitionKind::Blinds);
    EXPECT_EQ(loaded.pictures[1].settings.effect.transition->secondParameter(), 6);
    EXPECT_EQ(loaded.pictures[0].edits.size(), 8u);
    EXPECT_EQ(loaded.pictures[0].edits[0].text, caption.text);
    EXPECT_EQ(next.menu.pageCount(), 3);
    EXPECT_EQ(next.menu.pages[2].pageIndex, 2);
    EXPECT_EQ(next.menu.pages[1].texts[0].font, (FontRecord{"Arial", 40, 700, true}));

    next.project.projectFilePath = user() / "next.prg";
    ASSERT_TRUE(next.session.saveProject(false));
    EXPECT_EQ(fileText(user() / "next.prg"), fileText(user() / "first.prg"));
}

// What reading keeps of a damaged file: two slideshows, "first" with two
// pictures and "second" with one, changed one way per case.
// A project is built as it was made, whatever the settings of the account
// that opens it; one saved before the aspect was stored keeps the
// settings' aspect.
TEST_F(ProjectFileTest, AProjectOpensInTheFormatItWasMadeIn) {
    test::ProjectStack made(user(), services_, 1);
    made.project.changeVideoFormat({TvStandard::Pal, AspectRatio::Wide});
    addSlideshow(made, "trip", {"p0.jpg", "p1.jpg"});
    made.project.projectFilePath = user() / "trip.prg";
    ASSERT_TRUE(made.session.saveProject(false));
    const int palFrames = made.project.slideshows[0]->totalFrames;  // 25 a second

    std::string older = fileText(user() / "trip.prg");
    const std::string aspect = "<Aspect Ratio>1</Aspect Ratio>";
    ASSERT_NE(older.find(aspect), std::string::npos);
    older.erase(older.find(aspect), aspect.size());
    std::string error;
    ASSERT_TRUE(writeMarkupFile(user() / "older.prg", older, &error)) << error;

    const struct {
        const char* file;
        VideoFormat opened;
    } cases[] = {
        {"trip.prg", {TvStandard::Pal, AspectRatio::Wide}},
        {"older.prg", {TvStandard::Pal, AspectRatio::Standard}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        test::ProjectStack other(user(), services_, 2);
        ASSERT_EQ(other.project.videoFormat(), kNtscStandard);
        ASSERT_TRUE(other.session.openProject(user() / c.file));
        EXPECT_EQ(other.project.videoFormat(), c.opened);
        EXPECT_EQ(other.preferences.tvFormat, TvStandard::Pal);  // the subpictures follow
        EXPECT_EQ(other.project.slideshows[0]->totalFrames, palFrames);
        EXPECT_NE(fileText(other.log.file())
                      .find("The project is made for " + videoFormatName(c.opened) +
                            " and this installation's settings say NTSC 4:3"),
                  std::string::npos);
    }
}

TEST_F(ProjectFileTest, ReadingKeepsWhatItCan) {
    test::ProjectStack writer(user(), services_, 1);
    writer.preferences.defaults.effect.transition = makeTransition(TransitionKind::Blinds);
    addSlideshow(writer, "first", {"f0.jpg", "f1.jpg"});
    addSlideshow(writer, "second", {"s0.jpg"});
    const int f1[] = {1};
    writer.project.slideshows[0]->setDisplayTime(f1, 9);
    writer.project.projectFilePath = user() / "good.prg";
    ASSERT_TRUE(writer.session.saveProject(false));
    const std::string good = fileText(user() / "good.prg");
    const std::string f0 = (user() / "pics" / "f0.jpg").string();

    auto replace = [](std::string text, const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    // The second picture element of "first" and its settings.
    const size_t secondPic = good.find("<pic>", good.find("<pic>") + 1);
    const size_t settingsBegin = good.find("<RORO_SETTING>", secondPic);
    const size_t settingsEnd = good.find("</RORO_SETTING>\r\n", secondPic) + 17;
    const std::string withoutSettings = good.substr(0, settingsBegin) + good.substr(settingsEnd);
    auto transitionOf = [](const Project& project, int slideshow, int picture) {
        return project.slideshows[size_t(slideshow)]
            ->pictures[size_t(picture)]
            .settings.effect.transition->kind();
    };

    struct Case {
        const char* what;
        std::function<std::string()> text;
        bool result;
        std::vector<std::string> slideshows;
        std::function<void(const test::ProjectStack&)> check;
    };
    const std::vector<Case> cases = {
        {"intact", [&] { return good; }, true, {"first", "second"}, nullptr},
        {"a picture without settings stops the reading",
         [&] { return withoutSettings; },
         false,
         {"first"},
         [](const test::ProjectStack& s) {
             EXPECT_EQ(s.project.slideshows[0]->pictures.size(), 2u);
         }},
        {"a picture deleted since is dropped, the next keeps its settings",
         [&] { return replace(good, f0, (user() / "gone.jpg").string()); },
         true,
         {"first", "second"},
         [](const test::ProjectStack& s) {
             const auto& pictures = s.project.slideshows[0]->pictures;
             ASSERT_EQ(pictures.size(), 1u);
             EXPECT_EQ(pictures[0].fileName, "f1.jpg");
             EXPECT_EQ(pictures[0].settings.effect.displayTime, 9);
         }},
        {"a repeated name loads once",
         [&] { return replace(good, "<name>second</name>", "<name>first</name>"); },
         true,
         {"first"},
         nullptr},
        {"Preference as one word",
         [&] {
             return replace(replace(good, "<Preference File>", "<Preference>"),
                            "</Preference File>", "</Preference>");
         },
         true,
         {"first", "second"},
         nullptr},
        {"UTF-16 with a byte-order mark",
         [&] {
             std::string wide = "\xFF\xFE";
             for (char c : good)
                 wide += std::string{c, '\0'};  // the file is ASCII
             return wide;
         },
         true,
         {"first", "second"},
         nullptr},
        {"no Temp Path: no slideshows",
         [&] { return replace(good, "<Temp Path>", "<Tmp Path>"); },
         false,
         {},
         nullptr},
        {"no cover index: that slideshow is passed over",
         [&] { return replace(good, "<cover index>0</cover index>", ""); },
         true,
         {"second"},
         nullptr},
        {"no name stops the reading",
         [&] { return replace(good, "<name>second</name>", ""); },
         false,
         {"first"},
         nullptr},
        {"an unknown transition becomes Alpha",
         [&] { return replace(good, "NAME=\"TRANSITION_EFFECT_", "NAME=\"UNKNOWN_"); },
         true,
         {"first", "second"},
         [&](const test::ProjectStack& s) {
             EXPECT_EQ(transitionOf(s.project, 0, 0), TransitionKind::Alpha);
         }},
        {"a transition without its parameter becomes Alpha and stops",
         [&] {
             const size_t at = good.find("<TRANSITION_EFFECT_SETTING");
             const size_t end = good.find("</TRANSITION_EFFECT_SETTING>", at);
             const size_t open = good.find("\r\n", at) + 2;
             return good.substr(0, open) + good.substr(end);
         },
         false,
         {"first"},
         [&](const test::ProjectStack& s) {
             ASSERT_EQ(s.project.slideshows[0]->pictures.size(), 1u);
             EXPECT_EQ(transitionOf(s.project, 0, 0), TransitionKind::Alpha);
         }},
        {"not markup", [] { return std::string("PK\x03\x04 zip"); }, false, {}, nullptr},
    };
    int number = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = test::writeFile(user() / (std::to_string(number) + ".prg"), c.text());
        test::ProjectStack reader(user(), services_, number++);
        services_.notifier.messages.clear();
        EXPECT_EQ(reader.session.openProject(file), c.result);
        EXPECT_EQ(slideshowNames(reader.project), c.slideshows);
        for (const auto& slideshow : reader.project.slideshows)
            EXPECT_GT(slideshow->totalFrames, 0);
        if (c.check) c.check(reader);
    }
    EXPECT_EQ(services_.notifier.messages, std::vector<std::string>{"can not set Doc!"});

    test::ProjectStack reader(user(), services_, 99);
    EXPECT_FALSE(reader.session.openProject(user() / "missing.prg"));
    EXPECT_TRUE(reader.project.slideshows.empty());
}

TEST_F(ProjectFileTest, AFailedSaveKeepsTheOldFileAndTheChanges) {
    test::ProjectStack stack(user(), services_, 1);
    addSlideshow(stack, "trip", {"p0.jpg"});
    stack.project.projectFilePath = user() / "trip.prg";
    ASSERT_TRUE(stack.session.saveProject(false));
    const std::string saved = fileText(stack.project.projectFilePath);

    addSlideshow(stack, "more", {"p1.jpg", "p2.jpg"});
    {
        test::FileSizeLimit fullDisk(saved.size() + 10);
        EXPECT_FALSE(stack.session.saveProject(true));
    }
    EXPECT_TRUE(stack.project.flags().modified);
    EXPECT_EQ(fileText(stack.project.projectFilePath), saved);
    ASSERT_EQ(services_.notifier.messages.size(), 1u);
    EXPECT_NE(services_.notifier.messages[0].find("trip.prg"), std::string::npos)
        << services_.notifier.messages[0];

    EXPECT_TRUE(stack.session.saveProject(true));
    EXPECT_EQ(services_.notifier.messages.back(),
              "Save to '" + stack.project.projectFilePath.string() + "' Success!");
}

}  // namespace
}  // namespace velmora
