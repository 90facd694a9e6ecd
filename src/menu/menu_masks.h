#pragma once

#include <QSize>
#include <filesystem>

#include "interfaces/video_format.h"

namespace velmora {

class MenuSet;
class ThemeCatalogue;

// A button's rectangle on the DVD frame (720 × 480 or 720 × 576), edges
// truncated from background pixels, its top and bottom widened to even rows.
struct FrameBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Theme background pixels to DVD frame pixels, with the factors kept in
// single precision as the frame geometry has always been computed.
class FrameScale {
  public:
    FrameScale(QSize background, int frameHeight);

    FrameBox box(int x, int y, int width, int height) const;
    int frameHeight() const { return frameHeight_; }

  private:
    float sx_;
    float sy_;
    int frameHeight_;
};

// The same box as a 4:3 set shows a 16:9 frame in letterbox: squeezed to
// three quarters of the height, with a bar of an eighth above (on even
// rows again).
FrameBox letterboxed(const FrameBox& box, int frameHeight);

// The file of a 16:9 menu's letterbox stream beside `file`: the name with
// "Letterbox" before the extension.
std::filesystem::path letterboxFile(const std::filesystem::path& file);

// Writes the highlight and selection masks of every page: the template
// with a two-pixel outline just inside every button's box (slideshow and
// navigation buttons), red in the highlight mask and blue in the selection
// mask. A 16:9 menu gets letterbox masks too. False, writing nothing, when
// the menu's theme or its background cannot be read. A template that
// cannot be loaded or a mask that cannot be saved leaves that page's files
// as they were.
bool writeMenuMasks(const MenuSet& menu, const ThemeCatalogue& catalogue, VideoFormat format,
                    const std::filesystem::path& templatePath);

}  // namespace velmora
