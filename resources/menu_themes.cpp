#include "menu_themes.h"

#include <QPainter>
#include <fstream>
#include <vector>

#include "image/font_record.h"
#include "image/picture.h"
#include "theme_art.h"

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

const QSize kNtsc(720, 480);
const QSize kPal(720, 576);
// Shown at 70 × 70 in the theme list; a little larger keeps it sharp.
const QSize kPreviewSize(160, 120);

struct TextStyle {
    int fontSize = 24;  // cell height in background pixels
    int weight = 700;
    bool italic = false;
    QColor colour;
};

// One theme: its layout in background pixels, its texts and its look. All
// layouts keep titles, buttons, captions and controls inside the title-safe
// area (a tenth of the frame in from every edge).
struct ThemeDesign {
    const char* folder;
    const char* title;
    QSize frame;
    QRect titleBox;
    TextStyle titleStyle;
    std::vector<QRect> buttons;
    int captionHeight;
    TextStyle captionStyle;
    QRect previous, next;
    BackdropLook backdrop;
    FrameLook frameLook;
    ArrowLook arrows;
};

// `columns` × `rows` slots of `slot` size, centred across the frame with
// `gap` between them; the first row at `top`, rows `rowStep` apart.
std::vector<QRect> grid(int columns, int rows, QSize slot, int gap, int top, int rowStep) {
    const int left = (720 - columns * slot.width() - (columns - 1) * gap) / 2;
    std::vector<QRect> rects;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            rects.emplace_back(QPoint(left + column * (slot.width() + gap), top + row * rowStep),
                               slot);
    return rects;
}

// The caption of a slot sits just under it, as wide as the slot.
QRect captionBox(const QRect& slot, int height) {
    return {slot.x(), slot.y() + slot.height() + 3, slot.width(), height};
}

// Night blue with stars; four silver frames.
ThemeDesign twilight() {
    return {
        .folder = "00_twilight",
        .title = "My Photo Album",
        .frame = kPal,
        .titleBox = {72, 62, 576, 56},
        .titleStyle = {46, 700, false, {232, 226, 206}},
        .buttons = grid(2, 2, {181, 138}, 48, 140, 190),
        .captionHeight = 30,
        .captionStyle = {24, 700, false, {214, 220, 232}},
        .previous = {78, 281, 60, 46},
        .next = {582, 281, 60, 46},
        .backdrop = {.top = {14, 22, 52},
                     .middle = {20, 44, 82},
                     .bottom = {16, 62, 90},
                     .light = {110, 140, 210, 110},
                     .lightAt = {0.5, 0.12},
                     .lightRadius = 0.55,
                     .pattern = Pattern::Stars,
                     .patternColour = {220, 226, 240, 200},
                     .vignette = {0, 0, 10, 140},
                     .shadow = {0, 0, 0, 150},
                     .rule = {214, 196, 140, 220},
                     .grain = 2},
        .frameLook =
            {FrameKind::Rounded, {214, 220, 232}, {96, 108, 130}, {14, 18, 28}, {70, 80, 100, 180}},
        .arrows = {{96, 124, 180}, {36, 52, 96}, {206, 214, 228}, {234, 234, 226}},
    };
}

// Warm paper with a double border; two large gilt frames.
ThemeDesign ivory() {
    return {
        .folder = "01_ivory",
        .title = "Our Memories",
        .frame = kNtsc,
        .titleBox = {72, 52, 576, 52},
        .titleStyle = {42, 700, true, {92, 64, 40}},
        .buttons = grid(2, 1, {227, 180}, 56, 132, 0),
        .captionHeight = 28,
        .captionStyle = {22, 700, false, {84, 60, 40}},
        .previous = {84, 374, 60, 44},
        .next = {576, 374, 60, 44},
        .backdrop = {.top = {234, 226, 204},
                     .middle = {226, 214, 186},
                     .bottom = {210, 192, 160},
                     .light = {250, 244, 226, 120},
                     .lightAt = {0.5, 0.15},
                     .lightRadius = 0.6,
                     .pattern = Pattern::Flourishes,
                     .patternColour = {140, 104, 60, 120},
                     .vignette = {120, 90, 50, 70},
                     .shadow = {80, 56, 30, 90},
                     .rule = {150, 110, 60, 220},
                     .grain = 4},
        .frameLook =
            {FrameKind::Rounded, {232, 204, 130}, {150, 110, 50}, {34, 28, 22}, {120, 86, 40, 170}},
        .arrows = {{196, 156, 92}, {136, 98, 48}, {112, 80, 40}, {244, 236, 214}},
    };
}

