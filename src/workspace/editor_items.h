#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <filesystem>
#include <string>

#include "image/font_record.h"
#include "image/picture.h"
#include "model/slide_image.h"

namespace velmora {

// A caption or a decoration laid over the picture in the editor. Boxes are
// in display pixels of the picture shown.
struct OverlayItem {
    enum class Kind { Caption, Decoration };

    Kind kind = Kind::Caption;
    QRect box;
    bool selected = false;
    // Caption
    std::string text;
    FontRecord font;
    uint32_t colour = 0;  // 0x00BBGGRR, as the project file keeps it
    // Decoration: the file and its pixels, those to leave out fully transparent.
    std::filesystem::path imagePath;
    Picture image;
};

// The colour of a caption as a pixel value.
QRgb rgbOfColourRef(uint32_t colourRef);

// A decoration file ready to lay over a picture, or a null picture with
// *reason. Clip-art files mark their background with a palette entry: the
// transparent one, or entry 0 when none is marked. That entry and black
// itself are left out, everything else is opaque.
Picture loadDecoration(const std::filesystem::path& file, std::string* reason);

// Draws the item onto `target` with its box (and a caption's font height)
// multiplied by `scale`.
void drawOverlayItem(Picture& target, const OverlayItem& item, float scale);

// The box a caption's text needs in its font, wrapped at `maxWidth`.
QSize captionTextSize(const std::string& text, const FontRecord& font, int maxWidth);

// The edit-list entry that brings the item back, and the item of an entry
// (a decoration still without its pixels).
PictureEdit editOfItem(const OverlayItem& item);
OverlayItem itemOfEdit(const PictureEdit& edit);

// `box` moved (and cut down when larger) so that it lies inside `picture`.
QRect keptInside(QRect box, QSize picture);

}  // namespace velmora
