#include "gui/pages/menu_tab.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "gui/gui_fixture.h"
#include "gui/menu_canvas_widget.h"
#include "gui/theme_list_view.h"
#include "menu/menu_theme.h"
#include "workspace/slideshow_commands.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class MenuTabTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        ASSERT_GE(app.catalogue.themeCount(), 3);
        tab = window->menuTab();
    }

    // `count` slideshows of one small photo each.
    void addSlideshows(int count) {
        for (int i = 0; i < count; ++i)
            addPhotoSlideshow(1);
    }
    void enterPage() {
        window->pages()->setCurrentIndex(MainWindow::kMenuTab);
        QCoreApplication::processEvents();
    }
    void clickTheme(int index) {
        ThemeListView* list = tab->themeList();
        const QRect place = list->visualItemRect(list->item(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    QStringList pageEntries() const {
        QStringList entries;
        for (int i = 0; i < tab->pageList()->count(); ++i)
            entries << tab->pageList()->itemText(i);
        return entries;
    }
    int slotsOf(int theme) const {
        return int(app.catalogue.themes()[size_t(theme)].buttonSlots.size());
    }

    MenuTab* tab = nullptr;
};

TEST_F(MenuTabTest, AThemePickedBeforeAnySlideshowWaitsForTheFirstRefresh) {
    enterPage();
    clickTheme(1);
    EXPECT_EQ(app.catalogue.selectedIndex(), 1);
    EXPECT_EQ(app.menu.pageCount(), 0);
    EXPECT_EQ(tab->pageList()->count(), 0);

    addSlideshows(2);  // the model marks the menu stale
    window->pages()->setCurrentIndex(MainWindow::kPhotosTab);
    enterPage();
    ASSERT_EQ(app.menu.pageCount(), 1);
    EXPECT_EQ(app.menu.themeIndex, 1);
    EXPECT_EQ(app.menu.pages[0].backgroundPath, app.catalogue.themes()[1].backgroundPath);
    EXPECT_TRUE(fs::exists(app.menu.pages[0].picturePath));
    EXPECT_FALSE(app.project.flags().menuStale);
}

TEST_F(MenuTabTest, TheThemesPlaceChoosesThePageShownWhenThereIsOne) {
    addSlideshows(2 * slotsOf(2) + 1);
    enterPage();
    clickTheme(2);
    EXPECT_EQ(pageEntries(), (QStringList{"Page0", "Page1", "Page2"}));
    EXPECT_EQ(app.menu.currentPage, 2);
    EXPECT_EQ(tab->pageList()->currentIndex(), 2);

    // With fewer pages than the theme's place: the first page.
    app.project.slideshows.resize(1);
    app.project.flags().menuStale = true;
    clickTheme(2);
    EXPECT_EQ(pageEntries(), (QStringList{"Page0"}));
    EXPECT_EQ(app.menu.currentPage, 0);
}

TEST_F(MenuTabTest, FiveSlideshowsOnAFourSlotThemeMakeTwoPagesToSwitchBetween) {
    int fourSlots = -1;
    for (int i = 0; i < app.catalogue.themeCount() && fourSlots < 0; ++i)
        if (slotsOf(i) == 4) fourSlots = i;
    ASSERT_GE(fourSlots, 0) << "no theme of four slots is installed";
    addSlideshows(5);
    enterPage();
    clickTheme(fourSlots);
    EXPECT_EQ(pageEntries(), (QStringList{"Page0", "Page1"}));

    tab->pageList()->setCurrentIndex(1 - app.menu.currentPage);
    const int shown = app.menu.currentPage;
    EXPECT_EQ(tab->pageList()->currentIndex(), shown);
    // The page's captions are on the canvas: page 1 holds slideshow 4 alone.
    const std::string& caption = tab->editor().composer().items().at(1).text;
    EXPECT_EQ(caption, app.project.slideshows[shown == 1 ? 4 : 0]->name);

    // A new project while the page shows: no page left on the canvas.
    window->newProject();
    EXPECT_TRUE(app.project.slideshows.empty());
    EXPECT_TRUE(tab->editor().composer().items().empty());
    EXPECT_EQ(tab->pageList()->count(), 0);
}

TEST_F(MenuTabTest, FontAndColourWaitForASelection) {
    addSlideshows(1);
    enterPage();
    ASSERT_GT(tab->editor().composer().items().size(), 0u);
    const FontRecord before = app.menu.pages[0].texts[0].font;
    app.project.flags().modified = false;
    files.font = FontRecord{"Arial", 40, 700, true};
    files.colour = 0x0000FF;

    auto* fontButton = tab->findChild<QToolButton*>(QStringLiteral("fontButton"));
    EXPECT_FALSE(fontButton->isEnabled());
    tab->chooseFont();
    tab->chooseColour();
    EXPECT_EQ(app.menu.pages[0].texts[0].font, before);
    EXPECT_FALSE(app.project.flags().modified);

    // A click on the caption selects it: its text to edit, the font and
    // colour commands, and the moving outline on the canvas only.
    MenuCanvasWidget* canvas = tab->canvas();
    const QRect caption = tab->editor().composer().items().at(1).box;
    QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->widgetPointOf(caption.center()));
    ASSERT_EQ(tab->editor().selectedCount(), 1);
    EXPECT_EQ(tab->textField()->text(), QString::fromStdString(app.project.slideshows[0]->name));
    EXPECT_TRUE(fontButton->isEnabled());
    const int tick = tab->editor().outlineTick();
    EXPECT_TRUE(test::waitUntil([&] { return tab->editor().outlineTick() != tick; }, 1000));
    EXPECT_NE(tab->editor().shownPicture(), tab->editor().composer().surface());
    tab->chooseColour();
    EXPECT_EQ(app.menu.pages[0].texts[1].colour, 0x0000FFu);
    EXPECT_TRUE(app.project.flags().modified);
}

}  // namespace
}  // namespace velmora
