#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

class QLineEdit;
class QMimeData;
class QScrollBar;

namespace velmora {

class PictureStrip;
class ThumbnailLoader;
enum class StripCommand;
enum class StripMenu;

// The effects page's storyboard on screen: the strip's cells over a
// horizontal scroll bar. Everything it shows and decides comes from the
// PictureStrip; the widget turns Qt's events into the strip's input and
// runs what the strip cannot run without a window: the auto-scroll timer,
// the drag of pictures, the context menu, the in-place time edit and the
// thumbnail loading.
//
// It takes over the strip's onPicturesChanged and onThumbnailsNeeded; the
// page listens to picturesChanged() instead. The strip and the loader must
// outlive the widget: a page holding them as members deletes the widget
// first in its destructor, before its members go.
class PictureStripWidget final : public QWidget {
    Q_OBJECT
  public:
    PictureStripWidget(PictureStrip& strip, ThumbnailLoader& loader, QWidget* parent = nullptr);
    ~PictureStripWidget() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Shows what the strip holds now (scroll bar, open edit, cells): call it
    // after changing the strip from outside, e.g. clearStrip() or an apply
    // command.
    void refresh();

    QScrollBar* scrollBar() const { return scrollBar_; }
    // The open in-place time edit, or null.
    QLineEdit* timeEdit() const { return timeEdit_; }

  signals:
    // Pictures or their times changed: the disc estimate is stale.
    void picturesChanged();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QRect cellArea() const;
    void syncScrollBar();
    void scrolled(int pixels);

    void loadThumbnails();
    void thumbnailArrived(int batch, int index, const QImage& image);

    void startPictureDrag();
    void followAutoScroll();
    void autoScrollTick();
    void showContextMenu(StripMenu menu, QPoint globalPoint);
    void runMenuCommand(StripCommand command);

    void openTimeEdit();
    // Enter or focus loss commits the typed text, Escape does not; either
    // way the edit goes, once.
    void closeTimeEdit(bool commit);
    void dropTimeEdit();
    // Which kind of drag the data is, when the strip takes it.
    bool carriesPictures(const QMimeData* mime) const;
    static bool carriesTransition(const QMimeData* mime);

    PictureStrip& strip_;
    ThumbnailLoader& loader_;
    QScrollBar* scrollBar_ = nullptr;
    QLineEdit* timeEdit_ = nullptr;
    QTimer autoScroll_;
    // Where the pointer was last seen, for the auto-scroll ticks.
    QPoint lastPointer_;
    QPoint pressPoint_;
    bool leftPressed_ = false;
    // Wheel turns smaller than a notch (touchpads) add up to whole cells.
    int wheelAngle_ = 0;
    int thumbnailBatch_ = -1;
};

}  // namespace velmora
