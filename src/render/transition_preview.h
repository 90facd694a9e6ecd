#pragma once

#include <QRgb>
#include <filesystem>

#include "interfaces/video_format.h"
#include "model/motion_effect.h"

namespace velmora {

class Event;
class FrameSink;
class PreviewClock;
class PreviewState;
class RandomSource;
class TransitionSetting;

// One transition played between the two sample pictures on the preview
// canvas (224 × 168 for 4:3, 224 × 126 for 16:9), at the frame rate of the
// format's TV standard. The page that shows the preview owns one and
// reuses it for every run.
struct TransitionPreviewJob {
    VideoFormat format = kPalStandard;
    std::filesystem::path firstPicturePath;   // outgoing: R/menu_pic/0.jpg
    std::filesystem::path secondPicturePath;  // incoming: R/menu_pic/1.jpg
    int motionEffect = kMotionEffectNone;     // of the incoming picture, 0..21 (21: random)
    int displayTime = 3;                      // seconds
    // A catalogue entry; the run plays a copy of it, so the entry may be
    // edited while the preview plays. Random, or none, plays no frames.
    const TransitionSetting* transition = nullptr;
    int transitionTime = 2;     // seconds
    FrameSink* sink = nullptr;  // the window; must outlive the run
    QRgb background = 0xFF000000;
};

// The motion effect a preview plays for `motionEffect`: Random (21) is
// drawn as rand() × 20 / 32767, so None (20) only for 32767; any other
// value is kept.
int resolvePreviewMotionEffect(int motionEffect, RandomSource& random);

// The catalogue entry the effects tab previews for `entry`: Random (entry
// 0) previews a kind drawn as rand() / 1820 + 1 with 19 folded to 18, so
// Zoom (18) comes up for rand() from 30940 on, twice as often as the
// others; any other entry previews itself.
int resolvePreviewCatalogueEntry(int entry, RandomSource& random);

// Plays `job` on the calling thread: the first picture at once, then the
// incoming picture's segment (the transition in its first transitionTime ×
// fps frames, displayTime × fps frames more), then the first picture again
// over the last frame. Each frame goes to job.sink when its time on `clock`
// has come. 0 when played to the end, 2 when `stopRequest` ended it (after
// the frame it was on). job.motionEffect must already be resolved.
int runTransitionPreview(const TransitionPreviewJob& job, PreviewClock& clock, Event& stopRequest);

// Stops the preview that runs and plays `job` on the preview thread of
// `state`, with Random motion drawn from `random` first. The clock must
// outlive the run. Always 0.
int startTransitionPreview(PreviewState& state, const TransitionPreviewJob& job,
                           RandomSource& random, PreviewClock& clock);

}  // namespace velmora
