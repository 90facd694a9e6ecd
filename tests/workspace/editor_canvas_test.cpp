#include "workspace/editor_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "image/picture_files_service.h"
#include "image/picture_fixtures.h"
#include "image/picture_loader.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

// Upside down: what two quarter turns or a half turn make of the quadrants.
constexpr test::Corners kTurnedHalfWay{kWhite, kBlue, kGreen, kRed};

class EditorCanvasTest : public ::testing::Test {
  protected:
    fs::path quadrantsFile(const std::string& name, int width, int height) {
        const fs::path file = folder_ / name;
        fs::create_directories(file.parent_path());
        test::writeWithQt(file, test::quadrants(width, height), "png");
        return file;
    }
    fs::path plainFile(const std::string& name, QSize size, QRgb colour) {
        const fs::path file = folder_ / name;
        test::writeWithQt(file, Picture::filled(size, colour).image(), "png");
        return file;
    }
    // A 60 × 60 clip-art file: a palette picture whose left half is entry 0,
    // right half entry 1, with a black square of entry 2 in the middle.
    fs::path paletteFile(const std::string& name, const QList<QRgb>& palette) {
        QImage image(60, 60, QImage::Format_Indexed8);
        image.setColorTable(palette);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                image.setPixel(x, y, x < 30 ? 0 : 1);
        for (int y = 25; y < 35; ++y)
            for (int x = 25; x < 35; ++x)
                image.setPixel(x, y, 2);
        const fs::path file = folder_ / name;
        EXPECT_TRUE(image.save(QString::fromStdString(file.string()), "png"));
        return file;
    }
    // A canvas showing `file`, loaded without stored edits.
    static void load(EditorCanvas& canvas, const fs::path& file) {
        std::string reason;
        ASSERT_TRUE(canvas.loadPicture(file, {}, &reason)) << reason;
    }
    static void dragMouse(EditorCanvas& canvas, QPoint from, QPoint to) {
        canvas.press(from, false);
        canvas.drag(to);
        canvas.release(to);
    }

    test::TemporaryFolder folder_;
};

TEST(EditorFit, PicturesFitTheFrameByTheirShape) {
    const struct {
        QSize picture;
        int displayW, displayH;
        float scale;
        QPoint framePosition;
    } cases[] = {
        {{4000, 3000}, 640, 480, 6.25f, {30, 20}},
        {{1920, 1080}, 660, 371, 2.909f, {20, 74}},
        {{3000, 4000}, 360, 480, 8.333f, {170, 20}},
        {{100, 50}, 660, 330, 0.1515f, {20, 95}},  // small pictures are enlarged
    };
    for (const auto& c : cases) {
        const EditorFit fit = fitIntoEditorFrame(c.picture);
        EXPECT_EQ(fit.displayW, c.displayW) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(fit.displayH, c.displayH) << c.picture.width() << "x" << c.picture.height();
        EXPECT_NEAR(fit.scale, c.scale, 0.001) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(framePositionOf(fit.displayW, fit.displayH), c.framePosition);
    }
}

TEST_F(EditorCanvasTest, TvRatioCutsTheCropRectangleEquallyOnBothSides) {
    const struct {
        bool wideScreen;
        QSize picture;
        CropRect expected;
    } cases[] = {
        {true, {640, 480}, {0, 60, 640, 420}},     // too high for 16:9: top and bottom go
        {false, {1920, 1080}, {83, 0, 577, 371}},  // too wide for 4:3: the sides go
        {true, {1920, 1080}, {0, 0, 659, 371}},    // 371 × 1.7777778 = 659.5
    };
    for (const auto& c : cases) {
        EditorCanvas canvas(c.wideScreen);
        load(canvas, quadrantsFile("p.png", c.picture.width(), c.picture.height()));
        canvas.setCropMode(true);
        canvas.setTvRatio(true);
        EXPECT_EQ(canvas.cropRect(), c.expected) << c.picture.width() << " " << c.wideScreen;
    }
}

