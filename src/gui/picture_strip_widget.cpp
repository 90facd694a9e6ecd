#include "gui/picture_strip_widget.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolTip>
#include <QWheelEvent>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "workspace/picture_strip.h"
#include "workspace/thumbnail_loader.h"

namespace velmora {

namespace {

// About four and a half cells, the strip's width on the effects page.
constexpr int kPreferredWidthPixels = 620;
constexpr int kWheelNotch = 120;
// The time edit's text, as tall as the box the strip leaves for it.
constexpr int kEditFontPixels = 12;

StripModifiers modifiersOf(Qt::KeyboardModifiers modifiers) {
    return {modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier)};
}

QString pictureFormat() {
    return QString::fromLatin1(PictureStrip::kPictureDragFormat);
}
QString transitionFormat() {
    return QString::fromLatin1(PictureStrip::kTransitionDragFormat);
}

// Both drags move something inside the project; the copy the transition
// list also offers is taken as a move.
void acceptAsMove(QDropEvent* event) {
    if (event->possibleActions().testFlag(Qt::MoveAction)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

bool isStripShortcut(const QKeyEvent* event) {
    return event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::Delete);
}

}  // namespace

PictureStripWidget::PictureStripWidget(PictureStrip& strip, ThumbnailLoader& loader,
                                       QWidget* parent)
    : QWidget(parent), strip_(strip), loader_(loader) {
    setObjectName(QStringLiteral("pictureStrip"));
    setAccessibleName(tr("Picture strip"));
    setAccessibleDescription(
        tr("The pictures of the slideshow in order, each with its transition, transition time "
           "and display time. Ctrl+A selects every picture, Delete removes the selected ones, "
           "the arrow keys scroll."));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->setObjectName(QStringLiteral("pictureStripScrollBar"));
    scrollBar_->setAccessibleName(tr("Picture strip position"));
    // The strip keeps the keyboard: its keys scroll as well.
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setSingleStep(StripLayout::kLineStepPixels);
    scrollBar_->setPageStep(StripLayout::kPageStepPixels);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &PictureStripWidget::scrolled);

    autoScroll_.setInterval(StripLayout::kAutoScrollIntervalMs);
    connect(&autoScroll_, &QTimer::timeout, this, &PictureStripWidget::autoScrollTick);
    connect(&loader_, &ThumbnailLoader::thumbnailReady, this,
            &PictureStripWidget::thumbnailArrived);

    strip_.onPicturesChanged = [this] {
        refresh();
        emit picturesChanged();
    };
    strip_.onThumbnailsNeeded = [this] {
        loadThumbnails();
        refresh();
    };
    // A slideshow shown before the widget existed asked nobody for its
    // thumbnails.
    if (strip_.slideshow() != nullptr) loadThumbnails();
    syncScrollBar();
}

// Should the strip already be gone (a page's members die before its
// children), nothing here touches it.
PictureStripWidget::~PictureStripWidget() {
    if (timeEdit_ != nullptr) timeEdit_->removeEventFilter(this);
    timeEdit_ = nullptr;
}

QSize PictureStripWidget::sizeHint() const {
    return {kPreferredWidthPixels, StripLayout::kCellHeight + scrollBar_->sizeHint().height()};
}

QSize PictureStripWidget::minimumSizeHint() const {
    return {StripLayout::kCellWidth, sizeHint().height()};
}

QRect PictureStripWidget::cellArea() const {
    return {0, 0, width(), StripLayout::kCellHeight};
}

void PictureStripWidget::refresh() {
    syncScrollBar();
    if (timeEdit_ != nullptr) {
        // The strip dropped the edit itself (another slideshow shown).
        if (!strip_.isEditing()) {
            dropTimeEdit();
        } else {
            timeEdit_->setGeometry(strip_.editBox().adjusted(1, 1, -1, -1));
        }
    }
    update();
}

void PictureStripWidget::syncScrollBar() {
    // Following the strip is no scroll by the user.
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, strip_.scrollMax());
    scrollBar_->setValue(strip_.scrollPosition());
}

void PictureStripWidget::scrolled(int pixels) {
    strip_.scrollTo(pixels);
    // Scrolling away from an open edit commits it, as any focus loss does.
    setFocus(Qt::OtherFocusReason);
    refresh();
}

// Thumbnails.

void PictureStripWidget::loadThumbnails() {
    std::vector<std::filesystem::path> files = strip_.thumbnailFiles();
    if (files.empty()) {
        loader_.cancel();
        thumbnailBatch_ = -1;
        return;
    }
    thumbnailBatch_ = loader_.load(std::move(files), StripLayout::kThumbnailSize);
}

