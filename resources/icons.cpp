#include "icons.h"

#include <QConicalGradient>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "art_tools.h"
#include "command_icons.h"
#include "icon_drawing.h"
#include "image/picture.h"

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

// A sheet of paper with a folded corner; the text lines where they read.
void paintPaper(const Icon& icon) {
    icon.shape(polygon({{9, 3}, {30, 3}, {39, 12}, {39, 45}, {9, 45}}), kPaper);
    icon.shape(polygon({{30, 3}, {30, 12}, {39, 12}}), QColor(0xD2, 0xD7, 0xDE), kPaper.line);
    if (!icon.detailed()) return;
    for (double y : {18.0, 23.0, 28.0, 33.0})
        icon.rule({15, y}, {y == 18.0 ? 26.0 : 33.0, y}, kRule, 2);
}

void paintDocumentNew(const Icon& icon) {
    paintPaper(icon);
    icon.shape(circle({35, 35}, 11), kGreen);
    icon.fill(plus({35, 35}, 6, 3), kWhite);
}

void paintDocumentOpen(const Icon& icon) {
    icon.shape(polygon({{3, 9}, {18, 9}, {21, 12}, {39, 12}, {39, 42}, {3, 42}}), kAmberBack);
    if (icon.atLeast(24)) icon.shape(rectangle(9, 15, 36, 30), kPaper);
    icon.shape(polygon({{10.5, 21}, {45, 21}, {39, 42}, {3, 42}}), kAmber);
}

// The floppy disk of "save".
void paintFloppy(const Icon& icon) {
    icon.shape(polygon({{6, 6}, {36, 6}, {42, 12}, {42, 42}, {6, 42}}), kBlue);
    icon.shape(rectangle(15, 6, 33, 18), kSilver);
    icon.fill(rectangle(27, 9, 30, 15), kBlue.line);
    icon.shape(rectangle(12, 24, 36, 42), kPaper);
    if (!icon.detailed()) return;
    icon.rule({16, 30}, {32, 30}, kRule, 2);
    icon.rule({16, 35}, {32, 35}, kRule, 2);
}

void paintDocumentSave(const Icon& icon) {
    paintFloppy(icon);
}

void paintDocumentSaveAs(const Icon& icon) {
    icon.p.save();
    icon.p.scale(0.8, 0.8);
    paintFloppy(icon);
    icon.p.restore();
    paintPencil(icon, {21, 45});
}

void paintPreferences(const Icon& icon) {
    QPainterPath gear = circle({24, 24}, 16);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QTransform turn;
        turn.translate(24, 24);
        turn.rotate(tooth * 45.0);
        gear = gear.united(turn.map(rectangle(-4.5, -22, 4.5, -10, 1)));
    }
    gear = gear.subtracted(circle({24, 24}, 6.5));
    icon.shape(gear, kSteel);
    if (icon.detailed()) {
        icon.p.setPen(QPen(kSteel.line, icon.line()));
        icon.p.setBrush(Qt::NoBrush);
        icon.p.drawEllipse(QPointF(24, 24), 11.5, 11.5);
        icon.p.setPen(Qt::NoPen);
    }
}

void paintExit(const Icon& icon) {
    icon.shape(rectangle(6, 3, 30, 45), kSteel);
    icon.shape(rectangle(9, 6, 27, 45), kSlate);
    icon.shape(
        polygon({{15, 19.5}, {33, 19.5}, {33, 10}, {46, 24}, {33, 38}, {33, 28.5}, {15, 28.5}}),
        kRed);
}

void paintHelpContents(const Icon& icon) {
    // An open book: a blue cover under two pages.
    icon.shape(polygon({{2, 13}, {24, 16}, {46, 13}, {46, 41}, {24, 44}, {2, 41}}), kBlue);
    QPainterPath left;
    left.moveTo(5, 9);
    left.cubicTo(12, 8, 19, 9, 23, 13);
    left.lineTo(23, 40);
    left.cubicTo(19, 36, 12, 35, 5, 36);
    left.closeSubpath();
    icon.shape(left, kPaper);
    icon.shape(QTransform(-1, 0, 0, 1, 48, 0).map(left), kPaper);
    if (!icon.detailed()) return;
    for (double y : {17.0, 22.0, 27.0, 32.0}) {
        icon.rule({9, y - 1}, {19, y}, kRule, 1.5);
        icon.rule({29, y}, {39, y - 1}, kRule, 1.5);
    }
}

