#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "menu/menu_text.h"

namespace velmora {

// A place for a menu button and the picture drawn there: the frame behind a
// slideshow picture, or a Previous/Next button's own picture.
struct ThemeSlot {
    std::filesystem::path imagePath;
    int x = 0, y = 0, width = 0, height = 0;
};

// One menu theme, read from its folder's config.xml. Coordinates are pixels
// of its background picture.
struct MenuTheme {
    int index = 0;
    std::filesystem::path backgroundPath;
    std::filesystem::path previewPath;
    std::vector<MenuText> texts;          // [0] the page title, [1 + k] the caption of slot k
    std::vector<ThemeSlot> buttonSlots;   // slideshow buttons
    std::vector<ThemeSlot> controlSlots;  // [0] Previous, [1] Next
};

// Reads a theme from a config.xml; nothing, with *reason set, when the file
// cannot be read or breaks the format (elements missing or out of order,
// a stray element among the buttons).
std::optional<MenuTheme> readMenuTheme(const std::filesystem::path& configFile,
                                       std::string* reason);

// Why a theme cannot make menu pages (no slideshow button, no title, fewer
// captions than buttons, no Previous and Next button); empty when it can.
std::string unusableThemeReason(const MenuTheme& theme);

}  // namespace velmora
