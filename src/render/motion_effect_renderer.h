#pragma once

#include <QImage>
#include <QSize>
#include <filesystem>

#include "model/motion_effect.h"
#include "render/canvas.h"

namespace velmora {

// A picture decoded at the size its motion effect draws it from: what a
// segment needs of the picture file, made on any thread.
struct FittedPicture {
    QSize pictureSize;  // of the file; invalid when it cannot be read
    QImage fitted;      // null when there is nothing to draw
};
FittedPicture decodeFittedPicture(MotionEffectKind effect, const std::filesystem::path& picture,
                                  QSize canvas);

// A picture moving over its segment: the fitted picture, the motion canvas
// it is drawn on and the rectangle (with its per-frame steps) that the
// motion effect moves. One per render, set up again for every picture.
class MotionState {
  public:
    int dw = 0, dh = 0;                // size of the fitted picture
    int W = 0, H = 0;                  // canvas size
    float x = 0, y = 0, w = 0, h = 0;  // where the fitted picture is drawn
    float dx = 0, dy = 0;              // per-frame steps
    float da = 0;                      // per-frame rotation, degrees

    // Fits and decodes the picture once for a segment of `frames` frames
    // (at a reduced size where the format allows) and sets the start
    // rectangle and steps of `effect`. A picture that cannot be decoded
    // leaves nothing to draw: the canvas shows the background.
    void setupMotion(MotionEffectKind effect, const std::filesystem::path& picture, QSize canvas,
                     int frames);
    // The same with the picture already decoded by decodeFittedPicture for
    // this effect and canvas.
    void setupMotion(MotionEffectKind effect, FittedPicture picture, QSize canvas, int frames);
    // The geometry alone, for a picture of `pictureSize`.
    void setupGeometry(MotionEffectKind effect, QSize pictureSize, QSize canvas, int frames);

    // One step, then the motion canvas cleared to `background` and the
    // picture drawn (turned by motionFrame × da for the rotating zooms).
    void renderMotionFrame(int motionFrame, MotionEffectKind effect, QRgb background);
    // k steps at once, drawn turned by k × da.
    void advanceMotion(int k, MotionEffectKind effect, QRgb background);

    // The picture stays where it is for the whole segment (motion "none",
    // or nothing to draw): every frame of its canvas is the same.
    bool isStill() const { return dx == 0 && dy == 0 && da == 0; }

    const Canvas& canvas() const { return canvas_; }
    const QImage& fitted() const { return fitted_; }

  private:
    void step(int k, MotionEffectKind effect);
    void draw(float degrees, MotionEffectKind effect, QRgb background);

    QImage fitted_;
    Canvas canvas_;
    // A still picture is drawn once per segment: the canvas holds it
    // drawn over this background.
    bool stillDrawn_ = false;
    QRgb stillBackground_ = 0;
};

}  // namespace velmora
