#include "gui/menu_canvas_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "menu/menu_composer.h"
#include "menu/menu_editor.h"

namespace velmora {

MenuCanvasWidget::MenuCanvasWidget(MenuEditor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
    setObjectName(QStringLiteral("menuCanvas"));
    setAccessibleName(tr("Menu page"));
    setToolTip(
        tr("Click the title or a caption to select it, then change its text, font or "
           "colour below"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    outlineTimer_.setInterval(MenuEditor::kOutlineIntervalMs);
    connect(&outlineTimer_, &QTimer::timeout, this, &MenuCanvasWidget::stepOutline);
}

QSize MenuCanvasWidget::surfaceSize() const {
    const QImage& picture = editor_.shownPicture();
    if (!picture.isNull()) return picture.size();
    return {MenuComposer::kSurfaceWidth, MenuComposer::kSurfaceHeight};
}

QSize MenuCanvasWidget::sizeHint() const {
    return surfaceSize();
}

QRect MenuCanvasWidget::pictureRect() const {
    const QSize fitted = surfaceSize().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

QPoint MenuCanvasWidget::surfacePointAt(QPoint widgetPoint) const {
    const QRect target = pictureRect();
    if (target.isEmpty()) return {-1, -1};
    const QSize surface = surfaceSize();
    const QPoint inside = widgetPoint - target.topLeft();
    // Floor, so that points left of or above the picture stay outside it.
    const auto toSurface = [](int offset, int surfaceSide, int targetSide) {
        const double exact = double(offset) * surfaceSide / targetSide;
        return int(std::floor(exact));
    };
    return {toSurface(inside.x(), surface.width(), target.width()),
            toSurface(inside.y(), surface.height(), target.height())};
}

QPoint MenuCanvasWidget::widgetPointOf(QPoint surfacePoint) const {
    const QRect target = pictureRect();
    const QSize surface = surfaceSize();
    const auto toWidget = [](int pixel, int surfaceSide, int targetSide) {
        return int((pixel + 0.5) * targetSide / surfaceSide);
    };
    return target.topLeft() + QPoint(toWidget(surfacePoint.x(), surface.width(), target.width()),
                                     toWidget(surfacePoint.y(), surface.height(), target.height()));
}

void MenuCanvasWidget::refresh() {
    syncOutlineTimer();
    updateGeometry();
    update();
}

void MenuCanvasWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QImage& picture = editor_.shownPicture();
    if (picture.isNull()) return;
    const QRect target = pictureRect();
    if (target.size() != picture.size()) painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
}

void MenuCanvasWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int count = editor_.selectAt(surfacePointAt(event->position().toPoint()));
    syncOutlineTimer();
    update();
    emit selectionChanged(count);
}

void MenuCanvasWidget::syncOutlineTimer() {
    if (editor_.selectedCount() == 0) {
        outlineTimer_.stop();
    } else if (!outlineTimer_.isActive()) {
        outlineTimer_.start();
    }
}

void MenuCanvasWidget::stepOutline() {
    if (editor_.selectedCount() == 0) {
        outlineTimer_.stop();
        return;
    }
    editor_.tickOutline();
    update();
}

}  // namespace velmora
