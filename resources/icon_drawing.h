#pragma once

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRectF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "art_tools.h"

// The drawing tools of the fallback icons: the grid, the tones, the outlined
// shapes and the pieces that several icons show (a photograph, a pencil).

namespace velmora::resources {

// Every icon is drawn on a 48 × 48 grid and scaled to its size. Edges that
// matter lie on multiples of 3, whole pixels at 16 px, where the icons must
// stay crisp.
inline constexpr double kGrid = 48;

// A mid-tone fill with a darker outline reads on light and dark panels.
struct Tone {
    QColor fill;
    QColor line;
};

inline const Tone kBlue{{0x43, 0x86, 0xD6}, {0x1F, 0x4E, 0x8A}};
inline const Tone kAmber{{0xF0, 0xB4, 0x3C}, {0x8C, 0x5C, 0x0E}};
inline const Tone kAmberBack{{0xCF, 0x8E, 0x24}, {0x8C, 0x5C, 0x0E}};
inline const Tone kGreen{{0x46, 0xAE, 0x68}, {0x1F, 0x66, 0x38}};
inline const Tone kRed{{0xE2, 0x57, 0x4C}, {0x8E, 0x2A, 0x24}};
inline const Tone kSteel{{0x8C, 0x99, 0xAB}, {0x46, 0x51, 0x62}};
inline const Tone kSlate{{0x66, 0x72, 0x84}, {0x2C, 0x34, 0x40}};
inline const Tone kPaper{{0xF5, 0xF6, 0xF8}, {0x5E, 0x67, 0x75}};
inline const Tone kYellow{{0xF6, 0xC6, 0x35}, {0x8E, 0x6A, 0x08}};
inline const Tone kPurple{{0x93, 0x66, 0xD6}, {0x4E, 0x2E, 0x8E}};
inline const Tone kTeal{{0x2E, 0xA6, 0x9F}, {0x15, 0x5E, 0x5A}};
inline const Tone kOrange{{0xF2, 0x8C, 0x28}, {0x8E, 0x3C, 0x0C}};
inline const Tone kSilver{{0xD5, 0xDB, 0xE3}, {0x55, 0x5F, 0x6E}};
inline const QColor kWhite(0xFF, 0xFF, 0xFF);
inline const QColor kSky(0x86, 0xC2, 0xEE);
inline const QColor kHill(0x4F, 0xA8, 0x5A);
inline const QColor kSun(0xFF, 0xD3, 0x4D);
inline const QColor kRule(0xB4, 0xBB, 0xC6);

// The path (in pixels) with its horizontal and vertical edges moved onto
// whole pixels, where they are sharp: at 24 px the grid's 3-unit steps fall
// on half pixels. Slanted and curved edges are left as they are.
inline QPainterPath snappedEdges(QPainterPath path) {
    const QPainterPath original = path;
    int start = 0;
    while (start < original.elementCount()) {
        int end = start + 1;
        bool straight = true;
        while (end < original.elementCount() && !original.elementAt(end).isMoveTo()) {
            straight = straight && original.elementAt(end).isLineTo();
            ++end;
        }
        for (int i = start; straight && i < end; ++i) {
            const QPainterPath::Element& at = original.elementAt(i);
            const QPainterPath::Element& before = original.elementAt(i == start ? end - 1 : i - 1);
            const QPainterPath::Element& after = original.elementAt(i + 1 == end ? start : i + 1);
            const double x = at.x == before.x || at.x == after.x ? std::round(at.x) : at.x;
            const double y = at.y == before.y || at.y == after.y ? std::round(at.y) : at.y;
            path.setElementPositionAt(i, x, y);
        }
        start = end;
    }
    return path;
}

// One icon being drawn: the painter already scaled to the grid, and the
// size in pixels, which decides the outline's width and how much detail
// still reads.
class Icon {
  public:
    Icon(QPainter& painter, int sizePx) : p(painter), size_(sizePx) {}

    // Details such as text lines only blur a 16 or 24 px icon.
    bool detailed() const { return size_ >= 32; }
    bool atLeast(int sizePx) const { return size_ >= sizePx; }
    // The outline: one pixel up to 48 px, then growing with the icon.
    double linePx() const { return std::max(1.0, size_ / 48.0); }
    double line() const { return linePx() * kGrid / size_; }

