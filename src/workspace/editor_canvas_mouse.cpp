// The canvas's mouse handling: the crop rectangle in crop mode, otherwise
// selecting, moving and resizing the overlay items.

#include <algorithm>
#include <cstdlib>

#include "workspace/editor_canvas.h"

namespace velmora {

namespace {

// How far from a corner of the crop rectangle a press still takes it.
constexpr int kCornerReachPixels = 4;
constexpr int kMinItemSidePixels = 6;

using Handle = EditorCanvas::Handle;

bool movesLeftEdge(int handle) {
    return handle == Handle::TopLeft || handle == Handle::BottomLeft || handle == Handle::Left;
}
bool movesRightEdge(int handle) {
    return handle == Handle::TopRight || handle == Handle::BottomRight || handle == Handle::Right;
}
bool movesTopEdge(int handle) {
    return handle == Handle::TopLeft || handle == Handle::TopRight || handle == Handle::Top;
}
bool movesBottomEdge(int handle) {
    return handle == Handle::BottomLeft || handle == Handle::BottomRight ||
           handle == Handle::Bottom;
}

// Moves one edge pair by `delta`, inside 0..limit, keeping them apart.
void moveEdges(int& low, int& high, int delta, bool moveLow, bool moveHigh, int limit) {
    if (moveLow) low = std::clamp(low + delta, 0, std::max(0, high - kMinItemSidePixels));
    if (moveHigh) high = std::clamp(high + delta, std::min(limit, low + kMinItemSidePixels), limit);
}

EditorCursor cursorOfCorner(CropCorner corner) {
    return corner == CropCorner::TopLeft || corner == CropCorner::BottomRight
               ? EditorCursor::ResizeDiagonal
               : EditorCursor::ResizeAntiDiagonal;
}

}  // namespace

QRect EditorCanvas::handleRect(QRect box, int handle) {
    const int left = box.left();
    const int right = box.right();
    const int centreX = (left + right) / 2;
    const int top = box.top();
    const int bottom = box.bottom();
    const int centreY = (top + bottom) / 2;
    const QPoint centres[kHandleCount] = {{left, top},      {centreX, top},  {right, top},
                                          {right, centreY}, {right, bottom}, {centreX, bottom},
                                          {left, bottom},   {left, centreY}};
    const QPoint centre = centres[handle];
    return QRect(centre.x() - kHandleSize / 2, centre.y() - kHandleSize / 2, kHandleSize,
                 kHandleSize);
}

int EditorCanvas::itemAt(QPoint at) const {
    for (int i = endItemOfPage() - 1; i >= firstItemOfPage(); --i)
        if (items_[size_t(i)].box.contains(at)) return i;
    return -1;
}

int EditorCanvas::handleAt(QPoint at, int* item) const {
    for (int i = endItemOfPage() - 1; i >= firstItemOfPage(); --i) {
        if (!items_[size_t(i)].selected) continue;
        for (int handle = 0; handle < kHandleCount; ++handle) {
            if (handleRect(items_[size_t(i)].box, handle).contains(at)) {
                *item = i;
                return handle;
            }
        }
    }
    return -1;
}

bool EditorCanvas::cornerAt(QPoint at, CropCorner* corner) const {
    const struct {
        CropCorner corner;
        QPoint point;
    } corners[] = {{CropCorner::TopLeft, {cropRect_.left, cropRect_.top}},
                   {CropCorner::TopRight, {cropRect_.right, cropRect_.top}},
                   {CropCorner::BottomLeft, {cropRect_.left, cropRect_.bottom}},
                   {CropCorner::BottomRight, {cropRect_.right, cropRect_.bottom}}};
    for (const auto& candidate : corners) {
        if (std::abs(at.x() - candidate.point.x()) <= kCornerReachPixels &&
            std::abs(at.y() - candidate.point.y()) <= kCornerReachPixels) {
            *corner = candidate.corner;
            return true;
        }
    }
    return false;
}

bool EditorCanvas::pressPageLink(QPoint at) {
    if (previousLinkRect().contains(at)) {
        showPreviousPage();
        return true;
    }
    if (nextLinkRect().contains(at)) {
        showNextPage();
        return true;
    }
    return false;
}

void EditorCanvas::press(QPoint at, bool addToSelection) {
    drag_ = {};
    if (isEmpty()) return;
    drag_.from = at;
    drag_.addToSelection = addToSelection;
    if (pressPageLink(at)) return;
    if (cropMode_) {
        drag_.cropAtPress = cropRect_;
        if (cornerAt(at, &drag_.corner)) {
            drag_.gesture = Gesture::CropCorner;
        } else if (cropRect_.toQRect().contains(at)) {
            drag_.gesture = Gesture::CropMove;
        }
        return;
    }
    for (const OverlayItem& item : items_)
        drag_.boxesAtPress.push_back(item.box);
    drag_.handle = handleAt(at, &drag_.item);
    if (drag_.handle >= 0) {
        drag_.gesture = Gesture::ItemResize;
        return;
    }
    const int hit = itemAt(at);
    if (hit < 0) {
        if (!addToSelection) clearSelection();
        drag_.gesture = Gesture::RubberBand;
        return;
    }
    OverlayItem& item = items_[size_t(hit)];
    if (addToSelection) {
        item.selected = !item.selected;
        if (!item.selected) return;
    } else if (!item.selected) {
        clearSelection();
        item.selected = true;
    }
    drag_.gesture = Gesture::ItemsMove;
}

void EditorCanvas::drag(QPoint at) {
    const QPoint moved = at - drag_.from;
    switch (drag_.gesture) {
        case Gesture::None:
            break;
        case Gesture::CropCorner:
            cropRect_ = withCornerDragged(drag_.cropAtPress, drag_.corner, moved, displaySize(),
                                          tvRatio_ ? &ratio_ : nullptr);
            break;
        case Gesture::CropMove:
            if (const auto movedRect = movedCrop(drag_.cropAtPress, moved, displaySize()))
                cropRect_ = *movedRect;
            break;
        case Gesture::ItemsMove:
            dragItems(moved);
            break;
        case Gesture::ItemResize:
            resizeItem(moved);
            break;
        case Gesture::RubberBand:
            drag_.band = QRect(drag_.from, at).normalized();
            break;
    }
}

void EditorCanvas::release(QPoint at) {
    drag(at);
    if (drag_.gesture == Gesture::RubberBand) selectInBand();
    if (drag_.gesture == Gesture::ItemsMove || drag_.gesture == Gesture::ItemResize) {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (items_[i].box == drag_.boxesAtPress[i]) continue;
            ++revision_;
            break;
        }
    }
    drag_ = {};
}

