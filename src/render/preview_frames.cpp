#include "render/preview_frames.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>

#include "base/event.h"
#include "image/picture_loader.h"
#include "render/canvas.h"

namespace velmora {

void SteadyPreviewClock::sleepUntil(TimePoint deadline, Event& wake) {
    // The event waits in whole milliseconds; the rest of the delay (under
    // one) is slept plainly, so NTSC keeps its 33.367 ms.
    const auto wait = std::chrono::floor<std::chrono::milliseconds>(deadline - now());
    if (wait.count() > 0 && wake.waitFor(wait)) {
        wake.set();  // waitFor consumed it; the renderer still has to see it
        return;
    }
    std::this_thread::sleep_until(deadline);
}

QSize previewCanvasSize(AspectRatio aspect) {
    return aspect == AspectRatio::Wide ? QSize(224, 126) : QSize(224, 168);
}

std::chrono::microseconds previewFrameDelay(TvStandard standard) {
    return std::chrono::microseconds(standard == TvStandard::Pal ? 40000 : 33367);
}

FramePacer::FramePacer(PreviewClock& clock, std::chrono::microseconds frameDelay, Event& wake)
    : clock_(clock), frameDelay_(frameDelay), wake_(wake), lastShown_(clock.now()) {}

void FramePacer::waitForFrameTime() {
    const PreviewClock::TimePoint due = lastShown_ + frameDelay_;
    if (clock_.now() < due) clock_.sleepUntil(due, wake_);
    lastShown_ = clock_.now();
}

QRectF fillingPlace(QSize picture, QSize canvas) {
    const float W = float(canvas.width());
    const float H = float(canvas.height());
    const float w0 = float(picture.width());
    const float h0 = float(picture.height());
    if (H / W < h0 / w0) {
        const float width = w0 * H / h0;
        return {(W - width) * 0.5f, 0, width, H};
    }
    const float height = h0 * W / w0;
    return {0, (H - height) * 0.5f, W, height};
}

void drawPictureFilling(Canvas& canvas, const std::filesystem::path& file) {
    std::string reason;
    const ImageType type = imageTypeOf(file.filename().string());
    const QSize size = pictureSize(file, type, &reason);
    if (!size.isValid() || size.isEmpty() || canvas.size().isEmpty()) return;
    const QRectF place = fillingPlace(size, canvas.size());
    // Decoded at about the size it is drawn, then placed to the fraction of
    // a pixel.
    const QSize decoded(std::max(1, int(std::ceil(place.width()))),
                        std::max(1, int(std::ceil(place.height()))));
    const Picture picture = loadPictureScaled(file, type, decoded, &reason);
    canvas.drawScaled(picture.image(), place);
}

}  // namespace velmora
