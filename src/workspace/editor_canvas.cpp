#include "workspace/editor_canvas.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "image/picture_files_service.h"
#include "image/picture_loader.h"

namespace velmora {

namespace {

// The frame's shape, 660 / 480 = 1.375, compared in whole numbers: a
// picture is wider than the frame when width × 480 > height × 660.
bool widerThanFrame(QSize picture) {
    return int64_t(picture.width()) * EditorCanvas::kFrameHeight >
           int64_t(picture.height()) * EditorCanvas::kFrameWidth;
}

int truncated(int pixels, float scale) {
    return int(float(pixels) * scale);
}

QRgb veiled(QRgb pixel) {
    constexpr int kVeilAlpha = 0x60;
    auto channel = [](int value) { return value * (255 - kVeilAlpha) / 255; };
    return qRgb(channel(qRed(pixel)), channel(qGreen(pixel)), channel(qBlue(pixel)));
}

void veil(QImage& image, QRect area) {
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            row[x] = veiled(row[x]);
    }
}

void drawOutline(QPainter& painter, QRect rect) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

}  // namespace

EditorFit fitIntoEditorFrame(QSize picture) {
    EditorFit fit;
    if (picture.isEmpty()) return fit;
    const int64_t width = picture.width();
    const int64_t height = picture.height();
    if (widerThanFrame(picture)) {
        fit.displayW = EditorCanvas::kFrameWidth;
        fit.displayH = int(height * EditorCanvas::kFrameWidth / width);
        fit.scale = float(width) / float(EditorCanvas::kFrameWidth);
    } else {
        fit.displayH = EditorCanvas::kFrameHeight;
        fit.displayW = int(width * EditorCanvas::kFrameHeight / height);
        fit.scale = float(height) / float(EditorCanvas::kFrameHeight);
    }
    // A sliver of a picture still gets one pixel to show.
    fit.displayW = std::max(1, fit.displayW);
    fit.displayH = std::max(1, fit.displayH);
    return fit;
}

QPoint framePositionOf(int displayW, int displayH) {
    return QPoint((EditorCanvas::kFrameWidth - displayW) / 2 + EditorCanvas::kFrameMargin,
                  (EditorCanvas::kFrameHeight - displayH) / 2 + EditorCanvas::kFrameMargin);
}

EditorCanvas::EditorCanvas(bool wideScreen) : ratio_(TvRatio::of(wideScreen)) {}

void EditorCanvas::setWideScreen(bool wideScreen) {
    ratio_ = TvRatio::of(wideScreen);
}

void EditorCanvas::clear() {
    screenImage_ = {};
    fullImage_ = {};
    scale_ = 0;
    displayW_ = 0;
    displayH_ = 0;
    cropRect_ = {};
    cropMode_ = false;
    items_.clear();
    pendingEdits_.clear();
    page_ = 0;
    drag_ = {};
}

bool EditorCanvas::loadPicture(const std::filesystem::path& sourcePath,
                               const std::vector<PictureEdit>& storedEdits, std::string* reason) {
    clear();
    ++revision_;
    name_ = sourcePath.stem().string();
    const Picture full = velmora::loadPicture(sourcePath, reason);
    if (full.isNull()) return false;
    fitFrom(full);
    // The picture's own edit list says whether there is an earlier state to
    // rebuild. Looking for an edited copy by file name instead would take
    // the copy of another picture with the same name (two folders' IMG_0001)
    // for this one's.
    for (const PictureEdit& edit : storedEdits)
        replay(edit);
    clearSelection();
    page_ = 0;
    return true;
}

void EditorCanvas::fitFrom(const Picture& full) {
    const EditorFit fit = fitIntoEditorFrame(full.size());
    const QSize shown(fit.displayW, fit.displayH);
    fullImage_ = full;
    scale_ = fit.scale;
    displayW_ = fit.displayW;
    displayH_ = fit.displayH;
    if (screenImage_.size() != shown) screenImage_ = full.downscaled(shown);
    resetCropRect();
    keepItemsInside();
}

void EditorCanvas::resetCropRect() {
    cropRect_ = CropRect{0, 0, displayW_, displayH_};
    if (cropMode_ && tvRatio_) cropRect_ = fittedToRatio(cropRect_, ratio_);
}

