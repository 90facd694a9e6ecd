#include "gui/disc_tree_view.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QUrl>

#include "gui/dropped_files.h"

namespace velmora {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;

// Slideshow names hold at most 15 characters: the editor stops there.
class NameDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setMaxLength(DiscTreeView::kNameCharacters);
            line->setObjectName(QStringLiteral("slideshowNameEditor"));
        }
        return editor;
    }
};

QString tooltipOf(const DiscTreeItem& item) {
    const DiscTreeTooltip tip = discTreeTooltip(item);
    QString html = QStringLiteral("<b>%1</b><br>%2")
                       .arg(QString::fromStdString(tip.title).toHtmlEscaped(),
                            QString::fromStdString(tip.text).toHtmlEscaped().replace(
                                QLatin1Char('\n'), QStringLiteral("<br>")));
    if (!tip.picture.empty())
        html += QStringLiteral("<br><img src=\"%1\">")
                    .arg(QUrl::fromLocalFile(QString::fromStdString(tip.picture.string()))
                             .toString()
                             .toHtmlEscaped());
    return html;
}

}  // namespace

DiscTreeView::DiscTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("discTree"));
    setAccessibleName(tr("Disc overview"));
    setHeaderHidden(true);
    setColumnCount(1);
    setItemDelegate(new NameDelegate(this));
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &DiscTreeView::itemWasChosen);
    connect(this, &QTreeWidget::itemChanged, this, &DiscTreeView::nameWasEdited);
}

void DiscTreeView::showTree(const DiscTree& tree, int currentSlideshow) {
    if (state() == EditingState) {
        pendingTree_ = tree;
        pendingCurrent_ = currentSlideshow;
        return;
    }
    pendingTree_.reset();
    filling_ = true;
    clear();
    auto* root = new QTreeWidgetItem(this, {QString::fromStdString(tree.root.text)});
    root->setData(0, kKindRole, int(DiscTreeKind::Disc));
    root->setToolTip(0, tooltipOf(tree.root));
    int slideshow = 0;
    for (const DiscTreeItem& child : tree.children) {
        auto* item = new QTreeWidgetItem(root, {QString::fromStdString(child.text)});
        item->setData(0, kKindRole, int(child.kind));
        item->setToolTip(0, tooltipOf(child));
        if (child.kind == DiscTreeKind::Slideshow) {
            item->setData(0, kIndexRole, slideshow);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            if (slideshow == currentSlideshow) setCurrentItem(item);
            ++slideshow;
        }
    }
    if (!tree.children.empty()) root->setExpanded(true);
    filling_ = false;
}

void DiscTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTreeWidget::closeEditor(editor, hint);
    if (pendingTree_) {
        // After the edit's own signals, which may bring a newer tree.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (pendingTree_) showTree(*pendingTree_, pendingCurrent_);
            },
            Qt::QueuedConnection);
    }
}

QTreeWidgetItem* DiscTreeView::slideshowItem(int index) const {
    QTreeWidgetItem* root = topLevelItem(0);
    if (root == nullptr) return nullptr;
    for (int child = 0; child < root->childCount(); ++child)
        if (slideshowIndexOf(root->child(child)) == index) return root->child(child);
    return nullptr;
}

void DiscTreeView::editSlideshowName(int index) {
    if (QTreeWidgetItem* item = slideshowItem(index)) {
        setCurrentItem(item);
        editItem(item, 0);
    }
}

int DiscTreeView::slideshowIndexOf(const QTreeWidgetItem* item) const {
    if (item == nullptr || item->data(0, kKindRole).toInt() != int(DiscTreeKind::Slideshow))
        return -1;
    return item->data(0, kIndexRole).toInt();
}

void DiscTreeView::itemWasChosen() {
    if (filling_) return;
    const int index = slideshowIndexOf(currentItem());
    if (index >= 0) emit slideshowChosen(index);
}

void DiscTreeView::nameWasEdited(QTreeWidgetItem* item, int) {
    if (filling_) return;
    const int index = slideshowIndexOf(item);
    if (index >= 0) emit renameRequested(index, item->text(0).left(kNameCharacters));
}

void DiscTreeView::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = itemAt(viewport()->mapFromGlobal(event->globalPos()));
    if (item == nullptr) item = currentItem();
    if (item == nullptr || !commandsOffered_) return;
    setCurrentItem(item);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("discTreeMenu"));
    const auto kind = DiscTreeKind(item->data(0, kKindRole).toInt());
    const int index = slideshowIndexOf(item);
    switch (kind) {
        case DiscTreeKind::Disc:
            menu.addAction(tr("Save Project"), this, &DiscTreeView::saveProjectRequested);
            menu.addAction(tr("Load Project"), this, &DiscTreeView::loadProjectRequested);
            menu.addAction(tr("Add Slideshow"), this, &DiscTreeView::addSlideshowRequested);
            menu.addAction(tr("Del All Slideshow"), this,
                           &DiscTreeView::deleteAllSlideshowsRequested)
                ->setEnabled(item->childCount() > 0);
            break;
        case DiscTreeKind::Menu:
            menu.addAction(tr("Edit Menu"), this, &DiscTreeView::editMenuRequested);
            break;
        case DiscTreeKind::Slideshow:
            menu.addAction(tr("Edit capture"), this, [this, index] { editSlideshowName(index); });
            menu.addAction(tr("Del"), this,
                           [this, index] { emit deleteSlideshowRequested(index); });
            menu.addAction(tr("Move Up"), this,
                           [this, index] { emit moveSlideshowUpRequested(index); });
            menu.addAction(tr("Move Down"), this,
                           [this, index] { emit moveSlideshowDownRequested(index); });
            break;
    }
    menu.exec(event->globalPos());
}

void DiscTreeView::keyPressEvent(QKeyEvent* event) {
    const int index = slideshowIndexOf(currentItem());
    if (commandsOffered_ && index >= 0 && state() != EditingState) {
        if (event->matches(QKeySequence::Delete)) {
            emit deleteSlideshowRequested(index);
            return;
        }
        if (event->modifiers() == Qt::AltModifier && event->key() == Qt::Key_Up) {
            emit moveSlideshowUpRequested(index);
            return;
        }
        if (event->modifiers() == Qt::AltModifier && event->key() == Qt::Key_Down) {
            emit moveSlideshowDownRequested(index);
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void DiscTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (commandsOffered_ && !droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DiscTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (commandsOffered_ && !droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DiscTreeView::dropEvent(QDropEvent* event) {
    const std::vector<std::filesystem::path> paths = droppedFiles(event->mimeData());
    if (!commandsOffered_ || paths.empty()) return;
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

}  // namespace velmora
