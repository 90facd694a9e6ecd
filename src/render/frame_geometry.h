#pragma once

#include <QSize>

#include "core/tv_standard.h"

namespace velmora {

// The square-pixel canvas frames are composed on: 720 × 540 for PAL 4:3,
// 640 × 480 for NTSC 4:3, 704 × 396 for 16:9 in both standards, and 0 × 0
// for any other aspect value (no usable frames). The encoder scales it to
// the DVD frame.
QSize canvasSize(int tvStandard, int aspectRatio);

// The size of the fitted picture for a picture of pw × ph on a W × H
// canvas with a motion effect, with the renderer's single-precision ratio
// and truncations:
//   pans (0..7) fit the binding side 5 % larger than the canvas;
//   zooms, rotating zooms and "none" (8..20) fit inside the canvas;
//   a picture smaller than that size on either side keeps its own size.
// A picture that cannot be decoded (0 × 0) or of extreme proportions gives
// an empty size; nothing is drawn for it.
QSize fitPicture(int pictureWidth, int pictureHeight, int canvasWidth, int canvasHeight,
                 int effect);

// Zoom-out effects (13..17 and 19) start a quarter larger than the fitted
// size; their per-frame steps are computed from the fitted size first.
bool isZoomOutEffect(int effect);
QSize zoomOutStartSize(QSize fitted);

}  // namespace velmora
