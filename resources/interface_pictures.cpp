#include "interface_pictures.h"

#include "image/picture.h"
#include "theme_art.h"

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

const QSize kNtsc(720, 480);
const QSize kPal(720, 576);

// Deep slate blue with soft round lights: the menu background when no theme
// picture is at hand.
const BackdropLook kMenuLook{.top = {26, 40, 70},
                             .middle = {22, 46, 78},
                             .bottom = {14, 28, 50},
                             .light = {120, 150, 200, 90},
                             .lightAt = {0.35, 0.2},
                             .lightRadius = 0.7,
                             .pattern = Pattern::Bokeh,
                             .patternColour = {150, 180, 220, 28},
                             .vignette = {0, 0, 10, 120},
                             .shadow = {0, 0, 0, 0},
                             .rule = {0, 0, 0, 0},
                             .grain = 2};

// The composer's stand-in for a background it cannot load: a quiet
// grey-blue, so that a missing picture looks deliberate, not broken.
const BackdropLook kFallbackLook{.top = {150, 164, 182},
                                 .middle = {124, 140, 160},
                                 .bottom = {96, 110, 130},
                                 .light = {220, 226, 232, 90},
                                 .lightAt = {0.5, 0.2},
                                 .lightRadius = 0.7,
                                 .pattern = Pattern::None,
                                 .patternColour = {},
                                 .vignette = {40, 50, 70, 80},
                                 .shadow = {0, 0, 0, 0},
                                 .rule = {0, 0, 0, 0},
                                 .grain = 2};

const BackdropLook kSandLook{.top = {206, 190, 162},
                             .middle = {190, 170, 140},
                             .bottom = {160, 138, 110},
                             .light = {236, 226, 200, 110},
                             .lightAt = {0.6, 0.15},
                             .lightRadius = 0.7,
                             .pattern = Pattern::Bokeh,
                             .patternColour = {240, 230, 200, 40},
                             .vignette = {90, 70, 40, 70},
                             .shadow = {0, 0, 0, 0},
                             .rule = {0, 0, 0, 0},
                             .grain = 2};

bool writeClearCanvas(const fs::path& file, QSize size, std::string* reason) {
    QImage canvas(size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    return Picture(canvas).savePng(file, reason);
}

bool writeBackground(const fs::path& file, const BackdropLook& look, QSize size,
                     std::string* reason) {
    return Picture(paintBackground(look, ArtLayout{size, {}, {}, {}})).saveJpeg(file, 92, reason);
}

// A frame like the themes' large slideshow frames on a neutral ground.
bool writePictureFrame(const fs::path& file, const FrameLook& look, std::string* reason) {
    const QSize size(227, 180);
    QImage ground = paintBackground(kFallbackLook, ArtLayout{size, {}, {}, {}});
    return Picture(paintFrame(look, ground, {QRect(QPoint(), size)})).saveJpeg(file, 92, reason);
}

}  // namespace

bool writeInterfacePictures(const fs::path& resourceFolder, std::string* reason) {
    const fs::path menu = resourceFolder / "menu_pic";
    const fs::path res = resourceFolder / "res";
    fs::create_directories(menu);
    fs::create_directories(res);
    const FrameLook silver{
        FrameKind::Rounded, {214, 220, 232}, {96, 108, 130}, {14, 18, 28}, {70, 80, 100, 180}};
    const FrameLook gold{
        FrameKind::Rounded, {232, 204, 130}, {150, 110, 50}, {34, 28, 22}, {120, 86, 40, 170}};
    return writeClearCanvas(menu / "NTSC_BG.png", kNtsc, reason) &&
           writeClearCanvas(menu / "PAL_BG.png", kPal, reason) &&
           writeBackground(menu / "ntsc_menu_background.jpg", kMenuLook, kNtsc, reason) &&
           writeBackground(menu / "pal_menu_background.jpg", kMenuLook, kPal, reason) &&
           writeBackground(res / "background1.jpg", kFallbackLook, kPal, reason) &&
           writeBackground(res / "background2.jpg", kSandLook, kPal, reason) &&
           writePictureFrame(res / "PictureFrame1.jpg", silver, reason) &&
           writePictureFrame(res / "PictureFrame2.jpg", gold, reason);
}

}  // namespace velmora::resources