void EditorCanvas::replay(const PictureEdit& edit) {
    switch (edit.kind) {
        case PictureEditKind::Text: {
            const OverlayItem caption = itemOfEdit(edit);
            addCaption(caption.text, caption.font, caption.colour, caption.box);
            break;
        }
        case PictureEditKind::Image:
            addDecoration(edit.imagePath, QRect(edit.x, edit.y, edit.cx, edit.cy));
            break;
        case PictureEditKind::Crop:
            cropRect_ = CropRect{std::max(0, edit.x), std::max(0, edit.y),
                                 std::min(displayW_, edit.cx), std::min(displayH_, edit.cy)};
            applyCrop();
            break;
        case PictureEditKind::RotateLeft90:
            rotateLeft90();
            break;
        case PictureEditKind::RotateRight90:
            rotateRight90();
            break;
        case PictureEditKind::Rotate180:
            rotate180();
            break;
        case PictureEditKind::FlipHorizontally:
            flipHorizontally();
            break;
        case PictureEditKind::FlipVertically:
            flipVertically();
            break;
    }
}

void EditorCanvas::record(PictureEditKind kind) {
    PictureEdit edit;
    edit.kind = kind;
    pendingEdits_.push_back(std::move(edit));
    ++revision_;
}

void EditorCanvas::rotateLeft90() {
    if (isEmpty()) return;
    screenImage_ = screenImage_.rotatedLeft90();
    fitFrom(fullImage_.rotatedLeft90());
    record(PictureEditKind::RotateLeft90);
}

void EditorCanvas::rotateRight90() {
    if (isEmpty()) return;
    screenImage_ = screenImage_.rotatedRight90();
    fitFrom(fullImage_.rotatedRight90());
    record(PictureEditKind::RotateRight90);
}

void EditorCanvas::rotate180() {
    if (isEmpty()) return;
    screenImage_ = screenImage_.rotated180();
    fullImage_ = fullImage_.rotated180();
    record(PictureEditKind::Rotate180);
}

void EditorCanvas::flipHorizontally() {
    if (isEmpty()) return;
    screenImage_ = screenImage_.upsideDown();
    fullImage_ = fullImage_.upsideDown();
    record(PictureEditKind::FlipHorizontally);
}

void EditorCanvas::flipVertically() {
    if (isEmpty()) return;
    screenImage_ = screenImage_.mirrored();
    fullImage_ = fullImage_.mirrored();
    record(PictureEditKind::FlipVertically);
}

void EditorCanvas::applyCrop() {
    const CropRect crop = cropRect_;
    if (isEmpty() || crop.width() <= 0 || crop.height() <= 0) return;
    const QRect full(QPoint(truncated(crop.left, scale_), truncated(crop.top, scale_)),
                     QPoint(truncated(crop.right, scale_) - 1, truncated(crop.bottom, scale_) - 1));
    const Picture croppedFull = fullImage_.cropped(full);
    if (croppedFull.isNull()) return;
    fullImage_ = croppedFull;
    screenImage_ = screenImage_.cropped(crop.toQRect());
    PictureEdit edit;
    edit.kind = PictureEditKind::Crop;
    edit.x = crop.left;
    edit.y = crop.top;
    edit.cx = crop.right;
    edit.cy = crop.bottom;
    pendingEdits_.push_back(std::move(edit));
    ++revision_;
    displayW_ = crop.width();
    displayH_ = crop.height();
    // Items stay on the part of the picture they were laid on.
    for (OverlayItem& item : items_)
        item.box.translate(-crop.left, -crop.top);
    keepItemsInside();
    cropMode_ = false;
    resetCropRect();
}

void EditorCanvas::setCropMode(bool on) {
    if (cropMode_ == on) return;
    cropMode_ = on;
    drag_ = {};
    if (on && tvRatio_) cropRect_ = fittedToRatio(cropRect_, ratio_);
}

// The rectangle is fitted when the ratio comes on (or the rectangle is
// reset with it on), not at every redraw: the truncations of the two rules
// do not undo each other, so fitting a fitted rectangle again can take
// another pixel off it each time.
void EditorCanvas::setTvRatio(bool on) {
    if (tvRatio_ == on) return;
    tvRatio_ = on;
    if (on && cropMode_) cropRect_ = fittedToRatio(cropRect_, ratio_);
}