// The selection moves together, as far as the item nearest to an edge can.
void EditorCanvas::dragItems(QPoint moved) {
    int dx = moved.x();
    int dy = moved.y();
    for (size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i].selected) continue;
        const QRect& box = drag_.boxesAtPress[i];
        dx = std::clamp(dx, -box.left(), std::max(-box.left(), displayW_ - box.x() - box.width()));
        dy = std::clamp(dy, -box.top(), std::max(-box.top(), displayH_ - box.y() - box.height()));
    }
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].selected) items_[i].box = drag_.boxesAtPress[i].translated(dx, dy);
}

void EditorCanvas::resizeItem(QPoint moved) {
    const QRect start = drag_.boxesAtPress[size_t(drag_.item)];
    int left = start.x();
    int right = start.x() + start.width();
    int top = start.y();
    int bottom = start.y() + start.height();
    const int handle = drag_.handle;
    moveEdges(left, right, moved.x(), movesLeftEdge(handle), movesRightEdge(handle), displayW_);
    moveEdges(top, bottom, moved.y(), movesTopEdge(handle), movesBottomEdge(handle), displayH_);
    items_[size_t(drag_.item)].box = QRect(left, top, right - left, bottom - top);
}

void EditorCanvas::selectInBand() {
    for (int i = firstItemOfPage(); i < endItemOfPage(); ++i)
        if (drag_.band.intersects(items_[size_t(i)].box)) items_[size_t(i)].selected = true;
}

EditorCursor EditorCanvas::cursorAt(QPoint at) const {
    if (isEmpty()) return EditorCursor::Arrow;
    if (previousLinkRect().contains(at) || nextLinkRect().contains(at))
        return EditorCursor::PointingHand;
    if (cropMode_) {
        CropCorner corner = CropCorner::TopLeft;
        if (cornerAt(at, &corner)) return cursorOfCorner(corner);
        return cropRect_.toQRect().contains(at) ? EditorCursor::Move : EditorCursor::Arrow;
    }
    int item = -1;
    switch (handleAt(at, &item)) {
        case TopLeft:
        case BottomRight:
            return EditorCursor::ResizeDiagonal;
        case TopRight:
        case BottomLeft:
            return EditorCursor::ResizeAntiDiagonal;
        case Top:
        case Bottom:
            return EditorCursor::ResizeVertical;
        case Left:
        case Right:
            return EditorCursor::ResizeHorizontal;
        default:
            return itemAt(at) >= 0 ? EditorCursor::Move : EditorCursor::Arrow;
    }
}

}  // namespace velmora