void paintHelpAbout(const Icon& icon) {
    icon.shape(circle({24, 24}, 21), kBlue);
    icon.p.fillPath(circle({24, 13.5}, 3.5), kWhite);
    icon.p.fillPath(rectangle(20.5, 19.5, 27.5, 37.5, 1.5), kWhite);
}

// A light bulb: a tip.
void paintHelpFaq(const Icon& icon) {
    QPainterPath glass = circle({24, 18}, 14.5);
    glass = glass.united(polygon({{14, 27}, {34, 27}, {30.5, 34.5}, {17.5, 34.5}}));
    icon.shape(glass, kYellow);
    if (icon.atLeast(24)) {
        icon.p.setPen(QPen(withAlpha(kWhite, 0.8), 2.5, Qt::SolidLine, Qt::RoundCap));
        icon.p.setBrush(Qt::NoBrush);
        icon.p.drawArc(QRectF(14, 8, 20, 20), 100 * 16, 70 * 16);
        icon.p.setPen(Qt::NoPen);
    }
    icon.shape(rectangle(16.5, 33, 31.5, 45, 2), kSteel);
    if (icon.atLeast(24)) {
        icon.rule({17, 37}, {31, 37}, kSteel.line, icon.line());
        icon.rule({17, 41}, {31, 41}, kSteel.line, icon.line());
    }
}

void paintSoftwareUpdate(const Icon& icon) {
    icon.shape(circle({24, 24}, 21), kGreen);
    // A clockwise arrow round three quarters of a circle.
    icon.p.setPen(QPen(kWhite, 6, Qt::SolidLine, Qt::FlatCap));
    icon.p.setBrush(Qt::NoBrush);
    icon.p.drawArc(QRectF(13.5, 13.5, 21, 21), 90 * 16, -250 * 16);
    icon.p.setPen(Qt::NoPen);
    icon.p.fillPath(polygon({{5.5, 26}, {20.5, 26}, {13, 16}}), kWhite);
}

void paintPhotos(const Icon& icon) {
    if (icon.atLeast(24)) {
        icon.p.save();
        icon.p.translate(24, 24);
        icon.p.rotate(-10);
        icon.p.translate(-24, -24);
        icon.shape(rectangle(9, 6, 45, 33), kPaper);
        icon.p.restore();
        paintPhoto(icon, QRectF(QPointF(3, 15), QPointF(39, 42)));
    } else {
        paintPhoto(icon, QRectF(QPointF(3, 9), QPointF(45, 39)));
    }
}

// A four-pointed star at `centre`.
QPainterPath sparkle(QPointF centre, double radius) {
    const double waist = radius * 0.28;
    const double x = centre.x();
    const double y = centre.y();
    return polygon({{x, y - radius},
                    {x + waist, y - waist},
                    {x + radius, y},
                    {x + waist, y + waist},
                    {x, y + radius},
                    {x - waist, y + waist},
                    {x - radius, y},
                    {x - waist, y - waist}});
}

// A magic wand with a star: the page where pictures get their motion
// and transitions.
void paintEffects(const Icon& icon) {
    // At 16 px the wand is thicker and the star larger, or both fade.
    const double half = icon.atLeast(24) ? 3.5 : 4.5;
    icon.p.save();
    icon.p.translate(6, 42);
    icon.p.rotate(-45);
    icon.shape(rectangle(-1, -half, 31, half, 1.5), kSlate);
    icon.shape(rectangle(24, -half, 31, half, 1.5), kPaper);
    icon.p.restore();
    icon.shape(sparkle({33, 15}, icon.atLeast(24) ? 13 : 15), kYellow);
    if (icon.atLeast(24)) {
        icon.shape(sparkle({12, 11}, 6.5), kPurple);
        icon.shape(sparkle({40, 37}, 6.5), kPurple);
    }
}

