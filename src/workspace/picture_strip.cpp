#include "workspace/picture_strip.h"

#include <QDataStream>
#include <QIODevice>
#include <algorithm>
#include <cstdint>

#include "workspace/application.h"
#include "workspace/slideshow_commands.h"

namespace velmora {

namespace {

constexpr int kCellWidth = StripLayout::kCellWidth;

// Where a point falls inside its cell: x from the cell's left edge.
QPoint inCell(QPoint point, int firstVisible, int cellIndex) {
    return {point.x() - (cellIndex - firstVisible) * kCellWidth, point.y()};
}

}  // namespace

PictureStrip::PictureStrip(Application& app, SlideshowCommands& commands, int widthPixels)
    : app_(app), commands_(commands) {
    loadImages();
    widthPixels_ = std::max(widthPixels, 0);
    visibleCount_ = widthPixels_ / kCellWidth + 1;
    clearStrip();
}

int PictureStrip::pictureCount() const {
    return slideshow_ == nullptr ? 0 : int(slideshow_->pictures.size());
}

void PictureStrip::showSlideshow(int index) {
    Project& project = app_.project;
    if (index < 0 || index >= int(project.slideshows.size())) {
        clearStrip();
        return;
    }
    project.setCurrentSlideshow(index);
    Slideshow* shown = project.slideshows[size_t(index)].get();
    if (shown != slideshow_) thumbnails_.clear();
    slideshow_ = shown;
    resetInteraction();
    firstVisible_ = 0;
    scrollPos_ = 0;
    rebuildCells(std::max(pictureCount(), visibleCount_) + 2);
    thumbnailsNeeded();
}

void PictureStrip::clearStrip() {
    slideshow_ = nullptr;
    thumbnails_.clear();
    resetInteraction();
    firstVisible_ = 0;
    scrollPos_ = 0;
    rebuildCells(visibleCount_);
}

void PictureStrip::resetInteraction() {
    mode_ = StripMode::Idle;
    range_.clear();
    scrollDirection_ = StripScrollDirection::None;
    menuCell_ = -1;
    editCell_ = -1;
    editStart_.clear();
}

void PictureStrip::refreshThumbnails(int slideshowIndex) {
    const Project& project = app_.project;
    if (slideshow_ == nullptr || slideshowIndex < 0 ||
        slideshowIndex >= int(project.slideshows.size()) ||
        project.slideshows[size_t(slideshowIndex)].get() != slideshow_)
        return;
    thumbnails_.clear();
    for (int i = 0; i < pictureCount(); ++i)
        cells_[size_t(i)].thumbnail = framedThumbnail(defaultPicture_);
    thumbnailsNeeded();
}

std::vector<std::filesystem::path> PictureStrip::thumbnailFiles() const {
    std::vector<std::filesystem::path> files;
    if (slideshow_ == nullptr) return files;
    for (const SlideImage& picture : slideshow_->pictures)
        files.push_back(picture.workingPath);
    return files;
}

void PictureStrip::setThumbnail(int pictureIndex, const QImage& image) {
    if (pictureIndex < 0 || pictureIndex >= pictureCount() || image.isNull()) return;
    const SlideImage& picture = slideshow_->pictures[size_t(pictureIndex)];
    thumbnails_[picture.workingPath.string()] = image;
    cells_[size_t(pictureIndex)].thumbnail = framedThumbnail(image);
}

void PictureStrip::rebuildCells(int cellCount) {
    cells_.clear();
    range_.clear();
    const int pictures = pictureCount();
    for (int i = 0; i < cellCount; ++i)
        cells_.push_back(i < pictures ? pictureCell(i) : emptyCell(i));
}

// Cell counts follow the width: every visible place has a cell, and a
// slideshow has two more so that a drop can reach past its last picture.
void PictureStrip::resize(int widthPixels) {
    widthPixels_ = std::max(widthPixels, 0);
    visibleCount_ = widthPixels_ / kCellWidth + 1;
    const int count =
        slideshow_ == nullptr ? visibleCount_ : std::max(pictureCount(), visibleCount_) + 2;
    while (int(cells_.size()) > count)
        cells_.pop_back();
    while (int(cells_.size()) < count)
        cells_.push_back(emptyCell(int(cells_.size())));
    scrollTo(scrollPos_);
}

QRect PictureStrip::cellRect(int cellIndex) const {
    return {(cellIndex - firstVisible_) * kCellWidth, 0, kCellWidth, StripLayout::kCellHeight};
}

int PictureStrip::cellIndexAt(QPoint point) const {
    const int lastVisible = std::min(firstVisible_ + visibleCount_, int(cells_.size())) - 1;
    if (point.x() < 0) return firstVisible_;
    if (point.x() > widthPixels_) return lastVisible;
    return std::min(firstVisible_ + point.x() / kCellWidth, lastVisible);
}

std::vector<int> PictureStrip::selectedPictures() const {
    std::vector<int> selected;
    for (const StripCell& cell : cells_)
        if (cell.selected && holdsPicture(cell)) selected.push_back(cell.index);
    return selected;
}

std::vector<int> PictureStrip::indicesFor(bool selectedOnly) const {
    if (selectedOnly) return selectedPictures();
    std::vector<int> all(static_cast<size_t>(pictureCount()));
    for (int i = 0; i < pictureCount(); ++i)
        all[size_t(i)] = i;
    return all;
}

// Selection.

void PictureStrip::selectRange(int a, int b) {
    for (const int index : range_)
        cells_[size_t(index)].selected = false;
    range_.clear();
    for (int i = std::min(a, b); i <= std::max(a, b); ++i) {
        StripCell& cell = cells_[size_t(i)];
        if (!holdsPicture(cell)) continue;
        cell.selected = true;
        range_.push_back(i);
    }
}

void PictureStrip::deselectAll() {
    for (StripCell& cell : cells_)
        cell.selected = false;
}

void PictureStrip::selectAllPictures() {
    for (StripCell& cell : cells_)
        cell.selected = holdsPicture(cell);
}

void PictureStrip::mousePress(QPoint point, StripModifiers modifiers) {
    if (slideshow_ == nullptr) return;
    // The widget commits an open edit when it loses the focus, before the
    // press arrives; whatever is still open here is dropped.
    if (isEditing()) cancelEdit();
    const int q = cellIndexAt(point);
    StripCell& cell = cells_[size_t(q)];
    if (holdsPicture(cell)) {
        const QPoint local = inCell(point, firstVisible_, q);
        if (StripLayout::kDisplayTimeBox.contains(local)) {
            openEdit(q, StripMode::EditingDisplayTime);
            return;
        }
        if (StripLayout::kTransitionTimeBox.contains(local)) {
            openEdit(q, StripMode::EditingTransitionTime);
            return;
        }
    }
    if (cell.selected && !modifiers.shift) {
        mode_ = StripMode::PressedOnSelected;
        return;
    }
    if (modifiers.ctrl) {
        anchor_ = rangeEnd_ = q;
    } else if (modifiers.shift) {
        const std::vector<int> selected = selectedPictures();
        anchor_ = selected.empty() ? q : selected.front();
        rangeEnd_ = q;
        deselectAll();
    } else {
        deselectAll();
        anchor_ = rangeEnd_ = q;
    }
    mode_ = StripMode::SelectingRange;
    selectRange(anchor_, rangeEnd_);
}

bool PictureStrip::mouseMove(QPoint point) {
    switch (mode_) {
        case StripMode::SelectingRange:
            rangeEnd_ = cellIndexAt(point);
            selectRange(anchor_, rangeEnd_);
            checkAutoScroll(point.x());
            return false;
        case StripMode::PressedOnSelected:
            mode_ = StripMode::DraggingPictures;
            return true;
        case StripMode::DraggingPictures:
            checkAutoScroll(point.x());
            return false;
        default:
            return false;
    }
}

void PictureStrip::mouseRelease() {
    if (mode_ == StripMode::SelectingRange) {
        mode_ = StripMode::Idle;
        scrollDirection_ = StripScrollDirection::None;
        range_.clear();
    } else if (mode_ == StripMode::PressedOnSelected) {
        // A selected cell clicked without moving: the click clears the
        // selection rather than starting a drag.
        mode_ = StripMode::Idle;
        deselectAll();
    }
}

void PictureStrip::keyPress(StripKey key) {
    if (slideshow_ == nullptr) return;
    if (key == StripKey::SelectAll) {
        selectAllPictures();
    } else if (!selectedPictures().empty()) {
        deleteSelected();
    }
}

// Scrolling.

void PictureStrip::scrollTo(int pixels) {
    scrollPos_ = std::clamp(pixels, 0, scrollMax());
    firstVisible_ =
        std::min(scrollPos_ / kCellWidth, std::max(int(cells_.size()) - visibleCount_, 0));
}

void PictureStrip::checkAutoScroll(int x) {
    if (x < StripLayout::kAutoScrollMarginPixels) {
        scrollDirection_ = StripScrollDirection::Left;
    } else if (x > widthPixels_ - StripLayout::kAutoScrollMarginPixels) {
        scrollDirection_ = StripScrollDirection::Right;
    } else {
        scrollDirection_ = StripScrollDirection::None;
    }
}

void PictureStrip::tick(QPoint pointer) {
    if (scrollDirection_ == StripScrollDirection::None) return;
    const int step = scrollDirection_ == StripScrollDirection::Left ? -kCellWidth : kCellWidth;
    scrollTo(scrollPos_ + step);
    if (mode_ == StripMode::SelectingRange) {
        rangeEnd_ = cellIndexAt(pointer);
        selectRange(anchor_, rangeEnd_);
    } else if (mode_ == StripMode::DraggingPictures) {
        moveDropMarkerToEdge();
    }
}

void PictureStrip::moveDropMarkerToEdge() {
    clearDropMarkers();
    const bool left = scrollDirection_ == StripScrollDirection::Left;
    const int lastVisible = std::min(firstVisible_ + visibleCount_, int(cells_.size())) - 1;
    StripCell& cell = cells_[size_t(left ? firstVisible_ : lastVisible)];
    if (!holdsPicture(cell) || cell.selected) return;
    cell.dropMarker = true;
    cell.dropBefore = left;
}

// Drags and drops.

QByteArray PictureStrip::pictureDragData() const {
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    const std::vector<int> selected = selectedPictures();
    stream << qint32(selected.size());
    for (const int index : selected)
        stream << qint32(index);
    return data;
}

int PictureStrip::transitionEntryOf(const QByteArray& data) {
    if (data.size() != int(sizeof(qint32))) return -1;
    QDataStream stream(data);
    stream.setByteOrder(QDataStream::LittleEndian);
    qint32 entry = -1;
    stream >> entry;
    return entry >= 0 && entry < TransitionCatalogue::kEntryCount ? int(entry) : -1;
}

void PictureStrip::clearDropMarkers() {
    for (StripCell& cell : cells_)
        cell.dropMarker = false;
}

void PictureStrip::clearHighlights() {
    for (StripCell& cell : cells_)
        cell.transitionHighlight = false;
}

void PictureStrip::dragPicturesOver(QPoint point) {
    checkAutoScroll(point.x());
    clearDropMarkers();
    const int q = cellIndexAt(point);
    StripCell& cell = cells_[size_t(q)];
    if (!holdsPicture(cell) || cell.selected) return;
    const QPoint local = inCell(point, firstVisible_, q);
    if (StripLayout::kTransitionPart.contains(local)) {
        cell.dropMarker = true;
        cell.dropBefore = true;
    } else if (StripLayout::kPicturePart.contains(local)) {
        cell.dropMarker = true;
        cell.dropBefore = false;
    }
}

void PictureStrip::dropPictures(QPoint point) {
    const int q = cellIndexAt(point);
    const StripCell& target = cells_[size_t(q)];
    const std::vector<int> moving = selectedPictures();
    if (!holdsPicture(target) || target.selected || moving.empty()) return;
    // The side comes from the point itself: the marker may not have been
    // set where the pointer crossed the line between the halves.
    const bool before = inCell(point, firstVisible_, q).x() < StripLayout::kTransitionPart.width();
    const int count = int(moving.size());
    const int first = commands_.movePicturesTo(moving, before ? q : q + 1);
    if (first < 0) return;
    // The place after the last moved picture when dropped before the
    // target, the last moved picture when dropped after it.
    const int landing = before ? first + count : first + count - 1;
    const int cellCount = int(cells_.size());
    rebuildCells(cellCount);
    for (int i = first; i < first + count; ++i)
        cells_[size_t(i)].selected = true;
    int newFirst = 0;
    if (q - firstVisible_ < count) {
        newFirst = std::max(0, landing - std::min(visibleCount_ - 1, count));
    } else {
        newFirst = std::clamp(landing + firstVisible_ - q, 0, cellCount - visibleCount_);
    }
    firstVisible_ = newFirst;
    scrollPos_ = newFirst * kCellWidth;
    picturesChanged();
    thumbnailsNeeded();
}

void PictureStrip::endPictureDrag() {
    clearDropMarkers();
    mode_ = StripMode::Idle;
    scrollDirection_ = StripScrollDirection::None;
}

void PictureStrip::dragTransitionOver(QPoint point) {
    checkAutoScroll(point.x());
    clearHighlights();
    StripCell& cell = cells_[size_t(cellIndexAt(point))];
    if (holdsPicture(cell)) cell.transitionHighlight = true;
}

void PictureStrip::dropTransition(QPoint point, int catalogueEntry) {
    const StripCell& cell = cells_[size_t(cellIndexAt(point))];
    if (holdsPicture(cell) && catalogueEntry >= 0 &&
        catalogueEntry < TransitionCatalogue::kEntryCount) {
        const int picture[] = {cell.index};
        slideshow_->setTransition(picture, app_.preferences.catalogue.entry(catalogueEntry));
        refreshIcon(cell.index);
    }
    clearHighlights();
    scrollDirection_ = StripScrollDirection::None;
}

void PictureStrip::dragLeave() {
    clearHighlights();
    clearDropMarkers();
    scrollDirection_ = StripScrollDirection::None;
}

void PictureStrip::picturesChanged() {
    if (onPicturesChanged) onPicturesChanged();
}

void PictureStrip::thumbnailsNeeded() {
    if (onThumbnailsNeeded) onThumbnailsNeeded();
}

}  // namespace velmora
