#include "decorations.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <unordered_map>
#include <utility>

#include "art_tools.h"
#include "image/picture_loader.h"

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

constexpr int kSide = 120;
constexpr double kLine = 4;
// The outline: as dark as it reads, but not the black the editor leaves out.
const QColor kOutline(0x10, 0x10, 0x10);
constexpr QRgb kNearBlack = 0xFF101010;
constexpr int kPaletteSize = 256;  // index 0 is the transparent ground

// ---- Paths

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath ellipse(QPointF centre, double rx, double ry, double degrees = 0) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    if (degrees == 0) return path;
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(degrees);
    turn.translate(-centre.x(), -centre.y());
    return turn.map(path);
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath roundedBox(double x, double y, double width, double height, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, width, height), radius, radius);
    return path;
}

// The path mirrored about the picture's vertical centre line.
QPainterPath mirrored(const QPainterPath& path) {
    return QTransform(-1, 0, 0, 1, kSide, 0).map(path);
}

QPainterPath heart(QPointF centre, double width) {
    const double x = centre.x(), y = centre.y(), w = width;
    QPainterPath path;
    path.moveTo(x, y + 0.45 * w);
    path.cubicTo(x - 0.1 * w, y + 0.32 * w, x - 0.5 * w, y + 0.08 * w, x - 0.5 * w, y - 0.14 * w);
    path.cubicTo(x - 0.5 * w, y - 0.46 * w, x - 0.1 * w, y - 0.52 * w, x, y - 0.26 * w);
    path.cubicTo(x + 0.1 * w, y - 0.52 * w, x + 0.5 * w, y - 0.46 * w, x + 0.5 * w, y - 0.14 * w);
    path.cubicTo(x + 0.5 * w, y + 0.08 * w, x + 0.1 * w, y + 0.32 * w, x, y + 0.45 * w);
    path.closeSubpath();
    return path;
}

