#include "menu/menu_theme.h"

#include "base/decimal_text.h"
#include "base/markup_document.h"
#include "base/markup_file.h"
#include "base/path_text.h"
#include "base/text_encoding.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

int number(const MarkupDocument& doc, std::string_view name) {
    return decimalValue(doc.attribute(name));
}

ThemeSlot readSlot(const MarkupDocument& doc, const fs::path& folder) {
    return {folder / doc.currentText(), number(doc, "X"), number(doc, "Y"), number(doc, "WIDTH"),
            number(doc, "HEIGHT")};
}

MenuText readText(const MarkupDocument& doc) {
    MenuText text;
    text.text = doc.currentText();
    text.x = number(doc, "X");
    text.y = number(doc, "Y");
    text.width = number(doc, "WIDTH");
    text.height = number(doc, "HEIGHT");
    text.faceName = firstCharacters(doc.attribute("FONT_NAME"), 31);
    text.fontHeight = number(doc, "FONT_SIZE");
    text.weight = number(doc, "PM_TEXT_WEIGHT");
    text.italic = number(doc, "PM_TEXT_FONT_ITALIC") & 0xFF;
    text.colour = uint32_t(number(doc, "FONT_COLOR"));
    text.rebuildFont();
    return text;
}

// The children of the current element, each named `childName`; false when
// another name is among them.
bool readSlots(MarkupDocument& doc, const fs::path& folder, const char* childName,
               bool imageButtonsOnly, std::vector<ThemeSlot>& found, std::string* reason) {
    doc.enter();
    while (doc.findNext()) {
        if (doc.currentName() != childName) {
            *reason =
                "has a " + doc.currentName() + " element among its " + childName + " elements";
            return false;
        }
        if (!imageButtonsOnly || doc.attribute("TYPE") == "DVD_BUTTON_IMAGE")
            found.push_back(readSlot(doc, folder));
    }
    doc.leave();
    return true;
}

}  // namespace

std::optional<MenuTheme> readMenuTheme(const fs::path& configFile, std::string* reason) {
    std::string error;
    const auto file = readMarkupFile(configFile, &error);
    if (!file) {
        *reason = error;
        return std::nullopt;
    }
    if (file->endsEarly()) {
        *reason = quotedPath(configFile) + " holds less text than its size promises";
        return std::nullopt;
    }
    MarkupDocument doc;
    if (!doc.parseText(file->text) || !doc.findNext("THEME")) {
        *reason = quotedPath(configFile) + " is not a theme file: " +
                  (doc.error().empty() ? "no THEME element" : doc.error());
        return std::nullopt;
    }
    // Names in the file are relative to the theme's folder.
    const fs::path folder = configFile.parent_path();
    MenuTheme theme;
    theme.index = number(doc, "INDEX");
    const auto missing = [&](const char* name) {
        *reason = quotedPath(configFile) + " has no " + name + " where it is expected";
        return std::nullopt;
    };
    doc.enter();
    if (!doc.findNext("BACKGROUND_IMAGE")) return missing("BACKGROUND_IMAGE");
    theme.backgroundPath = folder / doc.currentText();
    if (!doc.findNext("PRVIEW_IMAGE")) return missing("PRVIEW_IMAGE");
    theme.previewPath = folder / doc.currentText();
    if (!doc.findNext("TITLE_TEXT")) return missing("TITLE_TEXT");
    doc.enter();
    while (doc.findNext())
        theme.texts.push_back(readText(doc));
    doc.leave();
    if (!doc.findNext("DVD_MENU_BUTTONS")) return missing("DVD_MENU_BUTTONS");
    const auto stray = [&] {
        *reason = quotedPath(configFile) + " " + *reason;
        return std::nullopt;
    };
    if (!readSlots(doc, folder, "DVD_BUTTON", true, theme.buttonSlots, reason)) return stray();
    if (!doc.findNext("DVD_CONTROL_BUTTONS")) return missing("DVD_CONTROL_BUTTONS");
    if (!readSlots(doc, folder, "DVD_CONTROL_BUTTON", false, theme.controlSlots, reason))
        return stray();
    return theme;
}

std::string unusableThemeReason(const MenuTheme& theme) {
    if (theme.buttonSlots.empty()) return "it has no slideshow button";
    if (theme.texts.empty()) return "it has no title text";
    if (theme.texts.size() > 1 && theme.texts.size() < theme.buttonSlots.size() + 1)
        return "it has fewer button captions than buttons";
    if (theme.controlSlots.size() < 2) return "it has no Previous and Next buttons";
    return {};
}

}  // namespace velmora
