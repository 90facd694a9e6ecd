#include "menu/menu_text.h"

#include "base/text_encoding.h"

namespace velmora {

void MenuText::setFont(const FontRecord& newFont, int newWidth, int newHeight) {
    font = newFont;
    font.face = firstCharacters(newFont.face, 31);
    faceName = font.face;
    fontHeight = font.pixelHeight;
    weight = font.weight;
    italic = font.italic ? 1 : 0;
    if (newWidth != 0) width = newWidth;
    if (newHeight != 0) height = newHeight;
}

}  // namespace velmora
