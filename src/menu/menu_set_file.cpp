#include "menu/menu_set_file.h"

#include <array>
#include <string>
#include <string_view>

#include "base/decimal_text.h"
#include "base/markup_document.h"
#include "base/text_encoding.h"
#include "menu/menu_set.h"
#include "menu/theme_catalogue.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr size_t kFaceNameCharacters = 31;

// The file elements of a page after RORO_MENU_VIDEO_PROCESSED_FRAME, in the
// order they are written and must be read.
struct PagePathElement {
    std::string_view name;
    fs::path MenuPage::*path;
};
constexpr std::array<PagePathElement, 10> kPagePaths = {{
    {"RORO_MENU_BG_FILE_NAME", &MenuPage::backgroundPath},
    {"RORO_MENU_BG_TEMP_FILE_NAME", &MenuPage::picturePath},
    {"RORO_MENU_HIGHT_LIGHT_FILE_PATH", &MenuPage::highlightMaskPath},
    {"RORO_MENU_SELECT_FILE_PATH", &MenuPage::selectMaskPath},
    {"RORO_MENU_MENU_PIC", &MenuPage::jpegPath},
    {"RORO_MENU_M2V_FILE_PATH", &MenuPage::videoPath},
    {"RORO_MENU_MPEG_NO_INTERACT_FILE", &MenuPage::plainStreamPath},
    {"RORO_MENU_MPEG_FILE_PATH", &MenuPage::menuStreamPath},
    {"RORO_MENU_YUV_FILE_PATH", &MenuPage::yuvPath},
    {"RORO_MENU_XML_FILE_PATH", &MenuPage::subpictureScriptPath},
}};

std::string number(int value) {
    return std::to_string(value);
}

// Writes one attribute-only element after the current one.
class AttributeElement {
  public:
    AttributeElement(MarkupDocument& doc, std::string_view name) : doc_(doc) {
        doc_.appendElement(name);
        index_ = doc_.currentIndex();
    }
    AttributeElement& set(std::string_view name, std::string_view value) {
        doc_.setAttribute(index_, name, value);
        return *this;
    }
    AttributeElement& set(std::string_view name, int value) { return set(name, number(value)); }

  private:
    MarkupDocument& doc_;
    int index_ = 0;
};

void openGroup(MarkupDocument& doc, std::string_view name) {
    doc.appendElement(name);
    doc.enter();
}

void writeTrack(MarkupDocument& doc, const AudioTrack& track) {
    AttributeElement(doc, "RORO_AUDIO_FILE_INFO")
        .set("RORO_AUDIO_ORIGINAL_FILE_PATH", track.sourcePath.string())
        .set("RORO_AUDIO_ORIGINAL_FILE_NAME", track.fileName)
        .set("RORO_AUDIO_TEMP_MP2_FILE_PATH", track.tempMp2Path.string())
        .set("RORO_AUDIO_ISTART_TIME", track.startSeconds)
        .set("RORO_AUDIO_CSSTART_TIME", track.startText)
        .set("RORO_AUDIO_IDURATION_TIME", track.durationSeconds)
        .set("RORO_AUDIO_CSDURATION_TIME", track.durationText);
}

void writeText(MarkupDocument& doc, const MenuText& text) {
    AttributeElement(doc, "PM_TEXT_TAG")
        .set("PM_TEXT_X", text.x)
        .set("PM_TEXT_Y", text.y)
        .set("PM_TEXT_WIDTH", text.width)
        .set("PM_TEXT_HEIGHT", text.height)
        .set("PM_TEXT_FONT_NAME", text.faceName)
        .set("PM_TEXT_FONT_HEIGHT", text.fontHeight)
        .set("PM_TEXT_WEIGHT", text.weight)
        .set("PM_TEXT_ITALIC", text.italic)
        .set("PM_TEXT_FONT_COLOR", std::to_string(text.colour))
        .set("PM_TEXT_TEXT_CONTENT", text.text);
}

void writeButton(MarkupDocument& doc, const MenuButton& button) {
    AttributeElement(doc, "PM_DVDMENUBUTTON_TAG")
        .set("PM_DVDMENUBUTTON_X", button.x)
        .set("PM_DVDMENUBUTTON_Y", button.y)
        .set("PM_DVDMENUBUTTON_WIDTH", button.width)
        .set("PM_DVDMENUBUTTON_HEIGHT", button.height)
        .set("PM_DVDMENUBUTTON_SS_INDEX", button.slideshowIndex);
}

