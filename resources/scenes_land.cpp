#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "photo_tools.h"
#include "sample_scenes.h"

namespace velmora::resources {

namespace {

// A pine of `height` standing at `foot`: tiers of drooping branches that
// narrow towards the tip.
void paintPine(QPainter& p, QPointF foot, double height, const QColor& colour, Dice& dice) {
    const int tiers = 4 + int(dice(0, 3));
    const double width = height * dice(0.24, 0.34);
    QPainterPath pine;
    for (int k = 0; k < tiers; ++k) {
        const double top = foot.y() - height * (1 - double(k) / tiers);
        const double bottom =
            foot.y() - height * (1 - double(k + 1) / tiers) * 0.92 + height * 0.04;
        const double half = width / 2 * (k + 1) / tiers * dice(0.8, 1.15);
        QPainterPath tier(QPointF(foot.x() + dice(-0.02, 0.02) * height, top));
        tier.lineTo(foot.x() + half, bottom);
        tier.quadTo(foot.x(), bottom - height * 0.04, foot.x() - half, bottom);
        tier.closeSubpath();
        pine.addPath(tier);
    }
    p.fillPath(pine.simplified(), colour);
}

// The crest points of a ridge path made by ridgeLine (its elements between
// the two bottom corners).
template <typename Visit>
void forEachCrestPoint(const QPainterPath& ridge, int step, Visit visit) {
    for (int i = 1; i + 2 < ridge.elementCount(); i += step)
        visit(QPointF(ridge.elementAt(i).x, ridge.elementAt(i).y));
}

void finish(QImage& image, int grain, double vignette, uint32_t seed) {
    addVignette(image, vignette);
    addGrain(image, grain, seed);
}

}  // namespace

QImage paintMountainLake(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    const double shore = h * 0.56;
    Dice dice(101);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, shore);
        sky.setColorAt(0, QColor(0x2C, 0x5E, 0xA6));
        sky.setColorAt(0.7, QColor(0x86, 0xB2, 0xDA));
        sky.setColorAt(1, QColor(0xC8, 0xDC, 0xEA));
        p.fillRect(QRectF(0, 0, w, shore), sky);
        paintSoft(p, QRectF(0, 0, w, shore * 0.7), 0.2, 2, [&](QPainter& q) {
            for (int i = 0; i < 9; ++i)
                paintCloud(q, QPointF(dice(0, w), h * dice(0.08, 0.36)), w * dice(0.07, 0.2),
                           QColor(252, 252, 253, 235), QColor(160, 176, 200, 210), dice);
        });

        // Far peaks: snow above, rock below, streaked by gullies; haze at the foot.
        const QPainterPath peaks =
            ridgeLine(QRectF(0, h * 0.16, w, shore - h * 0.16), 5.5, true, 11);
        QLinearGradient rock(0, h * 0.16, 0, shore);
        rock.setColorAt(0, QColor(0x8A, 0x88, 0x8E));
        rock.setColorAt(0.5, QColor(0x6C, 0x70, 0x7E));
        rock.setColorAt(1, QColor(0x50, 0x5E, 0x6E));
        p.fillPath(peaks, rock);
        p.save();
        p.setClipPath(peaks);
        // Snow down to a ragged line, lower in the gullies.
        QPainterPath snow(QPointF(0, 0));
        for (double x = 0; x <= w; x += 4) {
            const double gully = fractalNoise(x / w * 60, 3.5, 5, 23);
            snow.lineTo(x, h * (0.32 + 0.06 * fractalNoise(x / w * 6, 1.5, 3, 22)) +
                               h * 0.1 * std::pow(gully, 3));
        }
        snow.lineTo(w, 0);
        snow.closeSubpath();
        QLinearGradient white(0, h * 0.16, 0, h * 0.4);
        white.setColorAt(0, QColor(0xFA, 0xFB, 0xFD));
        white.setColorAt(1, QColor(0xC4, 0xCE, 0xDE));
        p.fillPath(snow, white);
        // Light from the left: the same ridge moved right and down shades the
        // slopes that face away from it.
        for (int k = 1; k <= 3; ++k) {
            const QRectF moved(w * 0.008 * k, h * (0.16 + 0.006 * k), w, shore - h * 0.16);
            p.fillPath(ridgeLine(moved, 5.5, true, 11), QColor(0x30, 0x3C, 0x60, 50));
        }
        blendTexture(p, peaks.boundingRect(), noiseTexture({900, 240}, 110, 16, 6, 12), 0.45);
        blendTexture(p, peaks.boundingRect(), noiseTexture({900, 240}, 220, 60, 4, 13), 0.35,
                     QPainter::CompositionMode_SoftLight);
        QLinearGradient haze(0, shore - h * 0.2, 0, shore);
        haze.setColorAt(0, QColor(0xC8, 0xDC, 0xEA, 0));
        haze.setColorAt(1, QColor(0xC8, 0xDC, 0xEA, 170));
        p.fillRect(QRectF(0, shore - h * 0.2, w, h * 0.2), haze);
        p.restore();

