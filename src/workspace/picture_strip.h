#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/transition_catalogue.h"

class QPainter;

namespace velmora {

class Application;
class Slideshow;
class SlideshowCommands;

// Where things sit in a cell of the strip, relative to the cell's top left.
struct StripLayout {
    static constexpr int kCellWidth = 138;
    static constexpr int kCellHeight = 100;
    static constexpr int kLineStepPixels = kCellWidth;
    static constexpr int kPageStepPixels = 3 * kCellWidth;
    // How close to either end the pointer must come to scroll by itself.
    static constexpr int kAutoScrollMarginPixels = 5;
    static constexpr int kAutoScrollIntervalMs = 100;
    static constexpr QRect kThumbnailBox{54, 17, 80, 60};
    static constexpr QRect kIconBox{6, 25, 40, 30};
    static constexpr QRect kTransitionTimeBox{6, 56, 40, 13};
    static constexpr QRect kDisplayTimeBox{54, 78, 80, 13};
    static constexpr QRect kStartBox{84, 1, 53, 13};
    static constexpr QRect kIndexBox{51, 1, 32, 13};
    // The transition half and the picture half of a cell: they decide the
    // side of a drop and which context menu opens.
    static constexpr QRect kTransitionPart{0, 0, 50, 100};
    static constexpr QRect kPicturePart{51, 0, 87, 100};
    static constexpr QSize kThumbnailSize{80, 60};
    static constexpr QSize kIconSize{40, 30};
};

// One cell: a picture of the slideshow, or an empty place after the last.
struct StripCell {
    int index = 0;          // position in the strip; a picture cell's picture index
    QImage thumbnail;       // 80 × 60
    QImage transitionIcon;  // 40 × 30
    std::string transitionTimeText;
    std::string displayTimeText;
    std::string startText;
    std::string indexText;
    bool selected = false;
    bool dropMarker = false;
    bool dropBefore = false;
    bool transitionHighlight = false;
};

enum class StripMode {
    Idle = 0,
    SelectingRange = 1,
    PressedOnSelected = 3,
    DraggingPictures = 4,
    EditingTransitionTime = 5,
    EditingDisplayTime = 6,
};

enum class StripScrollDirection { Left, Right, None };

struct StripModifiers {
    bool shift = false;
    bool ctrl = false;
};

enum class StripKey { SelectAll, Delete };

// The two context menus: over a cell's transition half and over its picture.
enum class StripMenu { None, Transition, Picture };

enum class StripCommand {
    EditTransitionTime,
    EditDisplayTime,
    DeletePictures,
    Preview,
    RandomizeMotion,
    RemoveMotion,
    RandomizeTransitions,
};

struct StripMenuItem {
    StripCommand command;
    std::string_view text;
    bool enabled = true;
};

// The storyboard of the effects page without its window: the cells of the
// shown slideshow, the selection, scrolling, the drags and drops, the
// in-place time edits and the context menu. The widget forwards its events
// in strip coordinates, shows what this holds (the surface, the edit box,
// the tooltip) and runs the timer and the drags. The strip shows the
// project's current slideshow: its commands work on that one.
class PictureStrip {
  public:
    // The formats of the drag data: dragged pictures are a block of 32-bit
    // ints (the count, then the picture indices in ascending order); a
    // dragged transition is one 32-bit int, its catalogue entry.
    static constexpr const char* kPictureDragFormat = "ImageLineClipbrd";
    static constexpr const char* kTransitionDragFormat = "TransitionEffect";

    PictureStrip(Application& app, SlideshowCommands& commands, int widthPixels);

    // Pictures or times changed: the page estimates the disc size again.
    std::function<void()> onPicturesChanged;
    // The files behind the thumbnails changed (another slideshow, a new
    // order, rewritten pictures): thumbnails still loading for the old list
    // are stale, load thumbnailFiles() again.
    std::function<void()> onThumbnailsNeeded;

    // Makes slideshow `index` current and shows it from its first picture.
    void showSlideshow(int index);
    void clearStrip();
    const Slideshow* slideshow() const { return slideshow_; }
    // The pictures of that slideshow were rewritten: when it is shown, its
    // thumbnails go back to the default picture until loaded again.
    void refreshThumbnails(int slideshowIndex);
    // The working files of the pictures in order, for the thumbnail loader.
    std::vector<std::filesystem::path> thumbnailFiles() const;
    // A loaded thumbnail (of thumbnailFiles()[pictureIndex]), shown
    // unscaled at the top left of a white 80 × 60 area.
    void setThumbnail(int pictureIndex, const QImage& image);

