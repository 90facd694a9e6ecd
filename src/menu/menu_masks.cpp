#include "menu/menu_masks.h"

#include <QImage>

#include "image/picture_loader.h"
#include "menu/menu_set.h"
#include "menu/menu_theme.h"
#include "menu/theme_catalogue.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr QRgb kHighlightColour = 0xFFFF0000;
constexpr QRgb kSelectColour = 0xFF0000FF;

int truncated(int value, float factor) {
    return static_cast<int>(static_cast<double>(value) * static_cast<double>(factor));
}

// A subpicture button starts and ends on even lines: the two fields of an
// interlaced frame then show the same rows of it, and players draw its
// highlight where the mask is (spumux warns of odd rows). The box grows by
// at most a line at either end; a box ending on the frame's last row
// ends a line higher instead.
FrameBox onEvenRows(FrameBox box, int frameHeight) {
    box.y0 -= box.y0 % 2;
    if (box.y1 % 2 != 0) box.y1 += box.y1 + 1 < frameHeight ? 1 : -1;
    return box;
}

void setPixel(QImage& image, int x, int y, QRgb colour) {
    if (image.rect().contains(x, y)) image.setPixel(x, y, colour);
}

// A one-pixel rectangle outline through the four limits.
void drawOutline(QImage& image, int left, int top, int right, int bottom, QRgb colour) {
    for (int x = left; x <= right; ++x) {
        setPixel(image, x, top, colour);
        setPixel(image, x, bottom, colour);
    }
    for (int y = top; y <= bottom; ++y) {
        setPixel(image, left, y, colour);
        setPixel(image, right, y, colour);
    }
}

// Two pixels thick, just inside the box.
void drawButtonOutline(QImage& image, const FrameBox& box, QRgb colour) {
    drawOutline(image, box.x0 + 1, box.y0 + 1, box.x1 - 2, box.y1 - 3, colour);
    drawOutline(image, box.x0 + 2, box.y0 + 2, box.x1 - 3, box.y1 - 4, colour);
}

std::vector<FrameBox> pageBoxes(const MenuPage& page, const FrameScale& scale) {
    std::vector<FrameBox> boxes;
    for (const MenuButton& b : page.buttons)
        boxes.push_back(scale.box(b.x, b.y, b.width, b.height));
    for (const MenuControlButton& b : page.controlButtons)
        boxes.push_back(scale.box(b.x, b.y, b.width, b.height));
    return boxes;
}

void writeMaskPair(const std::vector<FrameBox>& boxes, const fs::path& templatePath,
                   const fs::path& highlightPath, const fs::path& selectPath) {
    std::string reason;
    QImage highlight = loadPicture(templatePath, &reason, AlphaHandling::Keep).image();
    if (highlight.isNull()) return;
    highlight = highlight.convertToFormat(QImage::Format_ARGB32);
    QImage select = highlight;
    for (const FrameBox& box : boxes) {
        drawButtonOutline(highlight, box, kHighlightColour);
        drawButtonOutline(select, box, kSelectColour);
    }
    Picture(highlight).savePng(highlightPath, &reason);
    Picture(select).savePng(selectPath, &reason);
}

}  // namespace

FrameScale::FrameScale(QSize background, int frameHeight)
    : sx_(static_cast<float>(720.0 / background.width())),
      sy_(static_cast<float>(double(frameHeight) / background.height())),
      frameHeight_(frameHeight) {}

FrameBox FrameScale::box(int x, int y, int width, int height) const {
    return onEvenRows({truncated(x, sx_), truncated(y, sy_), truncated(x + width, sx_),
                       truncated(y + height, sy_)},
                      frameHeight_);
}

FrameBox letterboxed(const FrameBox& box, int frameHeight) {
    auto row = [frameHeight](int y) { return frameHeight / 8 + y * 3 / 4; };
    return onEvenRows({box.x0, row(box.y0), box.x1, row(box.y1)}, frameHeight);
}

fs::path letterboxFile(const fs::path& file) {
    return file.parent_path() / (file.stem().string() + "Letterbox" + file.extension().string());
}

bool writeMenuMasks(const MenuSet& menu, const ThemeCatalogue& catalogue, VideoFormat format,
                    const fs::path& templatePath) {
    const auto& themes = catalogue.themes();
    if (menu.themeIndex < 0 || menu.themeIndex >= int(themes.size())) return false;
    std::string reason;
    const QSize background =
        loadPicture(themes[size_t(menu.themeIndex)].backgroundPath, &reason).size();
    if (background.isEmpty()) return false;

    const FrameScale scale(background, format.dvdFrameHeight());
    for (const MenuPage& page : menu.pages) {
        const std::vector<FrameBox> boxes = pageBoxes(page, scale);
        writeMaskPair(boxes, templatePath, page.highlightMaskPath, page.selectMaskPath);
        if (!format.isWide()) continue;
        std::vector<FrameBox> letterbox;
        for (const FrameBox& box : boxes)
            letterbox.push_back(letterboxed(box, scale.frameHeight()));
        writeMaskPair(letterbox, templatePath, letterboxFile(page.highlightMaskPath),
                      letterboxFile(page.selectMaskPath));
    }
    return true;
}

}  // namespace velmora
