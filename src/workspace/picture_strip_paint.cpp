// The strip's pictures: the cells' thumbnails and transition icons and the
// surface the widget shows.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "workspace/application.h"
#include "workspace/picture_strip.h"

namespace velmora {

namespace {

constexpr QRgb kSelectedFill = 0xFF0000FF;
constexpr QRgb kLineColour = 0xFFD3D3D3;
constexpr QRgb kDropMarkerColour = 0xFFFFD700;
constexpr QRgb kHighlightColour = 0x800000FF;
constexpr int kLineHeightPixels = 98;
constexpr int kDropMarkerWidthPixels = 2;

QImage whiteImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// An image drawn unscaled at the top left of a white area of `size`: what
// does not fit is cut off, what it leaves free stays white.
QImage onWhite(const QImage& image, QSize size) {
    QImage canvas = whiteImage(size);
    if (!image.isNull()) {
        QPainter painter(&canvas);
        painter.drawImage(0, 0, image);
    }
    return canvas;
}

void drawText(QPainter& painter, const QRect& box, const std::string& text) {
    painter.save();
    painter.setClipRect(box);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(text));
    painter.restore();
}

}  // namespace

// The catalogue's 80 × 60 icon of an entry is its cover fitted on white
// (the covers are drawn larger, for sharp lists on dense screens); the
// strip shows it at half size.
void PictureStrip::loadImages() {
    defaultPicture_ = QImage(QString::fromStdString(app_.preferences.defaultImage.string()));
    for (int entry = 0; entry < TransitionCatalogue::kEntryCount; ++entry) {
        const std::filesystem::path file = app_.resources.effectCoverFolder /
                                           std::string(TransitionCatalogue::coverFileName(entry));
        QImage cover(QString::fromStdString(file.string()));
        if (!cover.isNull())
            cover = cover.scaled(StripLayout::kThumbnailSize, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
        const QImage icon = onWhite(cover, StripLayout::kThumbnailSize);
        icons_[size_t(entry)] =
            icon.scaled(StripLayout::kIconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

QImage PictureStrip::framedThumbnail(const QImage& image) const {
    return onWhite(image, StripLayout::kThumbnailSize);
}

QImage PictureStrip::iconOf(int pictureIndex) const {
    const TransitionSetting& transition =
        *slideshow_->pictures[size_t(pictureIndex)].settings.effect.transition;
    const int entry = transition.kind() == TransitionKind::Random ? 0 : transition.id() + 1;
    return icons_[size_t(entry)];
}

StripCell PictureStrip::pictureCell(int pictureIndex) const {
    const SlideImage& picture = slideshow_->pictures[size_t(pictureIndex)];
    const auto loaded = thumbnails_.find(picture.workingPath.string());
    StripCell cell;
    cell.index = pictureIndex;
    cell.thumbnail =
        framedThumbnail(loaded != thumbnails_.end() ? loaded->second : defaultPicture_);
    cell.transitionIcon = iconOf(pictureIndex);
    cell.transitionTimeText = std::to_string(picture.settings.effect.transitionTime);
    cell.displayTimeText = std::to_string(picture.settings.effect.displayTime);
    cell.startText = picture.startText;
    cell.indexText = std::to_string(pictureIndex);
    return cell;
}

StripCell PictureStrip::emptyCell(int index) const {
    StripCell cell;
    cell.index = index;
    cell.thumbnail = whiteImage(StripLayout::kThumbnailSize);
    cell.transitionIcon = whiteImage(StripLayout::kIconSize);
    cell.indexText = std::to_string(index);
    return cell;
}

QImage PictureStrip::paint() const {
    QImage surface(visibleCount_ * StripLayout::kCellWidth, StripLayout::kCellHeight,
                   QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::white);
    QPainter painter(&surface);
    drawStrip(painter);
    return surface;
}

void PictureStrip::drawStrip(QPainter& painter) const {
    QFont font(QStringLiteral("Arial"));
    // 9 points on a 96-dpi screen, whatever the device says.
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int last = std::min(firstVisible_ + visibleCount_, int(cells_.size()));
    for (int c = firstVisible_; c < last; ++c) {
        const StripCell& cell = cells_[size_t(c)];
        painter.save();
        painter.translate(cellRect(c).topLeft());
        painter.fillRect(QRect(0, 0, StripLayout::kCellWidth, StripLayout::kCellHeight),
                         cell.selected ? QColor::fromRgba(kSelectedFill) : QColor(Qt::white));
        painter.fillRect(QRect(50, 0, 1, kLineHeightPixels), QColor::fromRgba(kLineColour));
        painter.fillRect(QRect(StripLayout::kCellWidth - 1, 0, 1, kLineHeightPixels),
                         QColor::fromRgba(kLineColour));
        painter.drawImage(StripLayout::kThumbnailBox.topLeft(), cell.thumbnail);
        painter.drawImage(StripLayout::kIconBox.topLeft(), cell.transitionIcon);
        drawText(painter, StripLayout::kTransitionTimeBox, cell.transitionTimeText);
        drawText(painter, StripLayout::kDisplayTimeBox, cell.displayTimeText);
        drawText(painter, StripLayout::kStartBox, cell.startText);
        drawText(painter, StripLayout::kIndexBox, cell.indexText);
        // A selected cell is being dragged itself and takes no drop.
        if (cell.dropMarker && !cell.selected) {
            const int x = cell.dropBefore ? 1 : StripLayout::kCellWidth - kDropMarkerWidthPixels;
            painter.fillRect(QRect(x, 0, kDropMarkerWidthPixels, StripLayout::kCellHeight),
                             QColor::fromRgba(kDropMarkerColour));
        }
        if (cell.transitionHighlight)
            painter.fillRect(StripLayout::kIconBox, QColor::fromRgba(kHighlightColour));
        painter.restore();
    }
}

}  // namespace velmora
