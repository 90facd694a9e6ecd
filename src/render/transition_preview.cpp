#include "render/transition_preview.h"

#include <memory>
#include <utility>

#include "base/event.h"
#include "base/random_generator.h"
#include "model/transition_setting.h"
#include "render/discarding_encoder.h"
#include "render/preview_frames.h"
#include "render/preview_slideshow.h"
#include "render/preview_state.h"
#include "render/timeline.h"

namespace velmora {

namespace {

// The first sample picture, filled into the frame over what it holds, and
// shown at once.
void showFirstPicture(RenderContext& context, const TransitionPreviewJob& job, FramePacer& pacer) {
    drawPictureFilling(context.frame, job.firstPicturePath);
    pacer.markShown();
    job.sink->showFrame(context.frame.image());
}

}  // namespace

int resolvePreviewMotionEffect(int motionEffect, RandomSource& random) {
    if (motionEffect != kMotionEffectRandom) return motionEffect;
    return random.next() * kMotionEffectNone / RandomSource::kMax;
}

int resolvePreviewCatalogueEntry(int entry, RandomSource& random) {
    if (entry != 0) return entry;
    return drawInRange(random, 1820, 1, 1, kConcreteTransitionKindCount);
}

int runTransitionPreview(const TransitionPreviewJob& job, PreviewClock& clock, Event& stopRequest) {
    if (job.sink == nullptr) return 0;
    const int fps = job.format.framesPerSecond();
    const PreviewSlideshow samples(job.firstPicturePath, job.secondPicturePath,
                                   motionEffectFromNumber(job.motionEffect), job.displayTime,
                                   job.transitionTime);
    FramePacer pacer(clock, previewFrameDelay(job.format.standard), stopRequest);
    // The frame the window shows last: the frame canvas or the motion
    // canvas, both alive as long as the context.
    const QImage* lastShown = nullptr;
    RenderJob renderJob;
    renderJob.format = job.format;
    renderJob.slideshow = &samples.slideshow();
    renderJob.cancelEvent = &stopRequest;
    renderJob.background = job.background;
    renderJob.composedFrame = [&](int, const QImage& frame) {
        pacer.waitForFrameTime();
        job.sink->showFrame(frame);
        lastShown = &frame;
    };
    DiscardingEncoder encoder;
    RenderContext context(renderJob, encoder, previewCanvasSize(job.format.aspect), 0);
    context.frame.clear(job.background);
    lastShown = &context.frame.image();

    showFirstPicture(context, job, pacer);
    int result = 0;
    if (job.transition != nullptr) {
        context.index = 1;
        context.N = (job.transitionTime + job.displayTime) * fps;
        context.T = job.transitionTime * fps;
        context.motionFrame = 0;
        context.startSegment();
        result = renderTransitionSegment(context, *job.transition);
    }
    // The window ends on the first picture drawn over the frame it showed
    // last, which a stop may have left in the motion canvas only.
    if (lastShown != &context.frame.image()) context.frame.drawUnscaled(*lastShown, QPoint(0, 0));
    showFirstPicture(context, job, pacer);
    return result;
}

int startTransitionPreview(PreviewState& state, const TransitionPreviewJob& job,
                           RandomSource& random, PreviewClock& clock) {
    TransitionPreviewJob run = job;
    run.motionEffect = resolvePreviewMotionEffect(job.motionEffect, random);
    // The run plays its own copy: the catalogue entry may be edited on the
    // user-interface thread while the preview reads it.
    std::shared_ptr<const TransitionSetting> transition;
    if (job.transition != nullptr) {
        auto copy = makeTransition(job.transition->kind());
        copy->setParameters(job.transition->firstParameter(), job.transition->secondParameter());
        transition = std::move(copy);
        run.transition = transition.get();
    }
    state.start([run, transition, &clock](Event& stopRequest) {
        runTransitionPreview(run, clock, stopRequest);
    });
    return 0;
}

}  // namespace velmora
