#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

#include "photo_tools.h"
#include "sample_scenes.h"

namespace velmora::resources {

namespace {

void finish(QImage& image, int grain, double vignette, uint32_t seed) {
    addVignette(image, vignette);
    addGrain(image, grain, seed);
}

// Sea from `horizon` to `bottom`: crests and troughs as short strokes that
// grow towards the viewer, lit in `light` and shaded in `dark`.
void paintWaves(QPainter& p, double width, double horizon, double bottom, int count,
                const QColor& light, const QColor& dark, Dice& dice) {
    for (int i = 0; i < count; ++i) {
        const double t = std::pow(dice(0, 1), 1.6);
        const double y = horizon + t * (bottom - horizon);
        const double x = dice(-0.02, 1.02) * width;
        const double length = width * (0.006 + 0.06 * t) * dice(0.5, 1.5);
        const bool lit = dice(0, 1) < 0.45;
        p.setPen(QPen(withAlpha(lit ? light : dark, dice(0.25, 0.7)), 0.8 + 5 * t * dice(0.5, 1),
                      Qt::SolidLine, Qt::RoundCap));
        QPainterPath crest(QPointF(x, y));
        crest.quadTo(x + length / 2, y - length * dice(0.02, 0.08), x + length, y);
        p.drawPath(crest);
    }
    p.setPen(Qt::NoPen);
}

}  // namespace

QImage paintSeaSunset(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    const double horizon = h * 0.52;
    Dice dice(505);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x28, 0x36, 0x68));
    sky.setColorAt(0.55, QColor(0xB0, 0x62, 0x62));
    sky.setColorAt(1, QColor(0xF6, 0xB8, 0x62));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    const QPointF sun(w * 0.42, horizon - h * 0.06);
    QRadialGradient glow(sun, h * 0.5);
    glow.setColorAt(0, QColor(255, 244, 210, 255));
    glow.setColorAt(0.08, QColor(255, 214, 140, 200));
    glow.setColorAt(0.4, QColor(250, 160, 100, 60));
    glow.setColorAt(1, QColor(250, 160, 100, 0));
    p.fillRect(QRectF(0, 0, w, horizon), glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 248, 225));
    p.drawEllipse(sun, h * 0.034, h * 0.034);
    // Bands of cloud, dark bodies with glowing undersides.
    paintSoft(p, QRectF(0, 0, w, horizon), 0.2, 2, [&](QPainter& q) {
        for (int i = 0; i < 40; ++i) {
            const QPointF at(dice(-0.1, 1.1) * w, horizon * std::pow(dice(0.1, 0.95), 0.8));
            const double length = w * dice(0.05, 0.25), thick = h * dice(0.005, 0.018);
            q.setBrush(QColor(0x5A, 0x3E, 0x5E, int(dice(90, 200))));
            q.drawEllipse(at, length / 2, thick);
            q.setBrush(QColor(0xFF, 0xB0, 0x70, int(dice(60, 160))));
            q.drawEllipse(at + QPointF(0, thick * 0.6), length * 0.45, thick * 0.4);
        }
    });

    QLinearGradient sea(0, horizon, 0, h);
    sea.setColorAt(0, QColor(0x6A, 0x4A, 0x5E));
    sea.setColorAt(0.3, QColor(0x34, 0x30, 0x4C));
    sea.setColorAt(1, QColor(0x14, 0x1C, 0x30));
    p.fillRect(QRectF(0, horizon, w, h - horizon), sea);
    blendTexture(p, QRectF(0, horizon, w, h - horizon), noiseTexture({300, 400}, 6, 120, 5, 70),
                 0.5);
    paintWaves(p, w, horizon, h, 7000, QColor(0xF0, 0xA8, 0x78), QColor(0x0C, 0x10, 0x20), dice);
    // The sun's path on the water: glints crowding under the sun.
    for (int i = 0; i < 5000; ++i) {
        const double t = std::pow(dice(0, 1), 1.3);
        const double y = horizon + t * (h - horizon);
        const double spread = w * (0.012 + 0.16 * t);
        const double x = sun.x() + spread * (dice(-1, 1) + dice(-1, 1) + dice(-1, 1)) / 3;
        const double length = w * (0.002 + 0.03 * t) * dice(0.3, 1);
        p.setPen(QPen(QColor(255, 226, 170, int(dice(60, 230))), 0.8 + 3 * t));
        p.drawLine(QPointF(x - length / 2, y), QPointF(x + length / 2, y));
    }
    p.setPen(Qt::NoPen);
    // A cliff on the right against the light, foam at its foot.
    const QPainterPath cliff = roughOutline({{w * 0.64, h * 1.02},
                                             {w * 0.7, h * 0.58},
                                             {w * 0.76, h * 0.36},
                                             {w * 0.86, h * 0.3},
                                             {w * 1.02, h * 0.27},
                                             {w * 1.02, h * 1.02}},
                                            h * 0.05, 71);
    QLinearGradient stone(w * 0.64, 0, w, 0);
    stone.setColorAt(0, QColor(0x4C, 0x34, 0x38));
    stone.setColorAt(1, QColor(0x22, 0x1A, 0x24));
    p.fillPath(cliff, stone);
    p.save();
    p.setClipPath(cliff);
    blendTexture(p, cliff.boundingRect(), noiseTexture({300, 700}, 10, 90, 6, 72), 0.8);
    blendTexture(p, cliff.boundingRect(), noiseTexture({300, 500}, 30, 50, 5, 73), 0.5);
    // Strata, dipping a little to the left.
    for (int i = 0; i < 70; ++i) {
        const double y = h * dice(0.25, 1.05), x = w * dice(0.6, 0.95);
        const double length = w * dice(0.05, 0.2);
        p.setPen(QPen(QColor(0x10, 0x0A, 0x10, int(dice(40, 110))), h * dice(0.001, 0.004)));
        p.drawLine(QPointF(x, y), QPointF(x + length, y - length * dice(0.05, 0.15)));
    }
    p.setPen(Qt::NoPen);
    p.strokePath(cliff, QPen(QColor(0xF8, 0xB0, 0x70, 160), h * 0.004));
    p.restore();
    paintSoft(p, QRectF(w * 0.5, h * 0.5, w * 0.5, h * 0.5), 0.25, 3, [&](QPainter& q) {
        for (int i = 0; i < 120; ++i) {
            const double y = h * dice(0.6, 1.0);
            const double x =
                w * (0.63 + 0.1 * (1 - (y / h - 0.6) / 0.4) * 0.6) + w * dice(-0.03, 0.04);
            q.setBrush(QColor(240, 230, 230, int(dice(40, 150))));
            q.drawEllipse(QPointF(x, y), w * dice(0.005, 0.025), h * dice(0.002, 0.008));
        }
    });
    p.end();
    finish(image, 5, 0.4, 25);
    return image;
}