int EditorCanvas::countOf(OverlayItem::Kind kind) const {
    return int(std::count_if(items_.begin(), items_.end(),
                             [kind](const OverlayItem& item) { return item.kind == kind; }));
}

void EditorCanvas::keepItemsInside() {
    for (OverlayItem& item : items_)
        item.box = keptInside(item.box, displaySize());
}

bool EditorCanvas::addItem(OverlayItem item) {
    item.box = keptInside(item.box, displaySize());
    clearSelection();
    item.selected = true;
    items_.push_back(std::move(item));
    page_ = (int(items_.size()) - 1) / kItemsPerPage;
    ++revision_;
    return true;
}

bool EditorCanvas::addCaption(std::string text, const FontRecord& font, uint32_t colour,
                              QRect box) {
    if (isEmpty() || textCount() >= kMaxCaptions) return false;
    OverlayItem caption;
    caption.kind = OverlayItem::Kind::Caption;
    caption.text = std::move(text);
    caption.font = font;
    caption.colour = colour;
    caption.box = box;
    return addItem(std::move(caption));
}

bool EditorCanvas::addDecoration(const std::filesystem::path& file) {
    const int placed = imageCount();
    const int cellsAcross = displayW_ / kDecorationCell;
    const int columns = std::max(1, cellsAcross - 1);
    const int gap =
        cellsAcross > 0 ? (displayW_ % kDecorationCell + kDecorationCell) / cellsAcross : 0;
    const int x = gap + (placed % columns) * (gap + kDecorationCell);
    const int y = (placed / columns) * (gap + kDecorationCell);
    return addDecoration(file, QRect(x, y, kDecorationCell, kDecorationCell));
}

bool EditorCanvas::addDecoration(const std::filesystem::path& file, QRect box) {
    if (isEmpty() || imageCount() >= kMaxDecorations) return false;
    std::string reason;
    Picture image = loadDecoration(file, &reason);
    if (image.isNull()) return false;
    OverlayItem decoration;
    decoration.kind = OverlayItem::Kind::Decoration;
    decoration.imagePath = file;
    decoration.image = std::move(image);
    decoration.box = box;
    return addItem(std::move(decoration));
}

void EditorCanvas::removeSelected() {
    if (std::erase_if(items_, [](const OverlayItem& item) { return item.selected; }) > 0)
        ++revision_;
    page_ = std::min(page_, pageCount() - 1);
}

void EditorCanvas::removeAll() {
    if (!items_.empty()) ++revision_;
    items_.clear();
    page_ = 0;
}

bool EditorCanvas::saveEdits(SlideImage& picture, const std::filesystem::path& workingFolder,
                             std::string* reason) const {
    if (isEmpty()) {
        *reason = "There is no picture to save.";
        return false;
    }
    Picture rendered = fullImage_;
    for (const OverlayItem& item : items_)
        drawOverlayItem(rendered, item, scale_);
    const std::filesystem::path copy = editedCopyPath(workingFolder, picture.sourcePath, "bmp");
    if (!rendered.saveBmp(copy, reason)) return false;
    picture.workingPath = copy;
    picture.edits = pendingEdits_;
    for (const OverlayItem& item : items_)
        picture.edits.push_back(editOfItem(item));
    return true;
}

const OverlayItem* EditorCanvas::selectedCaption() const {
    for (const OverlayItem& item : items_)
        if (item.selected && item.kind == OverlayItem::Kind::Caption) return &item;
    return nullptr;
}

OverlayItem* EditorCanvas::selectedCaption() {
    return const_cast<OverlayItem*>(std::as_const(*this).selectedCaption());
}

std::string EditorCanvas::selectedCaptionText() const {
    const OverlayItem* caption = selectedCaption();
    return caption != nullptr ? caption->text : std::string();
}

FontRecord EditorCanvas::selectedCaptionFont() const {
    const OverlayItem* caption = selectedCaption();
    return caption != nullptr ? caption->font : FontRecord();
}

uint32_t EditorCanvas::selectedCaptionColour() const {
    const OverlayItem* caption = selectedCaption();
    return caption != nullptr ? caption->colour : 0;
}

