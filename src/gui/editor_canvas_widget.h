#pragma once

#include <QWidget>
#include <functional>

namespace velmora {

class EditorCanvas;

// Paints the picture editor's canvas in its 660 × 480 frame and hands the
// mouse and the Delete key to it. Everything it shows comes from the
// canvas, so what the tests see is what the user sees.
class EditorCanvasWidget final : public QWidget {
    Q_OBJECT
  public:
    EditorCanvasWidget(EditorCanvas& canvas, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Display pixels of the picture for a point of the widget.
    QPoint canvasPointAt(QPoint widgetPoint) const;

  signals:
    // The selection, the items or the crop rectangle changed by the mouse.
    void canvasChanged();
    void deleteRequested();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The frame is centred when the widget is larger than it.
    QPoint frameOrigin() const;
    void updateCursor(QPoint canvasPoint);

    EditorCanvas& canvas_;
    bool dragging_ = false;
};

}  // namespace velmora