TEST_F(EditorCanvasTest, CropModeVeilsOnlyWhatFallsOutsideTheRectangle) {
    EditorCanvas canvas(true);
    load(canvas, plainFile("white.png", {640, 480}, kWhite));
    canvas.setCropMode(true);
    canvas.setTvRatio(true);
    const QImage view = canvas.view();
    EXPECT_EQ(view.pixel(320, 30), qRgb(0x9F, 0x9F, 0x9F));   // above: black at 0x60 over white
    EXPECT_EQ(view.pixel(320, 450), qRgb(0x9F, 0x9F, 0x9F));  // below
    EXPECT_EQ(view.pixel(320, 240), kWhite);
    canvas.setCropMode(false);
    EXPECT_EQ(canvas.view().pixel(320, 30), kWhite);
}

TEST_F(EditorCanvasTest, CropCutsBothPicturesAtTheirOwnScale) {
    EditorCanvas canvas(true);
    load(canvas, quadrantsFile("q.png", 1000, 750));  // 640 × 480 at 1.5625
    canvas.setCropMode(true);
    canvas.setTvRatio(true);
    canvas.applyCrop();
    // 60 × 1.5625 = 93.75 and 420 × 1.5625 = 656.25 are truncated.
    EXPECT_EQ(canvas.fullImage().size(), QSize(1000, 656 - 93));
    EXPECT_EQ(canvas.screenImage().size(), QSize(640, 360));
    EXPECT_EQ(canvas.displaySize(), QSize(640, 360));
    EXPECT_EQ(canvas.cropRect(), (CropRect{0, 0, 640, 360}));
    EXPECT_FALSE(canvas.cropMode());
    EXPECT_EQ(canvas.framePosition(), QPoint(30, 80));
    EXPECT_TRUE(test::showsQuadrants(canvas.fullImage(), 8));
    ASSERT_EQ(canvas.pendingEdits().size(), 1u);
    const PictureEdit& crop = canvas.pendingEdits()[0];
    EXPECT_EQ(crop.kind, PictureEditKind::Crop);
    EXPECT_EQ((std::vector<int>{crop.x, crop.y, crop.cx, crop.cy}),
              (std::vector<int>{0, 60, 640, 420}));
}

TEST_F(EditorCanvasTest, CornerDragsKeepTheCornerInsideAndTheSidesLongEnough) {
    const struct {
        const char* what;
        bool tvRatio;
        QPoint from, to;
        CropRect expected;
    } cases[] = {
        {"free, shrunk to nothing", false, {640, 480}, {2, 3}, {0, 0, 6, 6}},
        {"free, pulled outside", false, {0, 0}, {-50, -70}, {0, 0, 640, 480}},
        {"free, both ways", false, {640, 0}, {600, 100}, {0, 100, 600, 480}},
        {"ratio, width moved farther", true, {640, 420}, {340, 410}, {0, 60, 340, 251}},
        {"ratio, height moved farther", true, {640, 420}, {630, 220}, {0, 60, 284, 220}},
        {"ratio, shrunk to nothing", true, {640, 420}, {0, 0}, {0, 60, 10, 66}},
        {"ratio, pulled past the edge", true, {640, 420}, {900, 430}, {0, 60, 640, 420}},
        {"ratio, top left corner", true, {0, 60}, {100, 70}, {100, 117, 640, 420}},
    };
    for (const auto& c : cases) {
        EditorCanvas canvas(true);
        load(canvas, quadrantsFile("q.png", 640, 480));
        canvas.setCropMode(true);
        canvas.setTvRatio(c.tvRatio);
        dragMouse(canvas, c.from, c.to);
        EXPECT_EQ(canvas.cropRect(), c.expected) << c.what;
    }
}