// Two beamed eighth notes.
void paintMusic(const Icon& icon) {
    QPainterPath notes;
    for (QPointF head : {QPointF(13, 38), QPointF(36, 34)}) {
        QTransform place;
        place.translate(head.x(), head.y());
        place.rotate(-22);
        notes = notes.united(place.map(ellipse({0, 0}, 7.5, 5.5)));
        notes = notes.united(rectangle(head.x() + 3, head.y() - 28, head.x() + 7, head.y() - 1));
    }
    notes = notes.united(polygon({{16, 10}, {43, 4}, {43, 12}, {16, 18}}));
    icon.shape(notes, kPurple);
}

// A television showing a menu: a title and four buttons.
void paintMenu(const Icon& icon) {
    icon.shape(rectangle(3, 6, 45, 39, 3), kTeal);
    icon.fill(rectangle(18, 38, 30, 42), kSteel.line);
    icon.shape(rectangle(12, 41, 36, 45, 1), kSteel);
    const QColor button(0xE9, 0xF6, 0xF5);
    if (icon.atLeast(24)) {
        icon.fill(rectangle(12, 11, 36, 14), button);
        for (double left : {9.0, 27.0})
            for (double top : {18.0, 27.0})
                icon.fill(rectangle(left, top, left + 12, top + 6), button);
    } else {
        for (double left : {9.0, 27.0})
            for (double top : {12.0, 24.0})
                icon.fill(rectangle(left, top, left + 12, top + 9), button);
    }
}

// A disc with its hole cut out; a rainbow sheen on the larger sizes.
void paintDisc(const Icon& icon, QPointF centre, double radius) {
    const QPainterPath disc = circle(centre, radius).subtracted(circle(centre, radius * 0.2));
    if (icon.atLeast(32)) {
        QConicalGradient sheen(centre, 30);
        const QColor tints[] = {{0xE3, 0xE7, 0xEE}, {0xC8, 0xE4, 0xF4}, {0xF1, 0xF3, 0xF6},
                                {0xE9, 0xD6, 0xF0}, {0xCF, 0xD6, 0xE0}, {0xF4, 0xE9, 0xCF},
                                {0xE3, 0xE7, 0xEE}};
        for (int i = 0; i < 7; ++i)
            sheen.setColorAt(i / 6.0, tints[i]);
        icon.shape(disc, sheen, kSilver.line);
    } else {
        // Darker than the sheen's tints: a pale disc fades on a light panel.
        icon.shape(disc, QColor(0xBE, 0xC6, 0xD1), kSilver.line);
    }
    const QPainterPath hub =
        circle(centre, radius * 0.42).subtracted(circle(centre, radius * 0.2 - icon.line()));
    icon.p.fillPath(hub, QColor(0xB9, 0xC2, 0xCE));
    if (icon.atLeast(24)) {
        icon.p.setPen(QPen(kSilver.line, icon.line() * 0.75));
        icon.p.setBrush(Qt::NoBrush);
        icon.p.drawEllipse(centre, radius * 0.42, radius * 0.42);
        icon.p.setPen(Qt::NoPen);
    }
}

QPainterPath flame() {
    QPainterPath path;
    path.moveTo(36, 46.5);
    path.cubicTo(29, 46.5, 25, 41, 27, 35);
    path.cubicTo(28, 31.5, 30, 30, 30.5, 26);
    path.cubicTo(33, 28, 34, 30.5, 34, 33);
    path.cubicTo(36, 29, 37, 24.5, 36.5, 20);
    path.cubicTo(42, 24, 46.5, 30, 45.5, 37.5);
    path.cubicTo(45, 43, 41, 46.5, 36, 46.5);
    path.closeSubpath();
    return path;
}

