#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <span>

namespace velmora {

// A surface frames are composed on, with the few drawing operations the
// timeline, the motion effects and the transitions are written in. Frames
// are 32-bit RGB (the renderer's "24-bit" canvases); transition layers use
// premultiplied ARGB.
class Canvas {
  public:
    Canvas() = default;
    explicit Canvas(QSize size, QImage::Format format = QImage::Format_RGB32);

    QSize size() const { return image_.size(); }
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    void clear(QRgb colour);
    void fillRect(const QRect& rect, QRgb colour);
    // Draws `picture` with its top left at `at`, unscaled.
    void drawUnscaled(const QImage& picture, QPoint at);
    // The same at a position in fractions of a pixel, rounded to the nearest.
    void drawUnscaled(const QImage& picture, QPointF at);
    // Draws `picture` scaled into `destination` with bilinear
    // interpolation, turned by `degrees` (clockwise) about `centre`.
    void drawScaled(const QImage& picture, const QRectF& destination, double degrees = 0,
                    QPointF centre = {});
    // Draws `picture` scaled into `destination` (bilinear) with a constant
    // alpha, as drawWithAlpha does.
    void drawScaledWithAlpha(const QImage& picture, const QRectF& destination, float alpha);
    // Draws `picture` as the parallelogram with these three corners (its
    // top left, top right and bottom left; the fourth is upperRight +
    // lowerLeft − upperLeft), with bilinear interpolation. A degenerate
    // parallelogram draws nothing.
    void drawParallelogram(const QImage& picture, QPointF upperLeft, QPointF upperRight,
                           QPointF lowerLeft);
    // Draws `picture` at `at` with a constant alpha: every pixel becomes
    // alpha × picture + (1 − alpha) × canvas.
    void drawWithAlpha(const QImage& picture, QPoint at, float alpha);

    // Writes the canvas as 24-bit rows, top-down, blue, green, red, with a
    // stride of width × 3 bytes. `out` must hold width × height × 3 bytes.
    void readBgr24(std::span<uint8_t> out) const;

  private:
    QImage image_;
};

// The 24-bit read-out of any 32-bit image: top-down rows of blue, green,
// red, width × 3 bytes apart.
void readBgr24(const QImage& image, std::span<uint8_t> out);

}  // namespace velmora
