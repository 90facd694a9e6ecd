#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QImage>
#include <vector>

namespace velmora {

class Slideshow;

// The pictures of the slideshow on show, for both views of the photos
// page: the thumbnail view shows column 0 with its thumbnail (a placeholder
// until it has loaded), the detail list all seven columns.
class PictureListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kFileName, kSize, kTime, kType, kDuration, kTransition, kMotion, kColumnCount };
    // The block a drag of pictures carries: a count, then the indices, each
    // a 32-bit int in the machine's order.
    static const QString kThumbnailMimeType;

    explicit PictureListModel(QObject* parent = nullptr);

    // The slideshow's pictures (none for null); thumbnails start over.
    void showSlideshow(const Slideshow* slideshow);
    // The texts again (durations, effects) after the pictures changed in
    // place; the thumbnails stay.
    void refreshTexts();
    void setThumbnail(int row, const QImage& thumbnail);
    void setPlaceholder(const QImage& placeholder);
    void setThumbnailMode(bool thumbnails);
    void setShowNames(bool show);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override;

    // The picture indices a drag of this model carries; empty for others.
    static std::vector<int> draggedPictures(const QMimeData* data);

  private:
    QVariant textOf(int row, int column) const;

    const Slideshow* slideshow_ = nullptr;
    std::vector<QImage> thumbnails_;
    QImage placeholder_;
    bool thumbnailMode_ = true;
    bool showNames_ = true;
};

}  // namespace velmora
