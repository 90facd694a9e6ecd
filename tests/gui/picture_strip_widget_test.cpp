#include "gui/picture_strip_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDrag>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QtEndian>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui_fixture.h"
#include "gui/page_signals.h"
#include "workspace/picture_strip.h"
#include "workspace/slideshow_commands.h"
#include "workspace/thumbnail_loader.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kStripWidth = 620;  // 4½ cells: five places, the last cut off
constexpr int kCell = StripLayout::kCellWidth;

// A point of the widget inside the visible cell `cell` at (x, y) of the
// cell; the default is on the picture, away from the time boxes.
QPoint at(int cell, int x = 100, int y = 40) {
    return {cell * kCell + x, y};
}

// The strip widget on a real engine with the shipped resources, beside
// another field the focus can go to.
class PictureStripWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(app_.start(&reason)) << reason;
        strip_ = std::make_unique<PictureStrip>(app_, commands_, kStripWidth);
        window_ = std::make_unique<QWidget>();
        widget_ = new PictureStripWidget(*strip_, loader_, window_.get());
        widget_->setGeometry(0, 0, kStripWidth, widget_->sizeHint().height());
        elsewhere_ = new QLineEdit(window_.get());
        elsewhere_->setGeometry(0, widget_->height() + 10, 100, 24);
        window_->resize(kStripWidth, widget_->height() + 40);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    void TearDown() override {
        // The page's order: the widget goes before the strip and the loader.
        window_.reset();
    }

    // A slideshow of `count` JPEGs, each its own colour, shown in the strip.
    Slideshow& show(int count) {
        const fs::path folder = temporary_ / ("photos" + std::to_string(++folders_));
        fs::create_directories(folder);
        std::vector<fs::path> files;
        for (int i = 0; i < count; ++i) {
            const fs::path file = folder / (std::to_string(i) + ".jpg");
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(colourOf(i));
            EXPECT_TRUE(image.save(QString::fromStdString(file.string())));
            files.push_back(file);
        }
        const int index = commands_.startSlideshow();
        EXPECT_TRUE(commands_.fillNewSlideshow(index, files));
        strip_->showSlideshow(index);
        return *app_.project.slideshows.at(size_t(index));
    }
    static QColor colourOf(int picture) { return QColor::fromHsv(picture * 120 % 360, 255, 220); }

    void click(QPoint point, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(widget_, Qt::LeftButton, modifiers, point);
    }
    // A drag of `data` from outside entering, moving over and dropped at
    // `point`; whether the widget took the drop.
    bool dropAt(QMimeData& data, QPoint point) {
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(point, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget_, &enter);
        if (!enter.isAccepted()) return false;
        EXPECT_EQ(enter.dropAction(), Qt::MoveAction);
        QDragMoveEvent move(point, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget_, &move);
        EXPECT_TRUE(move.isAccepted());
        highlightedWhileOver_ =
            strip_->cells()[size_t(strip_->cellIndexAt(point))].transitionHighlight;
        QDropEvent drop(QPointF(point), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget_, &drop);
        return drop.isAccepted();
    }
    static std::string order(const Slideshow& slideshow) {
        std::string names;
        for (const SlideImage& picture : slideshow.pictures)
            names += picture.sourcePath.stem().string();
        return names;
    }

    test::TemporaryFolder temporary_;
    test::ScriptedNotifier notifier_;
    PageSignals events_;
    Application app_{{temporary_ / "home", test::kResources}, notifier_, events_};
    SlideshowCommands commands_{app_, notifier_};
    ThumbnailLoader loader_{1};
    std::unique_ptr<PictureStrip> strip_;
    std::unique_ptr<QWidget> window_;
    PictureStripWidget* widget_ = nullptr;
    QLineEdit* elsewhere_ = nullptr;
    bool highlightedWhileOver_ = false;
    int folders_ = 0;
};

