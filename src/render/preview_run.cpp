#include "render/preview_run.h"

namespace velmora {

PreviewRun::PreviewRun(VideoFormat format, const Slideshow& slideshow, QSize canvasSize,
                       QRgb background, FrameSink& sink, PreviewClock& clock, Event& stopRequest)
    : sink_(sink),
      pacer_(clock, previewFrameDelay(format.standard), stopRequest),
      job_([&] {
          RenderJob job;
          job.format = format;
          job.slideshow = &slideshow;
          job.cancelEvent = &stopRequest;
          job.background = background;
          job.composedFrame = [this](int, const QImage& frame) {
              pacer_.waitForFrameTime();
              sink_.showFrame(frame);
              lastShown_ = &frame;
          };
          return job;
      }()),
      context_(job_, encoder_, canvasSize, 0),
      lastShown_(&context_.frame.image()) {
    context_.frame.clear(background);
}

int PreviewRun::playSegment(int index, int displaySeconds, int transitionSeconds,
                            const TransitionSetting& transition) {
    const int fps = job_.format.framesPerSecond();
    context_.index = index;
    context_.N = (displaySeconds + transitionSeconds) * fps;
    context_.T = transitionSeconds * fps;
    context_.motionFrame = 0;
    context_.startSegment();
    return renderTransitionSegment(context_, transition);
}

void PreviewRun::showPictureOverLastFrame(const std::filesystem::path& file) {
    if (lastShown_ != &context_.frame.image())
        context_.frame.drawUnscaled(*lastShown_, QPoint(0, 0));
    drawPictureFilling(context_.frame, file);
    lastShown_ = &context_.frame.image();
    pacer_.markShown();
    sink_.showFrame(context_.frame.image());
}

}  // namespace velmora
