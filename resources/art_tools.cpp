#include "art_tools.h"

#include <QPainterPath>
#include <algorithm>
#include <vector>

namespace velmora::resources {

QColor withAlpha(QColor colour, double factor) {
    colour.setAlphaF(float(std::clamp(colour.alphaF() * factor, 0.0, 1.0)));
    return colour;
}

QColor mixed(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

void blur(QImage& image, int radius) {
    if (radius < 1) return;
    const int stride = int(image.bytesPerLine() / 4);
    std::vector<int> sums;
    const auto blurLine = [&](QRgb* first, int count, int step) {
        sums.assign(size_t(count + 1) * 4, 0);
        for (int i = 0; i < count; ++i) {
            const QRgb p = first[i * step];
            const int channels[4] = {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
            for (int c = 0; c < 4; ++c)
                sums[size_t(i + 1) * 4 + c] = sums[size_t(i) * 4 + c] + channels[c];
        }
        const int span = 2 * radius + 1;
        for (int i = 0; i < count; ++i) {
            const size_t from = size_t(std::max(0, i - radius)) * 4;
            const size_t to = size_t(std::min(count, i + radius + 1)) * 4;
            first[i * step] = qRgba(
                (sums[to] - sums[from]) / span, (sums[to + 1] - sums[from + 1]) / span,
                (sums[to + 2] - sums[from + 2]) / span, (sums[to + 3] - sums[from + 3]) / span);
        }
    };
    auto* pixels = reinterpret_cast<QRgb*>(image.bits());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < image.height(); ++y)
            blurLine(pixels + y * stride, image.width(), 1);
        for (int x = 0; x < image.width(); ++x)
            blurLine(pixels + x, image.height(), stride);
    }
}

void paintLeaf(QPainter& p, QPointF at, double length, double angle, const QColor& colour) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(length * 0.45, -length * 0.3, length, 0);
    leaf.quadTo(length * 0.45, length * 0.3, 0, 0);
    p.fillPath(leaf, colour);
    p.setPen(QPen(withAlpha(colour.lighter(150), 0.6), std::max(1.0, length * 0.04)));
    p.drawLine(QPointF(length * 0.08, 0), QPointF(length * 0.85, 0));
    p.restore();
}

}  // namespace velmora::resources
