#include "gui/picture_view.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "gui/dropped_files.h"
#include "model/slideshow.h"
#include "workspace/thumbnail_loader.h"

namespace velmora {

namespace {

// The insertion line of a drag: two pixels of opaque orange.
const QColor kInsertionColour(255, 140, 0);
constexpr int kInsertionWidth = 2;

// What shows while a thumbnail loads: a pale frame of the thumbnail's size.
QImage placeholderOf(QSize size, qreal pixelRatio, const QPalette& palette) {
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette.color(QPalette::Mid), 1));
    painter.setBrush(palette.color(QPalette::AlternateBase));
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    return image;
}

}  // namespace

// ---- ThumbnailListView

ThumbnailListView::ThumbnailListView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("thumbnailView"));
    setAccessibleName(tr("Pictures"));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setWordWrap(true);
}

int ThumbnailListView::insertionPositionAt(QPoint point) const {
    const int count = model() == nullptr ? 0 : model()->rowCount();
    const QModelIndex under = indexAt(point);
    if (under.isValid()) {
        const QRect cell = visualRect(under);
        return point.x() < cell.center().x() ? under.row() : under.row() + 1;
    }
    // Between cells: before the first cell that starts after the point on
    // the point's row of cells, else at the end.
    for (int row = 0; row < count; ++row) {
        const QRect cell = visualRect(model()->index(row, 0));
        if (cell.bottom() < point.y()) continue;
        if (cell.top() > point.y() || cell.left() > point.x()) return row;
    }
    return count;
}

void ThumbnailListView::showInsertionLine(int position) {
    if (position == insertionPosition_) return;
    insertionPosition_ = position;
    viewport()->update();
}

void ThumbnailListView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* offered = event->mimeData();
    if (offered->hasFormat(PictureListModel::kThumbnailMimeType) && event->source() == this) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (!droppedFiles(offered).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ThumbnailListView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(PictureListModel::kThumbnailMimeType) &&
        event->source() == this) {
        showInsertionLine(insertionPositionAt(event->position().toPoint()));
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (!droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ThumbnailListView::dragLeaveEvent(QDragLeaveEvent* event) {
    showInsertionLine(-1);
    QListView::dragLeaveEvent(event);
}

void ThumbnailListView::dropEvent(QDropEvent* event) {
    const int position = insertionPositionAt(event->position().toPoint());
    showInsertionLine(-1);
    const std::vector<int> pictures = PictureListModel::draggedPictures(event->mimeData());
    if (!pictures.empty() && event->source() == this) {
        // The move is ours to make: the model must not remove the rows.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        // After the drag has ended: the move refills this view's model.
        QMetaObject::invokeMethod(
            this, [this, pictures, position] { emit picturesMoved(pictures, position); },
            Qt::QueuedConnection);
        return;
    }
    const std::vector<std::filesystem::path> paths = droppedFiles(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

void ThumbnailListView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (insertionPosition_ < 0 || model() == nullptr) return;
    const int count = model()->rowCount();
    if (count == 0) return;
    const bool atEnd = insertionPosition_ >= count;
    const QRect cell = visualRect(model()->index(atEnd ? count - 1 : insertionPosition_, 0));
    const int x = atEnd ? cell.right() + spacing() / 2 : cell.left() - spacing() / 2 - 1;
    QPainter painter(viewport());
    painter.fillRect(QRect(x, cell.top(), kInsertionWidth, cell.height()), kInsertionColour);
}

// ---- PictureView

PictureView::PictureView(ThumbnailLoader& loader, QWidget* parent)
    : QStackedWidget(parent),
      loader_(loader),
      thumbnails_(new ThumbnailListView(this)),
      details_(new QTreeView(this)) {
    setObjectName(QStringLiteral("pictureView"));
    setAcceptDrops(true);
    thumbnails_->setModel(&model_);
    details_->setObjectName(QStringLiteral("detailView"));
    details_->setAccessibleName(tr("Pictures"));
    details_->setModel(&model_);
    details_->setSelectionModel(thumbnails_->selectionModel());
    details_->setRootIsDecorated(false);
    details_->setUniformRowHeights(true);
    details_->setAlternatingRowColors(true);
    details_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    details_->setSelectionBehavior(QAbstractItemView::SelectRows);
    details_->header()->setStretchLastSection(true);
    addWidget(thumbnails_);
    addWidget(details_);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(thumbnails_),
                                    static_cast<QAbstractItemView*>(details_)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](QPoint at) {
            emit contextMenuRequested(view->viewport()->mapToGlobal(at));
        });
        connect(view, &QAbstractItemView::activated, this,
                [this](const QModelIndex& index) { emit pictureActivated(index.row()); });
    }
    connect(thumbnails_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PictureView::selectionChanged);
    connect(thumbnails_, &ThumbnailListView::picturesMoved, this, &PictureView::picturesMoved);
    connect(thumbnails_, &ThumbnailListView::pathsDropped, this, &PictureView::pathsDropped);
    connect(&loader_, &ThumbnailLoader::thumbnailReady, this, &PictureView::thumbnailArrived);
    connect(&loader_, &ThumbnailLoader::batchFinished, this, &PictureView::batchFinished);
    applyGrid();
}