        // Wooded hills and a shore of pines.
        const QPainterPath hills =
            ridgeLine(QRectF(0, h * 0.42, w, shore - h * 0.42), 7, false, 14);
        p.fillPath(hills, QColor(0x2E, 0x4A, 0x44));
        p.save();
        p.setClipPath(hills);
        blendTexture(p, hills.boundingRect(), noiseTexture({1000, 90}, 220, 18, 5, 15), 0.7);
        p.restore();
        for (int i = 0; i < 900; ++i) {
            const double x = dice(-0.01, 1.01) * w;
            const double tall =
                h * (0.015 + 0.06 * std::pow(fractalNoise(x / w * 9, 2.5, 3, 16), 2));
            paintPine(p, QPointF(x, shore + h * dice(0, 0.006)), tall * dice(0.6, 1.2),
                      mixed(QColor(0x12, 0x26, 0x1E), QColor(0x2C, 0x46, 0x30), dice(0, 1)), dice);
        }
    }
    paintReflection(image, int(shore) + 1, w * 0.002, 17);
    smearSideways(image, QRect(0, int(shore) + 1, int(w), int(h - shore) - 1), 3);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF lake(0, shore, w, h - shore);
    QLinearGradient water(0, shore, 0, h);
    water.setColorAt(0, QColor(0x20, 0x40, 0x50, 60));
    water.setColorAt(1, QColor(0x0E, 0x24, 0x34, 170));
    p.fillRect(lake, water);
    blendTexture(p, lake, noiseTexture({300, 500}, 4, 160, 4, 18), 0.35);
    for (int i = 0; i < 1400; ++i) {
        const double t = std::pow(dice(0, 1), 1.4);
        const double y = shore + t * (h - shore);
        const double length = w * (0.004 + 0.03 * t) * dice(0.5, 1.5);
        p.setPen(QPen(QColor(230, 240, 248, int(dice(20, 70))), 1 + 2.5 * t));
        const double x = dice(0, w);
        p.drawLine(QPointF(x, y), QPointF(x + length, y));
    }
    // A rocky bank with grass in the corner.
    const QPainterPath bank = roughOutline({{-w * 0.02, h * 1.02},
                                            {-w * 0.02, h * 0.86},
                                            {w * 0.15, h * 0.82},
                                            {w * 0.36, h * 0.86},
                                            {w * 0.5, h * 0.95},
                                            {w * 0.56, h * 1.02}},
                                           h * 0.015, 19);
    QLinearGradient stone(0, h * 0.82, 0, h);
    stone.setColorAt(0, QColor(0x6E, 0x68, 0x5C));
    stone.setColorAt(1, QColor(0x2E, 0x2A, 0x24));
    p.fillPath(bank, stone);
    p.save();
    p.setClipPath(bank);
    blendTexture(p, bank.boundingRect(), noiseTexture({500, 200}, 60, 20, 6, 20), 0.9);
    p.restore();
    paintGrass(p, bank, 3000, h * 0.12, QColor(0x2A, 0x3A, 0x18), QColor(0xA8, 0xB0, 0x58), dice);
    p.end();
    finish(image, 6, 0.35, 21);
    return image;
}