QImage paintBeach(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    const double horizon = h * 0.44, shore = h * 0.6;
    Dice dice(606);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x1A, 0x56, 0xA6));
    sky.setColorAt(0.7, QColor(0x6C, 0xA8, 0xDC));
    sky.setColorAt(1, QColor(0xB4, 0xD4, 0xEC));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    paintSoft(p, QRectF(0, 0, w, horizon), 0.2, 2, [&](QPainter& q) {
        for (int i = 0; i < 6; ++i)
            paintCloud(q, QPointF(w * dice(0.3, 1.05), h * dice(0.2, 0.38)), w * dice(0.06, 0.14),
                       QColor(255, 255, 255, 240), QColor(170, 190, 215, 220), dice);
    });

    QLinearGradient sea(0, horizon, 0, shore);
    sea.setColorAt(0, QColor(0x1A, 0x4E, 0x80));
    sea.setColorAt(0.6, QColor(0x22, 0x8A, 0xA8));
    sea.setColorAt(1, QColor(0x4C, 0xC0, 0xB8));
    p.fillRect(QRectF(0, horizon, w, shore - horizon), sea);
    paintWaves(p, w, horizon, shore, 4000, QColor(0xE8, 0xF6, 0xF6), QColor(0x10, 0x40, 0x60),
               dice);
    // Sand: wet and dark at the water's edge, dry and pale behind.
    QLinearGradient sand(0, shore, 0, h);
    sand.setColorAt(0, QColor(0xA8, 0x96, 0x7A));
    sand.setColorAt(0.12, QColor(0xB8, 0xA2, 0x80));
    sand.setColorAt(0.2, QColor(0xE4, 0xD0, 0xA8));
    sand.setColorAt(1, QColor(0xD6, 0xBC, 0x8E));
    p.fillRect(QRectF(0, shore, w, h - shore), sand);
    const QRectF beach(0, shore, w, h - shore);
    blendTexture(p, beach, noiseTexture({900, 300}, 300, 100, 3, 80), 0.5);
    blendTexture(p, beach, noiseTexture({400, 200}, 12, 30, 6, 81), 0.6,
                 QPainter::CompositionMode_SoftLight);
    // Ripples left by the wind.
    for (int i = 0; i < 260; ++i) {
        const double y = shore + (h - shore) * dice(0.2, 1);
        const double x = dice(-0.1, 1) * w, length = w * dice(0.04, 0.2);
        QPainterPath ripple(QPointF(x, y));
        ripple.cubicTo(x + length * 0.3, y - h * 0.01, x + length * 0.7, y + h * 0.01, x + length,
                       y + dice(-0.005, 0.005) * h);
        p.strokePath(ripple, QPen(QColor(0x8A, 0x70, 0x50, int(dice(20, 60))), h * 0.002));
        p.strokePath(ripple.translated(0, h * 0.003), QPen(QColor(255, 246, 220, 50), h * 0.0015));
    }
    // Surf: lines of foam along the shore.
    p.setPen(Qt::NoPen);
    paintSoft(p, QRectF(0, shore - h * 0.05, w, h * 0.1), 0.5, 1, [&](QPainter& q) {
        for (int line = 0; line < 4; ++line) {
            const double base = shore - h * 0.03 + line * h * 0.012;
            q.setPen(QPen(QColor(250, 252, 250, 200 - line * 30), h * (0.006 - line * 0.001)));
            QPainterPath foam(QPointF(-10, base));
            for (double x = 0; x <= w + 20; x += w / 300)
                foam.lineTo(x, base + (fractalNoise(x / w * 14, line, 4, 82) - 0.5) * h * 0.03);
            q.drawPath(foam);
        }
    });
    // Footprints and shells.
    for (int i = 0; i < 22; ++i) {
        const double f = i / 22.0;
        const QPointF at(w * (0.55 + 0.35 * f) + (i % 2 ? 1 : -1) * w * 0.008,
                         h * (0.99 - 0.3 * f));
        const double r = h * (0.012 - 0.006 * f);
        // A hollow: shaded at the back, lit at the front rim.
        QLinearGradient print(0, at.y() - r * 0.5, 0, at.y() + r * 0.5);
        print.setColorAt(0, QColor(0x8A, 0x70, 0x4C, 120));
        print.setColorAt(0.7, QColor(0xB8, 0x9E, 0x78, 60));
        print.setColorAt(1, QColor(0xFF, 0xF0, 0xD0, 90));
        p.setBrush(print);
        p.drawEllipse(at, r * 0.5, r * 0.55);
    }
    for (int i = 0; i < 500; ++i) {
        const QPointF at(dice(0, w), shore + (h - shore) * std::pow(dice(0, 1), 0.7));
        const double r = h * dice(0.0008, 0.004) * (1 + (at.y() - shore) / (h - shore));
        QRadialGradient shell(at - QPointF(r * 0.3, r * 0.3), r * 1.2);
        const QColor tone = mixed(QColor(0xF4, 0xEC, 0xE0), QColor(0x6A, 0x5C, 0x50), dice(0, 1));
        shell.setColorAt(0, tone.lighter(120));
        shell.setColorAt(1, tone.darker(130));
        p.setBrush(shell);
        p.drawEllipse(at, r, r * dice(0.6, 0.9));
    }
    // A palm leaning over the sand, its shadow first.
    const QPointF foot(w * 0.1, h * 0.97), crown(w * 0.2, h * 0.26);
    paintSoft(p, QRectF(0, h * 0.85, w * 0.6, h * 0.15), 0.25, 4, [&](QPainter& q) {
        q.setBrush(QColor(0x50, 0x40, 0x30, 80));
        q.drawEllipse(QPointF(w * 0.3, h * 0.93), w * 0.17, h * 0.03);
    });
    for (int k = 0; k < 60; ++k) {
        const double f = k / 60.0;
        const QPointF at = foot + (crown - foot) * f + QPointF(w * 0.04 * std::sin(f * kPi), 0);
        const double r = w * (0.016 - 0.007 * f);
        QLinearGradient ring(at.x() - r, 0, at.x() + r, 0);
        ring.setColorAt(0, QColor(0x5A, 0x48, 0x36));
        ring.setColorAt(0.35, QColor(0xA8, 0x90, 0x70));
        ring.setColorAt(1, QColor(0x3A, 0x2E, 0x24));
        p.setBrush(ring);
        p.drawRoundedRect(QRectF(at.x() - r, at.y() - h * 0.008, 2 * r, h * 0.016), r * 0.3,
                          r * 0.3);
    }
    for (int frond = 0; frond < 13; ++frond) {
        const double angle = -170 + frond * 27 + dice(-8, 8);
        const double rad = angle * kPi / 180, length = w * dice(0.12, 0.18);
        const QPointF tip = crown + QPointF(std::cos(rad), std::sin(rad) * 0.8) * length +
                            QPointF(0, length * 0.35);
        QPainterPath rib(crown);
        rib.quadTo(crown + QPointF(std::cos(rad), std::sin(rad)) * length * 0.6, tip);
        p.strokePath(rib, QPen(QColor(0x4A, 0x5A, 0x28), h * 0.004));
        const QColor green = mixed(QColor(0x1E, 0x4A, 0x1C), QColor(0x6A, 0x92, 0x30), dice(0, 1));
        for (int k = 2; k < 40; ++k) {
            const double f = k / 40.0;
            const QPointF at = rib.pointAtPercent(f);
            const double ahead = rib.angleAtPercent(f);
            for (const double side : {-1.0, 1.0}) {
                p.save();
                p.translate(at);
                p.rotate(-ahead + side * 50);
                const double leaf = length * 0.28 * std::sin(f * kPi) + length * 0.03;
                QPainterPath blade(QPointF(0, 0));
                blade.quadTo(leaf * 0.5, -leaf * 0.04, leaf, leaf * 0.12);
                blade.quadTo(leaf * 0.5, leaf * 0.05, 0, 0);
                p.fillPath(blade, side < 0 ? green : green.darker(125));
                p.restore();
            }
        }
    }
    p.end();
    finish(image, 5, 0.3, 26);
    return image;
}

