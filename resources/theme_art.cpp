#include "theme_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <random>

#include "art_tools.h"
#include "backdrop_patterns.h"

namespace velmora::resources {

namespace {

// A soft shadow under a rounded shape; `corner` is its corner radius in the
// painter's x and y.
void paintShadow(QPainter& painter, const QRectF& shape, QSizeF corner, const QColor& colour,
                 int softness, QPointF offset) {
    const int margin = softness * 2;
    const QSize layerSize = shape.size().toSize() + QSize(2 * margin, 2 * margin);
    paintBlurred(painter, shape.topLeft() + offset - QPointF(margin, margin), layerSize,
                 softness / 2, [&](QPainter& p) {
                     p.setBrush(colour);
                     p.drawRoundedRect(QRectF(QPointF(margin, margin), shape.size()),
                                       corner.width(), corner.height());
                 });
}

// The diameter of a round Previous/Next button in `box`, as the viewer sees it.
double arrowDiameter(QRect box, double aspect) {
    return std::min(double(box.height()), box.width() * aspect) - 6;
}

// ---- the ground ----------------------------------------------------------
// The light and the vignette are painted in the viewer's square pixels, like
// the patterns: `view` is the background's size as seen on the screen.

void paintLight(QPainter& p, QSizeF view, const BackdropLook& look) {
    const QPointF centre(look.lightAt.x() * view.width(), look.lightAt.y() * view.height());
    QRadialGradient light(centre, look.lightRadius * view.height());
    light.setColorAt(0, look.light);
    light.setColorAt(0.45, withAlpha(look.light, 0.4));
    light.setColorAt(1, withAlpha(look.light, 0));
    p.fillRect(QRectF(QPointF(), view), light);
}

void paintVignette(QPainter& p, QSizeF view, const QColor& colour) {
    const QPointF centre(view.width() / 2, view.height() / 2);
    QRadialGradient edges(centre, std::hypot(view.width(), view.height()) / 2);
    edges.setColorAt(0.5, withAlpha(colour, 0));
    edges.setColorAt(1, colour);
    p.fillRect(QRectF(QPointF(), view), edges);
}

// A rule fading out at both ends with a small diamond in its middle, just
// under the title box.
void paintTitleRule(QPainter& p, QRect title, const QColor& colour, double aspect) {
    if (colour.alpha() == 0 || title.isEmpty()) return;
    const double y = title.y() + title.height() + 6;
    const double cx = title.x() + title.width() / 2.0;
    const double half = 150 / aspect, gap = 12 / aspect;
    QLinearGradient fade(cx - half, 0, cx + half, 0);
    fade.setColorAt(0, withAlpha(colour, 0));
    fade.setColorAt(0.4, colour);
    fade.setColorAt(0.6, colour);
    fade.setColorAt(1, withAlpha(colour, 0));
    p.setPen(QPen(QBrush(fade), 2));
    p.drawLine(QPointF(cx - half, y), QPointF(cx - gap, y));
    p.drawLine(QPointF(cx + gap, y), QPointF(cx + half, y));
    QPainterPath diamond;
    diamond.moveTo(cx - 6 / aspect, y);
    diamond.lineTo(cx, y - 5);
    diamond.lineTo(cx + 6 / aspect, y);
    diamond.lineTo(cx, y + 5);
    diamond.closeSubpath();
    p.fillPath(diamond, colour);
}

// Faint noise: it keeps gradients from banding once encoded and gives paper
// its tooth.
void addGrain(QImage& image, int amplitude, unsigned seed) {
    if (amplitude <= 0) return;
    std::mt19937 engine(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(engine() % unsigned(2 * amplitude + 1)) - amplitude;
            const QRgb p = row[x];
            row[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                          std::clamp(qBlue(p) + n, 0, 255));
        }
    }
}

// ---- button frames -------------------------------------------------------

// The opening: a bevel sloping into it (in shade above, lit below) and the
// dark glass where the composer puts the cover.
void paintOpening(QPainter& p, QRectF window, const FrameLook& look, double bevel, double aspect) {
    const QRectF outer = window.adjusted(-bevel, -bevel, bevel, bevel);
    QLinearGradient slope(outer.topLeft(), outer.bottomLeft());
    slope.setColorAt(0, look.dark.darker(170));
    slope.setColorAt(1, look.light);
    p.setPen(Qt::NoPen);
    p.setBrush(slope);
    p.drawRoundedRect(outer, 3 / aspect, 3);
    QLinearGradient glass(window.topLeft(), window.bottomLeft());
    glass.setColorAt(0, look.window.lighter(160));
    glass.setColorAt(1, look.window);
    p.setBrush(glass);
    p.drawRect(window.adjusted(-1, -1, 1, 1));
}

void paintRoundedFrame(QPainter& p, QRectF outer, QRectF window, const FrameLook& look,
                       double aspect) {
    const double r = 12;
    QLinearGradient metal(outer.topLeft(), outer.bottomRight());
    metal.setColorAt(0, look.light);
    metal.setColorAt(0.42, mixed(look.light, look.dark, 0.3));
    metal.setColorAt(0.5, mixed(look.light, look.dark, 0.15));
    metal.setColorAt(1, look.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRoundedRect(outer, r / aspect, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.accent, 1.6));
    p.drawRoundedRect(outer.adjusted(4.5, 4.5, -4.5, -4.5), (r - 4) / aspect, r - 4);
    paintOpening(p, window, look, 5, aspect);
}

void paintFilmFrame(QPainter& p, QRectF outer, QRectF window, const FrameLook& look,
                    double aspect) {
    QLinearGradient base(outer.topLeft(), outer.bottomLeft());
    base.setColorAt(0, look.light);
    base.setColorAt(0.5, look.dark);
    base.setColorAt(1, look.light);
    p.setPen(Qt::NoPen);
    p.setBrush(base);
    p.drawRoundedRect(outer, 5 / aspect, 5);
    // Sprocket holes centred in the bands above and below the opening.
    const double holeWidth = 8 / aspect, pitch = 16 / aspect, holeHeight = 6;
    const int holes = int((outer.width() - 6) / pitch);
    const double first = outer.center().x() - (holes - 1) * pitch / 2;
    p.setBrush(look.accent);
    for (const double cy : {window.top() / 2, (window.bottom() + outer.bottom()) / 2}) {
        for (int i = 0; i < holes; ++i) {
            const QRectF hole(first + i * pitch - holeWidth / 2, cy - holeHeight / 2, holeWidth,
                              holeHeight);
            p.drawRoundedRect(hole, 1.5 / aspect, 1.5);
        }
    }
    paintOpening(p, window, look, 2, aspect);
}

void paintCardFrame(QPainter& p, QRectF outer, QRectF window, const FrameLook& look,
                    double aspect) {
    QLinearGradient paper(outer.topLeft(), outer.bottomLeft());
    paper.setColorAt(0, look.light);
    paper.setColorAt(1, look.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(paper);
    p.drawRoundedRect(outer, 9 / aspect, 9);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(look.accent, 0.7), 2));
    p.drawRoundedRect(outer.adjusted(6, 6, -6, -6), 5 / aspect, 5);
    paintOpening(p, window, look, 3, aspect);

