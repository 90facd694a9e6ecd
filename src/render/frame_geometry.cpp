#include "render/frame_geometry.h"

namespace velmora {

QSize canvasSize(VideoFormat format) {
    const ComposedFrameSize size = format.composedFrameSize();
    return {size.width, size.height};
}

QSize dvdFrameSize(VideoFormat format) {
    return {720, format.dvdFrameHeight()};
}

QSize fitPicture(int pictureWidth, int pictureHeight, int canvasWidth, int canvasHeight,
                 MotionEffectKind effect) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || canvasWidth <= 0 || canvasHeight <= 0) {
        return {0, 0};
    }
    // The ratio and the 5 % factor are single-precision values; the products
    // and quotients are taken at full precision and truncated toward zero.
    // So 720 × 1.05f gives 755 (not 756) and 480 / 1.3333334f gives 359
    // (not 360, which a quotient rounded to single precision would give).
    const double ratio = double(float(pictureHeight) / float(pictureWidth));
    const bool taller = double(canvasHeight) / double(canvasWidth) < ratio;
    const bool pan = isPan(effect);
    const double enlargement = pan ? double(1.05f) : 1.0;
    int width = 0;
    int height = 0;
    if (taller) {
        height = pan ? int(canvasHeight * enlargement) : canvasHeight;
        width = int(height / ratio);
    } else {
        width = pan ? int(canvasWidth * enlargement) : canvasWidth;
        height = int(width * ratio);
    }
    // Never enlarged: a smaller picture is shown at its own pixel size.
    if (pictureHeight < height || pictureWidth < width) {
        width = pictureWidth;
        height = pictureHeight;
    }
    return {width, height};
}

QSize zoomOutStartSize(QSize fitted) {
    return {int(fitted.width() * 1.25), int(fitted.height() * 1.25)};
}

}  // namespace velmora
