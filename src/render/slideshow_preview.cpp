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
#include "render/preview_frames.h"
#include "render/preview_run.h"
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

// Segment 0 with its fade-in from white, then every later picture with its
// transition while none was stopped; nothing when the lead-in was stopped.
// A picture holding Random (never a project's) renders nothing.
int renderSegments(PreviewRun& run, const Slideshow& slideshow, const Event& stopRequest) {
    if (stopRequest.isSet()) return kCancelled;
    int result = renderFirstPicture(run.context());
    for (size_t i = 1; result == kDone && i < slideshow.pictures.size(); ++i) {
        const EffectSetting& effect = slideshow.pictures[i].settings.effect;
        result =
            run.playSegment(int(i), effect.displayTime, effect.transitionTime, *effect.transition);
    }
    return result;
}

int playPictures(const SlideshowPreviewJob& job, PreviewClock& clock, Event& stopRequest) {
    clock.sleepUntil(clock.now() + kLeadIn, stopRequest);
    PreviewRun run(job.format, *job.slideshow, slideshowPreviewCanvasSize(job), job.background,
                   *job.sink, clock, stopRequest);
    const int result = renderSegments(run, *job.slideshow, stopRequest);
    run.showPictureOverLastFrame(job.slideshow->pictures.front().workingPath);
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