QPainterPath star(QPointF centre, double outer, double inner, int points) {
    QPolygonF corners;
    for (int i = 0; i < points * 2; ++i) {
        const double angle = -kPi / 2 + kPi * i / points;
        const double radius = i % 2 == 0 ? outer : inner;
        corners << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    QPainterPath path;
    path.addPolygon(corners);
    path.closeSubpath();
    return path;
}

// ---- Drawing: flat colours, outlined

class Sketch {
  public:
    explicit Sketch(QPainter& painter) : p_(painter) {}
    // Filled and outlined.
    void shape(const QPainterPath& path, const QColor& fill, double line = kLine) const {
        p_.setPen(QPen(kOutline, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.setBrush(fill);
        p_.drawPath(path);
    }
    // Filled without an outline: highlights, spots, cheeks.
    void fill(const QPainterPath& path, const QColor& colour) const {
        p_.setPen(Qt::NoPen);
        p_.setBrush(colour);
        p_.drawPath(path);
    }
    void stroke(const QPainterPath& path, const QColor& colour, double width) const {
        p_.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.setBrush(Qt::NoBrush);
        p_.drawPath(path);
    }
    // A thick line with an outline of its own, as a tick or a string of paint.
    void outlinedStroke(const QPainterPath& path, const QColor& colour, double width) const {
        stroke(path, kOutline, width + 2 * kLine);
        stroke(path, colour, width);
    }

  private:
    QPainter& p_;
};

QPainterPath curve(QPointF from, QPointF control, QPointF to) {
    QPainterPath path(from);
    path.quadTo(control, to);
    return path;
}

QPainterPath line(QPointF from, QPointF to) {
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

// An eye: white with a dark pupil looking the given way.
void paintEye(const Sketch& s, QPointF centre, double radius, QPointF look = {}) {
    s.shape(circle(centre, radius), QColor(0xFF, 0xFF, 0xFF), 2.5);
    s.fill(circle(centre + look, radius * 0.5), kOutline);
}

// ---- Animal

void paintCat(const Sketch& s) {
    const QColor fur(0xF2, 0xA0, 0x3D), inner(0xF7, 0xB8, 0xC4);
    const QPainterPath ear = polygon({{18, 56}, {26, 10}, {58, 34}});
    const QPainterPath innerEar = polygon({{26, 46}, {30, 22}, {48, 36}});
    for (const bool right : {false, true}) {
        s.shape(right ? mirrored(ear) : ear, fur);
        s.fill(right ? mirrored(innerEar) : innerEar, inner);
    }
    s.shape(ellipse({60, 68}, 44, 38), fur);
    for (const double x : {43.0, 77.0}) {
        s.shape(ellipse({x, 60}, 8, 10), QColor(0x8C, 0xD0, 0x5A), 2.5);
        s.fill(ellipse({x, 61}, 3, 7), kOutline);
        s.fill(circle({x - 2.5, 56}, 1.8), QColor(0xFF, 0xFF, 0xFF));
    }
    s.shape(polygon({{53, 75}, {67, 75}, {60, 83}}), QColor(0xF0, 0x7C, 0x94), 2.5);
    s.stroke(curve({60, 83}, {56, 92}, {48, 89}), kOutline, 3);
    s.stroke(curve({60, 83}, {64, 92}, {72, 89}), kOutline, 3);
    for (const bool right : {false, true}) {
        for (const auto& [from, to] : {std::pair<QPointF, QPointF>{{32, 78}, {6, 72}},
                                       std::pair<QPointF, QPointF>{{32, 84}, {6, 90}}}) {
            const QPainterPath whisker = line(from, to);
            s.stroke(right ? mirrored(whisker) : whisker, kOutline, 2.5);
        }
    }
}

void paintFish(const Sketch& s) {
    const QColor scales(0xF5, 0x9B, 0x32), fins(0xE8, 0x74, 0x1E);
    s.shape(polygon({{38, 40}, {54, 16}, {72, 38}}), fins);
    s.shape(polygon({{80, 60}, {114, 32}, {104, 60}, {114, 88}}), fins);
    s.shape(ellipse({52, 60}, 44, 29), scales);
    s.stroke(curve({66, 38}, {76, 60}, {66, 82}), kOutline, 3);
    s.fill(ellipse({56, 72}, 14, 6, -8), QColor(0xFA, 0xC8, 0x78));
    paintEye(s, {28, 54}, 8, {-2, 0});
    s.stroke(curve({10, 66}, {16, 70}, {22, 68}), kOutline, 2.5);
}

void paintBird(const Sketch& s) {
    const QColor feathers(0x4D, 0x9B, 0xE6), wing(0x2F, 0x74, 0xC0);
    s.shape(polygon({{28, 58}, {6, 44}, {10, 72}}), wing);
    for (const double x : {50.0, 64.0})
        s.stroke(line({x, 94}, {x - 2, 112}), kOutline, 3.5);
    s.shape(ellipse({60, 24}, 6, 12, 20), wing);
    s.shape(circle({58, 64}, 34), feathers);
    s.fill(ellipse({64, 78}, 20, 15), QColor(0xD2, 0xEA, 0xFB));
    s.shape(ellipse({44, 70}, 18, 11, -20), wing);
    s.shape(polygon({{88, 54}, {110, 62}, {88, 70}}), QColor(0xF5, 0xA6, 0x23));
    paintEye(s, {74, 52}, 7, {2, 0});
}

void paintButterfly(const Sketch& s) {
    const QColor upper(0xB8, 0x6B, 0xE0), lower(0xF0, 0x8C, 0xC8), spot(0xFF, 0xE0, 0x70);
    for (const bool right : {false, true}) {
        const auto side = [right](const QPainterPath& path) {
            return right ? mirrored(path) : path;
        };
        s.stroke(side(curve({57, 34}, {50, 14}, {40, 10})), kOutline, 3);
        s.fill(side(circle({40, 10}, 4)), kOutline);
        s.shape(side(ellipse({36, 42}, 28, 21, -30)), upper);
        s.shape(side(ellipse({40, 82}, 19, 17, 20)), lower);
        s.fill(side(circle({30, 38}, 8)), spot);
        s.fill(side(circle({40, 84}, 6)), QColor(0xFF, 0xFF, 0xFF));
    }
    s.shape(ellipse({60, 64}, 6, 36), QColor(0x4A, 0x3C, 0x54));
}

void paintLadybird(const Sketch& s) {
    const QColor head(0x33, 0x33, 0x3A), spots(0x26, 0x26, 0x2C);
    s.shape(circle({60, 28}, 17), head);
    for (const double x : {53.0, 67.0})
        s.fill(circle({x, 24}, 3.5), QColor(0xFF, 0xFF, 0xFF));
    s.shape(circle({60, 68}, 42), QColor(0xE5, 0x39, 0x35));
    s.stroke(line({60, 28}, {60, 110}), kOutline, 3.5);
    for (const QPointF at : {QPointF(40, 52), QPointF(80, 52), QPointF(34, 78), QPointF(86, 78),
                             QPointF(48, 96), QPointF(72, 96)})
        s.fill(circle(at, 7), spots);
    s.fill(ellipse({44, 44}, 6, 3, -40), QColor(0xF4, 0x8A, 0x86));
}

// ---- Dress

void paintTopHat(const Sketch& s) {
    const QColor felt(0x3A, 0x3F, 0x4A);
    s.shape(ellipse({60, 94}, 52, 12), felt);
    s.shape(polygon({{32, 24}, {88, 24}, {84, 94}, {36, 94}}), felt);
    s.fill(polygon({{40, 30}, {48, 30}, {46, 66}, {41, 66}}), QColor(0x5E, 0x66, 0x76));
    s.shape(polygon({{34, 68}, {86, 68}, {85, 82}, {35, 82}}), QColor(0xD8, 0x34, 0x3C), 3);
    s.shape(ellipse({60, 24}, 28, 7), QColor(0x4A, 0x50, 0x5E));
}

void paintBowTie(const Sketch& s) {
    const QColor cloth(0xE0, 0x40, 0x4A), dots(0xFF, 0xF2, 0xF2);
    QPainterPath wing(QPointF(54, 50));
    wing.cubicTo(36, 30, 14, 22, 10, 38);
    wing.cubicTo(6, 52, 6, 70, 10, 82);
    wing.cubicTo(14, 98, 36, 90, 54, 70);
    wing.closeSubpath();
    for (const bool right : {false, true}) {
        s.shape(right ? mirrored(wing) : wing, cloth);
        for (const QPointF at : {QPointF(24, 44), QPointF(22, 74), QPointF(38, 60)})
            s.fill(circle(right ? QPointF(kSide - at.x(), at.y()) : at, 4.5), dots);
    }
    s.shape(roundedBox(49, 45, 22, 30, 7), QColor(0xB8, 0x2E, 0x38));
}

void paintSunglasses(const Sketch& s) {
    const QColor lens(0x26, 0x34, 0x48), glint(0xA8, 0xC8, 0xE8);
    s.stroke(curve({52, 50}, {60, 42}, {68, 50}), kOutline, 6);
    s.stroke(line({8, 46}, {2, 38}), kOutline, 5);
    s.stroke(line({112, 46}, {118, 38}), kOutline, 5);
    for (const double x : {6.0, 66.0}) {
        s.shape(roundedBox(x, 40, 48, 36, 14), lens, 5);
        s.stroke(line({x + 12, 62}, {x + 24, 48}), glint, 4);
        s.stroke(line({x + 22, 66}, {x + 30, 56}), glint, 3);
    }
}

void paintCrown(const Sketch& s) {
    const QColor gold(0xF5, 0xC5, 0x30), band(0xE0, 0xA0, 0x20);
    for (const QPointF tip : {QPointF(14, 36), QPointF(60, 18), QPointF(106, 36)})
        s.shape(circle(tip, 6), gold, 3);
    s.shape(polygon({{14, 94}, {14, 38}, {37, 62}, {60, 20}, {83, 62}, {106, 38}, {106, 94}}),
            gold);
    s.shape(polygon({{14, 78}, {106, 78}, {106, 98}, {14, 98}}), band);
    s.shape(circle({60, 88}, 6.5), QColor(0xE0, 0x30, 0x40), 2.5);
    s.shape(circle({34, 88}, 5), QColor(0x30, 0x80, 0xE0), 2.5);
    s.shape(circle({86, 88}, 5), QColor(0x30, 0xB0, 0x60), 2.5);
}

// ---- Face

const QColor kFaceYellow(0xFF, 0xD4, 0x3B);

void paintSmiley(const Sketch& s) {
    s.shape(circle({60, 60}, 52), kFaceYellow);
    for (const double x : {30.0, 90.0})
        s.fill(circle({x, 72}, 8), QColor(0xF7, 0xA8, 0x80));
    for (const double x : {43.0, 77.0})
        s.fill(ellipse({x, 46}, 6, 10), kOutline);
    s.stroke(curve({32, 70}, {60, 100}, {88, 70}), kOutline, 5);
}

void paintHeartEyes(const Sketch& s) {
    s.shape(circle({60, 60}, 52), kFaceYellow);
    for (const double x : {40.0, 80.0})
        s.shape(heart({x, 48}, 28), QColor(0xE8, 0x34, 0x4A), 3);
    QPainterPath mouth(QPointF(34, 72));
    mouth.quadTo(60, 108, 86, 72);
    mouth.closeSubpath();
    s.shape(mouth, QColor(0x8E, 0x24, 0x30));
    s.fill(ellipse({60, 88}, 10, 5), QColor(0xF0, 0x7C, 0x8C));
}

void paintMoustache(const Sketch& s) {
    QPainterPath half(QPointF(60, 50));
    half.cubicTo(50, 40, 32, 42, 24, 56);
    half.cubicTo(18, 66, 8, 64, 8, 54);
    half.cubicTo(2, 70, 18, 84, 36, 76);
    half.cubicTo(46, 72, 54, 70, 60, 74);
    half.closeSubpath();
    const QPainterPath whole = half.united(mirrored(half));
    s.shape(whole, QColor(0x6B, 0x42, 0x26));
    s.fill(ellipse({40, 56}, 10, 4, -15), QColor(0x8E, 0x5E, 0x3A));
    s.fill(ellipse({80, 56}, 10, 4, 15), QColor(0x8E, 0x5E, 0x3A));
}

void paintLips(const Sketch& s) {
    QPainterPath upper(QPointF(8, 60));
    upper.cubicTo(28, 38, 46, 32, 60, 46);
    upper.cubicTo(74, 32, 92, 38, 112, 60);
    upper.cubicTo(80, 66, 40, 66, 8, 60);
    QPainterPath lower(QPointF(8, 60));
    lower.cubicTo(40, 66, 80, 66, 112, 60);
    lower.cubicTo(90, 94, 30, 94, 8, 60);
    s.shape(lower, QColor(0xF0, 0x40, 0x5E));
    s.shape(upper, QColor(0xD8, 0x24, 0x46));
    s.fill(ellipse({74, 76}, 12, 4, -6), QColor(0xF8, 0xA0, 0xB0));
}

// ---- Mark

void paintStar(const Sketch& s) {
    s.shape(star({60, 64}, 56, 23, 5), QColor(0xFF, 0xC8, 0x3D));
    s.fill(star({52, 56}, 12, 5, 5), QColor(0xFF, 0xEC, 0xA8));
}

void paintHeart(const Sketch& s) {
    s.shape(heart({60, 62}, 104), QColor(0xE8, 0x34, 0x4A));
    s.fill(ellipse({36, 40}, 9, 14, 35), QColor(0xF6, 0x9A, 0xA4));
}

void paintArrow(const Sketch& s) {
    s.shape(polygon({{8, 46}, {64, 46}, {64, 22}, {112, 60}, {64, 98}, {64, 74}, {8, 74}}),
            QColor(0x3F, 0x8E, 0xE8));
    s.fill(polygon({{14, 52}, {68, 52}, {68, 36}, {96, 58}, {62, 58}, {14, 58}}),
           QColor(0x8C, 0xC0, 0xF4));
}

void paintTick(const Sketch& s) {
    QPainterPath tick(QPointF(20, 62));
    tick.lineTo(46, 90);
    tick.lineTo(102, 28);
    s.outlinedStroke(tick, QColor(0x3C, 0xB4, 0x4A), 16);
}

void paintSpeechBubble(const Sketch& s) {
    const QPainterPath bubble =
        roundedBox(6, 12, 108, 72, 22).united(polygon({{28, 76}, {18, 110}, {58, 80}}));
    s.shape(bubble, QColor(0xFA, 0xFA, 0xFA));
    for (const double x : {38.0, 60.0, 82.0})
        s.fill(circle({x, 48}, 6.5), QColor(0x4A, 0x58, 0x6C));
}

// ---- Other

void paintFlower(const Sketch& s) {
    const QColor green(0x4C, 0xAF, 0x50);
    s.shape(roundedBox(56, 60, 8, 56, 3), green, 3);
    s.shape(ellipse({78, 98}, 16, 7, -30), green, 3);
    s.shape(ellipse({42, 90}, 14, 6, 30), green, 3);
    for (int petal = 0; petal < 6; ++petal) {
        const double angle = kPi / 3 * petal;
        s.shape(circle({60 + 22 * std::cos(angle), 44 + 22 * std::sin(angle)}, 15),
                QColor(0xF2, 0x7A, 0xA8));
    }
    s.shape(circle({60, 44}, 14), QColor(0xFF, 0xD4, 0x3B));
}

void paintBalloon(const Sketch& s) {
    const QColor rubber(0xE8, 0x34, 0x4A);
    QPainterPath string(QPointF(60, 94));
    string.cubicTo(50, 102, 70, 108, 58, 118);
    s.stroke(string, kOutline, 2.5);
    s.shape(polygon({{53, 96}, {67, 96}, {60, 86}}), rubber, 3);
    s.shape(ellipse({60, 48}, 38, 42), rubber);
    s.fill(ellipse({44, 30}, 7, 13, 30), QColor(0xF8, 0xA0, 0xA8));
}

void paintSun(const Sketch& s) {
    for (int ray = 0; ray < 12; ++ray) {
        const double angle = kPi / 6 * ray;
        const auto at = [angle](double radius, double turn) {
            return QPointF(60 + radius * std::cos(angle + turn),
                           60 + radius * std::sin(angle + turn));
        };
        s.shape(polygon({at(34, -0.16), at(57, 0), at(34, 0.16)}), QColor(0xFF, 0x9F, 0x1C), 3);
    }
    s.shape(circle({60, 60}, 36), kFaceYellow);
    for (const double x : {48.0, 72.0})
        s.fill(ellipse({x, 54}, 4, 6), kOutline);
    s.stroke(curve({44, 68}, {60, 84}, {76, 68}), kOutline, 4);
}

void paintGift(const Sketch& s) {
    const QColor box(0x3F, 0x8E, 0xE8), lid(0x5A, 0xA4, 0xF0), ribbon(0xFF, 0xD4, 0x3B);
    s.shape(ellipse({44, 26}, 17, 10, 25), ribbon);
    s.shape(ellipse({76, 26}, 17, 10, -25), ribbon);
    s.shape(polygon({{16, 52}, {104, 52}, {104, 114}, {16, 114}}), box);
    s.shape(polygon({{10, 36}, {110, 36}, {110, 56}, {10, 56}}), lid);
    s.shape(polygon({{52, 36}, {68, 36}, {68, 114}, {52, 114}}), ribbon, 3);
    s.shape(circle({60, 32}, 8), ribbon, 3);
}

// ---- The list

struct Drawn {
    const char* category;
    const char* name;
    void (*paint)(const Sketch&);
};

constexpr Drawn kDrawings[] = {
    {"Animal", "cat", paintCat},
    {"Animal", "fish", paintFish},
    {"Animal", "bird", paintBird},
    {"Animal", "butterfly", paintButterfly},
    {"Animal", "ladybird", paintLadybird},
    {"Dress", "top_hat", paintTopHat},
    {"Dress", "bow_tie", paintBowTie},
    {"Dress", "sunglasses", paintSunglasses},
    {"Dress", "crown", paintCrown},
    {"Face", "smiley", paintSmiley},
    {"Face", "heart_eyes", paintHeartEyes},
    {"Face", "moustache", paintMoustache},
    {"Face", "lips", paintLips},
    {"Mark", "star", paintStar},
    {"Mark", "heart", paintHeart},
    {"Mark", "arrow", paintArrow},
    {"Mark", "tick", paintTick},
    {"Mark", "speech_bubble", paintSpeechBubble},
    {"Other", "flower", paintFlower},
    {"Other", "balloon", paintBalloon},
    {"Other", "sun", paintSun},
    {"Other", "gift", paintGift},
};

// ---- The palette file

double distance(QRgb a, QRgb b) {
    const int red = qRed(a) - qRed(b), green = qGreen(a) - qGreen(b), blue = qBlue(a) - qBlue(b);
    return double(red * red + green * green + blue * blue);
}

// The drawing as 8 bits a pixel: index 0 for the ground (and the faintest
// anti-aliased edge), the rest its most frequent colours, opaque, and never
// pure black. Edges become hard, as the editor drops alpha anyway.
QImage toPalette(const QImage& drawing) {
    const QImage argb = drawing.convertToFormat(QImage::Format_ARGB32);
    std::unordered_map<QRgb, int> counts;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) >= 128) ++counts[row[x] | 0xFF000000];
    }
    std::vector<std::pair<QRgb, int>> byCount(counts.begin(), counts.end());
    std::sort(byCount.begin(), byCount.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    QList<QRgb> table = {qRgba(0, 0, 0, 0)};
    for (size_t i = 0; i < byCount.size() && table.size() < kPaletteSize; ++i)
        table.push_back((byCount[i].first & 0x00FFFFFF) == 0 ? kNearBlack : byCount[i].first);

    std::unordered_map<QRgb, uchar> indexOf;
    const auto nearest = [&table, &indexOf](QRgb colour) {
        if (const auto found = indexOf.find(colour); found != indexOf.end()) return found->second;
        int best = 1;
        for (int i = 2; i < table.size(); ++i)
            if (distance(table[i], colour) < distance(table[best], colour)) best = i;
        return indexOf[colour] = uchar(best);
    };
    QImage indexed(argb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            out[x] = qAlpha(row[x]) < 128 || table.size() == 1 ? 0 : nearest(row[x] | 0xFF000000);
    }
    return indexed;
}

QImage draw(const Drawn& drawn) {
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawn.paint(Sketch(painter));
    painter.end();
    return toPalette(image);
}

bool savePng(const fs::path& file, const QImage& image, std::string* reason) {
    QFile out(QString::fromStdString(file.string()));
    QImageWriter writer(&out, "png");
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || !writer.write(image)) {
        *reason = "cannot write " + file.string() + ": " + writer.errorString().toStdString();
        return false;
    }
    return true;
}

// The file as the editor reads it: a palette whose index 0 is transparent,
// and a picture the loader takes.
bool readsBack(const fs::path& file, std::string* reason) {
    QImageReader reader(QString::fromStdString(file.string()));
    const QImage read = reader.read();
    if (read.format() != QImage::Format_Indexed8 || read.colorCount() == 0 ||
        qAlpha(read.color(0)) != 0) {
        *reason = file.string() + " does not read back as a palette picture with index 0 clear";
        return false;
    }
    const Picture loaded = loadPicture(file, reason, AlphaHandling::Keep);
    return !loaded.isNull();
}

}  // namespace

bool writeDecorations(const fs::path& folder, std::string* reason) {
    for (const Drawn& drawn : kDrawings) {
        const fs::path categoryFolder = folder / drawn.category;
        fs::create_directories(categoryFolder);
        const fs::path file = categoryFolder / (std::string(drawn.name) + ".png");
        if (!savePng(file, draw(drawn), reason) || !readsBack(file, reason)) return false;
    }
    return true;
}

}  // namespace velmora::resources
