#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "interfaces/video_format.h"
#include "interfaces/video_frame.h"
#include "render/canvas.h"
#include "render/dvd_frame_converter.h"
#include "render/motion_effect_renderer.h"
#include "render/picture_prefetch.h"

namespace velmora {

class EncoderLibrary;
class Event;
class Log;
class Slideshow;
class TransitionSetting;
struct SlideImage;

// The parameters of one slideshow render.
struct RenderJob {
    VideoFormat format = kPalStandard;
    const Slideshow* slideshow = nullptr;
    std::function<void(int)> progress;  // 0..65535
    const Event* cancelEvent = nullptr;
    QRgb background = 0xFF000000;
    // Developer tools and benchmarks look at the composed frames: called
    // with the frame's number and the canvas just before it is encoded.
    std::function<void(int frameNumber, const QImage& frame)> composedFrame;
};

// The state the frame loops of one render share: the frame canvas, the
// picture being entered with its motion, the segment's frame counts, the
// conversion to the encoder's frames and the encoder.
class RenderContext {
  public:
    RenderContext(const RenderJob& job, EncoderLibrary& encoder, QSize canvasSize, int totalFrames);

    const RenderJob& job;
    Canvas frame;
    MotionState motion;
    int index = 0;        // the picture whose segment is rendered
    int motionFrame = 0;  // frames of this segment so far
    int N = 0;            // frames of the segment
    int T = 0;            // transition frames at its start

    const SlideImage& picture() const;
    // The next frame begins the segment of picture `index`, N frames long:
    // its groups of pictures are planned from there (picture_groups.h).
    void startSegment();
    // Sets up picture `index` and its motion over N frames (decoded ahead
    // while the segment before rendered), and starts decoding the next.
    void preparePicture();
    // Hands the frame canvas to the encoder, advances the progress and tests
    // the cancel event: 0, 2 (cancelled) or the encoder's error.
    int emitFrame();
    // The same for a canvas of the frame's size that already holds the frame.
    int emitFrame(const Canvas& composed);
    // Frames from `firstFrame` to N − 1: the picture's motion alone. A
    // picture that does not move is composed and converted once, and that
    // one encoder frame is handed over for every frame of the stretch.
    int renderMotionFrames(int firstFrame);

  private:
    // `composed` converted into a frame of the pool.
    SharedVideoFrame convert(const Canvas& composed);
    // Hands `converted` (the frame of `composed`) to the encoder as the
    // next frame, with the group start, progress and cancel test.
    int emitConverted(const Canvas& composed, const SharedVideoFrame& converted);

    EncoderLibrary& encoder_;
    double progress_ = 0;
    double progressStep_ = 0;
    int emittedFrames_ = 0;
    int segmentStart_ = 0;          // the first frame of the segment
    std::vector<int> groupStarts_;  // in the segment, still to come
    size_t nextGroup_ = 0;          // of groupStarts_
    DvdFrameConverter converter_;
    // Distinct frames in flight to the encoder: 16 (10 MB for PAL) keep it
    // as busy as more did in a whole run (twenty photos, 3 s + 2 s, pairs of
    // runs alternated: 64 frames no faster and 10 MB more at the peak; 8
    // no slower within the noise), while a still stretch queues one frame
    // many times at no cost.
    static constexpr int kFramesInFlight = 16;
    VideoFramePool frames_;
    PicturePrefetch nextPicture_;
};

// Renders the segment of picture context.index, entered by `transition`
// with that kind's renderer: 0, 2 (cancelled) or the encoder's error.
// Random, which pictures never hold, renders nothing.
int renderTransitionSegment(RenderContext& context, const TransitionSetting& transition);

// Segment 0: a one-second fade from white into the first picture.
int renderFirstPicture(RenderContext& context);

// Renders and encodes one slideshow: 0 when every frame was encoded, 2 when
// cancelled, the encoder's error otherwise (also when closing fails).
int encodeSlideshow(const RenderJob& job, EncoderLibrary& encoder, const Log& log);

}  // namespace velmora
