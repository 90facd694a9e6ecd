#include "render/transition_preview.h"

#include <memory>
#include <utility>

#include "base/event.h"
#include "base/random_generator.h"
#include "model/transition_setting.h"
#include "render/preview_frames.h"
#include "render/preview_run.h"
#include "render/preview_slideshow.h"
#include "render/preview_state.h"
#include "render/timeline.h"

namespace velmora {

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
    const PreviewSlideshow samples(job.firstPicturePath, job.secondPicturePath,
                                   motionEffectFromNumber(job.motionEffect), job.displayTime,
                                   job.transitionTime);
    PreviewRun run(job.format, samples.slideshow(), previewCanvasSize(job.format.aspect),
                   job.background, *job.sink, clock, stopRequest);
    run.showPictureOverLastFrame(job.firstPicturePath);
    const int result =
        job.transition == nullptr
            ? 0
            : run.playSegment(1, job.displayTime, job.transitionTime, *job.transition);
    // The window ends on the first picture drawn over the frame it showed last.
    run.showPictureOverLastFrame(job.firstPicturePath);
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
