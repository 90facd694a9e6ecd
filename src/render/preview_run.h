#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>
#include <filesystem>

#include "interfaces/video_format.h"
#include "render/discarding_encoder.h"
#include "render/preview_frames.h"
#include "render/timeline.h"

namespace velmora {

class Event;
class Slideshow;
class TransitionSetting;

// The encoder's renderer set up for a preview on a small canvas: every
// composed frame waits for its time and goes to the sink, nothing is
// encoded, and the stop request is the render's cancel event. Both previews
// end by drawing a picture over the frame the window shows last.
class PreviewRun {
  public:
    PreviewRun(VideoFormat format, const Slideshow& slideshow, QSize canvasSize, QRgb background,
               FrameSink& sink, PreviewClock& clock, Event& stopRequest);
    PreviewRun(const PreviewRun&) = delete;
    PreviewRun& operator=(const PreviewRun&) = delete;

    RenderContext& context() { return context_; }

    // Plays the segment of picture `index`: its transition in the first
    // transitionSeconds, then the rest of its time. 0, or 2 when stopped.
    int playSegment(int index, int displaySeconds, int transitionSeconds,
                    const TransitionSetting& transition);

    // Draws `file` filling the canvas over the frame shown last (a stop may
    // have left that one in the motion canvas only) and shows it at once.
    void showPictureOverLastFrame(const std::filesystem::path& file);

  private:
    FrameSink& sink_;
    FramePacer pacer_;
    RenderJob job_;
    DiscardingEncoder encoder_;
    RenderContext context_;
    // The frame the window shows last: the frame canvas or the motion
    // canvas, both alive as long as the context.
    const QImage* lastShown_;
};

}  // namespace velmora
