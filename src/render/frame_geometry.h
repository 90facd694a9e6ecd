#pragma once

#include <QSize>

#include "interfaces/video_format.h"
#include "model/motion_effect.h"

namespace velmora {

// The square-pixel canvas frames are composed on (the format's composed
// frame size); each frame is stretched to the DVD frame before encoding.
QSize canvasSize(VideoFormat format);
// The DVD frame: 720 × 576 PAL, 720 × 480 NTSC.
QSize dvdFrameSize(VideoFormat format);

// The size of the fitted picture for a picture of pw × ph on a W × H
// canvas with a motion effect, with the renderer's single-precision ratio
// and truncations:
//   pans (0..7) fit the binding side 5 % larger than the canvas;
//   zooms, rotating zooms and "none" (8..20) fit inside the canvas;
//   a picture smaller than that size on either side keeps its own size.
// A picture that cannot be decoded (0 × 0) or of extreme proportions gives
// an empty size; nothing is drawn for it.
QSize fitPicture(int pictureWidth, int pictureHeight, int canvasWidth, int canvasHeight,
                 MotionEffectKind effect);

// Zoom-out effects start a quarter larger than the fitted size; their
// per-frame steps are computed from the fitted size first.
QSize zoomOutStartSize(QSize fitted);

}  // namespace velmora