QImage paintAlpineDawn(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    Dice dice(202);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.62);
    sky.setColorAt(0, QColor(0x1E, 0x2A, 0x5A));
    sky.setColorAt(0.45, QColor(0x7E, 0x66, 0x98));
    sky.setColorAt(0.78, QColor(0xE6, 0x9E, 0x90));
    sky.setColorAt(1, QColor(0xF8, 0xD4, 0x9C));
    p.fillRect(image.rect(), sky);
    const QPointF sun(w * 0.7, h * 0.5);
    QRadialGradient glow(sun, h * 0.45);
    glow.setColorAt(0, QColor(255, 240, 200, 230));
    glow.setColorAt(0.12, QColor(255, 214, 160, 140));
    glow.setColorAt(1, QColor(255, 190, 150, 0));
    p.fillRect(image.rect(), glow);
    paintSoft(p, QRectF(0, 0, w, h * 0.45), 0.2, 3, [&](QPainter& q) {
        for (int i = 0; i < 14; ++i) {
            const QPointF at(dice(0, w), h * dice(0.06, 0.32));
            const double length = w * dice(0.1, 0.3);
            q.setBrush(QColor(250, 190, 180, int(dice(60, 140))));
            q.drawEllipse(at, length / 2, h * dice(0.006, 0.016));
        }
    });

    // Ridge behind ridge, each nearer one darker and clearer, mist between.
    const QColor farthest(0xB8, 0x98, 0xB6), nearest(0x1C, 0x1C, 0x34);
    const double tops[] = {0.26, 0.38, 0.47, 0.56, 0.68};
    const int layers = int(std::size(tops));
    for (int k = 0; k < layers; ++k) {
        const double t = double(k) / (layers - 1);
        const QRectF area(-w * 0.02, h * tops[k], w * 1.04, h * (1 - tops[k]));
        const QPainterPath ridge = ridgeLine(area, 3 + 2.5 * k, k < 2, 30 + uint32_t(k), k * 3.7);
        QLinearGradient body(0, area.top(), 0, area.top() + area.height() * 0.6);
        const QColor colour = mixed(farthest, nearest, t);
        body.setColorAt(0, k == 0 ? QColor(0xF6, 0xC8, 0xC0) : colour.lighter(115));
        body.setColorAt(k == 0 ? 0.25 : 0.1, colour);
        body.setColorAt(1, colour.darker(115));
        p.fillPath(ridge, body);
        p.save();
        p.setClipPath(ridge);
        const QSize grain(int(800 * (1 - t * 0.5)), 200);
        blendTexture(p, ridge.boundingRect(),
                     noiseTexture(grain, 60 + 40 * k, 14, 6, 40 + uint32_t(k)), 0.6 - 0.3 * t);
        p.restore();
        if (k == layers - 1) {
            forEachCrestPoint(ridge, 3, [&](QPointF crest) {
                if (dice(0, 1) < 0.7)
                    paintPine(p, crest + QPointF(0, h * 0.01), h * dice(0.02, 0.07),
                              QColor(0x12, 0x12, 0x22), dice);
            });
        } else {
            paintSoft(p, QRectF(0, area.top(), w, area.height()), 0.15, 4, [&](QPainter& q) {
                for (int i = 0; i < 30; ++i) {
                    const QPointF at(dice(0, w), h * (tops[k + 1] + dice(-0.01, 0.05)));
                    q.setBrush(QColor(250, 226, 230, int(dice(40, 110) * (1 - t * 0.5))));
                    q.drawEllipse(at, w * dice(0.05, 0.16), h * dice(0.012, 0.03));
                }
            });
        }
    }
    // Birds far off.
    p.setPen(QPen(QColor(0x30, 0x26, 0x3A), h * 0.0016, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 7; ++i) {
        const QPointF at(w * dice(0.25, 0.5), h * dice(0.18, 0.28));
        const double span = h * dice(0.006, 0.012);
        QPainterPath bird(at - QPointF(span, span * 0.3));
        bird.quadTo(at - QPointF(span * 0.4, span * 0.6), at);
        bird.quadTo(at + QPointF(span * 0.4, -span * 0.6), at + QPointF(span, -span * 0.3));
        p.drawPath(bird);
    }
    p.end();
    finish(image, 8, 0.4, 22);
    return image;
}

