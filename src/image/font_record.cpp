#include "image/font_record.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {

QFont toQFont(const FontRecord& font) {
    QFont qfont(QString::fromStdString(font.face));
    qfont.setPixelSize(std::max(1, std::abs(font.pixelHeight)));
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    qfont.setItalic(font.italic);
    return qfont;
}

}  // namespace velmora
