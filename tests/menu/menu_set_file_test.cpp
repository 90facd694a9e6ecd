#include "menu/menu_set_file.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "base/markup_document.h"
#include "menu/menu_set.h"
#include "menu/theme_catalogue.h"
#include "menu/theme_fixture.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

// A stored page named `name`, without the element `missing` when given.
std::string page(const std::string& name, const std::string& sets,
                 const std::string& missing = {}) {
    const char* elements[] = {"RORO_MENU_VIDEO_PROCESSED_FRAME", "RORO_MENU_BG_FILE_NAME",
                              "RORO_MENU_BG_TEMP_FILE_NAME",     "RORO_MENU_HIGHT_LIGHT_FILE_PATH",
                              "RORO_MENU_SELECT_FILE_PATH",      "RORO_MENU_MENU_PIC",
                              "RORO_MENU_M2V_FILE_PATH",         "RORO_MENU_MPEG_NO_INTERACT_FILE",
                              "RORO_MENU_MPEG_FILE_PATH",        "RORO_MENU_YUV_FILE_PATH",
                              "RORO_MENU_XML_FILE_PATH"};
    std::string text = "<RORO_MENU_VIDEO_TAG>";
    for (const std::string element : elements) {
        if (element != missing) text += "<" + element + ">/w/" + name + "</" + element + ">";
    }
    return text + "<RORO_MENU_VIDEO_NAME>" + name + "</RORO_MENU_VIDEO_NAME>" + sets +
           "</RORO_MENU_VIDEO_TAG>";
}

class MenuSetFileTest : public ::testing::Test {
  protected:
    MenuSetFileTest() {
        for (int index : {0, 1}) {
            test::ThemeText theme;
            theme.index = index;
            test::writeTheme(folder_ / "theme" / std::to_string(index), theme.text());
        }
        catalogue_.loadThemes(folder_ / "theme", log_);
    }
    void load(const std::string& inside) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.parseText("<roroMenu>" + inside + "</roroMenu>"));
        ASSERT_TRUE(doc.findNext("roroMenu") && doc.enter());
        loadMenuSet(doc, menu_, catalogue_);
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    ThemeCatalogue catalogue_;
    MenuSet menu_;
};

TEST_F(MenuSetFileTest, ReadingDropsWhatIsIncompleteAndKeepsTheRest) {
    const std::string head =
        "<BG_AUDIO_MP2_FILE_NAME>/w/temp/menu.mp2</BG_AUDIO_MP2_FILE_NAME>"
        "<MENU_THEME_INDEX>1</MENU_THEME_INDEX><CURRENT_DISPLAY_PAGE>1</CURRENT_DISPLAY_PAGE>";
    const std::string texts =
        "<RORO_MENU_TEXT_SET>"
        "<PM_TEXT_TAG PM_TEXT_X=\"5\" PM_TEXT_FONT_NAME=\"Liberation Serif\" "
        "PM_TEXT_FONT_HEIGHT=\"30\" PM_TEXT_WEIGHT=\"700\" PM_TEXT_TEXT_CONTENT=\"Hi &amp; bye\"/>"
        "<PM_TEXT_TAG/><OTHER/><PM_TEXT_TAG/></RORO_MENU_TEXT_SET>";
    const std::string controls =
        "<RORO_MENU_CONTROL_BUTTON_SET><PM_DVDMENU_CONTROL_BUTTON_TAG "
        "PM_DVDMENU_CONTROL_BUTTON_TYPE=\"1\" PM_DVDMENU_CONTROL_BUTTON_FILE_PATH=\"/r/next.png\"/>"
        "</RORO_MENU_CONTROL_BUTTON_SET>";
    load(head +
         "<BG_AUDIO_FILE_SET><OTHER/><RORO_AUDIO_FILE_INFO RORO_AUDIO_ORIGINAL_FILE_PATH="
         "\"/m/a.mp3\" RORO_AUDIO_IDURATION_TIME=\"20\"/></BG_AUDIO_FILE_SET>"
         "<BG_MENU_PAGE_SET>" +
         page("first", texts + controls) + page("broken", "", "RORO_MENU_MENU_PIC") +
         "<NOT_A_PAGE/>" + page("last", "") + "</BG_MENU_PAGE_SET>");

    EXPECT_EQ(menu_.menuSoundtrackPath, "/w/temp/menu.mp2");
    EXPECT_EQ(menu_.themeIndex, 1);
    EXPECT_EQ(catalogue_.selectedIndex(), 1);
    EXPECT_EQ(menu_.currentPage, 1);
    ASSERT_EQ(menu_.menuTracks.size(), 1u);
    EXPECT_EQ(menu_.menuTracks[0].sourcePath, "/m/a.mp3");
    EXPECT_EQ(menu_.menuTracks[0].durationSeconds, 20);
    EXPECT_EQ(menu_.menuTracks[0].fileName, "");  // a missing attribute reads as empty

    ASSERT_EQ(menu_.pageCount(), 2);
    const MenuPage& first = menu_.pages[0];
    EXPECT_EQ(first.videoName, "first");
    EXPECT_EQ(first.jpegPath, "/w/first");
    ASSERT_EQ(first.textCount(), 2);  // the set ends at the first foreign element
    EXPECT_EQ(first.texts[0].text, "Hi & bye");
    EXPECT_EQ(first.texts[0].x, 5);
    EXPECT_EQ(first.texts[0].font, (FontRecord{"Liberation Serif", 30, 700, false}));
    EXPECT_EQ(first.buttonCount(), 0);
    ASSERT_EQ(first.controlButtonCount(), 1);
    EXPECT_EQ(first.controlButtons[0].type, MenuControlButton::Next);
    EXPECT_EQ(first.controlButtons[0].imagePath, "/r/next.png");
    EXPECT_EQ(menu_.pages[1].videoName, "last");
    EXPECT_EQ(menu_.pages[1].pageIndex, 1);

    // A missing element stops the reading; what came before it stays.
    MenuSet other;
    menu_ = std::move(other);
    load(
        "<BG_AUDIO_MP2_FILE_NAME>/x.mp2</BG_AUDIO_MP2_FILE_NAME><MENU_THEME_INDEX>0"
        "</MENU_THEME_INDEX><BG_AUDIO_FILE_SET><RORO_AUDIO_FILE_INFO/></BG_AUDIO_FILE_SET>"
        "<BG_MENU_PAGE_SET>" +
        page("p", "") + "</BG_MENU_PAGE_SET>");
    EXPECT_EQ(menu_.menuSoundtrackPath, "/x.mp2");
    EXPECT_EQ(catalogue_.selectedIndex(), 0);
    EXPECT_TRUE(menu_.menuTracks.empty());
    EXPECT_EQ(menu_.pageCount(), 0);
}

}  // namespace
}  // namespace velmora
