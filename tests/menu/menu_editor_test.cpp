#include "menu/menu_editor.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "base/random_generator.h"
#include "menu/menu_set.h"
#include "menu/theme_catalogue.h"
#include "menu/theme_fixture.h"
#include "model/model_fakes.h"
#include "model/project.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

void writePicture(const fs::path& file, QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(QString::fromStdString(file.string()));
}

QPoint centreOf(const QRect& box) {
    return box.topLeft() + QPoint(box.width(), box.height()) / 2;
}

// Three slideshows on the two-button theme: page 0 holds the title, the
// captions and buttons of the first two and Next; page 1 the third and
// Previous. The background is 720 × 480, so the 4:3 surface has sy = 0.575.
class MenuEditorTest : public ::testing::Test {
  protected:
    MenuEditorTest() {
        folders_.create();
        const fs::path theme = folder_ / "theme" / "two";
        test::writeTheme(theme, test::ThemeText{}.text());
        writePicture(theme / "back.jpg", {720, 480}, Qt::darkBlue);
        writePicture(theme / "frame.png", {160, 120}, Qt::yellow);
        writePicture(theme / "prev.png", {60, 40}, Qt::white);
        writePicture(theme / "next.png", {60, 40}, Qt::white);
        catalogue_.loadThemes(folder_ / "theme", log_);
        for (const char* name : {"Sea", "Hill", "Lake"})
            project_.addSlideshow(name);
        menu_.createPages(folders_.working, names(), catalogue_);
        editor_.setVideoFormat(kPalStandard);
    }

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& slideshow : project_.slideshows)
            result.push_back(slideshow->name);
        return result;
    }
    const ComposerItem& item(size_t i) { return editor_.composer().items().at(i); }
    const ComposerItem& firstOfKind(ComposerItem::Kind kind) {
        for (const ComposerItem& candidate : editor_.composer().items()) {
            if (candidate.kind == kind) return candidate;
        }
        ADD_FAILURE() << "no item of kind " << kind;
        return editor_.composer().items().front();
    }
    void clearFlags() { project_.flags() = ModelFlags{}; }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    WorkingFolders folders_ = WorkingFolders::inside(folder_ / "Project_1");
    ResourcePaths resources_ = ResourcePaths::under({folder_.path(), folder_ / "share"});
    RandomGenerator random_{7};
    test::FakePictureFiles pictures_;
    test::FakeAudio audio_;
    test::RecordingNotifier notifier_;
    test::RecordingEvents events_;
    ProjectContext context_{{}, random_, pictures_, audio_, notifier_, events_, {}};
    Preferences preferences_ = Preferences::initial(folder_.path(), {});
    Project project_{context_, preferences_, folders_, resources_};
    ThemeCatalogue catalogue_;
    MenuSet menu_;
    MenuEditor editor_{menu_, project_, catalogue_, notifier_, {}};
};

TEST_F(MenuEditorTest, OnlyTextsAndTheirHandlesSelect) {
    editor_.showCurrentPage();
    ASSERT_EQ(menu_.currentPage, 0);
    const QRect title = item(0).box;
    const QPoint corner = title.topLeft() + QPoint(title.width(), title.height());
    struct Case {
        const char* what;
        QPoint point;
        int selected;
    };
    const Case cases[] = {
        {"title", centreOf(title), 1},
        {"corner handle", corner + QPoint(2, 2), 1},
        {"past the corner handle", corner + QPoint(3, 0), 0},
        {"slideshow button", centreOf(firstOfKind(ComposerItem::SlideshowButton).box), 0},
        {"navigation button", centreOf(firstOfKind(ComposerItem::Navigation).box), 0},
    };
    for (const Case& c : cases) {
        editor_.selectAt(centreOf(title));  // something selected before each click
        clearFlags();
        EXPECT_EQ(editor_.selectAt(c.point), c.selected) << c.what;
        if (c.selected != 0) continue;
        // With the selection emptied, typing in the text field changes nothing.
        EXPECT_FALSE(editor_.editSelectedText("Other")) << c.what;
        EXPECT_EQ(menu_.pages[0].texts[0].text, "My holidays") << c.what;
        EXPECT_EQ(item(0).text, "My holidays") << c.what;
        EXPECT_EQ(names(), (std::vector<std::string>{"Sea", "Hill", "Lake"})) << c.what;
        EXPECT_FALSE(project_.flags().modified) << c.what;
        EXPECT_EQ(editor_.selectedColour(), 0u) << c.what;
        EXPECT_EQ(editor_.selectedFont().pixelHeight, 0) << c.what;
    }
}

