#pragma once

#include <cstdint>
#include <string>

#include "image/font_record.h"

namespace velmora {

// One text written on a menu page: the page title or a button caption.
// Positions, sizes and the font height are pixels of the theme's background.
struct MenuText {
    std::string text;
    int x = 0, y = 0;
    int width = 0, height = 0;
    FontRecord font;       // what the text is drawn with; kept equal to the fields below
    std::string faceName;  // at most 31 characters
    int fontHeight = 0;
    int weight = 400;
    int italic = 0;       // 0 or 1
    uint32_t colour = 0;  // 0x00BBGGRR

    // The font record from the stored fields (theme and project files).
    void rebuildFont() { font = FontRecord{faceName, fontHeight, weight, italic != 0}; }
    // A whole font; the box's width and height only where they are not 0.
    void setFont(const FontRecord& newFont, int newWidth, int newHeight);
    void setText(std::string newText) { text = std::move(newText); }
};

}  // namespace velmora