    // The shape filled with `fill` inside an outline of `line`'s colour
    // that lies wholly inside the shape, so that an edge on a pixel
    // boundary gives a sharp one-pixel outline. The inner edge is worked
    // out in pixels: path operations flatten curves to half a unit, which
    // on the grid would show as facets on the large sizes.
    void shape(const QPainterPath& path, const QBrush& fill, const QColor& lineColour) const {
        const QTransform toDevice = p.worldTransform();
        const QPainterPath outer = snappedEdges(toDevice.map(path));
        QPainterPathStroker stroker;
        stroker.setWidth(2 * linePx());
        stroker.setJoinStyle(Qt::MiterJoin);
        QBrush inner(fill);
        inner.setTransform(toDevice);
        p.save();
        p.resetTransform();
        p.fillPath(outer, lineColour);
        p.fillPath(outer.subtracted(stroker.createStroke(outer)), inner);
        p.restore();
    }
    // The path filled plainly, with its level edges on whole pixels too.
    void fill(const QPainterPath& path, const QBrush& brush) const {
        const QTransform toDevice = p.worldTransform();
        QBrush inDevice(brush);
        inDevice.setTransform(toDevice);
        p.save();
        p.resetTransform();
        p.fillPath(snappedEdges(toDevice.map(path)), inDevice);
        p.restore();
    }
    void shape(const QPainterPath& path, const Tone& tone) const {
        shape(path, tone.fill, tone.line);
    }
    void rule(QPointF from, QPointF to, const QColor& colour, double widthUnits) const {
        p.setPen(QPen(colour, widthUnits, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(from, to);
        p.setPen(Qt::NoPen);
    }

    QPainter& p;

  private:
    int size_;
};

inline QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

inline QPainterPath rectangle(double left, double top, double right, double bottom,
                              double radius = 0) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(left, top), QPointF(right, bottom)), radius, radius);
    return path;
}

// Ellipses as fine polygons: path operations on them are then exact,
// where curves would be flattened coarsely for the large sizes.
inline QPainterPath ellipse(QPointF centre, double radiusX, double radiusY) {
    constexpr int kCorners = 128;
    QPolygonF corners;
    for (int i = 0; i < kCorners; ++i) {
        const double angle = 2 * kPi * i / kCorners;
        corners << centre + QPointF(radiusX * std::cos(angle), radiusY * std::sin(angle));
    }
    QPainterPath path;
    path.addPolygon(corners);
    path.closeSubpath();
    return path;
}

inline QPainterPath circle(QPointF centre, double radius) {
    return ellipse(centre, radius, radius);
}

// A plus sign of two bars.
inline QPainterPath plus(QPointF centre, double arm, double thickness) {
    return rectangle(centre.x() - arm, centre.y() - thickness / 2, centre.x() + arm,
                     centre.y() + thickness / 2)
        .united(rectangle(centre.x() - thickness / 2, centre.y() - arm, centre.x() + thickness / 2,
                          centre.y() + arm));
}

// A photograph: a landscape with the sun inside a white border.
inline void paintPhoto(const Icon& icon, QRectF frame) {
    icon.shape(rectangle(frame.left(), frame.top(), frame.right(), frame.bottom()), kPaper);
    const QRectF inside = frame.adjusted(3, 3, -3, -3);
    icon.p.save();
    icon.p.setClipRect(inside);
    icon.p.fillRect(inside, kSky);
    icon.p.fillPath(
        circle({inside.right() - inside.width() * 0.25, inside.top() + inside.height() * 0.3},
               inside.height() * 0.17),
        kSun);
    QPainterPath hills;
    hills.moveTo(inside.left(), inside.bottom());
    hills.lineTo(inside.left(), inside.top() + inside.height() * 0.7);
    hills.quadTo(inside.left() + inside.width() * 0.3, inside.top() + inside.height() * 0.35,
                 inside.left() + inside.width() * 0.6, inside.top() + inside.height() * 0.75);
    hills.quadTo(inside.left() + inside.width() * 0.8, inside.top() + inside.height() * 0.6,
                 inside.right(), inside.top() + inside.height() * 0.7);
    hills.lineTo(inside.right(), inside.bottom());
    hills.closeSubpath();
    icon.p.fillPath(hills, kHill);
    icon.p.restore();
    // The picture's own edge, so that the sky does not melt into the border.
    icon.p.setPen(QPen(withAlpha(kPaper.line, 0.5), icon.line() * 0.75));
    icon.p.setBrush(Qt::NoBrush);
    icon.p.drawRect(inside);
    icon.p.setPen(Qt::NoPen);
}

// A pencil lying from its point at `tip` up to the right, 32 units long,
// writing towards the lower left.
inline void paintPencil(const Icon& icon, QPointF tip) {
    icon.p.save();
    icon.p.translate(tip);
    icon.p.rotate(-45);
    icon.shape(polygon({{0, 0}, {9, -4.5}, {9, 4.5}}), QColor(0xF3, 0xD9, 0xA8), kSlate.line);
    icon.p.fillPath(polygon({{0, 0}, {3.5, -1.75}, {3.5, 1.75}}), kSlate.line);
    icon.shape(rectangle(8, -4.5, 27, 4.5), kYellow);
    icon.shape(rectangle(26, -4.5, 32, 4.5), QColor(0xE8, 0x8E, 0x94), kRed.line);
    icon.p.restore();
}

}  // namespace velmora::resources
