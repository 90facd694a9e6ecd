#include "backdrop_patterns.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace velmora::resources {

namespace {

// Soft round lights, as out-of-focus highlights in a photograph.
void paintBokeh(QPainter& p, QSizeF view, const QColor& colour, int count, Dice& dice) {
    for (int i = 0; i < count; ++i) {
        const QPointF at(dice(0, view.width()), dice(0, view.height()));
        const double r = dice(12, 46);
        QRadialGradient disc(at, r);
        disc.setColorAt(0, withAlpha(colour, dice(0.4, 1)));
        disc.setColorAt(0.8, withAlpha(colour, dice(0.3, 0.7)));
        disc.setColorAt(1, withAlpha(colour, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(disc);
        p.drawEllipse(at, r, r);
    }
}

void paintStars(QPainter& p, QSizeF view, const QColor& colour, Dice& dice) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 110; ++i) {
        // Denser towards the top of the sky.
        const QPointF at(dice(0, view.width()), view.height() * 0.75 * std::pow(dice(0, 1), 1.5));
        const double r = dice(0.9, 2.1);
        const QColor star = withAlpha(colour, dice(0.35, 1));
        if (r > 1.7) {
            QRadialGradient halo(at, r * 5);
            halo.setColorAt(0, withAlpha(star, 0.35));
            halo.setColorAt(1, withAlpha(star, 0));
            p.setBrush(halo);
            p.drawEllipse(at, r * 5, r * 5);
        }
        p.setBrush(star);
        p.drawEllipse(at, r, r);
    }
    // A haze of light over the horizon.
    QLinearGradient haze(0, view.height() * 0.55, 0, view.height());
    haze.setColorAt(0, withAlpha(colour, 0));
    haze.setColorAt(1, withAlpha(colour, 0.25));
    p.fillRect(QRectF(QPointF(), view), haze);
}

// A double border with fan-shaped ornaments in the corners, on mottled paper.
void paintFlourishes(QPainter& p, QSizeF view, const QColor& colour, Dice& dice) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        const QPointF at(dice(0, view.width()), dice(0, view.height()));
        const double r = dice(30, 110);
        QRadialGradient blot(at, r);
        blot.setColorAt(0, withAlpha(colour, 0.08));
        blot.setColorAt(1, withAlpha(colour, 0));
        p.setBrush(blot);
        p.drawEllipse(at, r, r);
    }
    const double margin = 26;
    const QRectF border(margin, margin, view.width() - 2 * margin, view.height() - 2 * margin);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 2.4));
    p.drawRect(border);
    p.setPen(QPen(withAlpha(colour, 0.6), 2));
    p.drawRect(border.adjusted(7, 7, -7, -7));
    const QPointF corners[] = {border.topLeft(), border.topRight(), border.bottomLeft(),
                               border.bottomRight()};
    for (const QPointF& corner : corners) {
        p.save();
        p.translate(corner);
        p.scale(corner.x() < view.width() / 2 ? 1 : -1, corner.y() < view.height() / 2 ? 1 : -1);
        p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
        for (const double r : {22.0, 34.0, 46.0})
            p.drawArc(QRectF(-r, -r, 2 * r, 2 * r), 270 * 16, 90 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        QPainterPath diamond;
        diamond.moveTo(58, 0);
        diamond.lineTo(64, -4);
        diamond.lineTo(70, 0);
        diamond.lineTo(64, 4);
        diamond.closeSubpath();
        p.drawPath(diamond);
        p.drawPath(QTransform(0, 1, 1, 0, 0, 0).map(diamond));  // the same down the side
        p.restore();
    }
}

// Stage curtains in the outer tenth on either side and a spotlight cone.
void paintCurtains(QPainter& p, QSizeF view, const QColor& colour, Dice& dice) {
    const double band = view.width() * 0.1;
    for (const bool left : {true, false}) {
        const double x0 = left ? 0 : view.width() - band;
        QLinearGradient folds(x0, 0, x0 + band, 0);
        for (int k = 0; k <= 16; ++k) {
            const double t = k / 16.0;
            const double lit = 0.45 + 0.55 * std::pow(std::sin(t * 3.5 * kPi), 2);
            folds.setColorAt(t, mixed(colour.darker(260), colour, lit));
        }
        p.fillRect(QRectF(x0, 0, band, view.height()), folds);
        // The curtain's shadow falling on the stage.
        const double inner = left ? band : view.width() - band;
        QLinearGradient shade(inner, 0, inner + (left ? 36 : -36), 0);
        shade.setColorAt(0, QColor(0, 0, 0, 110));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(QRectF(left ? inner : inner - 36, 0, 36, view.height()), shade);
    }
    const double cx = view.width() / 2;
    paintBlurred(p, QPointF(), view.toSize(), 14, [&](QPainter& layer) {
        QLinearGradient beam(0, 0, 0, view.height());
        beam.setColorAt(0, QColor(236, 222, 190, 46));
        beam.setColorAt(1, QColor(236, 222, 190, 8));
        QPainterPath cone;
        cone.moveTo(cx - 50, -10);
        cone.lineTo(cx + 50, -10);
        cone.lineTo(cx + view.width() * 0.36, view.height());
        cone.lineTo(cx - view.width() * 0.36, view.height());
        cone.closeSubpath();
        layer.fillPath(cone, beam);
    });
    // Dust in the beam.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 50; ++i) {
        const double y = dice(0, view.height());
        const double spread = 50 + (view.width() * 0.36 - 50) * y / view.height();
        p.setBrush(QColor(236, 222, 190, int(dice(20, 70))));
        p.drawEllipse(QPointF(cx + dice(-spread, spread), y), 1.2, 1.2);
    }
}

