#pragma once

#include <QRgb>
#include <QSize>
#include <functional>

#include "interfaces/video_format.h"

namespace velmora {

class Event;
class FrameSink;
class PreviewClock;
class PreviewState;
class Slideshow;

// A whole slideshow played on a small canvas at the frame rate of the
// format's TV standard, frame for frame as the encoder would receive it. The
// page that shows the preview owns one and reuses it for every run.
struct SlideshowPreviewJob {
    VideoFormat format = kPalStandard;
    // Empty: the preview canvas of the format's aspect (224 × 168 or
    // 224 × 126); the menu preview asks for 368 × 276 or 368 × 207.
    QSize canvasSize;
    // Set by the page before every start; startSlideshowPreview plays a copy
    // of it, so the user may edit it while the preview plays.
    const Slideshow* slideshow = nullptr;
    FrameSink* sink = nullptr;  // the window; must outlive the run
    QRgb background = 0xFF000000;
    // Called on the preview's thread when the run ends: onPlayedToEnd only
    // when it played to its end (the menu preview then plays the next
    // slideshow), before onEnded, which is called in every case, last (the
    // application then stops the music).
    std::function<void()> onPlayedToEnd;
    std::function<void()> onEnded;
};

// The disc's music that accompanies the preview; the application binds it
// to its music player.
struct PreviewMusic {
    std::function<void()> stop;
    // Plays the disc's music: the first slideshow's track list, whichever
    // slideshow is previewed.
    std::function<void()> playDiscMusic;
};

// The canvas a job's frames are composed on.
QSize slideshowPreviewCanvasSize(const SlideshowPreviewJob& job);

// Plays `job` on the calling thread: a lead-in second (cut short by a
// stop), the first picture fading in from white, every later picture's
// segment with its transition, then the poster: the first picture filled
// into the canvas over the last frame. Each frame goes to job.sink when its
// time on `clock` has come. Then the end callbacks. 0 when played to the
// end, 2 when `stopRequest` ended it (after the frame it was on); 1 when
// there was nothing to play (no sink, no pictures): nothing is shown and
// only onEnded is called.
int runSlideshowPreview(const SlideshowPreviewJob& job, PreviewClock& clock, Event& stopRequest);

// While a stop of `state` is under way: 1, and nothing else happens.
// Otherwise stops the music, stops the preview that runs, starts the disc's
// music and plays a copy of job.slideshow's pictures on the preview thread
// of `state`; 0. The clock must outlive the run.
int startSlideshowPreview(PreviewState& state, const SlideshowPreviewJob& job, PreviewClock& clock,
                          const PreviewMusic& music);

}  // namespace velmora