TEST_F(EditorCanvasTest, MovingTheCropRectanglePastAnEdgeIsRefused) {
    EditorCanvas canvas(true);
    load(canvas, quadrantsFile("q.png", 640, 480));
    canvas.setCropMode(true);
    canvas.setTvRatio(true);  // (0, 60, 640, 420)
    EXPECT_EQ(canvas.cursorAt({320, 240}), EditorCursor::Move);
    canvas.press({320, 240}, false);
    canvas.drag({320, 300});
    EXPECT_EQ(canvas.cropRect(), (CropRect{0, 120, 640, 480}));
    canvas.drag({320, 301});  // the bottom would leave the picture
    EXPECT_EQ(canvas.cropRect(), (CropRect{0, 120, 640, 480}));
    canvas.drag({319, 250});  // and here the left side
    EXPECT_EQ(canvas.cropRect(), (CropRect{0, 120, 640, 480}));
    canvas.release({320, 200});
    EXPECT_EQ(canvas.cropRect(), (CropRect{0, 20, 640, 380}));
}

TEST_F(EditorCanvasTest, TurnsSavedAreReplayedFromTheSourceFile) {
    const fs::path source = quadrantsFile("a/beach.png", 200, 100);
    EditorCanvas canvas;
    load(canvas, source);
    canvas.rotateLeft90();
    EXPECT_EQ(canvas.displaySize(), QSize(240, 480));  // a quarter turn is fitted anew
    EXPECT_EQ(canvas.cropRect(), (CropRect{0, 0, 240, 480}));
    canvas.rotateLeft90();

    SlideImage picture;
    picture.sourcePath = picture.workingPath = source;
    fs::create_directories(folder_ / "work" / "temp");
    std::string reason;
    ASSERT_TRUE(canvas.saveEdits(picture, folder_ / "work", &reason)) << reason;
    ASSERT_EQ(picture.edits.size(), 2u);
    EXPECT_EQ(picture.edits[0].kind, PictureEditKind::RotateLeft90);
    EXPECT_EQ(picture.edits[1].kind, PictureEditKind::RotateLeft90);
    EXPECT_EQ(picture.workingPath, editedCopyPath(folder_ / "work", source, "bmp"));
    EXPECT_TRUE(test::showsQuadrants(loadPicture(picture.workingPath, &reason), 8, kTurnedHalfWay));

    EditorCanvas reopened;
    ASSERT_TRUE(reopened.loadPicture(source, picture.edits, &reason)) << reason;
    EXPECT_EQ(reopened.name(), "beach");
    EXPECT_EQ(reopened.pendingEdits().size(), 2u);
    EXPECT_TRUE(test::showsQuadrants(reopened.screenImage(), 8, kTurnedHalfWay));
    EXPECT_TRUE(test::showsQuadrants(reopened.fullImage(), 8, kTurnedHalfWay));

    // Another picture of the same name has its own (empty) edit list.
    EditorCanvas namesake;
    load(namesake, quadrantsFile("b/beach.png", 200, 100));
    EXPECT_TRUE(namesake.pendingEdits().empty());
    EXPECT_TRUE(test::showsQuadrants(namesake.screenImage(), 8));
}

TEST_F(EditorCanvasTest, DecorationsFillTheGridAndStopAtThirty) {
    EditorCanvas canvas;
    load(canvas, plainFile("wide.png", {1320, 960}, kWhite));  // shown 660 wide
    const fs::path clipArt = paletteFile("star.png", {kRed, kGreen, kBlue});
    for (int i = 0; i < EditorCanvas::kMaxDecorations; ++i)
        ASSERT_TRUE(canvas.addDecoration(clipArt)) << i;
    EXPECT_EQ(canvas.items()[2].box, QRect(135, 0, 60, 60));
    EXPECT_EQ(canvas.items()[10].box, QRect(5, 65, 60, 60));
    EXPECT_FALSE(canvas.addDecoration(clipArt));
    for (int i = 0; i < EditorCanvas::kMaxCaptions; ++i)
        ASSERT_TRUE(canvas.addCaption("x", FontRecord{}, 0, QRect(0, 0, 20, 20))) << i;
    EXPECT_FALSE(canvas.addCaption("x", FontRecord{}, 0, QRect(0, 0, 20, 20)));
    EXPECT_EQ(canvas.imageCount(), 30);
    EXPECT_EQ(canvas.textCount(), 30);
    EXPECT_FALSE(canvas.addDecoration(folder_ / "missing.png"));
}