QImage paintForestLight(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    Dice dice(303);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient air(0, 0, 0, h);
    air.setColorAt(0, QColor(0xDC, 0xE6, 0xC6));
    air.setColorAt(0.6, QColor(0xA8, 0xB8, 0x8C));
    air.setColorAt(1, QColor(0x5A, 0x62, 0x3C));
    p.fillRect(image.rect(), air);
    QRadialGradient sun(w * 0.78, -h * 0.05, h * 0.9);
    sun.setColorAt(0, QColor(255, 250, 220, 220));
    sun.setColorAt(1, QColor(255, 250, 220, 0));
    p.fillRect(image.rect(), sun);

    // Trunks in four depths; the mist over each depth pushes it back.
    const QImage bark = noiseTexture({64, 1024}, 10, 160, 5, 50);
    for (int depth = 0; depth < 4; ++depth) {
        const double t = depth / 3.0;
        const int count = int(46 - 11 * depth);
        for (int i = 0; i < count; ++i) {
            const double x = dice(-0.05, 1.05) * w;
            const double width = w * (0.006 + 0.03 * t * t + 0.006 * t) * dice(0.7, 1.3);
            const double foot = h * (0.66 + 0.12 * t) + dice(0, h * 0.04);
            const double lean = dice(-0.02, 0.02) * h;
            QPainterPath trunk(QPointF(x - width / 2, foot));
            trunk.lineTo(x - width * 0.38 + lean, -h * 0.02);
            trunk.lineTo(x + width * 0.38 + lean, -h * 0.02);
            trunk.lineTo(x + width / 2, foot);
            trunk.closeSubpath();
            QLinearGradient round(x - width / 2, 0, x + width / 2, 0);
            const QColor tone = mixed(QColor(0x9C, 0xA4, 0x8C), QColor(0x3A, 0x30, 0x26), t);
            round.setColorAt(0, tone.darker(130));
            round.setColorAt(0.3, tone.lighter(105 + 10 * depth));
            round.setColorAt(1, tone.darker(150));
            p.fillPath(trunk, round);
            p.save();
            p.setClipPath(trunk);
            blendTexture(p, trunk.boundingRect(), bark, 0.3 + 0.5 * t);
            p.restore();
        }
        if (depth < 3) p.fillRect(image.rect(), QColor(0xD4, 0xDE, 0xBC, 70));
    }
    // Rays of sun through the canopy.
    paintSoft(p, QRectF(0, 0, w, h), 0.12, 4, [&](QPainter& q) {
        for (int i = 0; i < 9; ++i) {
            const double x = w * dice(0.35, 1.1), spread = w * dice(0.015, 0.05);
            const QPointF ray[] = {{x - spread, -h * 0.05},
                                   {x + spread, -h * 0.05},
                                   {x - w * 0.45 + spread * 3, h * 1.05},
                                   {x - w * 0.45 - spread * 1, h * 1.05}};
            q.setBrush(QColor(255, 250, 215, int(dice(25, 60))));
            q.drawPolygon(ray, 4);
        }
    });
    // The canopy: leaves against the light along the top.
    for (int i = 0; i < 2600; ++i) {
        const QPointF at(dice(-0.02, 1.02) * w, h * 0.16 * std::pow(dice(0, 1), 2));
        paintLeaf(p, at, h * dice(0.01, 0.028), dice(0, 360),
                  mixed(QColor(0x20, 0x36, 0x14), QColor(0x8C, 0xA8, 0x3C), dice(0, 1)));
    }
    // The floor: moss and leaf litter, then ferns and grass.
    const QRectF floor(0, h * 0.74, w, h * 0.26);
    QLinearGradient ground(0, floor.top(), 0, h);
    ground.setColorAt(0, QColor(0x6A, 0x70, 0x3A, 0));
    ground.setColorAt(0.25, QColor(0x5C, 0x5E, 0x2E));
    ground.setColorAt(1, QColor(0x34, 0x30, 0x1A));
    p.fillRect(floor, ground);
    blendTexture(p, floor, noiseTexture({800, 200}, 120, 30, 6, 51), 0.8);
    for (int i = 0; i < 44; ++i) {
        const QPointF root(dice(-0.05, 1.05) * w, h * dice(0.84, 1.02));
        const double length = h * dice(0.1, 0.22);
        const double angle = dice(-160, -20);
        const QColor green = mixed(QColor(0x2C, 0x4A, 0x16), QColor(0x88, 0xA8, 0x38), dice(0, 1));
        const double rad = angle * kPi / 180;
        for (int k = 0; k < 18; ++k) {
            const double f = k / 18.0;
            const QPointF at = root + QPointF(std::cos(rad), std::sin(rad)) * (length * f) +
                               QPointF(0, length * 0.25 * f * f);
            const double leaf = length * 0.22 * (1 - f * 0.8);
            paintLeaf(p, at, leaf, angle - 70, green);
            paintLeaf(p, at, leaf, angle + 70, green.darker(110));
        }
    }
    QPainterPath litter;
    litter.addRect(QRectF(0, h * 0.86, w, h * 0.14));
    paintGrass(p, litter, 1800, h * 0.08, QColor(0x30, 0x3A, 0x14), QColor(0xA0, 0xA8, 0x50), dice);
    p.end();
    finish(image, 6, 0.45, 23);
    return image;
}

