#include "menu/menu_set.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "menu/theme_catalogue.h"
#include "menu/theme_fixture.h"
#include "render/slideshow_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Menus from a theme of two slideshow buttons with captions.
class MenuSetTest : public test::SlideshowFixture {
  protected:
    MenuSetTest() {
        test::writeTheme(folder_ / "theme" / "two", test::ThemeText{}.text());
        catalogue_.loadThemes(folder_ / "theme", log_);
    }
    std::vector<std::string> names(int count) {
        std::vector<std::string> list;
        for (int i = 0; i < count; ++i)
            list.push_back("show" + std::to_string(i));
        return list;
    }
    std::vector<int> controlTypes(const MenuPage& page) {
        std::vector<int> types;
        for (const MenuControlButton& button : page.controlButtons)
            types.push_back(button.type);
        return types;
    }

    ThemeCatalogue catalogue_;
    MenuSet menu_;
};

TEST_F(MenuSetTest, PagesButtonsAndNavigation) {
    ASSERT_EQ(catalogue_.themeCount(), 1);
    constexpr int P = MenuControlButton::Previous, N = MenuControlButton::Next;
    struct Case {
        int slideshows;
        std::vector<int> buttons;  // per page
        std::vector<std::vector<int>> controls;
    };
    const Case cases[] = {
        {0, {}, {}},
        {2, {2}, {{}}},                      // B: one page, no navigation
        {3, {2, 1}, {{N}, {P}}},             // B + 1
        {5, {2, 2, 1}, {{N}, {P, N}, {P}}},  // 2B + 1: the middle page has both
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slideshows);
        menu_.createPages(folder_.path(), names(c.slideshows), catalogue_);
        ASSERT_EQ(menu_.pageCount(), int(c.buttons.size()));
        int next = 0;
        for (size_t i = 0; i < c.buttons.size(); ++i) {
            const MenuPage& page = menu_.pages[i];
            EXPECT_EQ(page.buttonCount(), c.buttons[i]);
            EXPECT_EQ(controlTypes(page), c.controls[i]);
            EXPECT_EQ(page.textCount(), c.buttons[i] + 1);  // a title and one caption a button
            for (int k = 0; k < page.buttonCount(); ++k, ++next) {
                EXPECT_EQ(page.buttons[size_t(k)].slideshowIndex, next);
                EXPECT_EQ(page.texts[size_t(k) + 1].text, "show" + std::to_string(next));
            }
            EXPECT_EQ(page.texts[0].text, "My holidays");
            EXPECT_EQ(page.videoName, "menuVideo" + std::to_string(i));
            EXPECT_EQ(page.plainStreamPath,
                      folder_ / "temp" / ("menuVideo" + std::to_string(i) + "NoInteract.MPG"));
        }
    }
    EXPECT_EQ(menu_.themeIndex, 0);
    EXPECT_EQ(menu_.addPage({}, folder_.path()), -1);
    EXPECT_EQ(menu_.pageCount(), 3);
}

