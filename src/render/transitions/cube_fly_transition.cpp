#include "render/transitions/cube_fly_transition.h"

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

CubeFlyGeometry::CubeFlyGeometry(int canvasWidth, int canvasHeight, int frames, int direction)
    : direction_(direction >= 0 && direction <= 3 ? direction : 0) {
    p1_ = int(0.6 * frames);
    p2_ = frames - p1_;
    T_ = float(frames > 0 ? frames : 1);
    L_ = float(vertical() ? canvasWidth : canvasHeight);
    M_ = float(vertical() ? canvasHeight : canvasWidth);
    e_ = {0, 0, L_};
    g_ = {M_, 0, L_};
    // S starts on the edge the cube turns away from.
    s_ = {direction_ == 0 || direction_ == 3 ? M_ : 0, 0, L_};
}

bool CubeFlyGeometry::oldFaceExists() const {
    return oldFaceAtFirst() ? s_.at > e_.at : g_.at > s_.at;
}

void CubeFlyGeometry::step(int k) {
    s_.at += (direction_ == 0 || direction_ == 3 ? -M_ : M_) / T_;
    // Phase 1 shortens the edges and draws the old far edge in (the cube
    // recedes); phase 2 gives it all back by the last frame.
    float sharedInset, outerInset, farShift;
    if (k < p1_) {
        sharedInset = 0.05f * L_ / float(p1_);
        outerInset = 0.1f * L_ / float(p1_);
        farShift = 0.2f * M_ / float(p1_);
    } else {
        sharedInset = float(-0.05 * L_ / p2_);
        outerInset = float(-0.1 * L_ / p2_);
        farShift = float(-0.2 * M_ / p2_);
    }
    s_.low += sharedInset;
    s_.high -= sharedInset;
    for (Edge* outer : {&e_, &g_}) {
        outer->low += outerInset;
        outer->high -= outerInset;
    }
    if (oldFaceAtFirst())
        e_.at += farShift;
    else
        g_.at -= farShift;
}

namespace {

// A face image: the face's slices, inset so that its far edge appears
// shorter than the shared one.
void drawFace(const QImage& slices, const CubeFlyGeometry& cube, bool oldFace, float farLength,
              QImage& face, QRgb background) {
    const float sharedLength = cube.shared().length();
    const int sliceCount = cube.vertical() ? face.height() : face.width();
    const float along = float(cube.vertical() ? face.width() : face.height());
    const double step =
        sharedLength > 0 ? (1 - farLength / sharedLength) * along * 0.5 / sliceCount : 0;
    // The old face's slices are inset from the end for directions 0 and 2.
    const bool oldFromEnd = cube.direction() == 0 || cube.direction() == 2;
    const InsetFrom from = oldFromEnd == oldFace ? InsetFrom::End : InsetFrom::Start;
    drawInsetSlices(slices, cube.vertical() ? SliceAxis::Rows : SliceAxis::Columns, from, step,
                    face, background);
}

// Where a face goes: between `near` and `far` along the motion, along S.
QRectF faceRect(const CubeFlyGeometry& cube, float from, float to) {
    const CubeFlyGeometry::Edge& s = cube.shared();
    return cube.vertical() ? QRectF(s.low, from, s.length(), to - from)
                           : QRectF(from, s.low, to - from, s.length());
}

}  // namespace

int runCubeFlyTransition(RenderContext& context, const CubeFlyTransition& setting) {
    const Canvas oldFrame = context.frame;
    const QSize size = context.frame.size();
    const QRgb background = context.job.background;
    CubeFlyGeometry cube(size.width(), size.height(), context.T, setting.direction());
    QImage oldFace(size, QImage::Format_RGB32), newFace(size, QImage::Format_RGB32);
    return runTransitionFrames(context, NewPicture::Frozen, [&](int k) {
        cube.step(k);
        const float e = cube.first().at, s = cube.shared().at, g = cube.last().at;
        const QRectF atFirst = faceRect(cube, e, s), atLast = faceRect(cube, s, g);
        context.frame.clear(background);
        if (cube.oldFaceExists()) {
            drawFace(oldFrame.image(), cube, true, cube.oldFar().length(), oldFace, background);
            context.frame.drawScaled(oldFace, cube.oldFaceAtFirst() ? atFirst : atLast);
        }
        drawFace(context.motion.canvas().image(), cube, false, cube.newFar().length(), newFace,
                 background);
        context.frame.drawScaled(newFace, cube.oldFaceAtFirst() ? atLast : atFirst);
    });
}

}  // namespace velmora
