#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <filesystem>

#include "render/preview_frames.h"

namespace velmora {

// The small screen a preview plays on. Between previews it shows its idle
// picture: the first sample picture covering a light grey area. A preview
// thread hands it frames through showFrame; each is copied there and shown
// by the window's thread in its next turn, so the preview never waits for
// the window (which may itself be waiting for the preview to stop).
class PreviewPane final : public QWidget, public FrameSink {
    Q_OBJECT
  public:
    explicit PreviewPane(QSize canvasSize, QWidget* parent = nullptr);

    // The idle picture from `samplePicture` (nothing drawn when it cannot
    // be read); shown again until the next frame arrives.
    void showIdlePicture(const std::filesystem::path& samplePicture);
    // Back to the idle picture (a preview was stopped).
    void showIdle();
    // The slideshow preview's canvas follows the disc's aspect ratio; the
    // idle picture is made again for it.
    void setCanvasSize(QSize canvasSize);

    // Called on the preview thread.
    void showFrame(const QImage& frame) override;

    // Frames shown since the pane was made, for the tests and the tour.
    int framesShown() const { return framesShown_; }
    const QImage& shownImage() const { return frameShown_ ? frame_ : idle_; }

    QSize sizeHint() const override { return canvasSize_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void takeFrame(const QImage& frame);
    void drawIdlePicture();

    QSize canvasSize_;
    QImage idle_;
    QImage idleSample_;
    QImage frame_;
    bool frameShown_ = false;
    int framesShown_ = 0;
    // Frames still on their way from the preview thread: a frame that comes
    // after showIdle() of the same generation is dropped.
    std::atomic<int> generation_{0};
};

}  // namespace velmora
