#include "photo_tools.h"

#include <QBrush>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::resources {

namespace {

// A well-mixed 32-bit hash of a lattice point (unsigned arithmetic wraps
// by definition, so this is the same everywhere).
uint32_t latticeHash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u ^ uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double latticeValue(int32_t x, int32_t y, uint32_t seed) {
    return latticeHash(x, y, seed) / 4294967295.0;
}

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

}  // namespace

double valueNoise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = int32_t(fx), iy = int32_t(fy);
    const double tx = smooth(x - fx), ty = smooth(y - fy);
    const double top = latticeValue(ix, iy, seed) +
                       (latticeValue(ix + 1, iy, seed) - latticeValue(ix, iy, seed)) * tx;
    const double bottom =
        latticeValue(ix, iy + 1, seed) +
        (latticeValue(ix + 1, iy + 1, seed) - latticeValue(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

double fractalNoise(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * valueNoise(x, y, seed + uint32_t(octave) * 1013u);
        total += weight;
        weight /= 2;
        x *= 2.03;  // not exactly 2, so the lattices of the octaves never line up
        y *= 2.03;
    }
    return sum / total;
}

double ridgedNoise(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        const double crest =
            1 - std::abs(2 * valueNoise(x, y, seed + uint32_t(octave) * 7919u) - 1);
        sum += weight * crest * crest;
        total += weight;
        weight /= 2;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / total;
}

QImage noiseTexture(QSize size, double cellsAcross, double cellsDown, int octaves, uint32_t seed) {
    std::vector<double> values(size_t(size.width()) * size_t(size.height()));
    const double sx = cellsAcross / size.width(), sy = cellsDown / size.height();
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            values[size_t(y) * size_t(size.width()) + size_t(x)] =
                fractalNoise(x * sx, y * sy, octaves, seed);
    // Stretched to the full range of grey.
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double lowest = *low, range = std::max(1e-9, *high - *low);
    QImage texture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(texture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grey =
                int((values[size_t(y) * size_t(size.width()) + size_t(x)] - lowest) / range * 255);
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return texture;
}

void blendTexture(QPainter& painter, const QRectF& target, const QImage& texture, double opacity,
                  QPainter::CompositionMode mode) {
    painter.save();
    painter.setCompositionMode(mode);
    painter.setOpacity(opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, texture);
    painter.restore();
}

void addGrain(QImage& picture, int amplitude, uint32_t seed) {
    // Mostly brightness noise with a little colour in it, as a sensor gives.
    constexpr int kTile = 384;
    QImage tile(kTile, kTile, QImage::Format_RGB32);
    uint32_t state = seed | 1u;
    const auto next = [&state](int spread) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state % uint32_t(2 * spread + 1)) - spread;
    };
    const int chroma = std::max(1, amplitude / 3);
    for (int y = 0; y < kTile; ++y) {
        auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < kTile; ++x) {
            const int luma = 128 + next(amplitude);
            line[x] = qRgb(std::clamp(luma + next(chroma), 0, 255),
                           std::clamp(luma + next(chroma), 0, 255),
                           std::clamp(luma + next(chroma), 0, 255));
        }
    }
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Overlay);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(tile));
    painter.setBrushOrigin(int(seed % kTile), int(seed / kTile % kTile));
    painter.drawRect(picture.rect());
}

void addVignette(QImage& picture, double strength) {
    QPainter painter(&picture);
    const QPointF centre(picture.width() / 2.0, picture.height() / 2.0);
    QRadialGradient shade(centre, std::hypot(centre.x(), centre.y()));
    shade.setColorAt(0, QColor(0, 0, 0, 0));
    shade.setColorAt(0.55, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, int(255 * strength)));
    painter.fillRect(picture.rect(), shade);
}

QPainterPath ridgeLine(const QRectF& area, double peaks, bool sharp, uint32_t seed, double offset) {
    const int points = std::max(64, int(area.width() / 3));
    std::vector<double> heights(size_t(points) + 1);
    for (int i = 0; i <= points; ++i) {
        const double x = offset + peaks * i / points;
        heights[size_t(i)] = sharp ? ridgedNoise(x, 0.37, 8, seed) : fractalNoise(x, 0.37, 8, seed);
    }
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    const double lowest = *low, range = std::max(1e-9, *high - *low);
    QPainterPath path(area.bottomLeft());
    for (int i = 0; i <= points; ++i) {
        const double t = (heights[size_t(i)] - lowest) / range;
        path.lineTo(area.left() + area.width() * i / points,
                    area.top() + (1 - t) * 0.8 * area.height());
    }
    path.lineTo(area.bottomRight());
    path.closeSubpath();
    return path;
}