void writeControlButton(MarkupDocument& doc, const MenuControlButton& button) {
    AttributeElement(doc, "PM_DVDMENU_CONTROL_BUTTON_TAG")
        .set("PM_DVDMENU_CONTROL_BUTTON_X", button.x)
        .set("PM_DVDMENU_CONTROL_BUTTON_Y", button.y)
        .set("PM_DVDMENU_CONTROL_BUTTON_WIDTH", button.width)
        .set("PM_DVDMENU_CONTROL_BUTTON_HEIGHT", button.height)
        .set("PM_DVDMENU_CONTROL_BUTTON_FILE_PATH", button.imagePath.string())
        .set("PM_DVDMENU_CONTROL_BUTTON_TYPE", button.type);
}

void writePage(MarkupDocument& doc, const MenuPage& page) {
    openGroup(doc, "RORO_MENU_VIDEO_TAG");
    doc.appendElement("RORO_MENU_VIDEO_PROCESSED_FRAME", number(page.processedFrames));
    for (const PagePathElement& element : kPagePaths)
        doc.appendElement(element.name, (page.*element.path).string());
    doc.appendElement("RORO_MENU_VIDEO_NAME", page.videoName);

    openGroup(doc, "RORO_MENU_TEXT_SET");
    for (const MenuText& text : page.texts)
        writeText(doc, text);
    doc.leave();
    openGroup(doc, "RORO_MENU_MENU_BUTTON_SET");
    for (const MenuButton& button : page.buttons)
        writeButton(doc, button);
    doc.leave();
    openGroup(doc, "RORO_MENU_CONTROL_BUTTON_SET");
    for (const MenuControlButton& button : page.controlButtons)
        writeControlButton(doc, button);
    doc.leave();
    doc.leave();
}

// Reading ----------------------------------------------------------------

int numberAttribute(const MarkupDocument& doc, std::string_view name) {
    return decimalValue(doc.attribute(name));
}

AudioTrack readTrack(const MarkupDocument& doc) {
    AudioTrack track;
    track.sourcePath = doc.attribute("RORO_AUDIO_ORIGINAL_FILE_PATH");
    track.fileName = doc.attribute("RORO_AUDIO_ORIGINAL_FILE_NAME");
    track.tempMp2Path = doc.attribute("RORO_AUDIO_TEMP_MP2_FILE_PATH");
    track.startSeconds = numberAttribute(doc, "RORO_AUDIO_ISTART_TIME");
    track.startText = doc.attribute("RORO_AUDIO_CSSTART_TIME");
    track.durationSeconds = numberAttribute(doc, "RORO_AUDIO_IDURATION_TIME");
    track.durationText = doc.attribute("RORO_AUDIO_CSDURATION_TIME");
    return track;
}

MenuText readText(const MarkupDocument& doc) {
    MenuText text;
    text.x = numberAttribute(doc, "PM_TEXT_X");
    text.y = numberAttribute(doc, "PM_TEXT_Y");
    text.width = numberAttribute(doc, "PM_TEXT_WIDTH");
    text.height = numberAttribute(doc, "PM_TEXT_HEIGHT");
    text.faceName = firstCharacters(doc.attribute("PM_TEXT_FONT_NAME"), kFaceNameCharacters);
    text.fontHeight = numberAttribute(doc, "PM_TEXT_FONT_HEIGHT");
    text.weight = numberAttribute(doc, "PM_TEXT_WEIGHT");
    text.italic = numberAttribute(doc, "PM_TEXT_ITALIC");
    text.colour = static_cast<uint32_t>(numberAttribute(doc, "PM_TEXT_FONT_COLOR"));
    text.text = doc.attribute("PM_TEXT_TEXT_CONTENT");
    text.rebuildFont();
    return text;
}

MenuButton readButton(const MarkupDocument& doc) {
    MenuButton button;
    button.x = numberAttribute(doc, "PM_DVDMENUBUTTON_X");
    button.y = numberAttribute(doc, "PM_DVDMENUBUTTON_Y");
    button.width = numberAttribute(doc, "PM_DVDMENUBUTTON_WIDTH");
    button.height = numberAttribute(doc, "PM_DVDMENUBUTTON_HEIGHT");
    button.slideshowIndex = numberAttribute(doc, "PM_DVDMENUBUTTON_SS_INDEX");
    return button;
}