void paintBurn(const Icon& icon) {
    paintDisc(icon, {22.5, 22.5}, 20.5);
    icon.shape(flame(), kOrange);
    if (icon.atLeast(24)) {
        QTransform inner;
        inner.translate(37, 45);
        inner.scale(0.5, 0.5);
        inner.translate(-37, -45);
        icon.p.fillPath(inner.map(flame()), kSun);
    }
}

// A blank disc: what a writer writes on.
void paintMediaOptical(const Icon& icon) {
    paintDisc(icon, {24, 24}, 21);
}

// An arrow running round: look again.
void paintViewRefresh(const Icon& icon) {
    QPainterPath arc;
    arc.arcMoveTo(QRectF(8, 9, 32, 32), 70);
    arc.arcTo(QRectF(8, 9, 32, 32), 70, 290);
    QPainterPathStroker stroke;
    stroke.setWidth(6.5);
    stroke.setCapStyle(Qt::FlatCap);
    icon.shape(stroke.createStroke(arc), kBlue);
    // The head at the arc's open end, pointing on round.
    icon.shape(polygon({{22, 1.5}, {36, 10}, {22, 19}}), kBlue);
}

// The application: a photograph laid on a DVD.
void paintApplication(const Icon& icon) {
    paintDisc(icon, {29, 19}, 18);
    icon.p.save();
    icon.p.translate(19, 33);
    icon.p.rotate(-8);
    icon.p.translate(-19, -33);
    paintPhoto(icon, QRectF(QPointF(2, 20), QPointF(35, 45)));
    icon.p.restore();
}

struct IconDesign {
    const char* name;
    void (*paint)(const Icon&);
};

bool writeIcon(const fs::path& file, int sizePx, const IconDesign& design, std::string* reason) {
    QImage image(sizePx, sizePx, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.scale(sizePx / kGrid, sizePx / kGrid);
    design.paint(Icon(painter, sizePx));
    painter.end();
    return Picture(image).savePng(file, reason);
}

}  // namespace

bool writeIcons(const fs::path& iconsFolder, std::string* reason) {
    const IconDesign commands[] = {
        {"document-new", paintDocumentNew},
        {"document-open", paintDocumentOpen},
        {"document-save", paintDocumentSave},
        {"document-save-as", paintDocumentSaveAs},
        {"preferences-system", paintPreferences},
        {"application-exit", paintExit},
        {"help-contents", paintHelpContents},
        {"help-about", paintHelpAbout},
        {"help-faq", paintHelpFaq},
        {"system-software-update", paintSoftwareUpdate},
        {"folder-open", paintFolderOpen},
        {"list-add", paintListAdd},
        {"list-remove", paintListRemove},
        {"go-up", paintGoUp},
        {"go-down", paintGoDown},
        {"insert-image", paintInsertImage},
        {"edit-delete", paintEditDelete},
        {"view-sort-ascending", paintSortAscending},
        {"object-rotate-left", paintRotateLeft},
        {"object-rotate-right", paintRotateRight},
        {"document-edit", paintDocumentEdit},
        {"view-list-icons", paintViewListIcons},
        {"view-list-details", paintViewListDetails},
        {"insert-text", paintInsertText},
        {"media-playback-start", paintPlaybackStart},
        {"media-playback-stop", paintPlaybackStop},
        {"media-optical", paintMediaOptical},
        {"view-refresh", paintViewRefresh},
        {"velmora-photos", paintPhotos},
        {"velmora-effects", paintEffects},
        {"velmora-music", paintMusic},
        {"velmora-menu", paintMenu},
        {"velmora-burn", paintBurn},
    };
    const IconDesign application{"velmora", paintApplication};
    for (int sizePx : {16, 24, 32, 48, 64, 128, 256}) {
        const fs::path folder =
            iconsFolder / (std::to_string(sizePx) + "x" + std::to_string(sizePx));
        fs::create_directories(folder);
        if (sizePx <= 48)
            for (const IconDesign& design : commands)
                if (!writeIcon(folder / (std::string(design.name) + ".png"), sizePx, design,
                               reason))
                    return false;
        if (!writeIcon(folder / "velmora.png", sizePx, application, reason)) return false;
    }
    return true;
}

}  // namespace velmora::resources
