#include "menu/menu_composer.h"

#include <gtest/gtest.h>

#include <array>

#include "base/log.h"
#include "menu/menu_masks.h"
#include "menu/menu_set.h"
#include "menu/menu_theme.h"
#include "menu/theme_catalogue.h"
#include "menu/theme_fixture.h"
#include "model/model_fakes.h"
#include "render/slideshow_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

fs::path writePicture(const fs::path& file, QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(QString::fromStdString(file.string()));
    return file;
}

// The largest luma step between neighbours in a row: how hard the hardest
// edge of a picture is.
int hardestEdge(const QImage& image) {
    int hardest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 1; x < image.width(); ++x)
            hardest = std::max(hardest,
                               std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x - 1, y))));
    }
    return hardest;
}

// The share of pixels whose luma differs by more than a quarter of the range.
double differingShare(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64;
    }
    return double(differing) / (a.width() * a.height());
}

class MenuComposerTest : public ::testing::Test {
  protected:
    MenuComposerTest() {
        writePicture(folder_ / "background.png", {720, 480}, Qt::darkBlue);
        writePicture(folder_ / "fallback.png", {100, 100}, Qt::darkGreen);
    }

    MenuButton button(int x, int y, int width, int height) {
        MenuButton b;
        b.x = x, b.y = y, b.width = width, b.height = height;
        return b;
    }

    test::TemporaryFolder folder_;
    test::RecordingNotifier notifier_;
    MenuComposer composer_{notifier_, folder_ / "fallback.png"};
};

TEST_F(MenuComposerTest, MenuCoordinatesBecomeSurfacePixels) {
    composer_.setBackground(folder_ / "background.png", false);
    ASSERT_EQ(composer_.surface().size(), QSize(368, 276));
    EXPECT_EQ(composer_.sy(), 0.575f);  // stored as 0.574999988

    MenuText text;
    text.x = 100, text.y = 120, text.width = 200, text.height = 150;
    text.text = "Summer & friends";
    text.rebuildFont();
    composer_.addText(text);
    // 120 × 0.574999988 is just below 69: the top is 68.
    EXPECT_EQ(composer_.items()[0].textRect, QRect(QPoint(51, 68), QPoint(152, 154)));

    // Window sizes: a button too low for the large window gets the small one.
    struct Case {
        MenuButton button;
        QRect box;
        QRect window;
    };
    const Case cases[] = {
        {button(100, 120, 200, 150), QRect(51, 68, 102, 86), QRect(64, 79, 75, 63)},
        {button(100, 120, 220, 170), QRect(51, 68, 112, 97), QRect(59, 75, 95, 83)},
    };
    for (const Case& c : cases) {
        composer_.addButton({}, c.button);
        EXPECT_EQ(composer_.items().back().box, c.box);
        EXPECT_EQ(composer_.items().back().window, c.window);
    }

    // The text is drawn in its colour inside its rectangle and measured.
    composer_.redraw();
    EXPECT_GT(composer_.items()[0].oneLineWidth, 50);
    EXPECT_EQ(composer_.surface().pixelColor(100, 100), QColor(Qt::black));  // a button window
}

TEST_F(MenuComposerTest, CoversAreFittedIntoTheWindow) {
    composer_.setBackground(folder_ / "background.png", false);
    const fs::path wide = writePicture(folder_ / "wide.png", {400, 100}, Qt::red);
    const fs::path tall = writePicture(folder_ / "tall.png", {100, 200}, Qt::red);
    composer_.addButton(wide, button(100, 120, 220, 170));
    composer_.addButton(tall, button(100, 120, 220, 170));
    const ComposerItem& a = composer_.items()[0];
    EXPECT_EQ(a.cover.size(), QSize(95, 23));  // full width, centred vertically
    EXPECT_EQ(a.coverAt, QPoint(59, 75 + (83 - 23) / 2));
    const ComposerItem& b = composer_.items()[1];
    EXPECT_EQ(b.cover.size(), QSize(41, 83));  // full height, centred horizontally
    EXPECT_EQ(b.coverAt, QPoint(59 + (95 - 41) / 2, 75));
}

TEST_F(MenuComposerTest, AMissingBackgroundIsSaidAndReplaced) {
    composer_.setBackground(folder_ / "background.png", true);
    const float sy = composer_.sy();
    composer_.setBackground(folder_ / "gone.jpg", true);
    EXPECT_EQ(notifier_.messages,
              std::vector<std::string>{"Can not load file " + (folder_ / "gone.jpg").string()});
    EXPECT_EQ(composer_.surface().size(), QSize(368, 207));
    EXPECT_EQ(composer_.surface().pixelColor(10, 10), QColor(Qt::darkGreen));
    EXPECT_EQ(composer_.sy(), sy);  // the scale stays
}