void PictureStripWidget::thumbnailArrived(int batch, int index, const QImage& image) {
    // An older batch's index may name another picture by now.
    if (batch != thumbnailBatch_) return;
    strip_.setThumbnail(index, image);
    update();
}

// Painting.

void PictureStripWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = cellArea();
    painter.setClipRect(area);
    painter.fillRect(area, Qt::white);
    // Drawn straight onto the widget rather than as the strip's 1x image,
    // so that text and lines stay sharp on a high-density screen.
    strip_.drawStrip(painter);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    if (timeEdit_ != nullptr) painter.drawRect(strip_.editBox().adjusted(0, 0, -1, -1));
    if (hasFocus()) painter.drawRect(area.adjusted(0, 0, -1, -1));
}

void PictureStripWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scrollBar_->setGeometry(0, StripLayout::kCellHeight, width(), scrollBar_->sizeHint().height());
    strip_.resize(width());
    refresh();
}

void PictureStripWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PictureStripWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

// The mouse.

void PictureStripWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        // First the focus: an open edit commits on losing it, before the
        // strip sees the press.
        setFocus(Qt::MouseFocusReason);
        leftPressed_ = true;
        pressPoint_ = point;
        lastPointer_ = point;
        strip_.mousePress(point, modifiersOf(event->modifiers()));
        refresh();
        if (strip_.isEditing()) openTimeEdit();
    } else if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        const StripMenu menu = strip_.rightPress(point);
        refresh();
        if (menu != StripMenu::None) showContextMenu(menu, event->globalPosition().toPoint());
    }
}

void PictureStripWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!leftPressed_ || !event->buttons().testFlag(Qt::LeftButton)) return;
    const QPoint point = event->position().toPoint();
    lastPointer_ = point;
    // A hand that shakes while clicking a selected picture still clicks.
    if (strip_.mode() == StripMode::PressedOnSelected &&
        (point - pressPoint_).manhattanLength() < QApplication::startDragDistance())
        return;
    if (strip_.mouseMove(point)) {
        startPictureDrag();
        return;
    }
    followAutoScroll();
    update();
}

void PictureStripWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !leftPressed_) return;
    leftPressed_ = false;
    strip_.mouseRelease();
    autoScroll_.stop();
    refresh();
}

void PictureStripWidget::startPictureDrag() {
    // The drag ends with its own release.
    leftPressed_ = false;
    auto* dragged = new QMimeData;
    dragged->setData(pictureFormat(), strip_.pictureDragData());
    auto* drag = new QDrag(this);
    drag->setMimeData(dragged);
    const std::vector<int> selected = strip_.selectedPictures();
    if (!selected.empty()) {
        const QImage thumbnail = strip_.cells()[size_t(selected.front())].thumbnail;
        const QPixmap pixmap = QPixmap::fromImage(thumbnail.scaled(
            StripLayout::kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        drag->setPixmap(pixmap);
        drag->setHotSpot({pixmap.width() / 2, pixmap.height() / 2});
    }
    // The drops arrive here while exec() runs its own event loop.
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    strip_.endPictureDrag();
    autoScroll_.stop();
    refresh();
}

void PictureStripWidget::followAutoScroll() {
    if (!strip_.autoScrolling()) {
        autoScroll_.stop();
    } else if (!autoScroll_.isActive()) {
        autoScroll_.start();
    }
}

void PictureStripWidget::autoScrollTick() {
    strip_.tick(lastPointer_);
    refresh();
    if (!strip_.autoScrolling()) autoScroll_.stop();
}

void PictureStripWidget::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    wheelAngle_ += std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
    const int cells = wheelAngle_ / kWheelNotch;
    wheelAngle_ -= cells * kWheelNotch;
    if (cells != 0) scrollBar_->setValue(scrollBar_->value() - cells * StripLayout::kCellWidth);
    event->accept();
}

// The context menu.

void PictureStripWidget::showContextMenu(StripMenu which, QPoint globalPoint) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("pictureStripMenu"));
    for (const StripMenuItem& item : strip_.menuItems(which)) {
        QAction* action =
            menu->addAction(QString::fromUtf8(item.text.data(), qsizetype(item.text.size())));
        action->setEnabled(item.enabled);
        connect(action, &QAction::triggered, this,
                [this, command = item.command] { runMenuCommand(command); });
    }
    // Hidden before its action runs; the action's slot still finds it.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    // Not exec(): the window keeps running while the menu is open.
    menu->popup(globalPoint);
}

void PictureStripWidget::runMenuCommand(StripCommand command) {
    strip_.runCommand(command);
    refresh();
    if (strip_.isEditing()) openTimeEdit();
}

// Keys.

