#include "render/timeline.h"

#include <cstdio>

#include "base/event.h"
#include "base/log.h"
#include "interfaces/encoder_library.h"
#include "interfaces/run_result.h"
#include "model/slideshow.h"
#include "model/transition_kinds.h"
#include "render/composing_thread.h"
#include "render/frame_geometry.h"
#include "render/picture_groups.h"
#include "render/transitions/accordion_transition.h"
#include "render/transitions/alpha_transition.h"
#include "render/transitions/blinds_transition.h"
#include "render/transitions/circle_transition.h"
#include "render/transitions/clock_transition.h"
#include "render/transitions/cube_fly_transition.h"
#include "render/transitions/diagonal_sweep_transition.h"
#include "render/transitions/door_transition.h"
#include "render/transitions/flip_transition.h"
#include "render/transitions/fly_transition.h"
#include "render/transitions/polygon_transition.h"
#include "render/transitions/rotate_in_transition.h"
#include "render/transitions/shutter_transition.h"
#include "render/transitions/spin_transition.h"
#include "render/transitions/sweep_transition.h"
#include "render/transitions/twist_transition.h"
#include "render/transitions/wipe_transition.h"
#include "render/transitions/zoom_transition.h"

namespace velmora {

RenderContext::RenderContext(const RenderJob& renderJob, EncoderLibrary& encoder, QSize canvasSize,
                             int totalFrames)
    : job(renderJob),
      frame(canvasSize),
      encoder_(encoder),
      progressStep_(totalFrames > 0 ? 65535.0 / totalFrames : 0),
      converter_(canvasSize, dvdFrameSize(renderJob.format)),
      frames_(converter_.dvdFrameSize().width(), converter_.dvdFrameSize().height(),
              kFramesInFlight) {}

const SlideImage& RenderContext::picture() const {
    return job.slideshow->pictures[size_t(index)];
}

void RenderContext::startSegment() {
    segmentStart_ = emittedFrames_;
    groupStarts_ = groupStarts(N, job.format.maxGroupFrames());
    nextGroup_ = 0;
}

void RenderContext::preparePicture() {
    const MotionEffectKind effect = picture().settings.effect.motionEffect;
    motion.setupMotion(effect, nextPicture_.take(picture().workingPath, effect, frame.size()),
                       frame.size(), N);
    const size_t next = size_t(index) + 1;
    if (next < job.slideshow->pictures.size()) {
        const SlideImage& following = job.slideshow->pictures[next];
        nextPicture_.start(following.workingPath, following.settings.effect.motionEffect,
                           frame.size());
    }
}

int RenderContext::emitFrame() {
    return emitFrame(frame);
}

int RenderContext::emitFrame(const Canvas& composed) {
    return emitConverted(composed, convert(composed));
}

SharedVideoFrame RenderContext::convert(const Canvas& composed) {
    if (!encoder_.takesFrames()) return nullptr;
    const std::shared_ptr<VideoFrame> converted = frames_.take();
    converter_.convert(composed.image(), *converted);
    return converted;
}

int RenderContext::emitConverted(const Canvas& composed, const SharedVideoFrame& converted) {
    if (job.composedFrame) job.composedFrame(emittedFrames_, composed.image());
    if (nextGroup_ < groupStarts_.size() &&
        emittedFrames_ - segmentStart_ == groupStarts_[nextGroup_]) {
        encoder_.startGroupAtNextFrame();
        ++nextGroup_;
    }
    ++emittedFrames_;
    const int result = encoder_.EncOneFrame(converted);
    if (result != 0) return result;
    progress_ += progressStep_;
    if (job.progress) job.progress(int(progress_));
    return job.cancelEvent != nullptr && job.cancelEvent->isSet() ? kCancelled : kDone;
}

int RenderContext::renderMotionFrames(int firstFrame) {
    const MotionEffectKind effect = picture().settings.effect.motionEffect;
    const bool still = motion.isStill();
    SharedVideoFrame converted;
    for (int k = firstFrame; k < N; ++k) {
        motionFrame = k;
        motion.renderMotionFrame(k, effect, job.background);
        // The frame is the motion canvas as it stands, encoded from there. A
        // picture that does not move gives the same frame every time: it is
        // converted once and that frame handed over again.
        if (!still || !converted) converted = convert(motion.canvas());
        if (const int result = emitConverted(motion.canvas(), converted); result != 0)
            return result;
        // Copied to the frame canvas once, for the next transition.
        if (k == N - 1) frame.drawUnscaled(motion.canvas().image(), QPoint(0, 0));
    }
    return 0;
}

namespace {

// Runs a kind's renderer with the setting as that kind's class, which
// makeTransition gives every kind; a renderer called for another kind's
// setting throws instead of reading the other kind's numbers.
template <class Setting>
int run(int (*renderer)(RenderContext&, const Setting&), RenderContext& context,
        const TransitionSetting& transition) {
    return renderer(context, dynamic_cast<const Setting&>(transition));
}

}  // namespace

int renderTransitionSegment(RenderContext& context, const TransitionSetting& transition) {
    // No default: a new kind is not handled until the compiler stops
    // naming it here.
    using K = TransitionKind;
    switch (transition.kind()) {
        case K::Alpha:
            return run(&runAlphaTransition, context, transition);
        case K::Accordion:
            return run(&runAccordionTransition, context, transition);
        case K::Blinds:
            return run(&runBlindsTransition, context, transition);
        case K::Circle:
            return run(&runCircleTransition, context, transition);
        case K::Clock:
            return run(&runClockTransition, context, transition);
        case K::CubeFly:
            return run(&runCubeFlyTransition, context, transition);
        case K::DiagonalSweep:
            return run(&runDiagonalSweepTransition, context, transition);
        case K::Door:
            return run(&runDoorTransition, context, transition);
        case K::Flip:
            return run(&runFlipTransition, context, transition);
        case K::Fly:
            return run(&runFlyTransition, context, transition);
        case K::Polygon:
            return run(&runPolygonTransition, context, transition);
        case K::RotateIn:
            return run(&runRotateInTransition, context, transition);
        case K::Shutter:
            return run(&runShutterTransition, context, transition);
        case K::Spin:
            return run(&runSpinTransition, context, transition);
        case K::Sweep:
            return run(&runSweepTransition, context, transition);
        case K::Twist:
            return run(&runTwistTransition, context, transition);
        case K::Wipe:
            return run(&runWipeTransition, context, transition);
        case K::Zoom:
            return run(&runZoomTransition, context, transition);
        case K::Random:
            return 0;
    }
    return 0;
}

int renderFirstPicture(RenderContext& context) {
    const int fps = context.job.format.framesPerSecond();
    context.index = 0;
    context.T = fps;
    context.N = (context.picture().settings.effect.displayTime + 1) * fps;
    context.startSegment();
    context.preparePicture();
    const MotionEffectKind effect = context.picture().settings.effect.motionEffect;
    for (int k = 0; k < context.T; ++k) {
        context.motionFrame = k;
        context.motion.renderMotionFrame(k, effect, context.job.background);
        context.frame.clear(0xFFFFFFFF);
        context.frame.drawWithAlpha(context.motion.canvas().image(), QPoint(0, 0),
                                    float(k + 1) / float(context.T));
        if (const int result = context.emitFrame(); result != 0) return result;
    }
    return context.renderMotionFrames(context.T);
}

namespace {

int renderSlideshow(const RenderJob& job, EncoderLibrary& encoder, const Log& log) {
    const Slideshow& slideshow = *job.slideshow;
    if (slideshow.pictures.empty()) {
        log.writeLog("Slideshow " + slideshow.name + " has no pictures; nothing to encode");
        return kFailed;
    }
    const int fps = job.format.framesPerSecond();
    encoder.initVobEncoder(slideshow.soundtrackPath, slideshow.programStreamPath, job.format);
    RenderContext context(job, encoder, canvasSize(job.format), slideshow.totalFrames);

    int result = renderFirstPicture(context);
    for (size_t i = 1; result == 0 && i < slideshow.pictures.size(); ++i) {
        const EffectSetting& effect = slideshow.pictures[i].settings.effect;
        char line[160];
        std::snprintf(line, sizeof line,
                      "cur iamge:%d, imagetime:%d, transmittime:%d, singleeffect:%d, effectid:%d, ",
                      int(i) - 1, effect.displayTime, effect.transitionTime,
                      int(effect.motionEffect), effect.transition->id());
        log.writeLog(line);
        context.index = int(i);
        context.N = (effect.displayTime + effect.transitionTime) * fps;
        context.T = effect.transitionTime * fps;
        context.motionFrame = 0;
        context.startSegment();  // the picture's chapter starts on its first frame
        result = renderTransitionSegment(context, *effect.transition);
    }
    // A failure to finish the file is a failure of the encode.
    const int closed = encoder.closeEncoder();
    return result != 0 ? result : closed;
}

}  // namespace

int encodeSlideshow(const RenderJob& job, EncoderLibrary& encoder, const Log& log) {
    return runOnComposingThread([&] { return renderSlideshow(job, encoder, log); });
}

}  // namespace velmora
