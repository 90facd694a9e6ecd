#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace velmora::test {

// A theme file with two slideshow buttons (and a text button passed over),
// captions for both, and Previous and Next; parts can be swapped for faults.
struct ThemeText {
    int index = 0;
    std::string head =
        "<BACKGROUND_IMAGE>back.jpg</BACKGROUND_IMAGE>"
        "<PRVIEW_IMAGE>preview.jpg</PRVIEW_IMAGE>";
    std::string fontName = "Arial";
    std::string buttons =
        "<DVD_BUTTON TYPE=\"DVD_BUTTON_IMAGE\" X=\"100\" Y=\"200\" WIDTH=\"160\" "
        "HEIGHT=\"120\">frame.png</DVD_BUTTON>"
        "<DVD_BUTTON TYPE=\"DVD_BUTTON_TEXT\" X=\"1\" Y=\"1\" WIDTH=\"1\" "
        "HEIGHT=\"1\">x</DVD_BUTTON>"
        "<DVD_BUTTON TYPE=\"DVD_BUTTON_IMAGE\" X=\" 400\" Y=\"200\" WIDTH=\"160\" "
        "HEIGHT=\"120px\">frame.png</DVD_BUTTON>";

    std::string text() const {
        return "<THEME INDEX=\"" + std::to_string(index) + "\">" + head +
               "<TITLE_TEXT><T X=\"60\" Y=\"30\" WIDTH=\"600\" HEIGHT=\"60\" FONT_NAME=\"" +
               fontName +
               "\" FONT_SIZE=\"40\" PM_TEXT_WEIGHT=\"700\" PM_TEXT_FONT_ITALIC=\"257\" "
               "FONT_COLOR=\"16777215\">My holidays</T>"
               "<C1 X=\"100\" Y=\"330\">Beach</C1><C2>Hills</C2></TITLE_TEXT>"
               "<DVD_MENU_BUTTONS>" +
               buttons +
               "</DVD_MENU_BUTTONS><DVD_CONTROL_BUTTONS>"
               "<DVD_CONTROL_BUTTON X=\"20\" Y=\"500\" WIDTH=\"60\" HEIGHT=\"40\">prev.png"
               "</DVD_CONTROL_BUTTON><DVD_CONTROL_BUTTON X=\"640\" Y=\"500\" WIDTH=\"60\" "
               "HEIGHT=\"40\">next.png</DVD_CONTROL_BUTTON></DVD_CONTROL_BUTTONS></THEME>";
    }
};

inline void writeTheme(const std::filesystem::path& folder, const std::string& text) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "config.xml", std::ios::binary) << text;
}

}  // namespace velmora::test