bool PictureStripWidget::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        isStripShortcut(static_cast<QKeyEvent*>(event))) {
        // The strip's own Ctrl+A and Delete win over the window's shortcuts.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::string tip =
            cellArea().contains(help->pos()) ? strip_.toolTipAt(help->pos()) : std::string();
        if (tip.empty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        // Moving to another cell asks again.
        const QRect cell = strip_.cellRect(strip_.cellIndexAt(help->pos())).intersected(cellArea());
        QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this, cell);
        return true;
    }
    return QWidget::event(event);
}

void PictureStripWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        strip_.keyPress(StripKey::SelectAll);
        refresh();
    } else if (event->matches(QKeySequence::Delete)) {
        strip_.keyPress(StripKey::Delete);
        refresh();
    } else if (event->key() == Qt::Key_Left && event->modifiers() == Qt::NoModifier) {
        scrollBar_->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (event->key() == Qt::Key_Right && event->modifiers() == Qt::NoModifier) {
        scrollBar_->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    } else {
        QWidget::keyPressEvent(event);
    }
}

// The in-place time edit.

void PictureStripWidget::openTimeEdit() {
    dropTimeEdit();
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("stripTimeEdit"));
    edit->setAccessibleName(strip_.mode() == StripMode::EditingDisplayTime
                                ? tr("Display time in seconds")
                                : tr("Transition time in seconds"));
    QFont font = edit->font();
    font.setPixelSize(kEditFontPixels);
    edit->setFont(font);
    // The strip paints the frame around the box; inside it the edit has
    // no room for a frame of its own.
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    edit->setText(QString::fromStdString(strip_.editText()));
    edit->setGeometry(strip_.editBox().adjusted(1, 1, -1, -1));
    edit->installEventFilter(this);
    timeEdit_ = edit;
    edit->show();
    edit->selectAll();
    edit->setFocus(Qt::OtherFocusReason);
    update();
}

bool PictureStripWidget::eventFilter(QObject* watched, QEvent* event) {
    if (timeEdit_ == nullptr || watched != timeEdit_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // Escape closes the edit, not the window's dialog or page.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) event->accept();
            break;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
                closeTimeEdit(key != Qt::Key_Escape);
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            // The edit's own context menu takes the focus only for a while.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                closeTimeEdit(true);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void PictureStripWidget::closeTimeEdit(bool commit) {
    if (timeEdit_ == nullptr) return;
    const std::string typed = timeEdit_->text().toStdString();
    dropTimeEdit();
    if (strip_.isEditing()) {
        if (commit) {
            strip_.commitEdit(typed);
        } else {
            strip_.cancelEdit();
        }
    }
    refresh();
}

// The edit goes without a word to the strip; its focus loss while going
// must not commit a second time.
void PictureStripWidget::dropTimeEdit() {
    QLineEdit* edit = std::exchange(timeEdit_, nullptr);
    if (edit == nullptr) return;
    edit->removeEventFilter(this);
    // Enter and Escape hand the keyboard back to the strip, not to the next
    // widget in the chain; a click elsewhere has already taken it.
    if (edit->hasFocus()) setFocus(Qt::OtherFocusReason);
    edit->hide();
    edit->deleteLater();
}

// Drops.

bool PictureStripWidget::carriesPictures(const QMimeData* mime) const {
    // Picture data names positions in this strip's slideshow: it only
    // counts while the strip's own drag runs.
    return mime != nullptr && mime->hasFormat(pictureFormat()) &&
           strip_.mode() == StripMode::DraggingPictures;
}

bool PictureStripWidget::carriesTransition(const QMimeData* mime) {
    return mime != nullptr && mime->hasFormat(transitionFormat());
}

void PictureStripWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesPictures(event->mimeData()) || carriesTransition(event->mimeData())) {
        acceptAsMove(event);
    } else {
        event->ignore();
    }
}

void PictureStripWidget::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint point = event->position().toPoint();
    lastPointer_ = point;
    if (carriesPictures(event->mimeData())) {
        strip_.dragPicturesOver(point);
    } else if (carriesTransition(event->mimeData())) {
        strip_.dragTransitionOver(point);
    } else {
        event->ignore();
        return;
    }
    acceptAsMove(event);
    followAutoScroll();
    update();
}

void PictureStripWidget::dragLeaveEvent(QDragLeaveEvent*) {
    strip_.dragLeave();
    autoScroll_.stop();
    update();
}

void PictureStripWidget::dropEvent(QDropEvent* event) {
    const QPoint point = event->position().toPoint();
    const QMimeData* mime = event->mimeData();
    if (carriesPictures(mime)) {
        strip_.dropPictures(point);
    } else if (carriesTransition(mime)) {
        strip_.dropTransition(point,
                              PictureStrip::transitionEntryOf(mime->data(transitionFormat())));
    } else {
        event->ignore();
        return;
    }
    acceptAsMove(event);
    autoScroll_.stop();
    refresh();
}

}  // namespace velmora
