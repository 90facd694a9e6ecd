#include "render/slideshow_preview.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/event.h"
#include "interfaces/run_result.h"
#include "model/slideshow.h"
#include "model/transition_setting.h"
#include "render/discarding_encoder.h"
#include "render/preview_frames.h"
#include "render/preview_slideshow.h"
#include "render/preview_state.h"
#include "render/timeline.h"

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kLeadIn{1000};

// What the renderer reads of a picture, with a transition object of its own.
SlideImage previewCopy(const SlideImage& source) {
    SlideImage copy;
    copy.sourcePath = source.sourcePath;
    copy.workingPath = source.workingPath;
    const EffectSetting& from = source.settings.effect;
    EffectSetting& effect = copy.settings.effect;
    effect.displayTime = from.displayTime;
    effect.transitionTime = from.transitionTime;
    effect.motionEffect = from.motionEffect;
    effect.transition = makeTransition(from.transition->kind());
    effect.transition->setParameters(from.transition->firstParameter(),
                                     from.transition->secondParameter());
    return copy;
}

// The pictures a preview thread plays, copied on the user-interface thread
// before it starts: the user may edit, reorder or remove the originals
// while the preview plays.
std::vector<SlideImage> previewCopies(const Slideshow* source) {
    std::vector<SlideImage> copies;
    if (source == nullptr) return copies;
    copies.reserve(source->pictures.size());
    for (const SlideImage& picture : source->pictures)
        copies.push_back(previewCopy(picture));
    return copies;
}

// Every picture after the first, each with its transition, while none was
// stopped. A picture holding Random (never a project's) renders nothing.
int renderLaterPictures(RenderContext& context) {
    const int fps = context.job.format.framesPerSecond();
    const Slideshow& slideshow = *context.job.slideshow;
    int result = kDone;
    for (size_t i = 1; result == kDone && i < slideshow.pictures.size(); ++i) {
        const EffectSetting& effect = slideshow.pictures[i].settings.effect;
        context.index = int(i);
        context.N = (effect.displayTime + effect.transitionTime) * fps;
        context.T = effect.transitionTime * fps;
        context.motionFrame = 0;
        context.startSegment();
        result = renderTransitionSegment(context, *effect.transition);
    }
    return result;
}

// Segment 0, then the others; nothing when the lead-in was stopped.
int renderSegments(RenderContext& context, const Event& stopRequest) {
    if (stopRequest.isSet()) return kCancelled;
    const int result = renderFirstPicture(context);
    return result == kDone ? renderLaterPictures(context) : result;
}

int playPictures(const SlideshowPreviewJob& job, PreviewClock& clock, Event& stopRequest) {
    clock.sleepUntil(clock.now() + kLeadIn, stopRequest);
    FramePacer pacer(clock, previewFrameDelay(job.format.standard), stopRequest);
    // The frame the window shows last: the frame canvas or the motion
    // canvas, both alive as long as the context.
    const QImage* lastShown = nullptr;
    RenderJob renderJob;
    renderJob.format = job.format;
    renderJob.slideshow = job.slideshow;
    renderJob.cancelEvent = &stopRequest;
    renderJob.background = job.background;
    renderJob.composedFrame = [&](int, const QImage& frame) {
        pacer.waitForFrameTime();
        job.sink->showFrame(frame);
        lastShown = &frame;
    };
    DiscardingEncoder encoder;
    RenderContext context(renderJob, encoder, slideshowPreviewCanvasSize(job), 0);
    context.frame.clear(job.background);
    lastShown = &context.frame.image();

    const int result = renderSegments(context, stopRequest);
    // The poster goes over the frame shown last, which a stop may have left
    // in the motion canvas only.
    if (lastShown != &context.frame.image()) context.frame.drawUnscaled(*lastShown, QPoint(0, 0));
    drawPictureFilling(context.frame, job.slideshow->pictures.front().workingPath);
    pacer.markShown();
    job.sink->showFrame(context.frame.image());
    return result;
}

}  // namespace

QSize slideshowPreviewCanvasSize(const SlideshowPreviewJob& job) {
    return job.canvasSize.isEmpty() ? previewCanvasSize(job.format.aspect) : job.canvasSize;
}

int runSlideshowPreview(const SlideshowPreviewJob& job, PreviewClock& clock, Event& stopRequest) {
    const bool playable =
        job.sink != nullptr && job.slideshow != nullptr && !job.slideshow->pictures.empty();
    const int result = playable ? playPictures(job, clock, stopRequest) : kFailed;
    if (result == kDone && job.onPlayedToEnd) job.onPlayedToEnd();
    if (job.onEnded) job.onEnded();
    return result;
}

int startSlideshowPreview(PreviewState& state, const SlideshowPreviewJob& job, PreviewClock& clock,
                          const PreviewMusic& music) {
    if (state.isPreviewStopping()) return kFailed;
    if (music.stop) music.stop();
    state.stopPreview();
    if (music.playDiscMusic) music.playDiscMusic();
    // Copied here, on the user-interface thread, before the preview thread
    // can read it.
    auto played = std::make_shared<const PreviewSlideshow>(previewCopies(job.slideshow));
    SlideshowPreviewJob run = job;
    run.slideshow = &played->slideshow();
    state.start([run = std::move(run), played, &clock](Event& stopRequest) {
        runSlideshowPreview(run, clock, stopRequest);
    });
    return kDone;
}

}  // namespace velmora