TEST_F(MenuEditorTest, OverlappingTextsAreBothSelectedAndTheFirstIsEdited) {
    MenuPage& page = menu_.pages[0];
    MenuText& second = page.texts[2];
    second.x = page.texts[1].x, second.y = page.texts[1].y;
    second.width = page.texts[1].width, second.height = page.texts[1].height;
    editor_.showCurrentPage();

    EXPECT_EQ(editor_.selectAt(centreOf(item(1).box)), 2);
    EXPECT_EQ(editor_.singleSelectedText(), std::nullopt);
    EXPECT_TRUE(editor_.editSelectedText("Dunes"));
    EXPECT_EQ(names(), (std::vector<std::string>{"Dunes", "Hill", "Lake"}));
    EXPECT_EQ(page.texts[1].text, "Dunes");
    EXPECT_EQ(page.texts[2].text, "Hill");
    EXPECT_EQ(item(2).text, "Hill");
}

TEST_F(MenuEditorTest, TypingACaptionRenamesAtEveryKeystroke) {
    editor_.showCurrentPage();
    ASSERT_EQ(editor_.selectAt(centreOf(item(1).box)), 1);
    EXPECT_EQ(editor_.singleSelectedText(), "Sea");
    clearFlags();
    struct Keystroke {
        const char* typed;
        const char* name;  // of the first slideshow, and the caption shown
    };
    const Keystroke keystrokes[] = {
        {"H", "H"},         {"Hi", "Hi"},
        {"Hil", "Hil"},     {"Hill", "Hil"},  // the second slideshow's name: refused
        {"Hills", "Hills"},                   // renamed from the last accepted name
    };
    for (const Keystroke& k : keystrokes) {
        EXPECT_TRUE(editor_.editSelectedText(k.typed));
        EXPECT_EQ(names(), (std::vector<std::string>{k.name, "Hill", "Lake"})) << k.typed;
        EXPECT_EQ(item(1).text, k.name) << k.typed;
        EXPECT_EQ(menu_.pages[0].texts[1].text, k.typed);
    }
    EXPECT_TRUE(project_.flags().modified);
    EXPECT_TRUE(project_.flags().menuStale);
}

TEST_F(MenuEditorTest, AFontChangeKeepsTheHeightInBackgroundPixels) {
    editor_.showCurrentPage();
    ASSERT_EQ(editor_.composer().sy(), 0.575f);
    editor_.selectAt(centreOf(item(0).box));
    clearFlags();
    editor_.setSelectedFont({"Arial", -20, 700, true});

    const MenuText& title = menu_.pages[0].texts[0];
    EXPECT_EQ(title.fontHeight, 34);  // 20 / 0.574999988
    EXPECT_EQ(title.font, (FontRecord{"Arial", 34, 700, true}));
    EXPECT_EQ(title.weight, 700);
    EXPECT_EQ(title.italic, 1);
    // The canvas keeps drawing at the surface height.
    EXPECT_EQ(editor_.selectedFont(), (FontRecord{"Arial", 20, 700, true}));
    EXPECT_TRUE(project_.flags().modified);
}