// A dark stage between curtains; six film frames.
ThemeDesign cinema() {
    return {
        .folder = "02_cinema",
        .title = "Family Pictures",
        .frame = kPal,
        .titleBox = {72, 58, 576, 46},
        .titleStyle = {40, 700, false, {230, 186, 104}},
        .buttons = grid(3, 2, {181, 138}, 14, 122, 176),
        .captionHeight = 28,
        .captionStyle = {22, 700, false, {214, 208, 196}},
        .previous = {290, 474, 60, 42},
        .next = {370, 474, 60, 42},
        .backdrop = {.top = {30, 28, 34},
                     .middle = {20, 19, 23},
                     .bottom = {12, 12, 14},
                     .light = {150, 120, 80, 70},
                     .lightAt = {0.5, 0.0},
                     .lightRadius = 0.7,
                     .pattern = Pattern::Curtains,
                     .patternColour = {110, 36, 46},
                     .vignette = {0, 0, 0, 160},
                     .shadow = {0, 0, 0, 180},
                     .rule = {210, 160, 80, 220},
                     .grain = 3},
        .frameLook = {FrameKind::Film, {44, 42, 46}, {20, 20, 22}, {10, 10, 12}, {176, 170, 158}},
        .arrows = {{226, 178, 96}, {160, 110, 44}, {240, 214, 160}, {34, 26, 18}},
    };
}

// Sage green with leafy sprays; two upright cards.
ThemeDesign garden() {
    return {
        .folder = "03_garden",
        .title = "In the Garden",
        .frame = kNtsc,
        .titleBox = {72, 50, 576, 50},
        .titleStyle = {40, 700, false, {52, 84, 56}},
        .buttons = grid(2, 1, {171, 226}, 96, 116, 0),
        .captionHeight = 28,
        .captionStyle = {22, 700, false, {48, 72, 50}},
        .previous = {84, 384, 60, 44},
        .next = {576, 384, 60, 44},
        .backdrop = {.top = {222, 232, 208},
                     .middle = {204, 222, 190},
                     .bottom = {176, 204, 164},
                     .light = {246, 240, 200, 150},
                     .lightAt = {0.2, 0.05},
                     .lightRadius = 0.8,
                     .pattern = Pattern::Leaves,
                     .patternColour = {92, 138, 84, 150},
                     .vignette = {60, 90, 50, 60},
                     .shadow = {40, 70, 40, 90},
                     .rule = {84, 124, 76, 220},
                     .grain = 2},
        .frameLook =
            {FrameKind::Card, {236, 232, 218}, {218, 212, 192}, {30, 36, 30}, {96, 136, 86}},
        .arrows = {{120, 164, 106}, {70, 112, 64}, {236, 232, 214}, {240, 238, 224}},
    };
}

// Plum sky over a glowing horizon; four copper frames.
ThemeDesign sunset() {
    return {
        .folder = "04_sunset",
        .title = "Summer Evenings",
        .frame = kNtsc,
        .titleBox = {72, 50, 576, 48},
        .titleStyle = {38, 700, false, {235, 214, 170}},
        .buttons = grid(2, 2, {175, 132}, 56, 104, 166),
        .captionHeight = 26,
        .captionStyle = {20, 700, false, {235, 220, 196}},
        .previous = {80, 231, 60, 44},
        .next = {580, 231, 60, 44},
        .backdrop = {.top = {36, 20, 50},
                     .middle = {100, 42, 70},
                     .bottom = {180, 94, 60},
                     .light = {250, 190, 110, 170},
                     .lightAt = {0.5, 1.0},
                     .lightRadius = 0.45,
                     .pattern = Pattern::Clouds,
                     .patternColour = {230, 130, 120, 110},
                     .vignette = {20, 0, 20, 120},
                     .shadow = {20, 0, 10, 150},
                     .rule = {0, 0, 0, 0},
                     .grain = 2},
        .frameLook =
            {FrameKind::Rounded, {230, 182, 130}, {120, 70, 44}, {20, 12, 14}, {90, 50, 30, 180}},
        .arrows = {{200, 110, 80}, {130, 56, 60}, {240, 214, 180}, {250, 240, 224}},
    };
}

