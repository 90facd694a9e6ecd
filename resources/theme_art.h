#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

namespace velmora::resources {

// The drawing of the menu themes and the other menu pictures. Everything is
// painted on pictures of DVD frame size (720 × 480 or 720 × 576), whose
// pixels are not square on the television: round things are drawn round as
// the viewer sees them, and every colour stays inside the range a TV shows
// (no pure white, nothing darker than video black).

// How wide a pixel of a picture of `frame` size shows, relative to its
// height: a DVD frame (720 wide) fills a 4:3 screen, so 0.89 for 720 × 480
// and 1.07 for 720 × 576; other pictures have square pixels.
double pixelAspect(QSize frame);

// The opening of a slideshow button that the menu composer fills with the
// slideshow's cover: 187 × 146 background pixels in slots of at least
// 192 × 151, else 147 × 110, centred in the slot. Slot-relative.
QRect coverWindow(QSize slot);

// What decorates the ground of a background.
enum class Pattern { None, Bokeh, Stars, Flourishes, Curtains, Leaves, Clouds, Snow };

struct BackdropLook {
    QColor top, middle, bottom;  // the vertical gradient of the ground
    QColor light;                // a soft light; its alpha is its strength
    QPointF lightAt;             // its centre, as fractions of width and height
    double lightRadius = 0.5;    // as a fraction of the height
    Pattern pattern = Pattern::Stars;
    QColor patternColour;
    QColor vignette;  // the darkening of the edges (alpha = strength)
    QColor shadow;    // under the buttons
    QColor rule;      // the ornament under the title
    int grain = 2;    // noise amplitude in levels: hides banding, gives paper its tooth
};

enum class FrameKind {
    Rounded,  // a metal frame with rounded corners and a bevelled opening
    Film,     // a film frame with sprocket holes above and below
    Card,     // a mounted card with a sprig above the opening and a rule below
};

struct FrameLook {
    FrameKind kind = FrameKind::Rounded;
    QColor light, dark;  // the frame's material, lit and in shade
    QColor window;       // the opening before a cover is placed in it
    QColor accent;       // engraving, sprocket holes, the card's ornaments
};

struct ArrowLook {
    QColor top, bottom;  // the disc of the button
    QColor ring;
    QColor arrow;
};

// Where things stand on a background, in its pixels.
struct ArtLayout {
    QSize frame;
    QRect title;
    std::vector<QRect> buttons;
    std::vector<QRect> controls;
};

// The theme background: ground, light, pattern, the ornament under the
// title and soft shadows under the buttons and controls.
QImage paintBackground(const BackdropLook& look, const ArtLayout& layout);

// The frame picture of a slideshow button, of the slots' size. The composer
// draws this one picture in every slot, so what shows of the background at
// its rounded corners is the background averaged over all the slots; the
// background around each slot's corners is eased towards it (so the
// background is changed, and the pictures cut from it are cut afterwards).
QImage paintFrame(const FrameLook& look, QImage& background, const std::vector<QRect>& buttonSlots);

// A Previous (pointsLeft) or Next button for `box`: a round button on the
// part of the background it covers, so that it sits seamlessly on it.
QImage paintArrowButton(const ArrowLook& look, const QImage& background, QRect box,
                        bool pointsLeft);

// A small landscape standing in for a slideshow cover in the previews.
void paintSampleCover(QPainter& painter, QRect window, int variant);

// Brings every pixel into the range 16..235 a television shows.
void makeBroadcastSafe(QImage& image);
// The same for a picture with transparent parts, which keep their alpha.
void makeBroadcastSafeKeepingAlpha(QImage& image);

}  // namespace velmora::resources
