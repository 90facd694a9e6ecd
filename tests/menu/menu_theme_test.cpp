#include "menu/menu_theme.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/log.h"
#include "menu/theme_catalogue.h"
#include "menu/theme_fixture.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The same text as UTF-16 little-endian, with or without its byte-order mark.
void writeWideTheme(const fs::path& folder, const std::string& text, bool byteOrderMark) {
    fs::create_directories(folder);
    std::ofstream out(folder / "config.xml", std::ios::binary);
    if (byteOrderMark) out << '\xFF' << '\xFE';
    for (char c : text)
        out << c << '\0';
}

TEST(MenuTheme, ReadsEveryPartInItsPlace) {
    test::TemporaryFolder folder;
    test::ThemeText theme;
    theme.index = 3;
    theme.fontName = std::string(40, 'F');
    test::writeTheme(folder / "sea", theme.text());
    std::string reason;
    const auto read = readMenuTheme(folder / "sea" / "config.xml", &reason);
    ASSERT_TRUE(read) << reason;
    EXPECT_EQ(read->index, 3);
    EXPECT_EQ(read->backgroundPath, folder / "sea" / "back.jpg");
    EXPECT_EQ(read->previewPath, folder / "sea" / "preview.jpg");
    ASSERT_EQ(read->texts.size(), 3u);
    const MenuText& title = read->texts[0];
    EXPECT_EQ(title.text, "My holidays");
    EXPECT_EQ(title.faceName, std::string(31, 'F'));  // cut to 31 characters
    EXPECT_EQ(title.fontHeight, 40);
    EXPECT_EQ(title.weight, 700);
    EXPECT_EQ(title.italic, 1);  // the low 8 bits of 257
    EXPECT_EQ(title.colour, 16777215u);
    EXPECT_EQ(title.font, (FontRecord{std::string(31, 'F'), 40, 700, true}));
    EXPECT_EQ(read->texts[2].text, "Hills");
    EXPECT_EQ(read->texts[2].x, 0);  // a missing attribute reads as 0
    // The text button is passed over; values read as atoi reads them.
    ASSERT_EQ(read->buttonSlots.size(), 2u);
    EXPECT_EQ(read->buttonSlots[1].x, 400);
    EXPECT_EQ(read->buttonSlots[1].height, 120);
    EXPECT_EQ(read->buttonSlots[1].imagePath, folder / "sea" / "frame.png");
    ASSERT_EQ(read->controlSlots.size(), 2u);
    EXPECT_EQ(read->controlSlots[1].imagePath, folder / "sea" / "next.png");
    EXPECT_EQ(unusableThemeReason(*read), "");

    // UTF-16 with a byte-order mark reads like its 8-bit twin; without the
    // mark it is refused.
    writeWideTheme(folder / "wide", theme.text(), true);
    const auto wide = readMenuTheme(folder / "wide" / "config.xml", &reason);
    ASSERT_TRUE(wide) << reason;
    EXPECT_EQ(wide->texts[0].text, "My holidays");
    EXPECT_EQ(wide->buttonSlots.size(), 2u);
    writeWideTheme(folder / "bare", theme.text(), false);
    EXPECT_FALSE(readMenuTheme(folder / "bare" / "config.xml", &reason));
}

TEST(MenuTheme, FaultsFailTheTheme) {
    test::TemporaryFolder folder;
    struct Case {
        const char* name;
        test::ThemeText theme;
    };
    test::ThemeText swapped;
    swapped.head =
        "<PRVIEW_IMAGE>preview.jpg</PRVIEW_IMAGE><BACKGROUND_IMAGE>back.jpg"
        "</BACKGROUND_IMAGE>";
    test::ThemeText stray;
    stray.buttons += "<NOTE>made by hand</NOTE>";
    const Case cases[] = {{"preview before background", swapped}, {"stray element", stray}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeTheme(folder / c.name, c.theme.text());
        std::string reason;
        EXPECT_FALSE(readMenuTheme(folder / c.name / "config.xml", &reason));
        EXPECT_NE(reason.find("config.xml"), std::string::npos) << reason;
    }
    std::string reason;
    EXPECT_FALSE(readMenuTheme(folder / "absent" / "config.xml", &reason));
    test::writeTheme(folder / "broken", "<THEME INDEX=\"0\"><BACKGROUND_IMAGE>");
    EXPECT_FALSE(readMenuTheme(folder / "broken" / "config.xml", &reason));

    // Readable but unusable for pages.
    MenuTheme theme;
    EXPECT_EQ(unusableThemeReason(theme), "it has no slideshow button");
    theme.buttonSlots.resize(2);
    EXPECT_EQ(unusableThemeReason(theme), "it has no title text");
    theme.texts.resize(2);
    EXPECT_EQ(unusableThemeReason(theme), "it has fewer button captions than buttons");
    theme.texts.resize(1);  // a title without captions is enough
    EXPECT_EQ(unusableThemeReason(theme), "it has no Previous and Next buttons");
}

TEST(ThemeCatalogue, PositionsFollowTheIndexes) {
    test::TemporaryFolder folder;
    const Log log(folder / "log.txt");
    const auto catalogueOf = [&](const std::vector<std::pair<std::string, int>>& themes) {
        fs::remove_all(folder / "theme");
        for (const auto& [name, index] : themes) {
            test::ThemeText theme;
            theme.index = index;
            test::writeTheme(folder / "theme" / name, theme.text());
        }
        ThemeCatalogue catalogue;
        catalogue.loadThemes(folder / "theme", log);
        std::vector<int> indexes;
        for (const MenuTheme& theme : catalogue.themes())
            indexes.push_back(theme.index);
        return indexes;
    };
    EXPECT_EQ(catalogueOf({{"c", 0}, {"a", 2}, {"b", 1}}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(catalogueOf({{"a", 0}, {"b", 1}, {"c", 3}}), (std::vector<int>{0, 1}));
    EXPECT_EQ(catalogueOf({{"a", 1}, {"b", 0}, {"c", -1}}), (std::vector<int>{0, 1}));

    // Two themes with one index: the first folder's is listed.
    fs::remove_all(folder / "theme");
    test::ThemeText first, second;
    first.fontName = "First";
    second.fontName = "Second";
    test::writeTheme(folder / "theme" / "a", first.text());
    test::writeTheme(folder / "theme" / "b", second.text());
    ThemeCatalogue catalogue;
    EXPECT_TRUE(catalogue.loadThemes(folder / "theme", log));
    ASSERT_EQ(catalogue.themeCount(), 1);
    EXPECT_EQ(catalogue.selectedTheme()->texts[0].faceName, "First");

    // A theme without buttons is left out with its reason in the log.
    test::ThemeText noButtons;
    noButtons.index = 1;
    noButtons.buttons = "";
    test::writeTheme(folder / "theme" / "c", noButtons.text());
    EXPECT_TRUE(catalogue.loadThemes(folder / "theme", log));
    EXPECT_EQ(catalogue.themeCount(), 1);
    std::ifstream logFile(log.file());
    const std::string logText(std::istreambuf_iterator<char>(logFile), {});
    EXPECT_NE(logText.find("cannot make menu pages: it has no slideshow button"),
              std::string::npos);

    ThemeCatalogue empty;
    EXPECT_FALSE(empty.loadThemes(folder / "nowhere", log));
    EXPECT_EQ(empty.selectedTheme(), nullptr);
    empty.select(2);
    EXPECT_EQ(empty.selectedIndex(), 0);
}

}  // namespace
}  // namespace velmora
