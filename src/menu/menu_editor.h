#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image/font_record.h"
#include "interfaces/video_format.h"
#include "menu/menu_composer.h"

namespace velmora {

class MenuSet;
class Notifier;
class Project;
class ThemeCatalogue;
struct MenuText;

// The menu page canvas of the menu page: one menu page at a time on a
// composer's surface, which is the page the disc shows (the page pictures
// are composed from the same items). The layout comes from the theme and is
// not edited; the user selects the title or a caption by clicking it and
// changes its text (a caption's text is its slideshow's name: editing it
// renames the slideshow), its font and its colour. Every edit writes
// through to the menu at once. Selected texts are outlined with marching
// ants that move one step per tickOutline(); the outline is drawn on the
// shown picture only, never on the page pictures. No Qt widgets: the canvas
// widget forwards its clicks and paints shownPicture().
class MenuEditor {
  public:
    static constexpr int kOutlineIntervalMs = 50;

    // All references outlive the editor. `fallbackBackground` is drawn when
    // a theme's background cannot be loaded.
    MenuEditor(MenuSet& menu, Project& project, const ThemeCatalogue& catalogue, Notifier& notifier,
               std::filesystem::path fallbackBackground);

    // The surface's aspect and the size the page pictures are written at
    // (the format's composed frame size); read by the next showCurrentPage.
    void setVideoFormat(const VideoFormat& format);
    // Before any page exists: the background alone on the surface.
    void showBackground(const std::filesystem::path& background);

    // Nothing without slideshows. Otherwise: the selected theme's background
    // and frame, every page picture written again (selection emptied first),
    // then the menu's current page drawn with its texts, buttons and
    // navigation (items in that order: item i < text count is page.texts[i]).
    void showCurrentPage();
    // menu.currentPage = i, then showCurrentPage.
    void showPage(int i);

    // A click at a surface point: the selection becomes every text item
    // whose box, or one of the three 6 × 6 squares centred on its
    // bottom-right corner, bottom middle and right middle, holds the point.
    // The number of items selected.
    int selectAt(QPoint surfacePoint);
    int selectedCount() const { return int(selection_.size()); }
    // The text of the selection when exactly one item is selected (the tab
    // shows it in its text field), else nothing.
    std::optional<std::string> singleSelectedText() const;

    // The text field changed (once per keystroke): the first selected item
    // takes `text`; a caption renames its slideshow, and keeps its old text
    // when the project refuses the name. Sets modified and menuStale. False
    // when nothing is selected (nothing changed).
    bool editSelectedText(const std::string& text);

    // The first selected item's font (its height in surface pixels), all
    // zero when nothing is selected.
    FontRecord selectedFont() const;
    // The model keeps the height and the measured box in background
    // pixels (truncated, divided by sx and sy). Sets modified. Nothing when
    // nothing is selected.
    void setSelectedFont(FontRecord font);
    // 0x00BBGGRR; 0 when nothing is selected.
    uint32_t selectedColour() const;
    void setSelectedColour(uint32_t colour);

    // One step of the marching ants: tick + 1 (wrapping 6 → 0) and the
    // outline of every selected item drawn again.
    void tickOutline();
    int outlineTick() const { return tick_; }

    // The surface with the selection outline: what the canvas shows.
    const QImage& shownPicture() const { return shown_; }
    MenuComposer& composer() { return composer_; }

  private:
    static constexpr int kLastOutlineTick = 6;  // the tick runs 0..6

    void drawOutlines();
    void redraw();
    void clearSelection();
    ComposerItem* firstSelected();
    const ComposerItem* firstSelected() const;
    // The shown page's text record behind item i; null when there is none.
    MenuText* shownText(int i);

    MenuSet& menu_;
    Project& project_;
    const ThemeCatalogue& catalogue_;
    MenuComposer composer_;
    VideoFormat format_;
    QImage shown_;                // the composer's surface with the outline on it
    std::vector<int> selection_;  // item positions, in list order
    int tick_ = 0;
};

}  // namespace velmora