// A caption's box grows to hold its text, to the right edge of the
// picture before the text wraps; it never shrinks, so a box the user made
// larger stays so.
void EditorCanvas::fitCaptionBox(OverlayItem& caption) {
    const QSize needed =
        captionTextSize(caption.text, caption.font, std::max(1, displayW_ - caption.box.left()));
    caption.box.setWidth(std::max(caption.box.width(), needed.width()));
    caption.box.setHeight(std::max(caption.box.height(), needed.height()));
    caption.box = keptInside(caption.box, displaySize());
}

void EditorCanvas::editSelectedText(std::string text) {
    OverlayItem* caption = selectedCaption();
    if (caption == nullptr) return;
    caption->text = std::move(text);
    fitCaptionBox(*caption);
    ++revision_;
}

void EditorCanvas::setSelectedFont(const FontRecord& font) {
    for (OverlayItem& item : items_) {
        if (!item.selected || item.kind != OverlayItem::Kind::Caption) continue;
        item.font = font;
        fitCaptionBox(item);
        ++revision_;
    }
}

void EditorCanvas::setSelectedColour(uint32_t colour) {
    for (OverlayItem& item : items_) {
        if (!item.selected || item.kind != OverlayItem::Kind::Caption) continue;
        item.colour = colour;
        ++revision_;
    }
}

void EditorCanvas::clearSelection() {
    for (OverlayItem& item : items_)
        item.selected = false;
}

void EditorCanvas::selectOnly(int item) {
    clearSelection();
    if (item < 0 || item >= int(items_.size())) return;
    items_[size_t(item)].selected = true;
    page_ = item / kItemsPerPage;
}

int EditorCanvas::pageCount() const {
    return std::max(1, (int(items_.size()) + kItemsPerPage - 1) / kItemsPerPage);
}

int EditorCanvas::endItemOfPage() const {
    return std::min(int(items_.size()), firstItemOfPage() + kItemsPerPage);
}

void EditorCanvas::showPreviousPage() {
    if (page_ == 0) return;
    clearSelection();
    --page_;
}

void EditorCanvas::showNextPage() {
    if (page_ + 1 >= pageCount()) return;
    clearSelection();
    ++page_;
}

QRect EditorCanvas::previousLinkRect() const {
    if (pageCount() < 2) return {};
    return QRect(4, displayH_ - 18, 60, 16);
}

QRect EditorCanvas::nextLinkRect() const {
    if (pageCount() < 2) return {};
    return QRect(displayW_ - 64, displayH_ - 18, 60, 16);
}

QImage EditorCanvas::view() const {
    if (isEmpty()) return {};
    Picture shown = screenImage_;
    for (int i = firstItemOfPage(); i < endItemOfPage(); ++i)
        drawOverlayItem(shown, items_[size_t(i)], 1.0f);
    QImage image = shown.image();
    if (cropMode_) drawCropVeil(image);
    QPainter painter(&image);
    for (int i = firstItemOfPage(); i < endItemOfPage(); ++i) {
        const OverlayItem& item = items_[size_t(i)];
        if (!item.selected) continue;
        for (int handle = 0; handle < kHandleCount; ++handle) {
            const QRect square = handleRect(item.box, handle);
            painter.fillRect(square, Qt::black);
            painter.fillRect(square.adjusted(1, 1, -1, -1), Qt::white);
        }
    }
    if (cropMode_) drawOutline(painter, cropRect_.toQRect());
    if (drag_.gesture == Gesture::RubberBand && !drag_.band.isEmpty())
        drawOutline(painter, drag_.band);
    painter.end();
    drawPageLinks(image);
    return image;
}

void EditorCanvas::drawCropVeil(QImage& view) const {
    const CropRect& crop = cropRect_;
    veil(view, QRect(0, 0, displayW_, crop.top));
    veil(view, QRect(0, crop.bottom, displayW_, displayH_ - crop.bottom));
    veil(view, QRect(0, crop.top, crop.left, crop.height()));
    veil(view, QRect(crop.right, crop.top, displayW_ - crop.right, crop.height()));
}

void EditorCanvas::drawPageLinks(QImage& view) const {
    if (pageCount() < 2) return;
    QPainter painter(&view);
    QFont font = toQFont(FontRecord{"Arial", 13, 400, false});
    font.setUnderline(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 238));
    painter.drawText(previousLinkRect(), Qt::AlignLeft | Qt::AlignVCenter, "Previous");
    painter.drawText(nextLinkRect(), Qt::AlignRight | Qt::AlignVCenter, "Next");
}

}  // namespace velmora
