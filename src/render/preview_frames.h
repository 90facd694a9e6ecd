#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <chrono>
#include <filesystem>

#include "interfaces/video_format.h"

namespace velmora {

class Canvas;
class Event;

// Where a preview's frames go: the window that shows them. Called on the
// preview's thread. The image is the renderer's own canvas and is valid
// only during the call, so a sink that shows it later takes a deep copy
// (QImage::copy). A sink never waits for the user-interface thread: that
// thread may be waiting in stopPreview for this one.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual void showFrame(const QImage& frame) = 0;
};

// The time a preview paces its frames by; tests replace it so that they do
// not sleep.
class PreviewClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~PreviewClock() = default;
    virtual TimePoint now() = 0;
    // Returns at `deadline`, or earlier once `wake` is set; `wake` stays set.
    virtual void sleepUntil(TimePoint deadline, Event& wake) = 0;
};

// The real time.
class SteadyPreviewClock final : public PreviewClock {
  public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    void sleepUntil(TimePoint deadline, Event& wake) override;
};

// The preview canvas: 224 × 168 (4:3) or 224 × 126 (16:9).
QSize previewCanvasSize(AspectRatio aspect);
// The time between two preview frames: 40 ms PAL; 33.367 ms NTSC, whose
// 30 counted frames a second play at 29.97.
std::chrono::microseconds previewFrameDelay(TvStandard standard);

// Shows one frame per frame delay: before a frame is shown it waits out
// what is left of the delay since the previous one. A frame that took
// longer than the delay to compose is shown at once; the preview then runs
// slower and drops nothing.
class FramePacer {
  public:
    FramePacer(PreviewClock& clock, std::chrono::microseconds frameDelay, Event& wake);

    // The frame shown now starts the next delay.
    void markShown() { lastShown_ = clock_.now(); }
    // Waits until the delay since the last frame has passed (or `wake` is
    // set), then marks the frame about to be shown.
    void waitForFrameTime();

  private:
    PreviewClock& clock_;
    std::chrono::microseconds frameDelay_;
    Event& wake_;
    PreviewClock::TimePoint lastShown_;
};

// Where a picture of `picture` size is drawn to fill `canvas` as far as its
// aspect allows, enlarged or reduced, centred on the other axis: the full
// height when the picture is taller in proportion than the canvas, else the
// full width.
QRectF fillingPlace(QSize picture, QSize canvas);
// Draws the picture file at its fillingPlace over what `canvas` holds (it is
// not cleared first). A file that cannot be decoded draws nothing.
void drawPictureFilling(Canvas& canvas, const std::filesystem::path& file);

}  // namespace velmora