TEST_F(MenuSetTest, TitlesCaptionsAndShrinking) {
    menu_.createPages(folder_.path(), names(5), catalogue_);
    menu_.pages[0].texts[0].setText("Summer");
    menu_.pages[1].texts[0].setText("Winter");
    // A new theme (or the same picked again): the titles stay on their pages.
    menu_.createPages(folder_.path(), names(5), catalogue_);
    EXPECT_EQ(menu_.pages[0].texts[0].text, "Summer");
    EXPECT_EQ(menu_.pages[1].texts[0].text, "Winter");
    EXPECT_EQ(menu_.pages[2].texts[0].text, "My holidays");

    // A renamed slideshow shows at the next fill; fewer slideshows remove
    // pages from the end, the others keeping their titles; the shown page
    // falls back to the first.
    menu_.setCurrentPage(1);
    std::vector<std::string> fewer = names(3);
    fewer[1] = "Alps";
    const fs::path music = folder_ / "tune";  // no extension, and no such file
    menu_.updatePages(catalogue_.selectedTheme()->backgroundPath, music, folder_.path(), fewer,
                      catalogue_, context_);
    ASSERT_EQ(menu_.pageCount(), 2);
    EXPECT_EQ(menu_.pages[0].texts[2].text, "Alps");
    EXPECT_EQ(menu_.pages[1].texts[0].text, "Winter");
    EXPECT_EQ(menu_.pages[1].textCount(), 2);
    EXPECT_EQ(menu_.currentPage, 1);  // 1 is still a page ...
    menu_.setCurrentPage(3);
    menu_.updatePages(catalogue_.selectedTheme()->backgroundPath, music, folder_.path(), fewer,
                      catalogue_, context_);
    EXPECT_EQ(menu_.currentPage, 0);  // ... 3 is not
    EXPECT_EQ(menu_.shownPage(), &menu_.pages[0]);

    // The menu music: a stem without extension, the default music for a
    // file that is gone.
    ASSERT_EQ(menu_.menuTracks.size(), 1u);
    EXPECT_EQ(menu_.menuTracks[0].fileName, "tune");
    EXPECT_EQ(menu_.menuTracks[0].tempMp2Path, folder_ / "temp" / "tune.mp2");
    EXPECT_EQ(menu_.menuTracks[0].sourcePath, context_.defaultMusic);
    EXPECT_EQ(menu_.menuSoundtrackPath, folder_ / "temp" / "menu.mp2");

    // The menu's own paths, as the menu refresh passes them, survive the
    // update that replaces them.
    menu_.menuTracks[0].sourcePath = music;
    menu_.updatePages(menu_.pages[0].backgroundPath, menu_.menuTracks[0].sourcePath, folder_.path(),
                      names(7), catalogue_, context_);
    ASSERT_EQ(menu_.pageCount(), 4);
    EXPECT_EQ(menu_.pages[3].backgroundPath, catalogue_.selectedTheme()->backgroundPath);
    EXPECT_EQ(menu_.menuTracks[0].fileName, "tune");
    menu_.updatePages(menu_.pages[0].backgroundPath, menu_.menuTracks[0].sourcePath, folder_.path(),
                      fewer, catalogue_, context_);

    menu_.repointMenuFiles("/elsewhere/temp");
    EXPECT_EQ(menu_.menuSoundtrackPath, "/elsewhere/temp/menu.mp2");
    EXPECT_EQ(menu_.menuTracks[0].tempMp2Path, "/elsewhere/temp/tune.mp2");
    EXPECT_EQ(menu_.pages[1].subpictureScriptPath, "/elsewhere/temp/menuVideo1.xml");

    // No slideshows: no pages, the shown page left as it was.
    menu_.updatePages(catalogue_.selectedTheme()->backgroundPath, music, folder_.path(), {},
                      catalogue_, context_);
    EXPECT_EQ(menu_.pageCount(), 0);
    EXPECT_EQ(menu_.currentPage, 0);
    EXPECT_EQ(menu_.shownPage(), nullptr);
}

TEST_F(MenuSetTest, AThemeWithOnlyATitle) {
    test::ThemeText titleOnly;
    const std::string text = titleOnly.text();
    const size_t captions = text.find("<C1");
    const size_t end = text.find("</TITLE_TEXT>");
    test::writeTheme(folder_ / "theme" / "two", text.substr(0, captions) + text.substr(end));
    catalogue_.loadThemes(folder_ / "theme", log_);
    menu_.createPages(folder_.path(), names(3), catalogue_);
    ASSERT_EQ(menu_.pageCount(), 2);
    EXPECT_EQ(menu_.pages[0].textCount(), 1);
    EXPECT_EQ(menu_.pages[1].textCount(), 1);
}

}  // namespace
}  // namespace velmora