void PictureView::showSlideshow(const Slideshow* slideshow, const std::vector<int>& selection) {
    slideshow_ = slideshow;
    model_.showSlideshow(slideshow);
    selectPictures(selection);
    loadThumbnails();
}

void PictureView::forgetThumbnails(const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& file : files)
        loader_.forget(file);
}

void PictureView::setMode(Mode mode) {
    const std::vector<int> selection = selectedPictures();
    model_.setThumbnailMode(mode == kThumbnails);
    setCurrentIndex(mode);
    selectPictures(selection);
    if (mode == kThumbnails) loadThumbnails();
    if (mode == kDetails) details_->header()->resizeSections(QHeaderView::ResizeToContents);
}

QSize PictureView::thumbnailSize(int sizeClass) {
    switch (sizeClass) {
        case 0:
            return {40, 30};
        case 2:
            return {160, 120};
        case 3:
            return {320, 240};
        default:
            return {80, 60};
    }
}

void PictureView::setThumbnailSizeClass(int sizeClass) {
    sizeClass_ = std::clamp(sizeClass, 0, 3);
    applyGrid();
    loadThumbnails();
}

void PictureView::setShowNames(bool show) {
    showNames_ = show;
    model_.setShowNames(show);
    applyGrid();
}

QSize PictureView::pixelSize() const {
    return thumbnailSize(sizeClass_) * devicePixelRatioF();
}

void PictureView::applyGrid() {
    const QSize size = thumbnailSize(sizeClass_);
    thumbnails_->setIconSize(size);
    const int textHeight = showNames_ ? fontMetrics().height() * 2 : 0;
    const int width =
        std::max(size.width(), showNames_ ? fontMetrics().averageCharWidth() * 12 : 0);
    thumbnails_->setGridSize(QSize(width + 16, size.height() + textHeight + 14));
    model_.setPlaceholder(placeholderOf(size, devicePixelRatioF(), palette()));
}

void PictureView::loadThumbnails() {
    if (slideshow_ == nullptr || slideshow_->pictures.empty() || mode() != kThumbnails) {
        loader_.cancel();
        batch_ = -1;
        setBusy(false);
        return;
    }
    // Thumbnails already made show at once, so a command that only moved
    // pictures never flashes placeholders; the loader makes the rest.
    std::vector<std::filesystem::path> files;
    bool allCached = true;
    for (const SlideImage& picture : slideshow_->pictures) {
        const QImage cached = loader_.cached(picture.workingPath, pixelSize());
        if (cached.isNull()) {
            allCached = false;
        } else {
            showThumbnail(int(files.size()), cached);
        }
        files.push_back(picture.workingPath);
    }
    if (allCached) {
        loader_.cancel();
        batch_ = -1;
        setBusy(false);
        return;
    }
    setBusy(true);
    batch_ = loader_.load(std::move(files), pixelSize());
}

void PictureView::thumbnailArrived(int batch, int index, const QImage& image) {
    // Only the batch asked for last counts: an older one's pictures may
    // belong to another slideshow.
    if (batch == batch_) showThumbnail(index, image);
}

void PictureView::showThumbnail(int index, const QImage& image) {
    QImage thumbnail = image;
    thumbnail.setDevicePixelRatio(devicePixelRatioF());
    model_.setThumbnail(index, thumbnail);
}

void PictureView::batchFinished(int batch) {
    if (batch == batch_) setBusy(false);
}

void PictureView::setBusy(bool busy) {
    if (busy_ == busy) return;
    busy_ = busy;
    emit busyChanged(busy);
}

QAbstractItemView* PictureView::shownView() const {
    return mode() == kThumbnails ? static_cast<QAbstractItemView*>(thumbnails_) : details_;
}

std::vector<int> PictureView::selectedPictures() const {
    std::vector<int> rows;
    // The thumbnail grid selects cells of column 0, the list whole rows.
    for (const QModelIndex& index : thumbnails_->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void PictureView::selectPictures(const std::vector<int>& pictures) {
    QItemSelectionModel* selection = thumbnails_->selectionModel();
    selection->clearSelection();
    for (const int row : pictures) {
        if (row < 0 || row >= model_.rowCount()) continue;
        selection->select(model_.index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (!pictures.empty() && pictures.front() >= 0 && pictures.front() < model_.rowCount()) {
        selection->setCurrentIndex(model_.index(pictures.front(), 0),
                                   QItemSelectionModel::NoUpdate);
        shownView()->scrollTo(model_.index(pictures.front(), 0));
    }
}

void PictureView::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PictureView::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PictureView::dropEvent(QDropEvent* event) {
    const std::vector<std::filesystem::path> paths = droppedFiles(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

}  // namespace velmora