TEST_F(EditorCanvasTest, ClipArtLeavesOutItsBackgroundEntryAndBlack) {
    const struct {
        const char* what;
        QList<QRgb> palette;
        QRgb left, right;  // what shows through entries 0 and 1
    } cases[] = {
        {"nothing marked: entry 0 goes", {kRed, kGreen, 0xFF000000}, kWhite, kGreen},
        {"entry 1 marked", {kRed, qRgba(0, 0, 255, 0), 0xFF000000}, kRed, kWhite},
        {"half-transparent entries become opaque",
         {0x00FFFF00, 0x80FF0000, 0xFF000000},
         kWhite,
         kRed},
    };
    for (const auto& c : cases) {
        EditorCanvas canvas;
        load(canvas, plainFile("white.png", {660, 480}, kWhite));
        ASSERT_TRUE(
            canvas.addDecoration(paletteFile("clip.png", c.palette), QRect(100, 100, 60, 60)))
            << c.what;
        canvas.selectOnly(-1);  // no handles in the way
        const QImage view = canvas.view();
        EXPECT_EQ(view.pixel(110, 130), c.left) << c.what;
        EXPECT_EQ(view.pixel(150, 130), c.right) << c.what;
        EXPECT_EQ(view.pixel(130, 130), kWhite) << c.what << ": black is left out";
    }
}

