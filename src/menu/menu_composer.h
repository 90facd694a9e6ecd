#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <filesystem>
#include <string>
#include <vector>

#include "image/font_record.h"
#include "image/picture.h"

namespace velmora {

class MenuSet;
class Notifier;
class Project;
struct MenuButton;
struct MenuControlButton;
struct MenuText;
struct MenuTheme;

// One thing drawn on a menu page, in surface pixels.
struct ComposerItem {
    enum Kind { Text = 0, SlideshowButton = 9, Navigation = 10 };

    Kind kind = Text;
    QRect box;
    bool selected = false;  // the editor's selection

    // Text: the words, the rectangle they wrap in, how they are drawn, and
    // their width on one line after the last drawing.
    std::string text;
    QRect textRect;
    FontRecord font;
    uint32_t colour = 0;  // 0x00BBGGRR
    int oneLineWidth = 0;

    // Slideshow button: the black window and the cover fitted into it (the
    // frame picture is the composer's, shared by every button).
    QRect window;
    QImage cover;
    QPoint coverAt;

    // Navigation button: its picture at the box size.
    QImage picture;

    // The file of the cover or of the navigation picture, which a page
    // composed at full size draws from instead of enlarging the small one.
    std::filesystem::path source;
};

// Composes menu pages on a small surface (368 pixels wide, 276 high for 4:3,
// 207 for 16:9): the theme background, then texts, slideshow buttons and
// navigation buttons. Menu coordinates (pixels of the theme background)
// become surface pixels through the scale factors sx and sy. The menu
// editor draws through one; the build's page pictures are the same page
// composed again at full size (composePage), so that the disc shows what
// the editor shows, only sharper.
class MenuComposer {
  public:
    static constexpr int kSurfaceWidth = 368;
    static constexpr int kSurfaceHeight = 276;
    static constexpr int kWideSurfaceHeight = 207;

    // `fallbackBackground` is drawn when a background cannot be loaded.
    MenuComposer(Notifier& notifier, std::filesystem::path fallbackBackground);

    void setBackground(const std::filesystem::path& path, bool wide);
    // The picture every slideshow button is framed with: the theme's first
    // button slot at that slot's size.
    void setFramePicture(const MenuTheme& theme);
    void addText(const MenuText& text);
    void addButton(const std::filesystem::path& coverPath, const MenuButton& button);
    // Nothing is added when the button's picture cannot be loaded.
    void addNavigation(const MenuControlButton& button);
    void clearItems() { items_.clear(); }
    void redraw();
    // The page redraw() draws, composed at `pageSize` instead: every
    // surface position is scaled by pageSize / surface size (rounded to the
    // nearest page pixel), texts are rasterised at the page's resolution,
    // and the background, frame, covers and navigation pictures are
    // resampled from their files to their size on the page.
    QImage composePage(QSize pageSize) const;

    float sx() const { return sx_; }
    float sy() const { return sy_; }
    const QImage& surface() const { return surface_; }
    std::vector<ComposerItem>& items() { return items_; }
    const QImage& framePicture() const { return frame_; }

    // Menu coordinates to surface pixels: the product with the
    // single-precision factor, truncated toward zero.
    int scaleX(int value) const { return scaled(value, sx_); }
    int scaleY(int value) const { return scaled(value, sy_); }

  private:
    static int scaled(int value, float factor) {
        return static_cast<int>(static_cast<double>(value) * static_cast<double>(factor));
    }
    void loadFallbackBackground(QSize size);

    Notifier& notifier_;
    std::filesystem::path fallbackBackground_;
    QImage surface_;
    QImage background_;        // at the surface size
    QImage backgroundSource_;  // as loaded; null when even the fallback failed
    QImage frame_;             // at its size on the surface
    QImage frameSource_;       // as loaded
    float sx_ = 1.0f;
    float sy_ = 1.0f;
    std::vector<ComposerItem> items_;
};

// The picture shown on each slideshow's button: the working file of the
// picture at its cover index (limited to the pictures there are); empty for
// a slideshow without pictures.
std::vector<std::filesystem::path> slideshowCoverPictures(const Project& project);

// Draws every page of the menu and saves it as a 24-bit BMP at the page's
// picturePath, composed at `pageSize` (the slideshow frame canvas). The
// composer must hold the selected theme's background and frame picture; it
// is left holding the last page, drawn on its surface.
void renderPagePictures(MenuComposer& composer, const MenuSet& menu,
                        const std::vector<std::filesystem::path>& coverPictures, QSize pageSize);

}  // namespace velmora
