#include "gui/editor_canvas_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "workspace/editor_canvas.h"

namespace velmora {

namespace {

Qt::CursorShape cursorShapeOf(EditorCursor cursor) {
    switch (cursor) {
        case EditorCursor::Move:
            return Qt::SizeAllCursor;
        case EditorCursor::ResizeDiagonal:
            return Qt::SizeFDiagCursor;
        case EditorCursor::ResizeAntiDiagonal:
            return Qt::SizeBDiagCursor;
        case EditorCursor::ResizeHorizontal:
            return Qt::SizeHorCursor;
        case EditorCursor::ResizeVertical:
            return Qt::SizeVerCursor;
        case EditorCursor::PointingHand:
            return Qt::PointingHandCursor;
        case EditorCursor::Arrow:
            break;
    }
    return Qt::ArrowCursor;
}

}  // namespace

EditorCanvasWidget::EditorCanvasWidget(EditorCanvas& canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {
    setObjectName(QStringLiteral("editorCanvas"));
    setAccessibleName(tr("Picture"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize EditorCanvasWidget::sizeHint() const {
    return {EditorCanvas::kFrameWidth + 2 * EditorCanvas::kFrameMargin,
            EditorCanvas::kFrameHeight + 2 * EditorCanvas::kFrameMargin};
}

QPoint EditorCanvasWidget::frameOrigin() const {
    const QSize extra = size() - sizeHint();
    return {std::max(0, extra.width() / 2), std::max(0, extra.height() / 2)};
}

QPoint EditorCanvasWidget::canvasPointAt(QPoint widgetPoint) const {
    return widgetPoint - frameOrigin() - canvas_.framePosition();
}

void EditorCanvasWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPoint origin = frameOrigin();
    const QRect frame(origin + QPoint(EditorCanvas::kFrameMargin, EditorCanvas::kFrameMargin),
                      QSize(EditorCanvas::kFrameWidth, EditorCanvas::kFrameHeight));
    painter.fillRect(frame, palette().color(QPalette::Dark));
    if (canvas_.isEmpty()) {
        painter.setPen(palette().color(QPalette::BrightText));
        painter.drawText(frame, Qt::AlignCenter, tr("This picture cannot be shown."));
        return;
    }
    painter.drawImage(origin + canvas_.framePosition(), canvas_.view());
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(frame.adjusted(-2, -2, 1, 1));
    }
}

void EditorCanvasWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || canvas_.isEmpty()) return;
    setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    canvas_.press(canvasPointAt(event->position().toPoint()),
                  event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    update();
    emit canvasChanged();
}

void EditorCanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = canvasPointAt(event->position().toPoint());
    if (dragging_) {
        canvas_.drag(at);
        update();
    }
    updateCursor(at);
}

void EditorCanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    canvas_.release(canvasPointAt(event->position().toPoint()));
    update();
    emit canvasChanged();
}

void EditorCanvasWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
        emit deleteRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void EditorCanvasWidget::updateCursor(QPoint canvasPoint) {
    setCursor(
        cursorShapeOf(canvas_.isEmpty() ? EditorCursor::Arrow : canvas_.cursorAt(canvasPoint)));
}

}  // namespace velmora