    // The page's "Apply to ..." commands, on all pictures or the selected.
    void applyMotionCategory(bool selectedOnly, int category);
    void applyDisplayTime(bool selectedOnly, int seconds);
    void applyTransition(bool selectedOnly, int catalogueEntry);
    void applyTransitionTime(bool selectedOnly, int seconds);

    // Input, with points in strip coordinates.
    void resize(int widthPixels);
    void mousePress(QPoint point, StripModifiers modifiers);
    // True when the widget must start the drag of the selected pictures now.
    [[nodiscard]] bool mouseMove(QPoint point);
    void mouseRelease();
    void keyPress(StripKey key);
    // The scroll bar's position in pixels (0..scrollMax()).
    void scrollTo(int pixels);
    // The auto-scroll timer: it runs while autoScrolling() is true.
    void tick(QPoint pointer);
    bool autoScrolling() const { return scrollDirection_ != StripScrollDirection::None; }

    // Drags and drops.
    QByteArray pictureDragData() const;
    // The catalogue entry a transition drag carries, or −1.
    static int transitionEntryOf(const QByteArray& data);
    void dragPicturesOver(QPoint point);
    void dropPictures(QPoint point);
    void dragTransitionOver(QPoint point);
    void dropTransition(QPoint point, int catalogueEntry);
    void dragLeave();
    // The picture drag is over, dropped anywhere or not at all.
    void endPictureDrag();

    // The context menu: which one opens at a right press, its items and
    // the command chosen.
    StripMenu rightPress(QPoint point);
    std::vector<StripMenuItem> menuItems(StripMenu menu) const;
    void runCommand(StripCommand command);

    // The in-place time edit: Enter or focus loss commits the typed text,
    // Escape cancels.
    bool isEditing() const { return editCell_ >= 0; }
    QRect editBox() const;  // strip coordinates; empty when no edit is open
    const std::string& editText() const { return editStart_; }
    void commitEdit(std::string_view typed);
    void cancelEdit();

    std::string toolTipAt(QPoint point) const;

    // What to draw.
    const std::vector<StripCell>& cells() const { return cells_; }
    bool holdsPicture(const StripCell& cell) const { return cell.index < pictureCount(); }
    QRect cellRect(int cellIndex) const;  // strip coordinates
    int cellIndexAt(QPoint point) const;
    std::vector<int> selectedPictures() const;
    StripMode mode() const { return mode_; }
    int visibleCount() const { return visibleCount_; }
    int firstVisible() const { return firstVisible_; }
    int scrollPosition() const { return scrollPos_; }
    int scrollMax() const { return int(cells_.size()) * StripLayout::kCellWidth; }
    // The strip's surface: visibleCount × 138 by 100.
    QImage paint() const;
    void drawStrip(QPainter& painter) const;

  private:
    int pictureCount() const;
    void loadImages();
    void resetInteraction();
    StripCell pictureCell(int pictureIndex) const;
    StripCell emptyCell(int index) const;
    void rebuildCells(int cellCount);
    void refreshPictureTexts();
    void refreshIcon(int pictureIndex);
    QImage iconOf(int pictureIndex) const;
    QImage framedThumbnail(const QImage& image) const;
    std::vector<int> indicesFor(bool selectedOnly) const;

    void selectRange(int a, int b);
    void deselectAll();
    void selectAllPictures();
    void checkAutoScroll(int x);
    void moveDropMarkerToEdge();
    void clearDropMarkers();
    void clearHighlights();

    void openEdit(int cellIndex, StripMode mode);
    void deleteSelected();
    void picturesChanged();
    void thumbnailsNeeded();

    Application& app_;
    SlideshowCommands& commands_;
    Slideshow* slideshow_ = nullptr;
    std::vector<StripCell> cells_;
    int widthPixels_ = 0;
    int visibleCount_ = 1;
    int firstVisible_ = 0;
    int scrollPos_ = 0;
    StripMode mode_ = StripMode::Idle;
    int anchor_ = 0;
    int rangeEnd_ = 0;
    std::vector<int> range_;
    StripScrollDirection scrollDirection_ = StripScrollDirection::None;
    int menuCell_ = -1;
    int editCell_ = -1;
    std::string editStart_;
    // Loaded thumbnails by working file, so they follow their pictures
    // through moves and deletions.
    std::unordered_map<std::string, QImage> thumbnails_;
    QImage defaultPicture_;
    std::array<QImage, TransitionCatalogue::kEntryCount> icons_;
};

}  // namespace velmora
