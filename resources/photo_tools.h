#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <cstdint>
#include <vector>

#include "art_tools.h"

// Drawing tools for the sample photographs. A photograph has detail at
// every scale: broad shapes, textures of rock, water and foliage, and the
// grain of the sensor. The tools give each of these cheaply on pictures of
// several megapixels: fields of noise are computed small and laid on
// enlarged, soft shapes are drawn and blurred small, and grain is a tile
// repeated over the picture.

namespace velmora::resources {

// Smooth value noise in 0..1 at (x, y), one unit per cell; the same for a
// seed on every platform.
double valueNoise(double x, double y, uint32_t seed);
// Fractal noise in 0..1: `octaves` layers of value noise, each twice as fine
// and half as strong as the one before.
double fractalNoise(double x, double y, int octaves, uint32_t seed);
// Ridged fractal noise in 0..1: sharp crests where the noise crosses its
// middle, as along mountain ridges.
double ridgedNoise(double x, double y, int octaves, uint32_t seed);

// A grey picture (Format_RGB32) of fractal noise, `cellsAcross` cells of the
// first octave across its width and `cellsDown` down its height. Made at
// the small `size` and meant to be drawn enlarged.
QImage noiseTexture(QSize size, double cellsAcross, double cellsDown, int octaves, uint32_t seed);

// Lays a grey texture over `target` in a blend mode (Overlay: grey 128
// changes nothing, lighter lightens, darker darkens) at an opacity;
// enlarged smoothly. Respects the painter's clip.
void blendTexture(QPainter& painter, const QRectF& target, const QImage& texture, double opacity,
                  QPainter::CompositionMode mode = QPainter::CompositionMode_Overlay);

// Sensor grain over the whole picture: a tile of fine noise (`amplitude`
// grey levels either way) repeated, starting at an offset drawn from `seed`.
void addGrain(QImage& picture, int amplitude, uint32_t seed);

// Darkens the corners, as a lens does.
void addVignette(QImage& picture, double strength);

// Draws `draw` (in the target's coordinates) into a layer `scale` times the
// size of `target`, blurs it by `radius` layer pixels and lays it enlarged
// over `target`. Soft things (clouds, mist, glows, out-of-focus objects)
// cost a fraction of drawing them sharp at full size.
template <typename Draw>
void paintSoft(QPainter& painter, const QRectF& target, double scale, int radius, Draw draw) {
    QImage layer(QSize(int(target.width() * scale + 1), int(target.height() * scale + 1)),
                 QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter inLayer(&layer);
    inLayer.setRenderHint(QPainter::Antialiasing);
    inLayer.setPen(Qt::NoPen);
    inLayer.scale(scale, scale);
    inLayer.translate(-target.topLeft());
    draw(inLayer);
    inLayer.end();
    blur(layer, radius);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target.topLeft(), QSizeF(layer.size()) / scale), layer);
    painter.restore();
}

// A skyline of hills or mountains over `area`: its top edge follows ridged
// (sharp) or plain fractal noise, `peaks` first-octave cells across, from
// area.top() (the highest crest) down to four fifths of the area (the
// deepest valley); closed along area.bottom(). `offset` picks another
// stretch of the same noise.
QPainterPath ridgeLine(const QRectF& area, double peaks, bool sharp, uint32_t seed,
                       double offset = 0);

// A closed outline through `corners`, rough between them: the points of
// each side pushed across it by fractal noise of up to `roughness` pixels
// (least near the corners). For rocks, cliffs and headlands.
QPainterPath roughOutline(const std::vector<QPointF>& corners, double roughness, uint32_t seed);

// A fair-weather cloud of soft puffs around `centre`, `width` wide; meant
// for paintSoft.
void paintCloud(QPainter& painter, QPointF centre, double width, const QColor& light,
                const QColor& shade, Dice& dice);

// Mirrors the picture above `waterline` into the rows below it, as still
// water does, broken into horizontal strips that ripples shift sideways by
// up to `ripple` pixels near the horizon and three times that at the
// bottom edge. The caller tints the water afterwards.
void paintReflection(QImage& picture, int waterline, double ripple, uint32_t seed);

// Up to `count` tapering blades of grass rooted inside `ground`, from its
// top (the farthest, half as high) to its bottom (the nearest, up to
// `height` high); their height varies in patches.
void paintGrass(QPainter& painter, const QPainterPath& ground, int count, double height,
                const QColor& dark, const QColor& light, Dice& dice);

// Blurs `area` of the picture sideways only (`factor` pixels become one and
// are spread again), as water smears what it reflects.
void smearSideways(QImage& picture, const QRect& area, int factor);

}  // namespace velmora::resources
