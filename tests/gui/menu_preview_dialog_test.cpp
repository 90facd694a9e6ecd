#include "gui/menu_preview_dialog.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <memory>
#include <sstream>

#include "gui/gui_fixture.h"
#include "gui/preview_pane.h"
#include "render/preview_state.h"
#include "workspace/menu_preparation.h"
#include "workspace/slideshow_commands.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kSlideshows = 5;
constexpr int kPlayTimeoutMs = 20000;

// Five slideshows of one one-second photo on a theme of four button slots
// (or whichever slot count the installation offers): two menu pages.
class MenuPreviewDialogTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        for (int s = 0; s < kSlideshows; ++s)
            addPhotoSlideshow(1, 1);
        selectFourSlotTheme();
        std::string reason;
        ASSERT_TRUE(prepareMenu(app, true, std::nullopt, &reason)) << reason;
        slots_ = int(app.catalogue.selectedTheme()->buttonSlots.size());
        ASSERT_GE(app.menu.pageCount(), 2) << "the test needs a theme of fewer than 5 slots";
        dialog = std::make_unique<MenuPreviewDialog>(
            MenuPreviewParts{app, preview, window->audioPreview()}, window.get());
        dialog->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override { dialog.reset(); }

    void selectFourSlotTheme() {
        const std::vector<MenuTheme>& themes = app.catalogue.themes();
        for (int i = 0; i < int(themes.size()); ++i) {
            if (themes[size_t(i)].buttonSlots.size() == 4) {
                app.catalogue.select(i);
                return;
            }
        }
    }

    // The middle of a rectangle of background pixels on the menu screen,
    // scaled as the page pictures are.
    QPoint screenCentre(int x, int y, int width, int height) const {
        const QSize background =
            QImageReader(
                QString::fromStdString(app.catalogue.selectedTheme()->backgroundPath.string()))
                .size();
        const QSize view = dialog->viewSize();
        const auto sx = static_cast<float>(double(view.width()) / background.width());
        const auto sy = static_cast<float>(double(view.height()) / background.height());
        const auto scaled = [](int v, float f) { return int(double(v) * double(f)); };
        return {(scaled(x, sx) + scaled(x + width, sx)) / 2,
                (scaled(y, sy) + scaled(y + height, sy)) / 2};
    }
    QPoint buttonOn(int page, int k) const {
        const MenuButton& b = app.menu.pages[size_t(page)].buttons[size_t(k)];
        return screenCentre(b.x, b.y, b.width, b.height);
    }
    QPoint controlOn(int page, int type) const {
        for (const MenuControlButton& c : app.menu.pages[size_t(page)].controlButtons) {
            if (c.type == type) return screenCentre(c.x, c.y, c.width, c.height);
        }
        ADD_FAILURE() << "page " << page << " has no navigation button of type " << type;
        return {};
    }
    void clickMenu(QPoint point) {
        QTest::mouseClick(dialog->menuView(), Qt::LeftButton, {}, point);
    }
    bool menuShows() const {
        return dialog->menuView()->isVisible() && !dialog->videoView()->isVisible();
    }
    bool musicPlays() { return window->audioPreview().isPlaying(); }

    PreviewState preview;
    std::unique_ptr<MenuPreviewDialog> dialog;
    int slots_ = 0;
};

TEST_F(MenuPreviewDialogTest, NextShowsTheLastPageWhoseButtonPlaysTheLastSlideshowThenTheMenu) {
    EXPECT_EQ(dialog->windowTitle(), "Preview Slideshow");
    EXPECT_EQ(dialog->shownPage(), 0);
    EXPECT_TRUE(menuShows());
    EXPECT_TRUE(musicPlays());
    const size_t openedAtStart = audio.opened.size();
    ASSERT_GT(openedAtStart, 0u);

    clickMenu(controlOn(0, MenuControlButton::Next));
    EXPECT_EQ(dialog->shownPage(), 1);
    EXPECT_GT(audio.opened.size(), openedAtStart) << "paging starts the menu music again";
    EXPECT_TRUE(musicPlays());

    const int last = kSlideshows - 1;
    ASSERT_EQ(app.menu.pages[1].buttons.size(), size_t(kSlideshows - slots_));
    clickMenu(buttonOn(1, last - slots_));
    EXPECT_EQ(dialog->playedSlideshow(), last);
    EXPECT_TRUE(dialog->videoView()->isVisible());
    EXPECT_TRUE(preview.isPreviewRunning());

    ASSERT_TRUE(test::waitUntil([&] { return !dialog->isPlayingSlideshow(); }, kPlayTimeoutMs));
    EXPECT_GT(dialog->videoView()->framesShown(), 0);
    EXPECT_TRUE(menuShows());
    EXPECT_EQ(dialog->shownPage(), 1);
    EXPECT_TRUE(musicPlays()) << "the menu music plays again";
}