QImage paintPoppies(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    Dice dice(404);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(0x5E, 0x7A, 0x34));
    // The meadow behind, far out of focus: greens, light, distant poppies.
    paintSoft(p, QRectF(0, 0, w, h), 0.08, 5, [&](QPainter& q) {
        for (int i = 0; i < 260; ++i) {
            const QPointF at(dice(0, w), dice(0, h));
            const double r = h * dice(0.02, 0.12);
            const double pick = dice(0, 1);
            const QColor colour = pick < 0.12   ? QColor(0xD8, 0x3A, 0x22)
                                  : pick < 0.3  ? QColor(0xE8, 0xE0, 0x90)
                                  : pick < 0.65 ? QColor(0x8C, 0xA8, 0x48)
                                                : QColor(0x2E, 0x44, 0x1C);
            q.setBrush(withAlpha(colour, dice(0.4, 0.9)));
            q.drawEllipse(at, r, r * dice(0.7, 1.1));
        }
    });
    // Bokeh from the light through the grass.
    for (int i = 0; i < 60; ++i) {
        const QPointF at(dice(0, w), dice(0, h * 0.6));
        const double r = h * dice(0.01, 0.03);
        QRadialGradient disc(at, r);
        disc.setColorAt(0, QColor(255, 250, 210, 60));
        disc.setColorAt(0.85, QColor(255, 250, 210, 90));
        disc.setColorAt(1, QColor(255, 250, 210, 0));
        p.setBrush(disc);
        p.setPen(Qt::NoPen);
        p.drawEllipse(at, r, r);
    }
    const QImage crinkle = noiseTexture({400, 400}, 36, 36, 5, 60);
    const auto poppy = [&](QPainter& q, QPointF centre, double radius, double turn, uint32_t seed) {
        // Stem with fine hairs, from below the flower to the bottom edge.
        QPainterPath stem(centre + QPointF(0, radius * 0.2));
        stem.cubicTo(centre + QPointF(radius * 0.3, radius * 1.2),
                     centre + QPointF(-radius * 0.4, radius * 2.2),
                     QPointF(centre.x() + radius * 0.2, h * 1.02));
        q.strokePath(stem, QPen(QColor(0x4E, 0x6E, 0x26), radius * 0.07));
        q.setPen(QPen(QColor(0xB8, 0xC8, 0x90, 120), 1.2));
        for (qreal f = 0.1; f < 1; f += 0.004) {
            const QPointF at = stem.pointAtPercent(f);
            const double side = dice(0, 1) < 0.5 ? -1 : 1;
            q.drawLine(at + QPointF(side * radius * 0.03, 0),
                       at + QPointF(side * radius * dice(0.05, 0.09), -radius * dice(0, 0.04)));
        }
        q.setPen(Qt::NoPen);
        // Four petals, the back pair first; each cupped, veined and crinkled.
        for (int k = 0; k < 4; ++k) {
            constexpr double kAngles[] = {0, 180, 90, 270};  // the back pair first
            const double angle = turn + kAngles[k] + dice(-12, 12);
            q.save();
            q.translate(centre);
            q.rotate(angle);
            const double r = radius * (k < 2 ? 1.05 : 0.95) * dice(0.92, 1.08);
            QPainterPath petal(QPointF(0, 0));
            petal.cubicTo(r * 0.6, -r * 0.9, r * 1.25, -r * 0.6, r * 1.1, 0);
            petal.cubicTo(r * 1.25, r * 0.6, r * 0.6, r * 0.9, 0, 0);
            QRadialGradient red(QPointF(0, 0), r * 1.15);
            red.setColorAt(0, QColor(0x18, 0x08, 0x10));
            red.setColorAt(0.18, QColor(0x30, 0x0A, 0x10));
            red.setColorAt(0.26, QColor(0xB0, 0x14, 0x12));
            red.setColorAt(0.75, k < 2 ? QColor(0xD8, 0x26, 0x16) : QColor(0xEC, 0x34, 0x1C));
            red.setColorAt(1, QColor(0xF6, 0x5A, 0x34));
            q.fillPath(petal, red);
            q.setClipPath(petal);
            q.setPen(QPen(QColor(0x80, 0x08, 0x10, 50), std::max(1.0, r * 0.006)));
            for (int v = 0; v < 70; ++v) {
                const double a = dice(-50, 50) * kPi / 180;
                q.drawLine(QPointF(r * 0.2 * std::cos(a), r * 0.2 * std::sin(a)),
                           QPointF(r * 1.2 * std::cos(a), r * 1.2 * std::sin(a * 1.1)));
            }
            blendTexture(q, QRectF(0, -r, r * 1.3, r * 2), crinkle, 0.55,
                         QPainter::CompositionMode_SoftLight);
            q.restore();
        }
        // The seed head in a ring of dark stamens.
        Dice head(seed);
        q.setPen(QPen(QColor(0x14, 0x0C, 0x18), std::max(1.0, radius * 0.006)));
        for (int i = 0; i < 220; ++i) {
            const double a = head(0, 2 * kPi), reach = radius * head(0.16, 0.3);
            const QPointF tip = centre + QPointF(std::cos(a), std::sin(a)) * reach;
            q.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.1, tip);
            q.setBrush(QColor(0x10, 0x08, 0x14));
            q.drawEllipse(tip, radius * 0.012, radius * 0.012);
        }
        QRadialGradient pod(centre - QPointF(radius * 0.03, radius * 0.03), radius * 0.13);
        pod.setColorAt(0, QColor(0xA8, 0xB4, 0x84));
        pod.setColorAt(1, QColor(0x4A, 0x5A, 0x3A));
        q.setPen(Qt::NoPen);
        q.setBrush(pod);
        q.drawEllipse(centre, radius * 0.12, radius * 0.12);
        q.setPen(QPen(QColor(0x2A, 0x20, 0x30), std::max(1.0, radius * 0.012)));
        for (int i = 0; i < 9; ++i) {
            const double a = i * 2 * kPi / 9;
            q.drawLine(centre, centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.11);
        }
        q.setPen(Qt::NoPen);
    };
    // One poppy out of focus behind, two sharp in front.
    paintSoft(p, QRectF(0, 0, w, h), 0.25, 3,
              [&](QPainter& q) { poppy(q, QPointF(w * 0.8, h * 0.3), h * 0.16, 20, 61); });
    poppy(p, QPointF(w * 0.42, h * 0.46), h * 0.3, -10, 62);
    poppy(p, QPointF(w * 0.12, h * 0.7), h * 0.18, 40, 63);
    p.end();
    finish(image, 7, 0.3, 24);
    return image;
}

}  // namespace velmora::resources
