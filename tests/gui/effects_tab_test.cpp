#include "gui/pages/effects_tab.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "gui/disc_tree_view.h"
#include "gui/gui_fixture.h"
#include "gui/picture_strip_widget.h"
#include "gui/preview_pane.h"
#include "gui/transition_list_view.h"
#include "model/transition_setting.h"
#include "workspace/slideshow_commands.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Answers every settings dialog with fixed parameters and "OK".
class FixedDialogHost final : public TransitionDialogHost {
  public:
    bool editTransition(TransitionSetting& transition) override {
        ++opened;
        transition.setParameters(first, second);
        return true;
    }
    int first = 0;
    int second = 0;
    int opened = 0;
};

class EffectsTabTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        tab = window->effectsTab();
    }

    int addSlideshow(int count) {
        const int index = addPhotoSlideshow(count);
        window->refreshProjectViews();
        return index;
    }
    void enterPage() {
        window->pages()->setCurrentIndex(MainWindow::kEffectsTab);
        QCoreApplication::processEvents();
    }
    void clickEntry(int entry) {
        TransitionListView* list = tab->transitionList();
        const QRect place = list->visualItemRect(list->item(entry));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    // The "all" or "selected" command of an "Apply to ..." button's menu.
    void apply(const char* buttonName, bool selectedOnly) {
        auto* button = tab->findChild<QPushButton*>(QString::fromLatin1(buttonName));
        ASSERT_NE(button, nullptr) << buttonName;
        auto* command = button->menu()->findChild<QAction*>(
            selectedOnly ? QStringLiteral("selectedAction") : QStringLiteral("allAction"));
        ASSERT_NE(command, nullptr);
        command->trigger();
    }
    // The transition kinds of the current slideshow's pictures, in order.
    std::vector<TransitionKind> kinds() const {
        std::vector<TransitionKind> result;
        for (const SlideImage& picture : current().pictures)
            result.push_back(picture.settings.effect.transition->kind());
        return result;
    }
    const Slideshow& current() const {
        return *app.project.slideshows.at(size_t(app.project.currentSlideshow));
    }
    QString durationText() const {
        return window->findChild<QLabel*>(QStringLiteral("durationLabel"))->text();
    }
    // Sends the drag of `data` over `point` of the strip and drops it there.
    void dropOnStrip(const QMimeData& data, QPoint point) {
        QWidget* strip = tab->stripWidget();
        QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(strip, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDragMoveEvent move(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(strip, &move);
        QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(strip, &drop);
    }

    EffectsTab* tab = nullptr;
};

// A click in the list plays that entry in the pane; the down arrow plays
// the entry it moves to; leaving the page stops the preview.
TEST_F(EffectsTabTest, ListSelectionPlaysThePreviewInThePane) {
    enterPage();
    PreviewPane* pane = tab->previewPane();
    clickEntry(3);
    EXPECT_EQ(tab->previewedEntry(), 3);
    ASSERT_TRUE(test::waitUntil([&] { return pane->framesShown() >= 3; }));
    EXPECT_EQ(pane->shownImage().size(), QSize(224, 168));

    const int framesBefore = pane->framesShown();
    QTest::keyClick(tab->transitionList(), Qt::Key_Down);
    const int moved = tab->transitionList()->selectedEntry();
    EXPECT_NE(moved, 3);
    EXPECT_EQ(tab->previewedEntry(), moved);
    EXPECT_TRUE(test::waitUntil([&] { return pane->framesShown() > framesBefore + 2; }));

    window->pages()->setCurrentIndex(MainWindow::kPhotosTab);
    QCoreApplication::processEvents();
    const int framesAtStop = pane->framesShown();
    QTest::qWait(200);
    EXPECT_EQ(pane->framesShown(), framesAtStop) << "frames kept coming after the page was left";
}

// "Apply to all images" of a display time reaches every cell, the total
// duration and the disc-usage bar; the tree chooses the strip's slideshow.
TEST_F(EffectsTabTest, DisplayTimeAppliedToAllUpdatesCellsDurationAndDiscUsage) {
    addSlideshow(3);
    const int tenPictures = addSlideshow(10);
    app.project.currentSlideshow = 0;
    enterPage();
    ASSERT_EQ(tab->strip().slideshow(), app.project.slideshows[0].get());
    tab->discTree()->setCurrentItem(tab->discTree()->slideshowItem(tenPictures));
    ASSERT_EQ(tab->strip().slideshow(), app.project.slideshows[size_t(tenPictures)].get());

    const QString durationBefore = durationText();
    const int usageBefore = window->discUsageBar()->value();
    tab->displayTimeList()->setCurrentIndex(59);  // 60 seconds
    apply("applyDisplayTimeButton", false);

    for (const SlideImage& picture : current().pictures)
        EXPECT_EQ(picture.settings.effect.displayTime, 60);
    for (const StripCell& cell : tab->strip().cells()) {
        if (tab->strip().holdsPicture(cell)) {
            EXPECT_EQ(cell.displayTimeText, "60");
        }
    }
    ASSERT_TRUE(test::waitUntil([&] { return durationText() != durationBefore; }));
    EXPECT_GT(window->discUsageBar()->value(), usageBefore);
    EXPECT_EQ(app.project.slideshows[0]->pictures[0].settings.effect.displayTime,
              app.preferences.defaults.effect.displayTime)
        << "another slideshow was touched";
}

// An entry dragged from the list onto a cell gives that picture the kind;
// the others keep theirs.
TEST_F(EffectsTabTest, TransitionDroppedFromTheListChangesThatPicture) {
    addSlideshow(4);
    enterPage();
    std::vector<TransitionKind> expected = kinds();
    expected[2] = TransitionKind::Blinds;
    const std::unique_ptr<QMimeData> blinds(TransitionListView::dragData(3));
    dropOnStrip(*blinds, tab->strip().cellRect(2).center());
    EXPECT_EQ(kinds(), expected);
    EXPECT_FALSE(tab->strip().cells()[2].transitionHighlight);
}

// "Transition Effect Custom" edits the catalogue entry that later applies
// copy; with nothing chosen in the list it only says so.
TEST_F(EffectsTabTest, CustomizedEntryIsWhatApplyGives) {
    addSlideshow(3);
    enterPage();
    FixedDialogHost host;
    host.first = 1;   // right to left
    host.second = 6;  // six blinds
    tab->setDialogHost(host);

    const std::vector<TransitionKind> before = kinds();
    tab->transitionList()->clearSelection();
    tab->customizeTransition();
    EXPECT_EQ(host.opened, 0);
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown.front(), "No select Transtion Effect in list!");
    apply("applyTransitionButton", false);  // nothing chosen: nothing applied
    EXPECT_EQ(kinds(), before);

    tab->transitionList()->setCurrentRow(3);
    QTest::mouseClick(tab->findChild<QPushButton*>(QStringLiteral("customizeTransitionButton")),
                      Qt::LeftButton);
    EXPECT_EQ(host.opened, 1);
    apply("applyTransitionButton", false);
    for (const SlideImage& picture : current().pictures) {
        const TransitionSetting& transition = *picture.settings.effect.transition;
        EXPECT_EQ(transition.kind(), TransitionKind::Blinds);
        EXPECT_EQ(transition.firstParameter(), 1);
        EXPECT_EQ(transition.secondParameter(), 6);
    }
}

}  // namespace
}  // namespace velmora
