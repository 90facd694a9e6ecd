#include "render/still_video.h"

#include <string>

#include "base/event.h"
#include "image/picture_loader.h"
#include "interfaces/encoder_library.h"
#include "interfaces/run_result.h"
#include "render/dvd_frame_converter.h"
#include "render/frame_geometry.h"

namespace velmora {

namespace {

// The still as one frame of the DVD's size; null when it cannot be decoded
// or has an odd side.
SharedVideoFrame stillFrame(const std::filesystem::path& still, VideoFormat format) {
    std::string reason;
    const Picture picture = loadPicture(still, &reason);
    if (picture.isNull() || picture.width() % 2 != 0 || picture.height() % 2 != 0) return nullptr;
    DvdFrameConverter converter(picture.image().size(), dvdFrameSize(format));
    const QSize size = converter.dvdFrameSize();
    auto frame = std::make_shared<VideoFrame>(size.width(), size.height());
    converter.convert(picture.image().convertToFormat(QImage::Format_RGB32), *frame);
    return frame;
}

}  // namespace

int encodeStillVideo(const StillVideoJob& job, EncoderLibrary& encoder) {
    const SharedVideoFrame frame = stillFrame(job.stillPath, job.format);
    if (!frame) return kFailed;

    const int init = encoder.initEncoder(job.outputPath, job.format);
    if (init != 0) {
        encoder.closeEncoder();
        return init;
    }
    const int frames = job.seconds * job.format.framesPerSecond();
    const double step = frames > 0 ? 65535.0 / frames : 0;
    bool cancelled = false;
    const int result = encoder.encodeStillFrames(frame, frames, [&](int framesDone) {
        if (job.progress) job.progress(int(step * framesDone));
        cancelled = job.cancelEvent != nullptr && job.cancelEvent->isSet();
        return !cancelled;
    });
    if (result != 0) return encoder.closeEncoder();
    if (cancelled) {
        encoder.closeEncoder();
        return kCancelled;
    }
    encoder.closeEncoder();
    if (job.progress) job.progress(65535);
    return kDone;
}

}  // namespace velmora
