#include "workspace/picture_strip.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <string>
#include <vector>

#include "model/motion_effect.h"
#include "workspace/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kStripWidth = 620;
constexpr int kCell = StripLayout::kCellWidth;

// A point inside cell `cell` (counted from the leftmost visible one) at
// (x, y) of the cell.
QPoint at(int cell, int x = 70, int y = 40) {
    return {cell * kCell + x, y};
}

class PictureStripTest : public ::testing::Test, protected test::EngineFixture {
  protected:
    PictureStripTest() {
        strip_.onPicturesChanged = [this] { ++picturesChanged_; };
    }

    // A slideshow of pictures named 0.png, 1.png ... shown in the strip.
    Slideshow& show(int count) {
        const int index = addSlideshow(count);
        strip_.showSlideshow(index);
        return *app_.project.slideshows.at(size_t(index));
    }
    int addSlideshow(int count) {
        const fs::path folder = temporary_.path() / ("photos" + std::to_string(++folders_));
        fs::create_directories(folder);
        std::vector<fs::path> files;
        for (int i = 0; i < count; ++i) {
            const fs::path file = folder / (std::to_string(i) + ".png");
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor(200, 40, 40));
            image.save(QString::fromStdString(file.string()));
            files.push_back(file);
        }
        return addSlideshowOf(files);
    }
    void click(int cell, StripModifiers modifiers = {}) {
        strip_.mousePress(at(cell), modifiers);
        strip_.mouseRelease();
    }
    PictureStrip strip_{app_, commands_, kStripWidth};
    int folders_ = 0;
    int picturesChanged_ = 0;
};

TEST_F(PictureStripTest, CellCountFollowsPicturesAndWidth) {
    ASSERT_TRUE(started_);
    EXPECT_EQ(strip_.visibleCount(), 5);
    EXPECT_EQ(strip_.cells().size(), 5u);  // no slideshow: the visible places only
    struct Case {
        int pictures;
        size_t cells;
    };
    for (const Case& c : {Case{3, 7}, Case{12, 14}}) {
        show(c.pictures);
        EXPECT_EQ(strip_.cells().size(), c.cells) << c.pictures;
        EXPECT_EQ(strip_.scrollMax(), int(c.cells) * kCell);
    }
    strip_.scrollTo(100000);
    EXPECT_EQ(strip_.firstVisible(), 14 - 5);
    strip_.scrollTo(3 * kCell + 20);
    EXPECT_EQ(strip_.firstVisible(), 3);
}