// A curved stem with leaves on alternate sides, growing from `root`.
void paintSpray(QPainter& p, QPointF root, QPointF tip, QPointF bend, const QColor& colour,
                double leafLength, Dice& dice) {
    QPainterPath stem;
    stem.moveTo(root);
    stem.quadTo(bend, tip);
    p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    int side = 1;
    for (double t = 0.12; t < 1.0; t += 0.11, side = -side) {
        const QPointF at = stem.pointAtPercent(t);
        const double along = -stem.angleAtPercent(t);  // Qt's angles turn the other way
        const double length = leafLength * (1.1 - 0.5 * t) * dice(0.85, 1.1);
        paintLeaf(p, at, length, along + side * dice(35, 50), withAlpha(colour, dice(0.7, 1)));
    }
    paintLeaf(p, tip, leafLength * 0.6, -stem.angleAtPercent(1), colour);
}

void paintLeaves(QPainter& p, QSizeF view, const QColor& colour, Dice& dice) {
    paintBokeh(p, view, QColor(240, 236, 200, 40), 16, dice);
    const double w = view.width(), h = view.height();
    paintSpray(p, {-10, h * 0.30}, {w * 0.20, -10}, {w * 0.02, h * 0.02}, colour, 34, dice);
    paintSpray(p, {-10, h * 0.62}, {w * 0.09, h * 0.20}, {w * 0.08, h * 0.50},
               withAlpha(colour, 0.7), 26, dice);
    paintSpray(p, {w + 10, h * 0.74}, {w * 0.80, h + 10}, {w * 0.98, h * 0.98}, colour, 34, dice);
    paintSpray(p, {w + 10, h * 0.40}, {w * 0.90, h * 0.80}, {w * 0.92, h * 0.50},
               withAlpha(colour, 0.7), 26, dice);
}

// Evening clouds in long soft bands and the sun's reflection on water.
void paintClouds(QPainter& p, QSizeF view, const QColor& colour, Dice& dice) {
    paintBlurred(p, QPointF(), view.toSize(), 10, [&](QPainter& layer) {
        for (int i = 0; i < 14; ++i) {
            // Above the buttons, so that the frames sit on a calm sky.
            const double y = view.height() * dice(0.02, 0.14);
            const double length = dice(160, 420);
            layer.setBrush(withAlpha(colour, dice(0.35, 0.9)));
            layer.drawEllipse(QPointF(dice(-60, view.width() + 60), y), length / 2, dice(6, 16));
        }
    });
    const double cx = view.width() / 2;
    p.setPen(Qt::NoPen);
    for (double y = view.height() * 0.9; y < view.height(); y += 8) {
        const double depth = (y - view.height() * 0.9) / (view.height() * 0.1);
        const double half = dice(40, 110) * (0.6 + depth);
        p.setBrush(QColor(236, 200, 150, int(40 * (1 - 0.5 * depth))));
        p.drawRoundedRect(QRectF(cx - half + dice(-30, 30), y, 2 * half, 3), 1.5, 1.5);
    }
}

void paintSnowflake(QPainter& p, QPointF at, double size, const QColor& colour, double turn) {
    p.save();
    p.translate(at);
    p.rotate(turn);
    p.setPen(QPen(colour, std::max(1.6, size * 0.1), Qt::SolidLine, Qt::RoundCap));
    for (int arm = 0; arm < 6; ++arm) {
        p.drawLine(QPointF(0, 0), QPointF(size, 0));
        const double b = size * 0.55, twig = size * 0.3;
        p.drawLine(QPointF(b, 0), QPointF(b + twig * 0.7, -twig * 0.7));
        p.drawLine(QPointF(b, 0), QPointF(b + twig * 0.7, twig * 0.7));
        p.rotate(60);
    }
    p.restore();
}

void paintSnow(QPainter& p, QSizeF view, const QColor& colour, Dice& dice) {
    paintBokeh(p, view, withAlpha(colour, 0.35), 22, dice);
    // Flakes keep to the edges, clear of the title and the buttons.
    const QRectF clear(view.width() * 0.12, view.height() * 0.08, view.width() * 0.76,
                       view.height() * 0.84);
    for (int placed = 0; placed < 30;) {
        const QPointF at(dice(0, view.width()), dice(0, view.height()));
        if (clear.contains(at)) continue;
        paintSnowflake(p, at, dice(6, 18), withAlpha(colour, dice(0.5, 1)), dice(0, 60));
        ++placed;
    }
}

}  // namespace

void paintPattern(QPainter& p, QSizeF view, const BackdropLook& look, Dice& dice) {
    switch (look.pattern) {
        case Pattern::None:
            break;
        case Pattern::Bokeh:
            paintBokeh(p, view, look.patternColour, 28, dice);
            break;
        case Pattern::Stars:
            paintStars(p, view, look.patternColour, dice);
            break;
        case Pattern::Flourishes:
            paintFlourishes(p, view, look.patternColour, dice);
            break;
        case Pattern::Curtains:
            paintCurtains(p, view, look.patternColour, dice);
            break;
        case Pattern::Leaves:
            paintLeaves(p, view, look.patternColour, dice);
            break;
        case Pattern::Clouds:
            paintClouds(p, view, look.patternColour, dice);
            break;
        case Pattern::Snow:
            paintSnow(p, view, look.patternColour, dice);
            break;
    }
}

}  // namespace velmora::resources
