#pragma once

#include <QFont>
#include <string>

namespace velmora {

// A font as the program stores it: face name, character height in pixels,
// weight on the 100..900 scale (400 regular, 700 bold) and italic.
struct FontRecord {
    std::string face = "Arial";
    int pixelHeight = 16;
    int weight = 400;
    bool italic = false;

    bool operator==(const FontRecord&) const = default;
};

// The Qt font for a record. "Arial" and other common faces resolve through
// fontconfig (Arial to Liberation Sans); a height of 0 or less is taken as
// its absolute value, and 0 as 1 pixel.
QFont toQFont(const FontRecord& font);

}  // namespace velmora