QImage paintLighthouse(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    const double horizon = h * 0.7;
    Dice dice(707);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x30, 0x64, 0xA4));
    sky.setColorAt(1, QColor(0xC8, 0xDC, 0xE8));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    paintSoft(p, QRectF(0, 0, w, horizon), 0.2, 2, [&](QPainter& q) {
        for (int i = 0; i < 9; ++i)
            paintCloud(q, QPointF(w * dice(-0.1, 1.1), h * dice(0.1, 0.55)), w * dice(0.15, 0.35),
                       QColor(250, 250, 252, 230), QColor(150, 164, 190, 200), dice);
    });
    QLinearGradient sea(0, horizon, 0, h);
    sea.setColorAt(0, QColor(0x24, 0x50, 0x74));
    sea.setColorAt(1, QColor(0x30, 0x70, 0x88));
    p.fillRect(QRectF(0, horizon, w, h - horizon), sea);
    paintWaves(p, w, horizon, h, 3000, QColor(0xDC, 0xEC, 0xF4), QColor(0x10, 0x2C, 0x44), dice);

    // The headland: rock with a grassy top.
    const QPainterPath land = roughOutline({{-w * 0.02, h * 1.02},
                                            {-w * 0.02, h * 0.8},
                                            {w * 0.2, h * 0.76},
                                            {w * 0.75, h * 0.78},
                                            {w * 0.9, h * 0.86},
                                            {w * 1.02, h * 0.9},
                                            {w * 1.02, h * 1.02}},
                                           h * 0.012, 90);
    QLinearGradient rock(0, h * 0.76, 0, h);
    rock.setColorAt(0, QColor(0x7A, 0x74, 0x6A));
    rock.setColorAt(1, QColor(0x3C, 0x38, 0x34));
    p.fillPath(land, rock);
    p.save();
    p.setClipPath(land);
    blendTexture(p, land.boundingRect(), noiseTexture({600, 300}, 120, 60, 6, 91), 0.9);
    p.restore();
    // The tower: red and white bands, lit from the left.
    const double base = h * 0.8, top = h * 0.3, cx = w * 0.5;
    const double baseHalf = w * 0.13, topHalf = w * 0.08;
    QPainterPath tower(QPointF(cx - baseHalf, base));
    tower.lineTo(cx - topHalf, top);
    tower.lineTo(cx + topHalf, top);
    tower.lineTo(cx + baseHalf, base);
    tower.closeSubpath();
    p.save();
    p.setClipPath(tower);
    const int bands = 6;
    for (int k = 0; k < bands; ++k) {
        const double y0 = top + (base - top) * k / bands;
        p.fillRect(QRectF(0, y0, w, (base - top) / bands + 1),
                   k % 2 ? QColor(0xB4, 0x26, 0x24) : QColor(0xEE, 0xEA, 0xE2));
    }
    QLinearGradient round(cx - baseHalf, 0, cx + baseHalf, 0);
    round.setColorAt(0, QColor(0, 0, 0, 110));
    round.setColorAt(0.3, QColor(255, 255, 255, 40));
    round.setColorAt(0.55, QColor(0, 0, 0, 20));
    round.setColorAt(1, QColor(0, 0, 0, 150));
    p.fillRect(tower.boundingRect(), round);
    blendTexture(p, tower.boundingRect(), noiseTexture({300, 900}, 40, 120, 6, 92), 0.3);
    p.restore();
    for (int k = 0; k < 4; ++k) {
        const double y = top + (base - top) * (0.15 + 0.22 * k);
        p.fillRect(QRectF(cx - w * 0.012, y, w * 0.024, h * 0.03), QColor(0x22, 0x22, 0x28));
    }
    // Grass over the headland, in front of the tower's foot.
    QPainterPath meadow;
    meadow.addRect(QRectF(-w, h * 0.7, 3 * w, h * 0.19));
    paintGrass(p, land.intersected(meadow), 3600, h * 0.05, QColor(0x34, 0x4C, 0x1C),
               QColor(0xA8, 0xB8, 0x5C), dice);
    // Gallery, lantern and dome.
    p.fillRect(QRectF(cx - topHalf * 1.35, top - h * 0.012, topHalf * 2.7, h * 0.014),
               QColor(0x26, 0x24, 0x26));
    p.setPen(QPen(QColor(0x26, 0x24, 0x26), w * 0.003));
    for (int k = 0; k <= 16; ++k) {
        const double x = cx - topHalf * 1.3 + topHalf * 2.6 * k / 16;
        p.drawLine(QPointF(x, top - h * 0.012), QPointF(x, top - h * 0.032));
    }
    p.drawLine(QPointF(cx - topHalf * 1.3, top - h * 0.032),
               QPointF(cx + topHalf * 1.3, top - h * 0.032));
    p.setPen(Qt::NoPen);
    const QRectF lantern(cx - topHalf * 0.75, top - h * 0.075, topHalf * 1.5, h * 0.063);
    QLinearGradient glass(lantern.left(), 0, lantern.right(), 0);
    glass.setColorAt(0, QColor(0xF8, 0xF0, 0xC0));
    glass.setColorAt(1, QColor(0x9C, 0x90, 0x60));
    p.fillRect(lantern, glass);
    p.setPen(QPen(QColor(0x20, 0x20, 0x24), w * 0.004));
    for (int k = 0; k <= 3; ++k)
        p.drawLine(QPointF(lantern.left() + lantern.width() * k / 3, lantern.top()),
                   QPointF(lantern.left() + lantern.width() * k / 3, lantern.bottom()));
    p.setPen(Qt::NoPen);
    QPainterPath dome(QPointF(lantern.left() - w * 0.01, lantern.top()));
    dome.quadTo(cx, lantern.top() - h * 0.06, lantern.right() + w * 0.01, lantern.top());
    dome.closeSubpath();
    p.fillPath(dome, QColor(0x5A, 0x1A, 0x1A));
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), w * 0.003));
    p.drawLine(QPointF(cx, lantern.top() - h * 0.03), QPointF(cx, lantern.top() - h * 0.055));
    p.setPen(Qt::NoPen);
    QRadialGradient beam(lantern.center(), w * 0.18);
    beam.setColorAt(0, QColor(255, 246, 200, 120));
    beam.setColorAt(1, QColor(255, 246, 200, 0));
    p.fillRect(QRectF(0, 0, w, h), beam);
    // Gulls.
    p.setPen(QPen(QColor(0x30, 0x34, 0x3C), w * 0.003, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const QPointF at(w * dice(0.1, 0.9), h * dice(0.08, 0.25));
        const double span = w * dice(0.012, 0.025);
        QPainterPath gull(at - QPointF(span, span * 0.2));
        gull.quadTo(at - QPointF(span * 0.5, span * 0.5), at);
        gull.quadTo(at + QPointF(span * 0.5, -span * 0.5), at + QPointF(span, -span * 0.2));
        p.drawPath(gull);
    }
    p.end();
    finish(image, 7, 0.35, 27);
    return image;
}