// Frosted blue with snowflakes; six slim silver frames, the arrows beside
// the title.
ThemeDesign frost() {
    return {
        .folder = "05_frost",
        .title = "Winter Album",
        .frame = kNtsc,
        .titleBox = {150, 50, 420, 46},
        .titleStyle = {36, 700, false, {44, 62, 86}},
        .buttons = grid(3, 2, {171, 128}, 18, 106, 166),
        .captionHeight = 26,
        .captionStyle = {20, 700, false, {40, 56, 80}},
        .previous = {78, 52, 60, 42},
        .next = {582, 52, 60, 42},
        .backdrop = {.top = {226, 232, 238},
                     .middle = {206, 218, 230},
                     .bottom = {170, 190, 212},
                     .light = {250, 252, 255, 150},
                     .lightAt = {0.7, 0.1},
                     .lightRadius = 0.7,
                     .pattern = Pattern::Snow,
                     .patternColour = {150, 176, 206, 170},
                     .vignette = {90, 110, 140, 60},
                     .shadow = {40, 60, 90, 90},
                     .rule = {0, 0, 0, 0},
                     .grain = 2},
        .frameLook = {FrameKind::Rounded,
                      {234, 236, 238},
                      {150, 166, 186},
                      {20, 26, 36},
                      {120, 136, 160, 150}},
        .arrows = {{110, 144, 186}, {62, 90, 132}, {234, 236, 238}, {240, 244, 248}},
    };
}

// ---- config.xml ----------------------------------------------------------

int colorRef(const QColor& colour) {
    return (colour.blue() << 16) | (colour.green() << 8) | colour.red();
}

std::string boxAttributes(const QRect& box) {
    return " X=\"" + std::to_string(box.x()) + "\" Y=\"" + std::to_string(box.y()) + "\" WIDTH=\"" +
           std::to_string(box.width()) + "\" HEIGHT=\"" + std::to_string(box.height()) + "\"";
}

std::string textElement(const std::string& name, const std::string& words, const QRect& box,
                        const TextStyle& style) {
    return "    <" + name + boxAttributes(box) + " FONT_NAME=\"Arial\" FONT_SIZE=\"" +
           std::to_string(style.fontSize) + "\" PM_TEXT_WEIGHT=\"" + std::to_string(style.weight) +
           "\" PM_TEXT_FONT_ITALIC=\"" + (style.italic ? "1" : "0") + "\" FONT_COLOR=\"" +
           std::to_string(colorRef(style.colour)) + "\">" + words + "</" + name + ">\n";
}

std::string captionText(int k) {
    return "Slideshow " + std::to_string(k + 1);
}

// The elements in the order the theme reader looks for them. Picture names
// are relative to the theme's folder, so the installation can move.
std::string configText(const ThemeDesign& design, int index) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<THEME INDEX=\"" + std::to_string(index) + "\">\n";
    text += "  <BACKGROUND_IMAGE>background.jpg</BACKGROUND_IMAGE>\n";
    text += "  <PRVIEW_IMAGE>preview.jpg</PRVIEW_IMAGE>\n";
    text += "  <TITLE_TEXT>\n";
    text += textElement("TITLE", design.title, design.titleBox, design.titleStyle);
    for (size_t k = 0; k < design.buttons.size(); ++k)
        text +=
            textElement("CAPTION" + std::to_string(k + 1), captionText(int(k)),
                        captionBox(design.buttons[k], design.captionHeight), design.captionStyle);
    text += "  </TITLE_TEXT>\n  <DVD_MENU_BUTTONS>\n";
    for (const QRect& slot : design.buttons)
        text += "    <DVD_BUTTON TYPE=\"DVD_BUTTON_IMAGE\"" + boxAttributes(slot) +
                ">frame.png</DVD_BUTTON>\n";
    text += "  </DVD_MENU_BUTTONS>\n  <DVD_CONTROL_BUTTONS>\n";
    text += "    <DVD_CONTROL_BUTTON" + boxAttributes(design.previous) +
            ">previous.png</DVD_CONTROL_BUTTON>\n";
    text +=
        "    <DVD_CONTROL_BUTTON" + boxAttributes(design.next) + ">next.png</DVD_CONTROL_BUTTON>\n";
    text += "  </DVD_CONTROL_BUTTONS>\n</THEME>\n";
    return text;
}

