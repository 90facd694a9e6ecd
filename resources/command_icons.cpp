#include "command_icons.h"

#include <QPolygonF>
#include <cmath>

namespace velmora::resources {

namespace {

// Mirrors a drawing left to right on the grid.
const QTransform kMirrored(-1, 0, 0, 1, kGrid, 0);

// An arrow pointing up, its point at the top of the grid.
QPainterPath upArrow() {
    return polygon({{24, 3}, {45, 24}, {33, 24}, {33, 45}, {15, 45}, {15, 24}, {3, 24}});
}

// A band of `thickness` along a circular arc that ends in an arrowhead.
// Angles in degrees, counterclockwise from three o'clock as Qt counts them,
// so a positive span turns counterclockwise on the screen.
QPainterPath curvedArrow(QPointF centre, double radius, double thickness, double fromDegrees,
                         double spanDegrees) {
    constexpr int kSteps = 96;
    const auto onCircle = [&](double degrees, double r) {
        const double angle = degrees * kPi / 180;
        return centre + QPointF(r * std::cos(angle), -r * std::sin(angle));
    };
    QPolygonF band;
    for (int i = 0; i <= kSteps; ++i)
        band << onCircle(fromDegrees + spanDegrees * i / kSteps, radius + thickness / 2);
    for (int i = kSteps; i >= 0; --i)
        band << onCircle(fromDegrees + spanDegrees * i / kSteps, radius - thickness / 2);
    QPainterPath arrow;
    arrow.addPolygon(band);
    arrow.closeSubpath();
    // The head: across the band at its end, pointing on along the circle.
    const double end = fromDegrees + spanDegrees;
    const double turn = spanDegrees > 0 ? 1 : -1;
    const double angle = end * kPi / 180;
    const QPointF onward = turn * QPointF(-std::sin(angle), -std::cos(angle));
    const QPointF base = onCircle(end, radius);
    const QPointF outward(std::cos(angle), -std::sin(angle));
    const double halfWidth = thickness * 1.5;
    return arrow.united(polygon(
        {base + outward * halfWidth, base + onward * halfWidth * 1.2, base - outward * halfWidth}));
}

// A photo in the lower corner and an arrow turning over it from behind;
// the arrow turns counterclockwise unless `clockwise`.
void paintRotation(const Icon& icon, bool clockwise) {
    const QTransform side = clockwise ? kMirrored : QTransform();
    // At 16 px a band of 6 units would be outline only.
    const double thickness = icon.atLeast(24) ? 6 : 7.5;
    icon.shape(side.map(curvedArrow({27, 24}, 15, thickness, -20, 200)), kBlue);
    paintPhoto(icon, side.mapRect(QRectF(QPointF(21, 24), QPointF(45, 45))));
}

}  // namespace

void paintFolderOpen(const Icon& icon) {
    icon.shape(polygon({{3, 9}, {18, 9}, {21, 12}, {39, 12}, {39, 42}, {3, 42}}), kAmberBack);
    paintPhoto(icon, QRectF(QPointF(9, 6), QPointF(36, 30)));
    icon.shape(polygon({{10.5, 21}, {45, 21}, {39, 42}, {3, 42}}), kAmber);
}

void paintListAdd(const Icon& icon) {
    icon.shape(plus({24, 24}, 18, 12), kGreen);
}

void paintListRemove(const Icon& icon) {
    icon.shape(rectangle(6, 18, 42, 30), kRed);
}

// A triangle pointing right, its weight centred on the grid.
void paintPlaybackStart(const Icon& icon) {
    icon.shape(polygon({{12, 5}, {42, 24}, {12, 43}}), kGreen);
}

void paintPlaybackStop(const Icon& icon) {
    icon.shape(rectangle(9, 9, 39, 39), kRed);
}

void paintGoUp(const Icon& icon) {
    icon.shape(upArrow(), kBlue);
}

void paintGoDown(const Icon& icon) {
    icon.shape(QTransform(1, 0, 0, -1, 0, kGrid).map(upArrow()), kBlue);
}

void paintInsertImage(const Icon& icon) {
    paintPhoto(icon, QRectF(QPointF(3, 6), QPointF(42, 36)));
    icon.shape(circle({35, 35}, 11), kGreen);
    icon.fill(plus({35, 35}, 6, 3), kWhite);
}

// A cross of two bars.
void paintEditDelete(const Icon& icon) {
    QTransform turned;
    turned.translate(24, 24);
    turned.rotate(45);
    const QPainterPath bar = rectangle(-21, -6, 21, 6);
    icon.shape(turned.map(bar).united(turned.rotate(90).map(bar)), kRed);
}

// Bars growing downwards beside an arrow pointing down.
void paintSortAscending(const Icon& icon) {
    const double rights[] = {30, 36, 45};
    for (int row = 0; row < 3; ++row) {
        const double top = 6 + 15 * row;
        icon.shape(rectangle(18, top, rights[row], top + 9), kSteel);
    }
    icon.shape(polygon({{3, 3}, {12, 3}, {12, 33}, {15, 33}, {7.5, 45}, {0, 33}, {3, 33}}), kBlue);
}

void paintRotateLeft(const Icon& icon) {
    paintRotation(icon, false);
}

void paintRotateRight(const Icon& icon) {
    paintRotation(icon, true);
}

void paintDocumentEdit(const Icon& icon) {
    paintPhoto(icon, QRectF(QPointF(3, 3), QPointF(39, 33)));
    icon.p.save();
    icon.p.translate(12, 45);
    icon.p.scale(1.3, 1.3);
    paintPencil(icon, {0, 0});
    icon.p.restore();
}

void paintViewListIcons(const Icon& icon) {
    for (double left : {3.0, 27.0})
        for (double top : {3.0, 27.0})
            paintPhoto(icon, QRectF(left, top, 18, 18));
}

void paintViewListDetails(const Icon& icon) {
    for (double top : {3.0, 18.0, 33.0}) {
        // A photo this small is a speck below 32 px: there the square stays plain.
        if (icon.detailed())
            paintPhoto(icon, QRectF(3, top, 12, 12));
        else
            icon.shape(rectangle(3, top, 15, top + 12), kSky, kPaper.line);
        // The line is plain: at 16 px an outline would leave no fill, and
        // the dark outline alone fades on a dark panel.
        icon.fill(rectangle(21, top + 3, 45, top + 9), kSteel.fill);
    }
}

// A tile with its name under it (the line plain, as in the details view).
void paintInsertText(const Icon& icon) {
    paintPhoto(icon, QRectF(QPointF(9, 3), QPointF(39, 27)));
    icon.fill(rectangle(6, 33, 42, 39), kSteel.fill);
}

}  // namespace velmora::resources
