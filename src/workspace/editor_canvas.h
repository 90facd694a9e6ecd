#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/font_record.h"
#include "image/picture.h"
#include "model/slide_image.h"
#include "workspace/editor_crop.h"
#include "workspace/editor_items.h"

namespace velmora {

// What the mouse pointer should look like over a point of the canvas.
enum class EditorCursor {
    Arrow,
    Move,
    ResizeDiagonal,      // top-left and bottom-right corners
    ResizeAntiDiagonal,  // top-right and bottom-left corners
    ResizeHorizontal,
    ResizeVertical,
    PointingHand,  // the page links
};

// How a picture of a given size sits in the editor's 660 × 480 frame.
struct EditorFit {
    int displayW = 0;
    int displayH = 0;
    float scale = 0;  // picture pixels per display pixel
};
EditorFit fitIntoEditorFrame(QSize picture);
// Where a picture of the display size is shown: centred in the frame, which
// sits 20 pixels in from the dialog's corner.
QPoint framePositionOf(int displayW, int displayH);

// The picture editor's surface: the picture at full resolution and at the
// size shown, the captions and decorations laid over it, the crop
// rectangle, and the edits made since the picture was loaded. Every change
// goes to both images at once, so that saving only has to draw the items.
// Positions are display pixels of the picture shown (the widget subtracts
// framePosition()).
class EditorCanvas {
  public:
    static constexpr int kFrameWidth = 660;
    static constexpr int kFrameHeight = 480;
    static constexpr int kFrameMargin = 20;
    static constexpr int kMaxCaptions = 30;
    static constexpr int kMaxDecorations = 30;
    static constexpr int kItemsPerPage = 30;
    static constexpr int kDecorationCell = 60;
    static constexpr int kHandleSize = 6;
    static constexpr int kHandleCount = 8;
    // The handles of a selected item, clockwise from its top-left corner.
    enum Handle { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };

    explicit EditorCanvas(bool wideScreen = false);
    // The TV shape the crop rectangle is held to: 16:9 or 4:3.
    void setWideScreen(bool wideScreen);

    // Loads the picture from its source file and, when it has stored edits,
    // replays them. False with *reason when the file cannot be loaded; the
    // canvas is empty then.
    bool loadPicture(const std::filesystem::path& sourcePath,
                     const std::vector<PictureEdit>& storedEdits, std::string* reason);
    bool isEmpty() const { return fullImage_.isNull(); }

    void rotateLeft90();
    void rotateRight90();
    void rotate180();
    void flipHorizontally();  // upside down
    void flipVertically();    // left to right
    void applyCrop();
    void setCropMode(bool on);
    void setTvRatio(bool on);

    // False when the kind's limit is reached (or the decoration cannot be
    // loaded). A new item is the only one selected.
    bool addCaption(std::string text, const FontRecord& font, uint32_t colour, QRect box);
    bool addDecoration(const std::filesystem::path& file);  // on the next grid cell
    bool addDecoration(const std::filesystem::path& file, QRect box);
    void removeSelected();
    void removeAll();

    // Draws the items onto the full-resolution picture, saves it as the
    // picture's edited copy in the working folder, makes that the working
    // file and stores the edit list that rebuilds this state. False with
    // *reason (naming the file) when it cannot be written; the picture is
    // left as it was then.
    bool saveEdits(SlideImage& picture, const std::filesystem::path& workingFolder,
                   std::string* reason) const;

    // The first selected caption, which the text field edits.
    bool hasSelectedCaption() const { return selectedCaption() != nullptr; }
    std::string selectedCaptionText() const;
    FontRecord selectedCaptionFont() const;
    uint32_t selectedCaptionColour() const;
    void editSelectedText(std::string text);
    // Font and colour go to every selected caption.
    void setSelectedFont(const FontRecord& font);
    void setSelectedColour(uint32_t colour);
    void selectOnly(int item);

    // Items are shown 30 at a time.
    int currentPage() const { return page_; }
    int pageCount() const;
    void showPreviousPage();
    void showNextPage();
    QRect previousLinkRect() const;
    QRect nextLinkRect() const;

    void press(QPoint at, bool addToSelection);
    void drag(QPoint at);
    void release(QPoint at);
    EditorCursor cursorAt(QPoint at) const;

    // The picture as shown: items of the current page, handles of the
    // selected ones, the crop rectangle, the rubber band and page links.
    QImage view() const;
    QPoint framePosition() const { return framePositionOf(displayW_, displayH_); }

    const Picture& screenImage() const { return screenImage_; }
    const Picture& fullImage() const { return fullImage_; }
    float scale() const { return scale_; }
    int displayW() const { return displayW_; }
    int displayH() const { return displayH_; }
    QSize displaySize() const { return QSize(displayW_, displayH_); }
    const CropRect& cropRect() const { return cropRect_; }
    bool cropMode() const { return cropMode_; }
    bool tvRatio() const { return tvRatio_; }
    const std::vector<OverlayItem>& items() const { return items_; }
    int textCount() const { return countOf(OverlayItem::Kind::Caption); }
    int imageCount() const { return countOf(OverlayItem::Kind::Decoration); }
    const std::vector<PictureEdit>& pendingEdits() const { return pendingEdits_; }
    const std::string& name() const { return name_; }
    // Counts every change of what a save would write (the images, the
    // items and their text, font, colour and boxes), so that the editor can
    // tell whether anything changed since it last saved or loaded.
    uint64_t revision() const { return revision_; }

  private:
    enum class Gesture { None, CropCorner, CropMove, ItemsMove, ItemResize, RubberBand };
    struct Drag {
        Gesture gesture = Gesture::None;
        QPoint from;
        bool addToSelection = false;
        CropCorner corner = CropCorner::TopLeft;
        CropRect cropAtPress;
        int item = -1;
        int handle = -1;
        std::vector<QRect> boxesAtPress;
        QRect band;
    };

    static QRect handleRect(QRect box, int handle);

    void clear();
    void fitFrom(const Picture& full);
    void resetCropRect();
    void replay(const PictureEdit& edit);
    void record(PictureEditKind kind);
    void keepItemsInside();
    bool addItem(OverlayItem item);
    int countOf(OverlayItem::Kind kind) const;
    const OverlayItem* selectedCaption() const;
    OverlayItem* selectedCaption();
    void fitCaptionBox(OverlayItem& caption);
    void clearSelection();

    int firstItemOfPage() const { return page_ * kItemsPerPage; }
    int endItemOfPage() const;
    int itemAt(QPoint at) const;
    int handleAt(QPoint at, int* item) const;
    bool cornerAt(QPoint at, CropCorner* corner) const;
    bool pressPageLink(QPoint at);
    void dragCrop(QPoint moved);
    void dragItems(QPoint moved);
    void resizeItem(QPoint moved);
    void selectInBand();
    void drawCropVeil(QImage& view) const;
    void drawPageLinks(QImage& view) const;

    TvRatio ratio_;
    Picture screenImage_;
    Picture fullImage_;
    float scale_ = 0;
    int displayW_ = 0;
    int displayH_ = 0;
    CropRect cropRect_;
    bool cropMode_ = false;
    bool tvRatio_ = false;
    std::vector<OverlayItem> items_;
    std::vector<PictureEdit> pendingEdits_;
    std::string name_;
    int page_ = 0;
    Drag drag_;
    uint64_t revision_ = 0;
};

}  // namespace velmora