// ---- pictures ------------------------------------------------------------

void drawText(QPainter& painter, const QRect& box, const std::string& words,
              const TextStyle& style) {
    painter.setFont(toQFont(FontRecord{"Arial", style.fontSize, style.weight, style.italic}));
    painter.setPen(style.colour);
    painter.drawText(box, Qt::AlignHCenter | Qt::TextWordWrap, QString::fromStdString(words));
}

// A middle page of the menu as the composer makes it: frames with covers in
// their openings, both arrows, the title and the captions.
QImage samplePage(const ThemeDesign& design, const QImage& background, const QImage& frame,
                  const QImage& previous, const QImage& next) {
    QImage page = background;
    QPainter painter(&page);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (size_t k = 0; k < design.buttons.size(); ++k) {
        const QRect& slot = design.buttons[k];
        painter.drawImage(slot.topLeft(), frame);
        const QRect window = coverWindow(slot.size()).translated(slot.topLeft());
        painter.fillRect(window, Qt::black);
        paintSampleCover(painter, window, int(k));
        drawText(painter, captionBox(slot, design.captionHeight), captionText(int(k)),
                 design.captionStyle);
    }
    painter.drawImage(design.previous.topLeft(), previous);
    painter.drawImage(design.next.topLeft(), next);
    drawText(painter, design.titleBox, design.title, design.titleStyle);
    painter.end();
    return page;
}

bool writeText(const fs::path& file, const std::string& text, std::string* reason) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out) *reason = "cannot write " + file.string();
    return bool(out);
}

bool writeTheme(const ThemeDesign& design, int index, const fs::path& folder,
                const fs::path& looksFolder, std::string* reason) {
    fs::create_directories(folder);
    const ArtLayout layout{
        design.frame, design.titleBox, design.buttons, {design.previous, design.next}};
    QImage background = paintBackground(design.backdrop, layout);
    const QImage frame = paintFrame(design.frameLook, background, design.buttons);
    const QImage previous = paintArrowButton(design.arrows, background, design.previous, true);
    const QImage next = paintArrowButton(design.arrows, background, design.next, false);
    const QImage page = samplePage(design, background, frame, previous, next);
    // The preview shows the page as the screen does, in 4:3.
    const QImage preview =
        page.scaled(kPreviewSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    if (!Picture(background).saveJpeg(folder / "background.jpg", 92, reason) ||
        !Picture(preview).saveJpeg(folder / "preview.jpg", 92, reason) ||
        !Picture(frame).savePng(folder / "frame.png", reason) ||
        !Picture(previous).savePng(folder / "previous.png", reason) ||
        !Picture(next).savePng(folder / "next.png", reason) ||
        !writeText(folder / "config.xml", configText(design, index), reason))
        return false;
    if (looksFolder.empty()) return true;
    fs::create_directories(looksFolder);
    return Picture(page).savePng(looksFolder / (std::string(design.folder) + ".png"), reason);
}

}  // namespace

bool writeMenuThemes(const fs::path& themeFolder, const fs::path& looksFolder,
                     std::string* reason) {
    // The catalogue lists themes by INDEX; the folder names follow the same
    // order. These names are also listed in CMakeLists.txt.
    const ThemeDesign designs[] = {twilight(), ivory(), cinema(), garden(), sunset(), frost()};
    // Themes of an earlier build that are gone from the list must not linger.
    std::error_code ignored;
    fs::remove_all(themeFolder, ignored);
    for (int index = 0; index < int(std::size(designs)); ++index) {
        const ThemeDesign& design = designs[index];
        if (!writeTheme(design, index, themeFolder / design.folder, looksFolder, reason))
            return false;
    }
    return true;
}

}  // namespace velmora::resources
