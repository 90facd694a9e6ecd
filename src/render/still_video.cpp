#include "render/still_video.h"

#include <string>
#include <vector>

#include "base/event.h"
#include "image/picture_loader.h"
#include "interfaces/encoder_library.h"
#include "interfaces/run_result.h"
#include "render/canvas.h"
#include "render/frame_geometry.h"
#include "render/yuv_conversion.h"

namespace velmora {

namespace {

// The still as one planar frame; empty when it cannot be decoded or has an
// odd side.
std::vector<uint8_t> planarStill(const std::filesystem::path& still) {
    std::string reason;
    const Picture picture = loadPicture(still, &reason);
    const int width = picture.width();
    const int height = picture.height();
    if (picture.isNull() || width % 2 != 0 || height % 2 != 0) return {};
    std::vector<uint8_t> bgr(size_t(width) * size_t(height) * 3);
    readBgr24(picture.image(), bgr);
    std::vector<uint8_t> planar(size_t(width) * size_t(height) * 3 / 2);
    const size_t lumaSize = size_t(width) * size_t(height);
    convertToI420(bgr.data(), width, height, width * 3,
                  PlanarFrame{planar.data(), planar.data() + lumaSize,
                              planar.data() + lumaSize + lumaSize / 4, width});
    return planar;
}

}  // namespace

int encodeStillVideo(const StillVideoJob& job, EncoderLibrary& encoder) {
    const std::vector<uint8_t> frame = planarStill(job.stillPath);
    if (frame.empty()) return kFailed;

    const int init = encoder.initEncoder(job.outputPath, job.format);
    if (init != 0) {
        encoder.closeEncoder();
        return init;
    }
    const int frames = job.seconds * job.format.framesPerSecond();
    const double step = frames > 0 ? 65535.0 / frames : 0;
    double progress = 0;
    for (int i = 0; i < frames; ++i) {
        if (encoder.EncOneFrame(frame.data()) != 0) return encoder.closeEncoder();
        progress += step;
        if (job.progress) job.progress(int(progress));
        if (job.cancelEvent != nullptr && job.cancelEvent->isSet()) {
            encoder.closeEncoder();
            return kCancelled;
        }
    }
    encoder.closeEncoder();
    if (job.progress) job.progress(65535);
    return kDone;
}

}  // namespace velmora
