#include "render/canvas.h"

#include <QPainter>
#include <QTransform>
#include <cmath>

namespace velmora {

Canvas::Canvas(QSize size, QImage::Format format) : image_(size, format) {}

void Canvas::clear(QRgb colour) {
    image_.fill(QColor::fromRgba(colour));
}

void Canvas::fillRect(const QRect& rect, QRgb colour) {
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect, QColor::fromRgba(colour));
}

void Canvas::drawUnscaled(const QImage& picture, QPoint at) {
    QPainter painter(&image_);
    painter.drawImage(at, picture);
}

void Canvas::drawUnscaled(const QImage& picture, QPointF at) {
    drawUnscaled(picture, at.toPoint());
}

void Canvas::drawScaledWithAlpha(const QImage& picture, const QRectF& destination, float alpha) {
    if (picture.isNull() || destination.isEmpty() || alpha <= 0) return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(alpha);
    painter.drawImage(destination, picture, QRectF(picture.rect()));
}

void Canvas::drawScaled(const QImage& picture, const QRectF& destination, double degrees,
                        QPointF centre) {
    if (picture.isNull() || destination.isEmpty()) return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (degrees != 0) {
        painter.setTransform(QTransform()
                                 .translate(centre.x(), centre.y())
                                 .rotate(degrees)
                                 .translate(-centre.x(), -centre.y()));
    }
    painter.drawImage(destination, picture, QRectF(picture.rect()));
}

void Canvas::drawParallelogram(const QImage& picture, QPointF upperLeft, QPointF upperRight,
                               QPointF lowerLeft) {
    if (picture.isNull()) return;
    const QPointF across = upperRight - upperLeft;
    const QPointF down = lowerLeft - upperLeft;
    // Zero area (a door seen edge-on, a fold pressed flat): nothing to draw.
    if (std::abs(across.x() * down.y() - across.y() * down.x()) < 1e-6) return;
    const QTransform mapping(across.x() / picture.width(), across.y() / picture.width(),
                             down.x() / picture.height(), down.y() / picture.height(),
                             upperLeft.x(), upperLeft.y());
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(mapping);
    painter.drawImage(QPointF(0, 0), picture);
}

void Canvas::drawWithAlpha(const QImage& picture, QPoint at, float alpha) {
    QPainter painter(&image_);
    painter.setOpacity(alpha);
    painter.drawImage(at, picture);
}

void Canvas::readBgr24(std::span<uint8_t> out) const {
    velmora::readBgr24(image_, out);
}

void readBgr24(const QImage& image, std::span<uint8_t> out) {
    const int width = image.width();
    size_t at = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            out[at++] = uint8_t(qBlue(row[x]));
            out[at++] = uint8_t(qGreen(row[x]));
            out[at++] = uint8_t(qRed(row[x]));
        }
    }
}

}  // namespace velmora
