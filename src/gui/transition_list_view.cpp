#include "gui/transition_list_view.h"

#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWindow>
#include <QtEndian>

#include "model/transition_catalogue.h"
#include "model/transition_kind.h"
#include "workspace/picture_strip.h"

namespace velmora {

namespace {

constexpr int kFrameWidthPixels = 2;
constexpr QRgb kSelectedFrame = 0xFF00008B;

// The cover fitted into 80 × 60 on white, at the screen's pixel density so
// that it stays sharp on a hi-DPI screen.
QPixmap coverPixmap(const std::filesystem::path& file, qreal pixelRatio) {
    const QSize device = TransitionListView::kCoverSize * pixelRatio;
    QImage icon(device, QImage::Format_RGB32);
    icon.fill(Qt::white);
    const QImage cover(QString::fromStdString(file.string()));
    if (!cover.isNull()) {
        const QImage fitted = cover.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&icon);
        painter.drawImage((device.width() - fitted.width()) / 2,
                          (device.height() - fitted.height()) / 2, fitted);
    }
    QPixmap pixmap = QPixmap::fromImage(icon);
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}

// Draws each entry as the list would, framed: white around every cover,
// dark blue around the selected one.
class CoverDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QRect cover = coverRect(option);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->save();
        QPen pen(selected ? QColor::fromRgb(kSelectedFrame) : QColor(Qt::white), kFrameWidthPixels);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cover.adjusted(-1, -1, 0, 0));
        if (selected) {
            // The cover again, unhighlighted, inside its frame.
            const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
            icon.paint(painter, cover, Qt::AlignCenter, QIcon::Normal);
        }
        painter->restore();
    }

  private:
    // Where the view puts the decoration: centred at the top of the item.
    static QRect coverRect(const QStyleOptionViewItem& option) {
        const QSize size = TransitionListView::kCoverSize;
        const int left = option.rect.left() + (option.rect.width() - size.width()) / 2;
        return {left, option.rect.top() + 4, size.width(), size.height()};
    }
};

}  // namespace

TransitionListView::TransitionListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("transitionList"));
    setAccessibleName(tr("Transitions"));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setIconSize(kCoverSize);
    setGridSize(kGridSize);
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setItemDelegate(new CoverDelegate(this));
    setMinimumSize(kGridSize.width() * 3 + 24, kGridSize.height() * 2);
}

void TransitionListView::fillList(const std::filesystem::path& coverFolder) {
    const int selected = selectedEntry();
    const qreal pixelRatio = devicePixelRatioF();
    clear();
    const auto& names = catalogueNameList();
    for (int entry = 0; entry < TransitionCatalogue::kEntryCount; ++entry) {
        const QString name =
            QString::fromUtf8(names[size_t(entry)].data(), qsizetype(names[size_t(entry)].size()));
        auto* item = new QListWidgetItem(
            QIcon(coverPixmap(coverFolder / std::string(TransitionCatalogue::coverFileName(entry)),
                              pixelRatio)),
            name, this);
        item->setData(Qt::UserRole, entry);
        item->setToolTip(entry == 0 ? tr("A random transition for every picture")
                                    : tr("%1: click to preview, drag onto a picture").arg(name));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    if (selected >= 0) setCurrentRow(selected);
}

int TransitionListView::selectedEntry() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : items.front()->data(Qt::UserRole).toInt();
}

void TransitionListView::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (itemAt(event->position().toPoint()) != nullptr && selectedEntry() >= 0)
        emit previewRequested(selectedEntry());
}

void TransitionListView::keyPressEvent(QKeyEvent* event) {
    QListWidget::keyPressEvent(event);
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            // The selection has moved by now: the new entry plays.
            if (selectedEntry() >= 0) emit previewRequested(selectedEntry());
            break;
        default:
            break;
    }
}

QStringList TransitionListView::mimeTypes() const {
    return {QString::fromLatin1(PictureStrip::kTransitionDragFormat)};
}

QMimeData* TransitionListView::mimeData(const QList<QListWidgetItem*>& items) const {
    if (items.isEmpty()) return nullptr;
    return dragData(items.front()->data(Qt::UserRole).toInt());
}

QMimeData* TransitionListView::dragData(int entryIndex) {
    const qint32 entry = entryIndex;
    auto* carried = new QMimeData;
    QByteArray bytes(sizeof entry, '\0');
    qToLittleEndian(entry, bytes.data());
    carried->setData(QString::fromLatin1(PictureStrip::kTransitionDragFormat), bytes);
    return carried;
}

void TransitionListView::startDrag(Qt::DropActions) {
    QListWidgetItem* item = currentItem();
    if (item == nullptr || !item->isSelected()) return;
    QMimeData* carried = mimeData({item});
    if (carried == nullptr) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(carried);
    drag->setPixmap(item->icon().pixmap(kCoverSize / 2));
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

}  // namespace velmora