MenuControlButton readControlButton(const MarkupDocument& doc) {
    MenuControlButton button;
    button.x = numberAttribute(doc, "PM_DVDMENU_CONTROL_BUTTON_X");
    button.y = numberAttribute(doc, "PM_DVDMENU_CONTROL_BUTTON_Y");
    button.width = numberAttribute(doc, "PM_DVDMENU_CONTROL_BUTTON_WIDTH");
    button.height = numberAttribute(doc, "PM_DVDMENU_CONTROL_BUTTON_HEIGHT");
    button.imagePath = doc.attribute("PM_DVDMENU_CONTROL_BUTTON_FILE_PATH");
    button.type = numberAttribute(doc, "PM_DVDMENU_CONTROL_BUTTON_TYPE");
    return button;
}

// Reads the items of one optional set: its children in turn, up to the first
// of another kind.
template <typename Item, typename ReadItem>
void readItemSet(MarkupDocument& doc, std::string_view setName, std::string_view itemName,
                 std::vector<Item>& items, ReadItem readItem) {
    if (!doc.findNext(setName)) return;
    doc.enter();
    while (doc.findNext() && doc.currentName() == itemName)
        items.push_back(readItem(doc));
    doc.leave();
}

bool findText(MarkupDocument& doc, std::string_view name, std::string* text) {
    if (!doc.findNext(name)) return false;
    *text = doc.currentText();
    return true;
}

// Reads the page element that is current; false when one of its file
// elements is missing.
bool readPage(MarkupDocument& doc, MenuPage& page) {
    std::string text;
    if (!findText(doc, "RORO_MENU_VIDEO_PROCESSED_FRAME", &text)) return false;
    page.processedFrames = decimalValue(text);
    for (const PagePathElement& element : kPagePaths) {
        if (!findText(doc, element.name, &text)) return false;
        page.*element.path = text;
    }
    if (!findText(doc, "RORO_MENU_VIDEO_NAME", &page.videoName)) return false;
    readItemSet(doc, "RORO_MENU_TEXT_SET", "PM_TEXT_TAG", page.texts, readText);
    readItemSet(doc, "RORO_MENU_MENU_BUTTON_SET", "PM_DVDMENUBUTTON_TAG", page.buttons, readButton);
    readItemSet(doc, "RORO_MENU_CONTROL_BUTTON_SET", "PM_DVDMENU_CONTROL_BUTTON_TAG",
                page.controlButtons, readControlButton);
    return true;
}

void readPages(MarkupDocument& doc, MenuSet& menu) {
    doc.enter();
    while (doc.findNext()) {
        if (doc.currentName() != "RORO_MENU_VIDEO_TAG") continue;
        const int pageElement = doc.currentIndex();
        doc.enter();
        MenuPage page;
        const bool complete = readPage(doc, page);
        while (doc.currentIndex() != pageElement && doc.leave()) {
        }
        if (!complete) continue;
        page.pageIndex = menu.pageCount();
        menu.pages.push_back(std::move(page));
    }
    doc.leave();
}

}  // namespace

void saveMenuSet(MarkupDocument& doc, const MenuSet& menu) {
    doc.appendElement("BG_AUDIO_MP2_FILE_NAME", menu.menuSoundtrackPath.string());
    doc.appendElement("MENU_THEME_INDEX", number(menu.themeIndex));
    doc.appendElement("CURRENT_DISPLAY_PAGE", number(menu.currentPage));
    openGroup(doc, "BG_AUDIO_FILE_SET");
    if (!menu.menuTracks.empty()) writeTrack(doc, menu.menuTracks.front());
    doc.leave();
    openGroup(doc, "BG_MENU_PAGE_SET");
    for (const MenuPage& page : menu.pages)
        writePage(doc, page);
    doc.leave();
}

void loadMenuSet(MarkupDocument& doc, MenuSet& menu, ThemeCatalogue& catalogue) {
    std::string text;
    if (!findText(doc, "BG_AUDIO_MP2_FILE_NAME", &text)) return;
    menu.menuSoundtrackPath = text;
    if (!findText(doc, "MENU_THEME_INDEX", &text)) return;
    menu.themeIndex = decimalValue(text);
    catalogue.select(menu.themeIndex);
    if (!findText(doc, "CURRENT_DISPLAY_PAGE", &text)) return;
    menu.currentPage = decimalValue(text);

    if (!doc.findNext("BG_AUDIO_FILE_SET")) return;
    doc.enter();
    while (doc.findNext()) {
        if (doc.currentName() == "RORO_AUDIO_FILE_INFO") menu.menuTracks.push_back(readTrack(doc));
    }
    doc.leave();

    if (!doc.findNext("BG_MENU_PAGE_SET")) return;
    readPages(doc, menu);
}

}  // namespace velmora
