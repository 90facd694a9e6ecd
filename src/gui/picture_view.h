#pragma once

#include <QListView>
#include <QStackedWidget>
#include <filesystem>
#include <vector>

#include "gui/picture_list_model.h"

class QTreeView;

namespace velmora {

class Slideshow;
class ThumbnailLoader;

// The thumbnail grid: dragging pictures inside it shows an orange line
// where they will go; files from the file manager are taken as well.
class ThumbnailListView final : public QListView {
    Q_OBJECT
  public:
    explicit ThumbnailListView(QWidget* parent = nullptr);

    // Where a drop at `point` (viewport coordinates) puts the pictures: the
    // index of the picture they go before, or the count for the end.
    int insertionPositionAt(QPoint point) const;

  signals:
    void picturesMoved(const std::vector<int>& pictures, int position);
    void pathsDropped(const std::vector<std::filesystem::path>& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void showInsertionLine(int position);

    int insertionPosition_ = -1;  // −1: no line
};

// The right side of the photos page: the current slideshow's pictures as
// thumbnails in one of four sizes or as a detail list. Thumbnails load on
// worker threads; the view is busy until all of them are in.
class PictureView final : public QStackedWidget {
    Q_OBJECT
  public:
    enum Mode { kThumbnails = 0, kDetails = 1 };

    PictureView(ThumbnailLoader& loader, QWidget* parent = nullptr);

    // Shows the slideshow's pictures (none for null) and starts loading
    // their thumbnails; the selection is given again by index.
    void showSlideshow(const Slideshow* slideshow, const std::vector<int>& selection = {});
    // The effect and duration texts after a change that kept the pictures.
    void refreshTexts() { model_.refreshTexts(); }
    // Thumbnails of rewritten files (rotated, edited) are made again.
    void forgetThumbnails(const std::vector<std::filesystem::path>& files);

    void setMode(Mode mode);
    Mode mode() const { return Mode(currentIndex()); }
    // 0 = 40 × 30, 1 = 80 × 60, 2 = 160 × 120, 3 = 320 × 240.
    void setThumbnailSizeClass(int sizeClass);
    int thumbnailSizeClass() const { return sizeClass_; }
    static QSize thumbnailSize(int sizeClass);
    void setShowNames(bool show);
    bool showsNames() const { return showNames_; }

    bool isBusy() const { return busy_; }
    // The selected picture indices in order.
    std::vector<int> selectedPictures() const;
    void selectPictures(const std::vector<int>& pictures);

    ThumbnailListView* thumbnailView() const { return thumbnails_; }
    QTreeView* detailView() const { return details_; }

  signals:
    void busyChanged(bool busy);
    void selectionChanged();
    void pictureActivated(int index);
    void contextMenuRequested(QPoint globalPosition);
    void picturesMoved(const std::vector<int>& pictures, int position);
    void pathsDropped(const std::vector<std::filesystem::path>& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void loadThumbnails();
    void thumbnailArrived(int batch, int index, const QImage& image);
    void showThumbnail(int index, const QImage& image);
    void batchFinished(int batch);
    void setBusy(bool busy);
    void applyGrid();
    QAbstractItemView* shownView() const;
    QSize pixelSize() const;

    ThumbnailLoader& loader_;
    PictureListModel model_;
    ThumbnailListView* thumbnails_;
    QTreeView* details_;
    const Slideshow* slideshow_ = nullptr;
    int sizeClass_ = 1;
    bool showNames_ = true;
    bool busy_ = false;
    int batch_ = -1;
};

}  // namespace velmora
