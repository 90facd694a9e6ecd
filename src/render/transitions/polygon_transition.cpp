#include "render/transitions/polygon_transition.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "model/transition_kinds.h"
#include "render/timeline.h"
#include "render/transitions/transition_parts.h"

namespace velmora {

namespace {

QRectF circleAround(int canvasWidth, int canvasHeight) {
    const double W = canvasWidth, H = canvasHeight;
    const double D = std::sqrt(W * W + H * H) / 2;
    return {W / 2 - D, H / 2 - D, 2 * D, 2 * D};
}

}  // namespace

PolygonGeometry::PolygonGeometry(int canvasWidth, int canvasHeight, int frames, int corners)
    : T_(frames > 0 ? frames : 1) {
    const int n = corners > 0 ? corners : 1;
    const double D = circleAround(canvasWidth, canvasHeight).width() / 2;
    for (int i = 0; i < n; ++i) {
        const float start = 180.0f / float(n) - 90.0f + float(i) * 360.0f / float(n);
        // The middle of the half disc, truncated to whole degrees.
        const int flight = int(start + 90.0f);
        const double radians = flight * M_PI / 180;
        starts_.push_back(start);
        flights_.push_back(flight);
        perFrame_.emplace_back(D * std::cos(radians) / T_, D * std::sin(radians) / T_);
    }
}

QPointF PolygonGeometry::offset(int i, int k, bool flyingIn) const {
    const double frames = flyingIn ? T_ - k - 1 : k + 1;
    return perFrame_[size_t(i)] * frames;
}

namespace {

// The part of `picture` in half disc i, on a transparent canvas-sized
// layer, cropped to where it has pixels (`origin` remembers where).
struct Piece {
    QImage image;
    QPoint origin;
};

Piece cutPiece(const QImage& picture, const QRectF& circle, float startAngle) {
    QPainterPath halfDisc;
    halfDisc.moveTo(circle.center());
    halfDisc.arcTo(circle, -startAngle, -180);  // Qt turns counter-clockwise
    halfDisc.closeSubpath();
    const QRect bounds = halfDisc.boundingRect().toAlignedRect().intersected(picture.rect());
    Piece piece{QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied), bounds.topLeft()};
    piece.image.fill(Qt::transparent);
    QPainter painter(&piece.image);
    painter.translate(-bounds.topLeft());
    painter.setClipPath(halfDisc);
    painter.drawImage(QPoint(0, 0), picture);
    return piece;
}

}  // namespace

int runPolygonTransition(RenderContext& context, const PolygonTransition& setting) {
    const Canvas oldFrame = context.frame;
    const bool flyingIn = !setting.flyOut();
    const QSize size = context.frame.size();
    const PolygonGeometry polygon(size.width(), size.height(), context.T, setting.cornerCount());
    const QRectF circle = circleAround(size.width(), size.height());
    std::vector<Piece> pieces;
    const auto cutAll = [&](const QImage& picture) {
        for (int i = 0; i < polygon.pieceCount(); ++i)
            pieces.push_back(cutPiece(picture, circle, polygon.startAngle(i)));
    };
    if (!flyingIn) cutAll(oldFrame.image());
    return runTransitionFrames(
        context, flyingIn ? NewPicture::Frozen : NewPicture::Live, [&](int k) {
            // Flying in, the pieces are the new picture as it will stand.
            if (flyingIn && pieces.empty()) cutAll(context.motion.canvas().image());
            context.frame.drawUnscaled(
                flyingIn ? oldFrame.image() : context.motion.canvas().image(), QPoint(0, 0));
            for (int i = 0; i < polygon.pieceCount(); ++i) {
                const Piece& piece = pieces[size_t(i)];
                context.frame.drawUnscaled(piece.image,
                                           QPointF(piece.origin) + polygon.offset(i, k, flyingIn));
            }
        });
}

}  // namespace velmora