TEST_F(MenuEditorTest, SwitchingPagesRewritesEveryPagePictureWithoutTheOutline) {
    editor_.showCurrentPage();
    const fs::path first = menu_.pages[0].picturePath;
    const QImage plain(QString::fromStdString(first.string()));
    ASSERT_FALSE(plain.isNull());

    editor_.selectAt(centreOf(item(0).box));
    ASSERT_NE(editor_.shownPicture(), editor_.composer().surface());  // outlined
    for (const MenuPage& page : menu_.pages)
        fs::remove(page.picturePath);
    editor_.showPage(1);

    for (const MenuPage& page : menu_.pages)
        EXPECT_TRUE(fs::exists(page.picturePath)) << page.picturePath;
    EXPECT_EQ(QImage(QString::fromStdString(first.string())), plain);
    EXPECT_EQ(editor_.selectedCount(), 0);
    EXPECT_EQ(item(0).text, "My holidays");
    EXPECT_EQ(firstOfKind(ComposerItem::Navigation).source.filename(), "prev.png");
}

// On the 4:3 surface the title's box is (30, 17) to (336, 50).
TEST_F(MenuEditorTest, TheOutlineMarchesOppositeWaysOnOppositeEdges) {
    editor_.showCurrentPage();
    ASSERT_EQ(item(0).box, QRect(QPoint(30, 17), QPoint(336, 50)));
    editor_.selectAt(centreOf(item(0).box));
    for (int i = 0; i < 3; ++i)
        editor_.tickOutline();
    ASSERT_EQ(editor_.outlineTick(), 3);

    auto black = [&](int x, int y) { return editor_.shownPicture().pixel(x, y) == qRgb(0, 0, 0); };
    auto white = [&](int x, int y) {
        return editor_.shownPicture().pixel(x, y) == qRgb(255, 255, 255);
    };
    // Top: black where (x + 17 + 3) mod 6 > 2; bottom: where (x + 50 − 3) mod 6 > 2.
    struct Pixel {
        int x, y;
        bool isBlack;
    };
    const Pixel pixels[] = {{100, 17, false}, {102, 17, false}, {103, 17, true}, {105, 17, true},
                            {106, 17, false}, {100, 50, true},  {102, 50, true}, {103, 50, false},
                            {105, 50, false}, {106, 50, true}};
    for (const Pixel& p : pixels)
        EXPECT_TRUE(p.isBlack ? black(p.x, p.y) : white(p.x, p.y)) << p.x << "," << p.y;

    // One step on: the top's dashes move left, the bottom's right.
    std::vector<bool> top, bottom;
    for (int x = 100; x < 112; ++x) {
        top.push_back(black(x, 17));
        bottom.push_back(black(x, 50));
    }
    editor_.tickOutline();
    for (int x = 101; x < 111; ++x) {
        EXPECT_EQ(black(x - 1, 17), top[size_t(x - 100)]) << x;
        EXPECT_EQ(black(x + 1, 50), bottom[size_t(x - 100)]) << x;
    }

    // The tick runs through 0..6.
    for (int i = 0; i < 2; ++i)
        editor_.tickOutline();
    EXPECT_EQ(editor_.outlineTick(), 6);
    editor_.tickOutline();
    EXPECT_EQ(editor_.outlineTick(), 0);
}

TEST_F(MenuEditorTest, NothingIsShownWithoutSlideshows) {
    editor_.showCurrentPage();
    const QImage shown = editor_.shownPicture();
    const size_t items = editor_.composer().items().size();
    for (const MenuPage& page : menu_.pages)
        fs::remove(page.picturePath);
    project_.removeAllSlideshows();

    editor_.showPage(1);
    EXPECT_EQ(editor_.shownPicture(), shown);
    EXPECT_EQ(editor_.composer().items().size(), items);
    for (const MenuPage& page : menu_.pages)
        EXPECT_FALSE(fs::exists(page.picturePath)) << page.picturePath;
}

}  // namespace
}  // namespace velmora