void paintReflection(QImage& picture, int waterline, double ripple, uint32_t seed) {
    const int width = picture.width(), height = picture.height();
    const int depth = std::min(waterline, height - waterline);
    if (depth <= 0) return;
    const QImage mirror = picture.copy(0, waterline - depth, width, depth).mirrored(false, true);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int y = waterline; y < waterline + depth;) {
        const double t = double(y - waterline) / depth;
        const int strip = 2 + int(t * 5);
        // Long swells with short ripples on them.
        const double swell = 2 * valueNoise(y * 0.02, 0.5, seed) - 1;
        const double chop = 2 * valueNoise(y * 0.7, 1.5, seed) - 1;
        const double shift = ripple * (1 + 2 * t) * (0.4 * swell + 0.6 * chop);
        // A little wider than the picture, so that no shifted strip leaves a gap.
        const double margin = 3 * ripple + 2;
        painter.drawImage(QRectF(shift - margin, y, width + 2 * margin, strip), mirror,
                          QRectF(0, y - waterline, width, strip));
        y += strip;
    }
}

QPainterPath roughOutline(const std::vector<QPointF>& corners, double roughness, uint32_t seed) {
    QPainterPath path(corners.front());
    double along = 0;
    for (size_t i = 1; i < corners.size(); ++i) {
        const QPointF from = corners[i - 1], to = corners[i];
        const QPointF step = to - from;
        const double length = std::hypot(step.x(), step.y());
        const QPointF normal(-step.y() / length, step.x() / length);
        const int points = std::max(2, int(length / 4));
        for (int k = 1; k <= points; ++k) {
            const double f = double(k) / points;
            const double push = (fractalNoise((along + f * length) / 180, 0.5, 6, seed) - 0.5) * 2 *
                                roughness * std::sin(f * kPi);
            path.lineTo(from + step * f + normal * push);
        }
        along += length;
    }
    path.closeSubpath();
    return path;
}

void paintCloud(QPainter& painter, QPointF centre, double width, const QColor& light,
                const QColor& shade, Dice& dice) {
    const int puffs = 10 + int(dice(0, 8));
    for (int i = 0; i < puffs; ++i) {
        // Bigger puffs towards the middle; all sit on a flat base.
        const double across = dice(-0.5, 0.5);
        const double r = width * (0.22 - 0.26 * std::abs(across)) * dice(0.7, 1.2);
        const QPointF at(centre.x() + across * width, centre.y() - r * dice(0.3, 0.9));
        QRadialGradient puff(at - QPointF(r * 0.2, r * 0.35), r * 1.2);
        puff.setColorAt(0, light);
        puff.setColorAt(0.6, mixed(light, shade, 0.4));
        puff.setColorAt(1, withAlpha(shade, 0.0));
        painter.setBrush(puff);
        painter.drawEllipse(at, r, r * dice(0.75, 0.95));
    }
}

void paintGrass(QPainter& painter, const QPainterPath& ground, int count, double height,
                const QColor& dark, const QColor& light, Dice& dice) {
    painter.setPen(Qt::NoPen);
    const QRectF area = ground.boundingRect();
    const auto seed = uint32_t(dice(0, 1e6));
    for (int i = 0; i < count; ++i) {
        // From the back row to the front, so nearer blades cover farther ones.
        const double depth = (i + dice(0, 1)) / count;
        const QPointF root(dice(area.left(), area.right()), area.top() + depth * area.height());
        if (!ground.contains(root)) continue;
        const double patch = fractalNoise(root.x() / area.width() * 9, depth * 3, 4, seed);
        const double h = height * (0.45 + 0.55 * depth) * (0.2 + patch) * dice(0.6, 1.2);
        const double lean = h * dice(-0.4, 0.4);
        const double w = std::max(1.5, h * dice(0.015, 0.03));
        const QPointF tip(root.x() + lean, root.y() - h);
        const QPointF bend(root.x() + lean * 0.2, root.y() - h * 0.6);
        QPainterPath blade(root - QPointF(w / 2, 0));
        blade.quadTo(bend, tip);
        blade.quadTo(bend + QPointF(w * 0.6, 0), root + QPointF(w / 2, 0));
        blade.closeSubpath();
        painter.setBrush(mixed(dark, light, dice(0, 1) * (0.6 + 0.4 * depth)));
        painter.drawPath(blade);
    }
}

void smearSideways(QImage& picture, const QRect& area, int factor) {
    const QImage part = picture.copy(area)
                            .scaled(std::max(1, area.width() / factor), area.height(),
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&picture);
    painter.drawImage(area.topLeft(), part);
}

}  // namespace velmora::resources