// Page pictures and masks of a menu made from a two-button theme.
class MenuPicturesTest : public test::SlideshowFixture {
  protected:
    MenuPicturesTest() {
        fs::create_directories(folder_ / "temp");
        test::writeTheme(folder_ / "theme" / "two", test::ThemeText{}.text());
        writePicture(folder_ / "theme" / "two" / "back.jpg", {720, 576}, Qt::darkBlue);
        writePicture(folder_ / "theme" / "two" / "frame.png", {160, 120}, Qt::yellow);
        for (const char* name : {"prev.png", "next.png"})
            writePicture(folder_ / "theme" / "two" / name, {60, 40}, Qt::white);
        catalogue_.loadThemes(folder_ / "theme", log_);
        QImage blank(720, 576, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        blank.save(QString::fromStdString((folder_ / "PAL_BG.png").string()));
    }

    QImage load(const fs::path& file) { return QImage(QString::fromStdString(file.string())); }

    ThemeCatalogue catalogue_;
    MenuSet menu_;
    test::RecordingNotifier notifier_;
};

TEST_F(MenuPicturesTest, PagePicturesHaveTheFrameSize) {
    menu_.createPages(folder_.path(), {"a", "b", "c"}, catalogue_);
    ASSERT_EQ(menu_.pageCount(), 2);
    const MenuTheme& theme = *catalogue_.selectedTheme();
    const fs::path cover = writePicture(folder_ / "cover.png", {300, 200}, Qt::red);
    for (bool wide : {false, true}) {
        MenuComposer composer(notifier_, {});
        composer.setBackground(theme.backgroundPath, wide);
        composer.setFramePicture(theme);
        EXPECT_EQ(composer.framePicture().size(), QSize(81, composer.scaleY(120)));
        const QSize pageSize = wide ? QSize(704, 396) : QSize(720, 540);
        renderPagePictures(composer, menu_, {cover, cover, {}}, pageSize);
        for (const MenuPage& page : menu_.pages)
            EXPECT_EQ(load(page.picturePath).size(), pageSize) << page.picturePath;
    }
    EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(MenuPicturesTest, PagePicturesAreTheSurfaceComposedSharplyAtFullSize) {
    menu_.createPages(folder_.path(), {"a", "b", "c"}, catalogue_);
    const MenuTheme& theme = *catalogue_.selectedTheme();
    const fs::path cover = writePicture(folder_ / "cover.png", {300, 200}, Qt::red);
    for (bool wide : {false, true}) {
        MenuComposer composer(notifier_, {});
        composer.setBackground(theme.backgroundPath, wide);
        composer.setFramePicture(theme);
        const QSize pageSize = wide ? QSize(704, 396) : QSize(720, 540);
        renderPagePictures(composer, menu_, {cover, cover, {}}, pageSize);
        const QImage page = load(menu_.pages.back().picturePath);
        const QImage& surface = composer.surface();  // it holds the last page

        // The same page: reduced to the surface, only edge pixels differ
        // (shifting the surface by one pixel makes twenty times as many).
        EXPECT_LT(differingShare(Picture(page).downscaled(surface.size()).image(), surface), 0.002);
        // The title's letters are rasterised at full size, not enlarged.
        const double scale = double(pageSize.width()) / surface.width();
        const QRect title = composer.items()[0].textRect;
        const QRect titleOnPage(title.topLeft() * scale, title.size() * scale);
        const QImage enlarged = Picture(surface).resampled(pageSize).image();
        EXPECT_GT(hardestEdge(page.copy(titleOnPage)),
                  1.6 * hardestEdge(enlarged.copy(titleOnPage)));
    }
}

TEST_F(MenuPicturesTest, MasksOutlineEveryButtonJustInsideItsBox) {
    menu_.createPages(folder_.path(), {"a", "b", "c"}, catalogue_);
    menu_.pages[1].controlButtons.clear();  // page 1: one slideshow button only
    menu_.pages[1].buttons.clear();         // and then none at all
    ASSERT_TRUE(writeMenuMasks(menu_, catalogue_, kPalStandard, folder_ / "PAL_BG.png"));

    // Slot 0 is at (100, 200) 160 × 120 on a 720 × 576 background: the
    // frame box is the same.
    const QImage highlight = load(menu_.pages[0].highlightMaskPath);
    const QImage select = load(menu_.pages[0].selectMaskPath);
    ASSERT_EQ(highlight.size(), QSize(720, 576));
    const FrameBox box{100, 200, 260, 320};
    const QPoint outline[] = {{box.x0 + 1, box.y0 + 1}, {box.x1 - 2, box.y1 - 3},
                              {box.x0 + 2, box.y0 + 2}, {box.x1 - 3, box.y1 - 4},
                              {box.x0 + 1, 250},        {180, box.y1 - 4}};
    for (QPoint p : outline) {
        EXPECT_EQ(highlight.pixel(p), 0xFFFF0000u) << p.x() << "," << p.y();
        EXPECT_EQ(select.pixel(p), 0xFF0000FFu) << p.x() << "," << p.y();
    }
    const QPoint clear[] = {{box.x0, box.y0}, {box.x1 - 1, 250}, {180, box.y1 - 2}, {180, 250}};
    for (QPoint p : clear)
        EXPECT_EQ(qAlpha(highlight.pixel(p)), 0) << p.x() << "," << p.y();

    // A page without buttons gets masks equal to the template.
    EXPECT_EQ(load(menu_.pages[1].highlightMaskPath).convertToFormat(QImage::Format_ARGB32),
              load(folder_ / "PAL_BG.png").convertToFormat(QImage::Format_ARGB32));

    // 16:9 adds letterbox masks: the outline squeezed to three quarters
    // below a bar of an eighth.
    ASSERT_TRUE(writeMenuMasks(menu_, catalogue_, {TvStandard::Pal, AspectRatio::Wide},
                               folder_ / "PAL_BG.png"));
    const QImage letterbox = load(letterboxFile(menu_.pages[0].highlightMaskPath));
    EXPECT_EQ(letterbox.pixel(box.x0 + 1, 72 + 200 * 3 / 4 + 1), 0xFFFF0000u);
    EXPECT_EQ(letterbox.pixel(box.x0 + 1, 72 + 320 * 3 / 4 - 3), 0xFFFF0000u);

    MenuSet withoutTheme;
    EXPECT_FALSE(writeMenuMasks(withoutTheme, catalogue_, kPalStandard, folder_ / "PAL_BG.png"));
}

TEST_F(MenuPicturesTest, MaskOutlinesLieOnTheButtonsOfTheFullSizePicture) {
    menu_.createPages(folder_.path(), {"a", "b", "c"}, catalogue_);
    const MenuTheme& theme = *catalogue_.selectedTheme();
    MenuComposer composer(notifier_, {});
    composer.setBackground(theme.backgroundPath, false);
    composer.setFramePicture(theme);
    renderPagePictures(composer, menu_, {{}, {}, {}}, {720, 540});
    ASSERT_TRUE(writeMenuMasks(menu_, catalogue_, kPalStandard, folder_ / "PAL_BG.png"));

    // The encoder stretches the 720 × 540 page over the 720 × 576 frame of
    // the masks. Page 0: two slideshow buttons and Next.
    const MenuPage& page = menu_.pages[0];
    const QImage picture = load(page.picturePath);
    const QImage highlight = load(page.highlightMaskPath);
    auto onBackground = [&](QPoint framePixel) {
        const QColor colour = picture.pixelColor(framePixel.x(), framePixel.y() * 540 / 576);
        const QColor background(Qt::darkBlue);  // the theme's, as a JPEG keeps it
        return std::abs(colour.red() - background.red()) <= 8 &&
               std::abs(colour.green() - background.green()) <= 8 &&
               std::abs(colour.blue() - background.blue()) <= 8;
    };
    const FrameScale scale({720, 576}, 576);
    std::vector<FrameBox> boxes;
    for (const MenuButton& b : page.buttons)
        boxes.push_back(scale.box(b.x, b.y, b.width, b.height));
    for (const MenuControlButton& b : page.controlButtons)
        boxes.push_back(scale.box(b.x, b.y, b.width, b.height));
    ASSERT_EQ(boxes.size(), 3u);
    for (const FrameBox& box : boxes) {
        const int midX = (box.x0 + box.x1) / 2, midY = (box.y0 + box.y1) / 2;
        // The inner line of the outline lies on the drawn button on every
        // side,
        const QPoint outline[] = {
            {box.x0 + 2, midY}, {box.x1 - 3, midY}, {midX, box.y0 + 2}, {midX, box.y1 - 4}};
        for (QPoint p : outline) {
            EXPECT_EQ(highlight.pixel(p), 0xFFFF0000u) << p.x() << "," << p.y();
            EXPECT_FALSE(onBackground(p)) << p.x() << "," << p.y();
        }
        // and the button stays within the box, give or take a surface pixel.
        const QPoint outside[] = {
            {box.x0 - 3, midY}, {box.x1 + 2, midY}, {midX, box.y0 - 3}, {midX, box.y1 + 2}};
        for (QPoint p : outside)
            EXPECT_TRUE(onBackground(p)) << p.x() << "," << p.y();
    }
}

TEST(FrameScale, SinglePrecisionEdges) {
    // A PAL background 500 high: sy is 1.1519999…, so the last row lands on
    // 575, and buttons end on an even row inside the frame: 574.
    EXPECT_EQ(FrameScale({720, 500}, 576).box(0, 400, 10, 100).y1, 574);
    const FrameBox doubled = FrameScale({360, 240}, 480).box(10, 20, 50, 30);
    EXPECT_EQ((std::array{doubled.x0, doubled.y0, doubled.x1, doubled.y1}),
              (std::array{20, 40, 120, 100}));
    EXPECT_EQ(FrameScale({700, 500}, 576).box(350, 0, 1, 1).x0, 360);
}

}  // namespace
}  // namespace velmora
