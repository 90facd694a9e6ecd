#include "gui/music_list_view.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include "gui/dropped_files.h"

namespace velmora {

namespace {

// Shares of the width, in 64ths: the index, the name and the start; the
// length takes the rest.
constexpr int kColumnShares[] = {4, 30, 15};

}  // namespace

MusicListView::MusicListView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("musicList"));
    setAccessibleName(tr("Music list"));
    setToolTip(tr("The disc's music: the tracks play one after another under every slideshow"));
    setHeaderLabels({tr("Index"), tr("File Name"), tr("Track Start"), tr("Track Duration")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void MusicListView::showRows(const std::vector<MusicList::Row>& rows, int selected) {
    clear();
    for (const MusicList::Row& row : rows) {
        auto* item = new QTreeWidgetItem(
            this,
            {QString::fromStdString(row.index), QString::fromStdString(row.fileName),
             QString::fromStdString(row.startText), QString::fromStdString(row.durationText)});
        item->setToolTip(1, item->text(1));
    }
    if (selected >= 0 && selected < topLevelItemCount()) {
        setCurrentItem(topLevelItem(selected));
        scrollToItem(currentItem());
    }
    viewport()->update();
}

int MusicListView::selectedRow() const {
    const QList<QTreeWidgetItem*> chosen = selectedItems();
    return chosen.isEmpty() ? -1 : indexOfTopLevelItem(chosen.front());
}

void MusicListView::setEmptyText(const QString& text) {
    emptyText_ = text;
    viewport()->update();
}

void MusicListView::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    fitColumns();
}

// The viewport's width leaves out the vertical scroll bar.
void MusicListView::fitColumns() {
    const int width = viewport()->width();
    for (int column = 0; column < 3; ++column)
        setColumnWidth(column, width * kColumnShares[column] / 64);
}

void MusicListView::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (topLevelItemCount() > 0 || emptyText_.isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12),
                     Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
}

void MusicListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        emit deleteRequested();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void MusicListView::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedFiles(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void MusicListView::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedFiles(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void MusicListView::dropEvent(QDropEvent* event) {
    const std::vector<std::filesystem::path> paths = droppedFiles(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

}  // namespace velmora