TEST_F(MenuPreviewDialogTest, ASlideshowIsFollowedByTheNextAndTheMenuButtonReturnsAtOnce) {
    clickMenu(buttonOn(0, 1));
    EXPECT_EQ(dialog->playedSlideshow(), 1);
    ASSERT_TRUE(test::waitUntil([&] { return dialog->playedSlideshow() == 2; }, kPlayTimeoutMs));
    EXPECT_TRUE(preview.isPreviewRunning());

    QTest::mouseClick(dialog->menuButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isPlayingSlideshow());
    EXPECT_FALSE(preview.isPreviewRunning());
    EXPECT_TRUE(menuShows());
    EXPECT_TRUE(musicPlays());
    // The stopped run's end must not start slideshow 3.
    QTest::qWait(300);
    EXPECT_FALSE(dialog->isPlayingSlideshow());
}

TEST_F(MenuPreviewDialogTest, PressingAButtonOutlinesItInBlueTwice) {
    const QPoint centre = buttonOn(0, 0);
    QTest::mousePress(dialog->menuView(), Qt::LeftButton, {}, centre);
    const QRect outline = dialog->navigator().focusedRect();
    ASSERT_TRUE(outline.contains(centre));
    const QImage shown = dialog->menuView()->grab().toImage();
    const QColor blue(0, 0, 255);
    EXPECT_EQ(shown.pixelColor(outline.topLeft()), blue);
    EXPECT_EQ(shown.pixelColor(outline.bottomRight()), blue);
    EXPECT_EQ(shown.pixelColor(outline.topLeft() + QPoint(1, 1)), blue);
    EXPECT_EQ(shown.pixelColor(outline.bottomRight() - QPoint(1, 1)), blue);
    QTest::mouseRelease(dialog->menuView(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(dialog->playedSlideshow(), 0);
}

TEST_F(MenuPreviewDialogTest, ArrowsAndEnterPlayASlideshowAndEscapeStopsEverything) {
    QWidget* view = dialog->menuView();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(dialog->playedSlideshow(), 1);
    EXPECT_TRUE(preview.isPreviewRunning());

    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(preview.isPreviewRunning());
    EXPECT_FALSE(musicPlays());
}

TEST_F(MenuPreviewDialogTest, ClosingTheWindowStopsTheMenuMusic) {
    ASSERT_TRUE(musicPlays());
    dialog->close();
    EXPECT_FALSE(musicPlays());
    EXPECT_FALSE(preview.isPreviewRunning());
}

TEST_F(MenuPreviewDialogTest, AnUnreadablePagePictureShowsTheFallbackBackgroundAndIsLogged) {
    const fs::path missing = app.menu.pages[1].picturePath;
    fs::remove(missing);
    const QImage pageZero = dialog->menuView()->grab().toImage();
    clickMenu(controlOn(0, MenuControlButton::Next));
    ASSERT_EQ(dialog->shownPage(), 1);

    std::ifstream logFile(app.log.file());
    std::stringstream logged;
    logged << logFile.rdbuf();
    EXPECT_NE(logged.str().find("Can not load file " + missing.string()), std::string::npos);
    const QImage fallback =
        QImage(QString::fromStdString(app.resources.background1.string()))
            .convertToFormat(QImage::Format_RGB32)
            .scaled(dialog->viewSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ASSERT_FALSE(fallback.isNull());
    const QImage shown = dialog->menuView()->grab().toImage();
    const QPoint corner(2, 2);  // away from every button's outline
    EXPECT_EQ(shown.pixelColor(corner), fallback.pixelColor(corner));
    EXPECT_NE(shown, pageZero);
}

}  // namespace
}  // namespace velmora