    // A sprig above the opening ...
    const double cx = outer.center().x();
    const double top = window.top() / 2 + 4;
    p.save();
    p.scale(1 / aspect, 1);  // leaves drawn as the viewer sees them
    const double vx = cx * aspect;
    p.setPen(QPen(look.accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(vx - 34, top), QPointF(vx + 34, top));
    for (const int side : {-1, 1}) {
        for (int k = 0; k < 3; ++k) {
            const QPointF at(vx + side * (6 + k * 11), top);
            const double angle = side > 0 ? -35 : 215;
            paintLeaf(p, at, 15 - 2 * k, angle, look.accent);
            paintLeaf(p, at, 13 - 2 * k, -angle, withAlpha(look.accent, 0.8));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(look.accent.lighter(130));
    p.drawEllipse(QPointF(vx, top), 4, 4);
    // ... and a short rule with a dot below it.
    const double below = (window.bottom() + outer.bottom()) / 2;
    p.setPen(QPen(withAlpha(look.accent, 0.8), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(vx - 40, below), QPointF(vx - 8, below));
    p.drawLine(QPointF(vx + 8, below), QPointF(vx + 40, below));
    p.setPen(Qt::NoPen);
    p.setBrush(look.accent);
    p.drawEllipse(QPointF(vx, below), 3, 3);
    p.restore();
}

struct Scene {
    QColor skyTop, skyBottom, sun, far, near;
};

}  // namespace

double pixelAspect(QSize frame) {
    return frame.width() == 720 ? 4.0 / 3.0 * frame.height() / frame.width() : 1.0;
}

QRect coverWindow(QSize slot) {
    // The composer decides on its reduced surface; theme slots keep well
    // clear of the limit so that both sides agree.
    const bool large = slot.width() >= 192 && slot.height() >= 151;
    const QSize window = large ? QSize(187, 146) : QSize(147, 110);
    return {QPoint((slot.width() - window.width()) / 2, (slot.height() - window.height()) / 2),
            window};
}

QImage paintBackground(const BackdropLook& look, const ArtLayout& layout) {
    const QSize size = layout.frame;
    const double aspect = pixelAspect(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0, look.top);
    ground.setColorAt(0.55, look.middle);
    ground.setColorAt(1, look.bottom);
    painter.fillRect(image.rect(), ground);

    Dice dice(unsigned(look.pattern) * 7919 + unsigned(size.height()));
    painter.save();
    painter.scale(1 / aspect, 1);
    const QSizeF view(size.width() * aspect, size.height());
    paintLight(painter, view, look);
    paintPattern(painter, view, look, dice);
    paintVignette(painter, view, look.vignette);
    painter.restore();

    // No shadows under the button slots or arrows: a page uses only as many
    // slots as it has slideshows, and a shadow under an empty slot shows as
    // a dark box.
    paintTitleRule(painter, layout.title, look.rule, aspect);
    painter.end();
    addGrain(image, look.grain, unsigned(size.height()));
    makeBroadcastSafe(image);
    return image;
}

// The frame keeps its alpha: the composer draws it over the background, so
// its rounded corners show whatever lies under each slot.
QImage paintFrame(const FrameLook& look, QImage& background,
                  const std::vector<QRect>& buttonSlots) {
    QImage image(buttonSlots.front().size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const double aspect = pixelAspect(background.size());
    const QRectF outer(0, 0, image.width(), image.height());
    const QRectF window = coverWindow(image.size());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (look.kind) {
        case FrameKind::Rounded:
            paintRoundedFrame(painter, outer, window, look, aspect);
            break;
        case FrameKind::Film:
            paintFilmFrame(painter, outer, window, look, aspect);
            break;
        case FrameKind::Card:
            paintCardFrame(painter, outer, window, look, aspect);
            break;
    }
    painter.end();
    makeBroadcastSafeKeepingAlpha(image);
    return image;
}

QImage paintArrowButton(const ArrowLook& look, const QImage& background, QRect box,
                        bool pointsLeft) {
    QImage image = background.copy(box);
    const double aspect = pixelAspect(background.size());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double d = arrowDiameter(box, aspect);
    const QRectF shadowed((box.width() - d / aspect) / 2, (box.height() - d) / 2, d / aspect, d);
    paintShadow(p, shadowed, QSizeF(d / aspect / 2, d / 2), QColor(0, 0, 0, 110), 4, {0, 2});
    p.translate(box.width() / 2.0, box.height() / 2.0);
    p.scale(1 / aspect, 1);
    const double r = arrowDiameter(box, aspect) / 2;
    QLinearGradient disc(0, -r, 0, r);
    disc.setColorAt(0, look.top);
    disc.setColorAt(1, look.bottom);
    p.setPen(QPen(look.ring, 2.4));
    p.setBrush(disc);
    p.drawEllipse(QPointF(), r - 1.2, r - 1.2);
    // A soft sheen over the upper half.
    QLinearGradient sheen(0, -r, 0, 0);
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(QRectF(-r * 0.72, -r * 0.88, r * 1.44, r * 0.9));
    const double s = pointsLeft ? -1 : 1;
    QPainterPath chevron;
    chevron.moveTo(-s * r * 0.16, -r * 0.38);
    chevron.lineTo(s * r * 0.24, 0);
    chevron.lineTo(-s * r * 0.16, r * 0.38);
    p.setPen(QPen(look.arrow, r * 0.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
    p.end();
    makeBroadcastSafe(image);
    return image;
}

void paintSampleCover(QPainter& painter, QRect window, int variant) {
    static const Scene scenes[] = {
        {{96, 150, 206}, {206, 222, 226}, {236, 226, 180}, {112, 140, 120}, {62, 104, 70}},
        {{200, 120, 90}, {232, 196, 140}, {236, 220, 170}, {120, 80, 90}, {60, 44, 60}},
        {{70, 110, 170}, {170, 200, 220}, {230, 230, 220}, {150, 160, 180}, {90, 100, 120}},
        {{120, 170, 200}, {220, 220, 190}, {236, 210, 120}, {170, 150, 100}, {110, 90, 60}},
        {{40, 50, 100}, {150, 110, 150}, {232, 200, 200}, {70, 60, 100}, {36, 34, 60}},
        {{140, 190, 210}, {210, 230, 220}, {236, 236, 210}, {100, 150, 140}, {50, 110, 100}},
    };
    const Scene& scene = scenes[variant % 6];
    const QRectF r = window;
    painter.save();
    painter.setClipRect(window);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, scene.skyTop);
    sky.setColorAt(0.7, scene.skyBottom);
    painter.fillRect(r, sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(scene.sun);
    painter.drawEllipse(
        QPointF(r.left() + r.width() * (0.25 + 0.1 * (variant % 5)), r.top() + r.height() * 0.3),
        r.height() * 0.09, r.height() * 0.09);
    const auto hills = [&](double base, double height, double phase, const QColor& colour) {
        QPainterPath path;
        path.moveTo(r.bottomLeft());
        for (int i = 0; i <= 24; ++i) {
            const double t = i / 24.0;
            const double wave = std::sin(t * 2 * kPi * 1.3 + phase) * 0.6 +
                                std::sin(t * 2 * kPi * 2.9 + phase * 2) * 0.4;
            path.lineTo(r.left() + t * r.width(), r.top() + r.height() * (base - height * wave));
        }
        path.lineTo(r.bottomRight());
        path.closeSubpath();
        painter.fillPath(path, colour);
    };
    hills(0.62, 0.1, variant * 1.7, scene.far);
    hills(0.8, 0.08, variant * 2.3 + 1, scene.near);
    painter.restore();
}

void makeBroadcastSafeKeepingAlpha(QImage& image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = row[x];
            row[x] = qRgba(std::clamp(qRed(p), 16, 235), std::clamp(qGreen(p), 16, 235),
                           std::clamp(qBlue(p), 16, 235), qAlpha(p));
        }
    }
}

void makeBroadcastSafe(QImage& image) {
    image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = row[x];
            row[x] = qRgb(std::clamp(qRed(p), 16, 235), std::clamp(qGreen(p), 16, 235),
                          std::clamp(qBlue(p), 16, 235));
        }
    }
}

}  // namespace velmora::resources
