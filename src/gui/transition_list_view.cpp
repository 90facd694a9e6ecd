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
constexpr int kCoverRole = Qt::UserRole + 1;
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

// Draws each entry: its cover in a white frame, dark blue when selected,
// and its name below, highlighted when selected.
class CoverDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QRect cover = coverRect(option.rect);
        painter->save();
        painter->fillRect(cover.adjusted(-kFrameWidthPixels, -kFrameWidthPixels, kFrameWidthPixels,
                                         kFrameWidthPixels),
                          selected ? QColor::fromRgb(kSelectedFrame) : QColor(Qt::white));
        // The pixmap is made at the screen's density: drawn at its logical size.
        painter->drawPixmap(cover.topLeft(), index.data(kCoverRole).value<QPixmap>());

        const QRect text = textRect(option.rect);
        const QString name = index.data(Qt::DisplayRole).toString();
        const QPalette& palette = option.palette;
        QRect used =
            painter->boundingRect(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, name);
        used = used.intersected(text).adjusted(-2, 0, 2, 0);
        if (selected) painter->fillRect(used, palette.color(QPalette::Highlight));
        painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, name);
        if (option.state.testFlag(QStyle::State_HasFocus)) {
            QStyleOptionFocusRect focus;
            focus.initFrom(option.widget);
            focus.rect = used;
            focus.backgroundColor = palette.color(selected ? QPalette::Highlight : QPalette::Base);
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter,
                                                  option.widget);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return TransitionListView::kGridSize - QSize(4, 4);
    }

  private:
    static constexpr int kTopMarginPixels = 4;
    static constexpr int kTextGapPixels = 6;

    // The cover, centred at the top of the entry.
    static QRect coverRect(const QRect& entry) {
        const QSize size = TransitionListView::kCoverSize;
        return {entry.left() + (entry.width() - size.width()) / 2, entry.top() + kTopMarginPixels,
                size.width(), size.height()};
    }
    static QRect textRect(const QRect& entry) {
        const int top = coverRect(entry).bottom() + kTextGapPixels;
        return {entry.left(), top, entry.width(), entry.bottom() - top + 1};
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
        const QPixmap cover = coverPixmap(
            coverFolder / std::string(TransitionCatalogue::coverFileName(entry)), pixelRatio);
        auto* item = new QListWidgetItem(QIcon(cover), name, this);
        item->setData(Qt::UserRole, entry);
        item->setData(kCoverRole, cover);
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