TEST_F(EditorCanvasTest, SavedItemsAreDrawnAtFullResolution) {
    const fs::path source = plainFile("white.png", {1320, 960}, kWhite);  // scale 2
    EditorCanvas canvas;
    load(canvas, source);
    const uint32_t redColourRef = 0x000000FF;
    ASSERT_TRUE(canvas.addCaption("HH", FontRecord{"Arial", 40, 700, false}, redColourRef,
                                  QRect(100, 100, 200, 60)));
    ASSERT_TRUE(canvas.addDecoration(paletteFile("clip.png", {kRed, kGreen, 0xFF000000}),
                                     QRect(400, 0, 60, 60)));
    SlideImage picture;
    picture.sourcePath = picture.workingPath = source;
    fs::create_directories(folder_ / "work" / "temp");
    std::string reason;
    ASSERT_TRUE(canvas.saveEdits(picture, folder_ / "work", &reason)) << reason;

    const Picture saved = loadPicture(picture.workingPath, &reason);
    ASSERT_EQ(saved.size(), QSize(1320, 960));
    int top = 960, bottom = -1, outside = 0;
    for (int y = 0; y < 960; ++y) {
        for (int x = 0; x < 1320; ++x) {
            if (saved.pixel(x, y) != kRed) continue;
            if (!QRect(200, 200, 400, 120).contains(x, y)) {
                ++outside;
                continue;
            }
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_EQ(outside, 0);
    // Capitals of an 80-pixel font (40 at scale 2) stand more than 40 pixels high.
    EXPECT_GT(bottom - top, 40);
    // The decoration is 120 pixels square at (800, 0).
    EXPECT_EQ(saved.pixel(900, 60), kGreen);
    EXPECT_EQ(saved.pixel(830, 60), kWhite);

    ASSERT_EQ(picture.edits.size(), 2u);
    EXPECT_EQ(picture.edits[0].kind, PictureEditKind::Text);
    EXPECT_EQ(picture.edits[0].text, "HH");
    EXPECT_EQ(picture.edits[0].height, 40);
    EXPECT_EQ(picture.edits[0].colour, redColourRef);
    EXPECT_EQ((std::vector<int>{picture.edits[0].x, picture.edits[0].y, picture.edits[0].cx,
                                picture.edits[0].cy}),
              (std::vector<int>{100, 100, 200, 60}));
    EXPECT_EQ(picture.edits[1].kind, PictureEditKind::Image);
}

TEST_F(EditorCanvasTest, AFailedSaveLeavesThePictureAsItWas) {
    const fs::path source = plainFile("white.png", {100, 100}, kWhite);
    EditorCanvas canvas;
    load(canvas, source);
    canvas.rotate180();
    SlideImage picture;
    picture.sourcePath = picture.workingPath = source;
    std::string reason;
    EXPECT_FALSE(canvas.saveEdits(picture, folder_ / "no-such-folder", &reason));
    EXPECT_NE(reason.find("no-such-folder"), std::string::npos) << reason;
    EXPECT_EQ(picture.workingPath, source);
    EXPECT_TRUE(picture.edits.empty());
}

TEST_F(EditorCanvasTest, ItemsAreSelectedMovedAndKeptInsideWithTheMouse) {
    EditorCanvas canvas;
    load(canvas, plainFile("white.png", {660, 480}, kWhite));
    ASSERT_TRUE(canvas.addCaption("a", FontRecord{}, 0, QRect(100, 100, 50, 20)));
    ASSERT_TRUE(canvas.addCaption("b", FontRecord{}, 0, QRect(300, 300, 50, 20)));
    EXPECT_EQ(canvas.cursorAt({120, 110}), EditorCursor::Move);

    // A drag far past the right edge stops with the box at the edge.
    dragMouse(canvas, {120, 110}, {2000, 110});
    EXPECT_EQ(canvas.items()[0].box, QRect(610, 100, 50, 20));
    EXPECT_TRUE(canvas.items()[0].selected);
    EXPECT_FALSE(canvas.items()[1].selected);

    // A band from empty space that touches "b" selects it alone.
    dragMouse(canvas, {200, 200}, {310, 305});
    EXPECT_FALSE(canvas.items()[0].selected);
    EXPECT_TRUE(canvas.items()[1].selected);
    canvas.press({620, 105}, true);  // Shift adds "a"
    canvas.release({620, 105});
    EXPECT_TRUE(canvas.items()[0].selected && canvas.items()[1].selected);

    // The bottom-right handle of the selected "b" resizes it.
    EXPECT_EQ(canvas.cursorAt({349, 319}), EditorCursor::ResizeDiagonal);
    dragMouse(canvas, {349, 319}, {399, 339});
    EXPECT_EQ(canvas.items()[1].box, QRect(300, 300, 100, 40));
    EXPECT_EQ(canvas.items()[0].box, QRect(610, 100, 50, 20));
}

TEST_F(EditorCanvasTest, ItemsBeyondThirtyAreShownOnTheNextPage) {
    EditorCanvas canvas;
    load(canvas, plainFile("white.png", {660, 480}, kWhite));
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(canvas.addCaption("", FontRecord{}, 0, QRect(0, 0, 10, 10)));
    EXPECT_EQ(canvas.pageCount(), 1);
    ASSERT_TRUE(canvas.addDecoration(paletteFile("clip.png", {kRed, kGreen, 0xFF000000}),
                                     QRect(300, 100, 60, 60)));
    EXPECT_EQ(canvas.pageCount(), 2);
    EXPECT_EQ(canvas.currentPage(), 1);  // the new item is shown
    canvas.selectOnly(-1);
    EXPECT_EQ(canvas.view().pixel(350, 130), kGreen);
    canvas.press(canvas.previousLinkRect().center(), false);
    canvas.release(canvas.previousLinkRect().center());
    EXPECT_EQ(canvas.currentPage(), 0);
    EXPECT_EQ(canvas.view().pixel(350, 130), kWhite);
}

}  // namespace
}  // namespace velmora