TEST_F(PictureStripWidgetTest, SelectAllAndDeleteRemoveTheSlideshow) {
    show(3);
    QSignalSpy changed(widget_, &PictureStripWidget::picturesChanged);
    click(at(1));
    EXPECT_TRUE(widget_->hasFocus());
    EXPECT_EQ(strip_->selectedPictures(), std::vector<int>{1});
    QTest::keyClick(widget_, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(strip_->selectedPictures(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(widget_->scrollBar()->maximum(), 7 * kCell);

    QTest::keyClick(widget_, Qt::Key_Delete);
    EXPECT_TRUE(app_.project.slideshows.empty());
    EXPECT_EQ(strip_->slideshow(), nullptr);
    EXPECT_EQ(changed.count(), 1);
    // The scroll bar follows the emptied strip.
    EXPECT_EQ(widget_->scrollBar()->maximum(), strip_->scrollMax());
    EXPECT_EQ(strip_->scrollMax(), 5 * kCell);
}

// The display time typed into the box under the cell: Enter and a focus
// loss store it (held to 1..200), Escape keeps the old one; a click on
// another cell's box commits the first edit once and opens the second.
TEST_F(PictureStripWidgetTest, TypedDisplayTimeIsStoredOnceOrNotAtAll) {
    enum class Finish { Enter, Escape, ClickElsewhere, ClickAnotherBox };
    struct Case {
        const char* typed;
        Finish finish;
        int stored;
    };
    const Case cases[] = {
        {"250", Finish::Enter, 200},
        {"12", Finish::Escape, 7},
        {"5", Finish::ClickElsewhere, 5},
        {"9s", Finish::ClickAnotherBox, 9},
    };
    for (const Case& c : cases) {
        Slideshow& slideshow = show(3);
        strip_->applyDisplayTime(false, 7);
        widget_->refresh();
        QSignalSpy changed(widget_, &PictureStripWidget::picturesChanged);
        const QPoint box = at(1, 0, 0) + StripLayout::kDisplayTimeBox.center();
        click(box);
        QLineEdit* edit = widget_->timeEdit();
        ASSERT_NE(edit, nullptr) << c.typed;
        EXPECT_TRUE(edit->hasFocus());
        EXPECT_EQ(edit->selectedText(), "7");
        EXPECT_TRUE(strip_->editBox().contains(edit->geometry()));
        QTest::keyClicks(edit, c.typed);
        switch (c.finish) {
            case Finish::Enter:
                // The keyboard goes back to the strip, not on along the chain.
                QWidget::setTabOrder(edit, elsewhere_);
                QTest::keyClick(edit, Qt::Key_Return);
                EXPECT_TRUE(widget_->hasFocus());
                break;
            case Finish::Escape:
                QTest::keyClick(edit, Qt::Key_Escape);
                break;
            case Finish::ClickElsewhere:
                QTest::mouseClick(elsewhere_, Qt::LeftButton);
                elsewhere_->setFocus();
                break;
            case Finish::ClickAnotherBox:
                click(at(2, 0, 0) + StripLayout::kDisplayTimeBox.center());
                break;
        }
        EXPECT_EQ(slideshow.pictures[1].settings.effect.displayTime, c.stored) << c.typed;
        EXPECT_EQ(strip_->cells()[1].displayTimeText, std::to_string(c.stored));
        EXPECT_EQ(changed.count(), c.finish == Finish::Escape ? 0 : 1) << c.typed;
        if (c.finish == Finish::ClickAnotherBox) {
            ASSERT_NE(widget_->timeEdit(), nullptr);
            EXPECT_NE(widget_->timeEdit(), edit);
            EXPECT_EQ(widget_->timeEdit()->text(), "7");
            EXPECT_EQ(strip_->mode(), StripMode::EditingDisplayTime);
            QTest::keyClick(widget_->timeEdit(), Qt::Key_Escape);
            EXPECT_EQ(slideshow.pictures[2].settings.effect.displayTime, 7);
        }
        EXPECT_EQ(widget_->timeEdit(), nullptr) << c.typed;
        EXPECT_FALSE(strip_->isEditing());
    }
}

// The context menu does not hold the window up; its edit command opens the
// same in-place edit as a click on the box.
TEST_F(PictureStripWidgetTest, ContextMenuRunsItsCommandOnThePicture) {
    Slideshow& slideshow = show(3);
    QTest::mousePress(widget_, Qt::RightButton, {}, at(2, 100));
    QTest::mouseRelease(widget_, Qt::RightButton, {}, at(2, 100));
    auto* menu = widget_->findChild<QMenu*>("pictureStripMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(strip_->selectedPictures(), std::vector<int>{2});
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[0], "Edit image duration");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
    EXPECT_FALSE(menu->isVisible());
    QLineEdit* edit = widget_->timeEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QString::number(slideshow.pictures[2].settings.effect.displayTime));
    EXPECT_TRUE(strip_->editBox().contains(edit->geometry()));
    QTest::keyClicks(edit, "3");
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(slideshow.pictures[2].settings.effect.displayTime, 3);
    EXPECT_TRUE(test::waitUntil([&] { return widget_->findChild<QMenu*>() == nullptr; }));
}

TEST_F(PictureStripWidgetTest, DroppedTransitionGoesToThePictureUnderIt) {
    Slideshow& slideshow = show(3);
    const int wipe = int(TransitionKind::Wipe) + 1;
    strip_->applyTransition(false, wipe);
    const auto transitionDrag = [](qint32 entry) {
        auto data = std::make_unique<QMimeData>();
        QByteArray bytes(sizeof entry, '\0');
        qToLittleEndian(entry, bytes.data());
        data->setData(PictureStrip::kTransitionDragFormat, bytes);
        return data;
    };
    const int blinds = 3;
    ASSERT_TRUE(dropAt(*transitionDrag(blinds), at(2, 20)));
    EXPECT_TRUE(highlightedWhileOver_);
    EXPECT_EQ(slideshow.pictures[2].settings.effect.transition->kind(), TransitionKind::Blinds);
    EXPECT_EQ(slideshow.pictures[1].settings.effect.transition->kind(), TransitionKind::Wipe);
    EXPECT_FALSE(strip_->cells()[2].transitionHighlight);

    // Pictures only move by the strip's own drag; other data is refused.
    QMimeData pictures;
    pictures.setData(PictureStrip::kPictureDragFormat, QByteArray("\1\0\0\0\0\0\0\0", 8));
    EXPECT_FALSE(dropAt(pictures, at(2)));
    QMimeData text;
    text.setText("Blinds");
    EXPECT_FALSE(dropAt(text, at(2)));
    EXPECT_EQ(order(slideshow), "012");
}

// A press on the selection that moves starts Qt's drag of the selected
// pictures; one that moves less than the drag distance stays a click. The
// drop comes back to the strip, which moves them behind the picture under
// it. (The offscreen platform ends every drag at once, so the drop is
// delivered as Qt delivers it while a drag of the strip runs.)
TEST_F(PictureStripWidgetTest, DraggedPicturesMoveWhereTheyAreDropped) {
    Slideshow& slideshow = show(4);
    QSignalSpy changed(widget_, &PictureStripWidget::picturesChanged);
    const auto selectFirstTwo = [this] {
        click(at(0));
        click(at(1), Qt::ShiftModifier);
        ASSERT_EQ(strip_->selectedPictures(), (std::vector<int>{0, 1}));
    };
    selectFirstTwo();
    QTest::mousePress(widget_, Qt::LeftButton, {}, at(0));
    QTest::mouseMove(widget_, at(0) + QPoint(2, 1));
    QTest::mouseRelease(widget_, Qt::LeftButton, {}, at(0) + QPoint(2, 1));
    EXPECT_TRUE(strip_->selectedPictures().empty());

    selectFirstTwo();
    QTest::mousePress(widget_, Qt::LeftButton, {}, at(0));
    QTest::mouseMove(widget_, at(0, 130));
    const auto* drag = widget_->findChild<QDrag*>();
    ASSERT_NE(drag, nullptr);
    // Two pictures, 0 and 1, as 32-bit ints.
    EXPECT_EQ(drag->mimeData()->data(PictureStrip::kPictureDragFormat),
              QByteArray("\2\0\0\0\0\0\0\0\1\0\0\0", 12));
    EXPECT_EQ(drag->pixmap().size(), StripLayout::kIconSize);
    EXPECT_EQ(strip_->mode(), StripMode::Idle);
    // The drag took the release: the selection stays.
    QTest::mouseRelease(widget_, Qt::LeftButton, {}, at(0, 130));
    EXPECT_EQ(strip_->selectedPictures(), (std::vector<int>{0, 1}));

    strip_->mousePress(at(0), {});
    ASSERT_TRUE(strip_->mouseMove(at(0, 130)));
    QMimeData dragged;
    dragged.setData(PictureStrip::kPictureDragFormat, strip_->pictureDragData());
    ASSERT_TRUE(dropAt(dragged, at(3, 100)));
    strip_->endPictureDrag();
    EXPECT_EQ(order(slideshow), "2301");
    EXPECT_EQ(strip_->selectedPictures(), (std::vector<int>{2, 3}));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(PictureStripWidgetTest, ScrollBarFollowsTheSlideshowAndScrollsTheCells) {
    show(12);
    QScrollBar* bar = widget_->scrollBar();
    EXPECT_EQ(bar->maximum(), 14 * kCell);
    EXPECT_EQ(bar->singleStep(), kCell);
    EXPECT_EQ(bar->pageStep(), 3 * kCell);
    EXPECT_EQ(widget_->height(), StripLayout::kCellHeight + bar->height());
    elsewhere_->setFocus();
    bar->setValue(3 * kCell + 20);
    EXPECT_EQ(strip_->firstVisible(), 3);
    EXPECT_TRUE(widget_->hasFocus());
    QTest::keyClick(widget_, Qt::Key_Right);
    EXPECT_EQ(strip_->firstVisible(), 4);
    EXPECT_EQ(bar->value(), 4 * kCell + 20);
    // Points are taken where the cells are now.
    click(at(1));
    EXPECT_EQ(strip_->selectedPictures(), std::vector<int>{5});
    EXPECT_EQ(strip_->toolTipAt(at(1)).rfind("Index:5", 0), 0u);

    // Another slideshow starts at its first picture.
    show(2);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->maximum(), strip_->scrollMax());
    // The width decides how many cells are in view.
    widget_->resize(2 * kCell, widget_->height());
    EXPECT_EQ(strip_->visibleCount(), 3);
}

// Selecting with the pointer held at the right end scrolls on by itself,
// the selection growing with it, until the pointer comes back.
TEST_F(PictureStripWidgetTest, SelectingAtTheEdgeScrollsUntilThePointerComesBack) {
    show(12);
    QTest::mousePress(widget_, Qt::LeftButton, {}, at(0));
    const QPoint edge(kStripWidth - 2, 40);
    QTest::mouseMove(widget_, edge);
    ASSERT_TRUE(test::waitUntil([this] { return strip_->firstVisible() >= 2; }));
    EXPECT_EQ(widget_->scrollBar()->value(), strip_->scrollPosition());
    EXPECT_EQ(strip_->selectedPictures().front(), 0);
    EXPECT_EQ(strip_->selectedPictures().back(), strip_->cellIndexAt(edge));

    QTest::mouseMove(widget_, at(2));
    const int stoppedAt = strip_->firstVisible();
    QTest::qWait(3 * StripLayout::kAutoScrollIntervalMs);
    EXPECT_EQ(strip_->firstVisible(), stoppedAt);
    QTest::mouseRelease(widget_, Qt::LeftButton, {}, at(2));
    EXPECT_EQ(strip_->selectedPictures().back(), stoppedAt + 2);
}

// Loaded thumbnails are painted in their cells; the tool tip names the
// picture under the pointer and none shows over an empty cell.
TEST_F(PictureStripWidgetTest, ThumbnailsArriveAndTipsNameThePicture) {
    show(3);
    const QPoint centre = StripLayout::kThumbnailBox.center();
    // Pictures 1 and 2 are green and blue (red's hue wraps around).
    const auto showsItsPicture = [&](int cell) {
        const QColor shown = widget_->grab().toImage().pixelColor(at(cell, centre.x(), centre.y()));
        return std::abs(shown.hue() - colourOf(cell).hue()) < 8 && shown.saturation() > 200;
    };
    EXPECT_TRUE(test::waitUntil([&] { return showsItsPicture(1) && showsItsPicture(2); }));

    QHelpEvent onPicture(QEvent::ToolTip, at(1), widget_->mapToGlobal(at(1)));
    QApplication::sendEvent(widget_, &onPicture);
    EXPECT_TRUE(QToolTip::text().startsWith("Index:1   Single Effect: "))
        << QToolTip::text().toStdString();
    QHelpEvent onEmpty(QEvent::ToolTip, at(4, 20), widget_->mapToGlobal(at(4, 20)));
    QApplication::sendEvent(widget_, &onEmpty);
    EXPECT_FALSE(onEmpty.isAccepted());
    EXPECT_TRUE(test::waitUntil([] { return !QToolTip::isVisible(); }));
}

}  // namespace
}  // namespace velmora