QImage paintCityNight(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    const double quay = h * 0.7, water = h * 0.72;
    Dice dice(808);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, quay);
        sky.setColorAt(0, QColor(0x08, 0x0C, 0x22));
        sky.setColorAt(0.75, QColor(0x28, 0x22, 0x46));
        sky.setColorAt(1, QColor(0x6A, 0x48, 0x4E));
        p.fillRect(QRectF(0, 0, w, quay), sky);
        for (int i = 0; i < 420; ++i) {
            const QPointF at(dice(0, w), quay * 0.6 * std::pow(dice(0, 1), 1.4));
            p.setBrush(QColor(255, 255, 240, int(dice(40, 220))));
            p.drawEllipse(at, dice(0.6, 1.8), dice(0.6, 1.8));
        }
        QRadialGradient moon(w * 0.82, h * 0.12, h * 0.12);
        moon.setColorAt(0, QColor(255, 250, 230, 90));
        moon.setColorAt(1, QColor(255, 250, 230, 0));
        p.fillRect(QRectF(0, 0, w, quay), moon);
        p.setBrush(QColor(0xF4, 0xF0, 0xDC));
        p.drawEllipse(QPointF(w * 0.82, h * 0.12), h * 0.022, h * 0.022);

        // Three rows of buildings, the farther hazier; windows lit at random.
        for (int row = 0; row < 3; ++row) {
            const double t = row / 2.0;
            const QColor wall = mixed(QColor(0x3A, 0x36, 0x52), QColor(0x0C, 0x0C, 0x14), t);
            for (double x = -w * 0.02; x < w;) {
                const double width = w * dice(0.025, 0.07) * (1 + 0.4 * t);
                const double tall = h * (0.12 + 0.42 * std::pow(dice(0, 1), 1.8)) * (1 - 0.3 * t);
                const QRectF block(x, quay - tall, width, tall);
                p.fillRect(block, wall.lighter(100 + int(dice(0, 25))));
                if (dice(0, 1) < 0.3) {
                    p.fillRect(
                        QRectF(x + width * 0.2, block.top() - h * 0.03, width * 0.6, h * 0.03),
                        wall);
                }
                if (dice(0, 1) < 0.25) {
                    p.setPen(QPen(wall, w * 0.0015));
                    p.drawLine(QPointF(x + width / 2, block.top()),
                               QPointF(x + width / 2, block.top() - h * 0.07));
                    p.setPen(Qt::NoPen);
                    p.setBrush(QColor(255, 60, 40));
                    p.drawEllipse(QPointF(x + width / 2, block.top() - h * 0.07), 3, 3);
                }
                const double cell = w * 0.0055 * (1 + 0.5 * t);
                const double lit = dice(0.15, 0.55);
                const QColor warm(0xFF, 0xD2, 0x8A), cool(0xC8, 0xDC, 0xFF);
                const QColor tint = dice(0, 1) < 0.7 ? warm : cool;
                const QColor ledge = wall.darker(140);
                for (double wy = block.top() + cell; wy < quay - cell; wy += cell * 1.8) {
                    p.fillRect(QRectF(x, wy + cell * 1.35, width, std::max(1.0, cell * 0.12)),
                               ledge);
                    for (double wx = x + cell * 0.6; wx < x + width - cell; wx += cell * 1.5) {
                        if (dice(0, 1) > lit) continue;
                        // A lit room: brighter towards its lamp, a frame down the middle,
                        // sometimes a curtain half drawn.
                        const QRectF pane(wx, wy, cell * 0.9, cell * 1.1);
                        const QColor glow =
                            withAlpha(tint.darker(100 + int(dice(0, 60))), 1 - 0.45 * (1 - t));
                        p.fillRect(pane, glow);
                        p.fillRect(pane.adjusted(0, pane.height() * 0.55, 0, 0),
                                   withAlpha(glow.lighter(125), 0.6));
                        p.fillRect(QRectF(pane.center().x() - 0.5, wy, 1.2, pane.height()),
                                   withAlpha(wall, 0.7));
                        if (dice(0, 1) < 0.3)
                            p.fillRect(pane.adjusted(0, 0, -pane.width() * dice(0.4, 0.7), 0),
                                       withAlpha(glow.darker(160), 0.8));
                    }
                }
                x += width + w * dice(0, 0.01);
            }
            if (row < 2) p.fillRect(QRectF(0, 0, w, quay), QColor(0x50, 0x40, 0x58, 40));
        }
        // The quay with its lamps.
        p.fillRect(QRectF(0, quay, w, water - quay), QColor(0x16, 0x14, 0x18));
        for (int i = 0; i < 22; ++i) {
            const QPointF lamp(w * (i + 0.5) / 22, quay - h * 0.035);
            p.setPen(QPen(QColor(0x10, 0x10, 0x12), w * 0.002));
            p.drawLine(lamp, lamp + QPointF(0, h * 0.035));
            p.setPen(Qt::NoPen);
            QRadialGradient light(lamp, h * 0.04);
            light.setColorAt(0, QColor(255, 230, 170, 255));
            light.setColorAt(0.15, QColor(255, 200, 120, 160));
            light.setColorAt(1, QColor(255, 180, 100, 0));
            p.setBrush(light);
            p.drawEllipse(lamp, h * 0.04, h * 0.04);
        }
    }
    // The river mirrors it all, darker and broken by ripples.
    paintReflection(image, int(water), w * 0.004, 85);
    smearSideways(image, QRect(0, int(water), int(w), int(h - water)), 8);
    QPainter p(&image);
    const QRectF river(0, water, w, h - water);
    QLinearGradient dark(0, water, 0, h);
    dark.setColorAt(0, QColor(0x06, 0x08, 0x14, 110));
    dark.setColorAt(1, QColor(0x06, 0x08, 0x14, 190));
    p.fillRect(river, dark);
    blendTexture(p, river, noiseTexture({200, 400}, 3, 140, 4, 86), 0.6);
    p.end();
    finish(image, 16, 0.3, 28);
    return image;
}

}  // namespace velmora::resources
