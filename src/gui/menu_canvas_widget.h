#pragma once

#include <QTimer>
#include <QWidget>

namespace velmora {

class MenuEditor;

// Shows the menu editor's page and hands it the clicks: a left press
// selects the title or caption under it. While something is selected a
// timer moves the selection outline. Everything shown and decided is the
// editor's; the widget only paints, maps points and keeps the timer.
class MenuCanvasWidget final : public QWidget {
    Q_OBJECT
  public:
    MenuCanvasWidget(MenuEditor& editor, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The page was drawn again (shown, switched, edited): paint it and run
    // the outline timer only while something is selected.
    void refresh();
    // Where the page picture is painted: as large as fits, its shape kept,
    // centred.
    QRect pictureRect() const;
    // The surface pixel under a point of the widget.
    QPoint surfacePointAt(QPoint widgetPoint) const;
    // The widget point that shows the middle of a surface pixel: where a
    // click selects what is drawn there.
    QPoint widgetPointOf(QPoint surfacePoint) const;

  signals:
    // A click changed the selection; `count` items are now selected.
    void selectionChanged(int count);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QSize surfaceSize() const;
    void syncOutlineTimer();
    void stepOutline();

    MenuEditor& editor_;
    QTimer outlineTimer_;
};

}  // namespace velmora
