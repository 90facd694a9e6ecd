#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <random>

// Small drawing tools shared by the theme pictures.

namespace velmora::resources {

constexpr double kPi = 3.14159265358979323846;

// Random numbers from a fixed seed, so that every build writes the same
// pictures. The engine's raw output is the same on every platform (the
// standard distributions are not).
class Dice {
  public:
    explicit Dice(unsigned seed) : engine_(seed) {}
    double operator()(double low, double high) {
        const double unit = double(engine_() - std::mt19937::min()) /
                            double(std::mt19937::max() - std::mt19937::min());
        return low + (high - low) * unit;
    }

  private:
    std::mt19937 engine_;
};

// The colour with its alpha multiplied by `factor`.
QColor withAlpha(QColor colour, double factor);
// The colour a fraction `t` of the way from `a` to `b` (opaque).
QColor mixed(const QColor& a, const QColor& b, double t);

// Three box passes each way over a premultiplied picture: close to a
// Gaussian blur. Beyond the edges the picture counts as transparent.
void blur(QImage& image, int radius);

// Draws `draw` into a transparent layer of `size`, blurs it and lays it at
// `at` on the painter.
template <typename Draw>
void paintBlurred(QPainter& painter, QPointF at, QSize size, int radius, Draw draw) {
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter inLayer(&layer);
    inLayer.setRenderHint(QPainter::Antialiasing);
    inLayer.setPen(Qt::NoPen);
    draw(inLayer);
    inLayer.end();
    blur(layer, radius);
    painter.drawImage(at, layer);
}

// A leaf with its midrib, from its stalk at `at`, turned by `angle` degrees
// from the +x direction.
void paintLeaf(QPainter& p, QPointF at, double length, double angle, const QColor& colour);

}  // namespace velmora::resources