TEST_F(PictureStripTest, ClicksSelectByTheirModifiers) {
    ASSERT_TRUE(started_);
    show(4);
    const StripModifiers shift{true, false};
    const StripModifiers ctrl{false, true};
    struct Click {
        int cell;
        StripModifiers modifiers;
    };
    struct Case {
        const char* name;
        std::vector<Click> clicks;
        std::vector<int> selected;
    };
    const Case cases[] = {
        {"plain", {{1, {}}}, {1}},
        {"shift range", {{1, {}}, {3, shift}}, {1, 2, 3}},
        {"shift range backwards", {{3, {}}, {1, shift}}, {1, 2, 3}},
        {"shift without selection", {{2, shift}}, {2}},
        {"ctrl adds", {{1, {}}, {3, ctrl}}, {1, 3}},
        {"selected clicked again", {{1, {}}, {3, ctrl}, {3, {}}}, {}},
        {"empty cell", {{1, {}}, {4, {}}}, {}},
    };
    for (const Case& c : cases) {
        click(4);  // an empty cell clears what the case before left
        for (const Click& one : c.clicks)
            click(one.cell, one.modifiers);
        EXPECT_EQ(strip_.selectedPictures(), c.selected) << c.name;
    }
    strip_.keyPress(StripKey::SelectAll);
    EXPECT_EQ(strip_.selectedPictures(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(PictureStripTest, DraggingAcrossCellsSelectsTheRange) {
    ASSERT_TRUE(started_);
    show(5);
    strip_.mousePress(at(3), {});
    EXPECT_FALSE(strip_.mouseMove(at(1)));
    strip_.mouseRelease();
    EXPECT_EQ(strip_.selectedPictures(), (std::vector<int>{1, 2, 3}));
}

TEST_F(PictureStripTest, TypedTimesAreHeldToTheirRanges) {
    ASSERT_TRUE(started_);
    Slideshow& slideshow = show(3);
    struct Case {
        bool displayTime;
        const char* typed;
        int stored;
    };
    const Case cases[] = {
        {true, "0", 1},    {true, "250", 200}, {true, "", 7},  {true, "abc", 1}, {true, " 12s", 12},
        {false, "12", 10}, {false, "-3", 0},   {false, "", 4}, {false, "x", 0},  {false, "5", 5},
    };
    for (const Case& c : cases) {
        strip_.applyDisplayTime(false, 7);
        strip_.applyTransitionTime(false, 4);
        const QRect box =
            c.displayTime ? StripLayout::kDisplayTimeBox : StripLayout::kTransitionTimeBox;
        strip_.mousePress(box.center() + QPoint(kCell, 0), {});
        ASSERT_TRUE(strip_.isEditing());
        EXPECT_EQ(strip_.editBox(), box.adjusted(-2, -2, 2, 2).translated(kCell, 0));
        const int changesBefore = picturesChanged_;
        strip_.commitEdit(c.typed);
        const EffectSetting& effect = slideshow.pictures[1].settings.effect;
        const int stored = c.displayTime ? effect.displayTime : effect.transitionTime;
        EXPECT_EQ(stored, c.stored) << c.typed;
        const StripCell& cell = strip_.cells()[1];
        EXPECT_EQ(c.displayTime ? cell.displayTimeText : cell.transitionTimeText,
                  std::to_string(c.stored));
        // The next picture starts later or earlier with it.
        EXPECT_EQ(strip_.cells()[2].startText, slideshow.pictures[2].startText);
        EXPECT_EQ(picturesChanged_, changesBefore + 1);
        EXPECT_FALSE(strip_.isEditing());
    }
}

TEST_F(PictureStripTest, EscapeLeavesTheTimeAlone) {
    ASSERT_TRUE(started_);
    Slideshow& slideshow = show(3);
    strip_.applyDisplayTime(false, 7);
    strip_.mousePress(StripLayout::kDisplayTimeBox.center(), {});
    ASSERT_EQ(strip_.editText(), "7");
    strip_.cancelEdit();
    EXPECT_EQ(slideshow.pictures[0].settings.effect.displayTime, 7);
    EXPECT_FALSE(strip_.isEditing());
    EXPECT_EQ(picturesChanged_, 0);
}

TEST_F(PictureStripTest, DroppedPicturesLandBesideTheTargetInTheirOrder) {
    ASSERT_TRUE(started_);
    struct Case {
        const char* name;
        QPoint drop;
        const char* order;
        std::vector<int> selectedAfter;
    };
    const Case cases[] = {
        {"left half: in front", at(3, 20), "2013", {1, 2}},
        {"right half: behind", at(3, 100), "2301", {2, 3}},
        {"onto a dragged cell", at(1, 100), "0123", {0, 1}},
        {"onto an empty cell", at(4, 20), "0123", {0, 1}},
    };
    for (const Case& c : cases) {
        Slideshow& slideshow = show(4);
        click(0);
        click(1, {true, false});
        strip_.mousePress(at(0), {});
        ASSERT_TRUE(strip_.mouseMove(at(0, 80)));
        EXPECT_EQ(strip_.mode(), StripMode::DraggingPictures);
        strip_.dragPicturesOver(c.drop);
        strip_.dropPictures(c.drop);
        strip_.endPictureDrag();
        EXPECT_EQ(order(slideshow), c.order) << c.name;
        EXPECT_EQ(strip_.selectedPictures(), c.selectedAfter) << c.name;
        EXPECT_EQ(strip_.mode(), StripMode::Idle);
        for (const StripCell& cell : strip_.cells())
            EXPECT_FALSE(cell.dropMarker);
    }
}

TEST_F(PictureStripTest, ThumbnailsFollowTheirPicturesWhenMoved) {
    ASSERT_TRUE(started_);
    show(4);
    QImage green(10, 10, QImage::Format_RGB32);
    green.fill(Qt::green);
    strip_.setThumbnail(0, green);
    click(0);
    strip_.mousePress(at(0), {});
    ASSERT_TRUE(strip_.mouseMove(at(0, 80)));
    strip_.dropPictures(at(2, 100));
    strip_.endPictureDrag();
    const QPoint inThumbnail = StripLayout::kThumbnailBox.topLeft() + QPoint(2, 2);
    const QPoint outsideIt = StripLayout::kThumbnailBox.topLeft() + QPoint(20, 20);
    EXPECT_EQ(strip_.cells()[2].thumbnail.pixel(2, 2), QColor(Qt::green).rgb());
    EXPECT_NE(strip_.cells()[0].thumbnail.pixel(2, 2), QColor(Qt::green).rgb());
    const QImage surface = strip_.paint();
    EXPECT_EQ(surface.pixel(at(2, inThumbnail.x(), inThumbnail.y())), QColor(Qt::green).rgb());
    // Shown unscaled on white.
    EXPECT_EQ(surface.pixel(at(2, outsideIt.x(), outsideIt.y())), 0xFFFFFFFFu);
}

TEST_F(PictureStripTest, DropMarkerAndSelectionArePainted) {
    ASSERT_TRUE(started_);
    show(5);
    click(0);
    const QRgb gold = 0xFFFFD700;
    struct Case {
        int x;  // in cell 2
        std::vector<int> goldColumns;
        std::vector<int> plainColumns;
    };
    const Case cases[] = {{20, {1, 2}, {0, 3, 135, 136}}, {100, {136, 137}, {1, 2, 135}}};
    for (const Case& c : cases) {
        strip_.dragPicturesOver(at(2, c.x));
        const QImage surface = strip_.paint();
        for (const int column : c.goldColumns) {
            EXPECT_EQ(surface.pixel(2 * kCell + column, 5), gold) << column;
            EXPECT_EQ(surface.pixel(2 * kCell + column, 99), gold) << column;
        }
        for (const int column : c.plainColumns)
            EXPECT_NE(surface.pixel(2 * kCell + column, 5), gold) << column;
    }
    const QImage surface = strip_.paint();
    EXPECT_EQ(surface.size(), QSize(5 * kCell, 100));
    EXPECT_EQ(surface.pixel(20, 90), 0xFF0000FFu);          // selected: blue
    EXPECT_EQ(surface.pixel(kCell + 20, 90), 0xFFFFFFFFu);  // not selected: white
    EXPECT_EQ(surface.pixel(kCell + 50, 90), 0xFFD3D3D3u);  // the grey lines
    EXPECT_EQ(surface.pixel(kCell + 137, 90), 0xFFD3D3D3u);
    // The dragged cell itself never shows where a drop would go.
    strip_.dragPicturesOver(at(0, 20));
    EXPECT_EQ(strip_.paint().pixel(1, 5), 0xFF0000FFu);
}

TEST_F(PictureStripTest, DroppedTransitionGoesToThePictureUnderThePointer) {
    ASSERT_TRUE(started_);
    Slideshow& slideshow = show(3);
    strip_.dragTransitionOver(at(1));
    EXPECT_TRUE(strip_.cells()[1].transitionHighlight);
    const QColor highlighted = strip_.paint().pixelColor(kCell + 10, 30);
    EXPECT_NEAR(highlighted.red(), 127, 2);  // translucent blue over the white icon
    EXPECT_EQ(highlighted.blue(), 255);
    const int zoomEntry = int(TransitionKind::Zoom) + 1;
    // The neighbour keeps its own (a random one, so possibly a zoom as well).
    const TransitionSetting* neighbourBefore = slideshow.pictures[0].settings.effect.transition.get();
    strip_.dropTransition(at(1), zoomEntry);
    EXPECT_EQ(slideshow.pictures[1].settings.effect.transition->kind(), TransitionKind::Zoom);
    EXPECT_EQ(slideshow.pictures[0].settings.effect.transition.get(), neighbourBefore);
    EXPECT_FALSE(strip_.cells()[1].transitionHighlight);
    EXPECT_EQ(PictureStrip::transitionEntryOf(QByteArray("\x12\0\0\0", 4)), 18);
    EXPECT_EQ(PictureStrip::transitionEntryOf(QByteArray("\x13\0\0\0", 4)), -1);
}

TEST_F(PictureStripTest, DeletingPicturesShrinksTheStrip) {
    ASSERT_TRUE(started_);
    struct Case {
        int pictures;
        std::vector<int> deleted;
        size_t cells;
    };
    for (const Case& c : {Case{12, {0, 1}, 12}, Case{3, {2}, 6}, Case{5, {1, 2, 3}, 7}}) {
        Slideshow& slideshow = show(c.pictures);
        click(c.deleted.front());
        click(c.deleted.back(), {true, false});
        strip_.keyPress(StripKey::Delete);
        EXPECT_EQ(slideshow.pictures.size(), size_t(c.pictures) - c.deleted.size());
        EXPECT_EQ(strip_.cells().size(), c.cells) << c.pictures;
        for (size_t i = 0; i < strip_.cells().size(); ++i)
            EXPECT_EQ(strip_.cells()[i].indexText, std::to_string(i));
    }
    EXPECT_EQ(picturesChanged_, 3);
}

TEST_F(PictureStripTest, DeletingEveryPictureRemovesTheSlideshow) {
    ASSERT_TRUE(started_);
    addSlideshow(2);
    show(3);
    strip_.keyPress(StripKey::SelectAll);
    EXPECT_EQ(strip_.rightPress(at(0)), StripMenu::Picture);
    strip_.runCommand(StripCommand::DeletePictures);
    ASSERT_EQ(app_.project.slideshows.size(), 1u);
    EXPECT_EQ(strip_.slideshow(), app_.project.slideshows[0].get());
    EXPECT_EQ(strip_.cells().size(), 7u);

    strip_.keyPress(StripKey::SelectAll);
    strip_.keyPress(StripKey::Delete);
    EXPECT_TRUE(app_.project.slideshows.empty());
    EXPECT_EQ(strip_.slideshow(), nullptr);
    EXPECT_EQ(strip_.cells().size(), 5u);
    EXPECT_EQ(picturesChanged_, 2);
}

TEST_F(PictureStripTest, ContextMenuDependsOnTheHalfAndActsOnAllPictures) {
    ASSERT_TRUE(started_);
    Slideshow& slideshow = show(4);
    struct Case {
        QPoint point;
        StripMenu menu;
    };
    for (const Case& c : {Case{at(4, 30), StripMenu::None}, Case{at(2, 20), StripMenu::Transition},
                          Case{at(2, 100), StripMenu::Picture}, Case{at(2, 50), StripMenu::None}}) {
        click(0);
        EXPECT_EQ(strip_.rightPress(c.point), c.menu) << c.point.x();
    }
    // The right press chose picture 2 alone.
    EXPECT_EQ(strip_.selectedPictures(), std::vector<int>{2});

    strip_.applyMotionCategory(false, int(MotionCategory::None));
    ASSERT_EQ(strip_.rightPress(at(2, 100)), StripMenu::Picture);
    strip_.runCommand(StripCommand::RandomizeMotion);
    for (const SlideImage& picture : slideshow.pictures)
        EXPECT_NE(picture.settings.effect.motionEffect, MotionEffectKind::None);
    strip_.runCommand(StripCommand::RemoveMotion);
    for (const SlideImage& picture : slideshow.pictures)
        EXPECT_EQ(picture.settings.effect.motionEffect, MotionEffectKind::None);

    strip_.runCommand(StripCommand::EditDisplayTime);
    EXPECT_EQ(strip_.mode(), StripMode::EditingDisplayTime);
    EXPECT_EQ(strip_.editBox().left(), 2 * kCell + 52);
}

TEST_F(PictureStripTest, ToolTipNamesThePicturesMotion) {
    ASSERT_TRUE(started_);
    show(3);
    strip_.applyMotionCategory(false, int(MotionCategory::None));
    EXPECT_EQ(strip_.toolTipAt(at(1)), "Index:1   Single Effect: none.");
    EXPECT_EQ(strip_.toolTipAt(at(4)), "");
}

TEST_F(PictureStripTest, SelectingPastTheEdgeScrollsUntilTheEnd) {
    ASSERT_TRUE(started_);
    show(12);
    strip_.mousePress(at(0), {});
    const QPoint edge(kStripWidth - 2, 40);
    EXPECT_FALSE(strip_.mouseMove(edge));
    ASSERT_TRUE(strip_.autoScrolling());
    strip_.tick(edge);
    EXPECT_EQ(strip_.firstVisible(), 1);
    EXPECT_EQ(strip_.selectedPictures().back(), 5);
    for (int i = 0; i < 20; ++i)
        strip_.tick(edge);
    EXPECT_EQ(strip_.firstVisible(), 14 - 5);
    EXPECT_EQ(strip_.selectedPictures().back(), 11);  // the empty cells take no selection
    EXPECT_FALSE(strip_.mouseMove({300, 40}));
    EXPECT_FALSE(strip_.autoScrolling());
    strip_.mouseRelease();
}

}  // namespace
}  // namespace velmora
