#include "menu/menu_preview_navigator.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

constexpr int kSlots = 4;
using Step = MenuPreviewStep;

// Five slideshows on a theme of four slots: page 0 holds buttons for 0–3
// and Next, page 1 the button of slideshow 4 and Previous. Background
// coordinates are halved into view pixels.
std::vector<MenuPage> fiveSlideshowPages() {
    std::vector<MenuPage> pages(2);
    for (int k = 0; k < kSlots; ++k)
        pages[0].buttons.push_back({100, 100 + 80 * k, 101, 61, k});
    pages[0].controlButtons.push_back({600, 500, 40, 30, {}, MenuControlButton::Next});
    pages[1].buttons.push_back({100, 100, 101, 61, 4});
    pages[1].controlButtons.push_back({20, 500, 40, 30, {}, MenuControlButton::Previous});
    return pages;
}

class MenuPreviewNavigatorTest : public ::testing::Test {
  protected:
    std::vector<MenuPage> pages = fiveSlideshowPages();
    MenuPreviewNavigator navigator{pages, kSlots, 0.5f, 0.5f, 5};

    Step click(QPoint point) {
        navigator.mousePressed(point);
        return navigator.mouseReleased();
    }
};

TEST_F(MenuPreviewNavigatorTest, HitTestFindsButtonsByTheirTruncatedScaledRectangles) {
    // Button 0 spans background 100..201 × 100..161: view columns 50..99,
    // rows 50..79 (100.5 and 80.5 truncate to the first pixel outside).
    const struct {
        int page;
        QPoint point;
        int expected;
    } cases[] = {
        {0, {50, 50}, 0},
        {0, {99, 79}, 0},
        {0, {100, 60}, MenuPreviewNavigator::kNoFocus},
        {0, {60, 80}, MenuPreviewNavigator::kNoFocus},
        {0, {60, 90}, 1},
        {0, {60, 170}, 3},
        {0, {300, 250}, kSlots + 1},  // Next
        {0, {20, 260}, MenuPreviewNavigator::kNoFocus},
        {1, {20, 260}, kSlots},  // Previous
        {1, {60, 90}, MenuPreviewNavigator::kNoFocus},
    };
    for (const auto& c : cases) {
        MenuPreviewNavigator nav(pages, kSlots, 0.5f, 0.5f, 5);
        if (c.page == 1) {
            nav.mousePressed({300, 250});
            ASSERT_EQ(nav.mouseReleased().kind, Step::ShowPage);
        }
        EXPECT_EQ(nav.hitTest(c.point), c.expected)
            << "page " << c.page << " at " << c.point.x() << "," << c.point.y();
    }
}

TEST_F(MenuPreviewNavigatorTest, FramesOutlineTheFocusedButtonRedThenBlueWhilePressed) {
    EXPECT_TRUE(navigator.frames().empty());
    navigator.mouseMoved({60, 60});
    const QRect button(QPoint(50, 50), QPoint(99, 79));
    const std::vector<MenuPreviewFrame> red = {{button, QColor(255, 0, 0)},
                                               {button.adjusted(1, 1, -1, -1), QColor(255, 0, 0)}};
    EXPECT_EQ(navigator.frames(), red);
    navigator.mousePressed({60, 60});
    ASSERT_EQ(navigator.frames().size(), 2u);
    EXPECT_EQ(navigator.frames()[0].colour, QColor(0, 0, 255));
    navigator.mouseMoved({5, 5});
    EXPECT_TRUE(navigator.frames().empty());
}

TEST_F(MenuPreviewNavigatorTest, NextShowsThePageAfterAndPreviousTheOneBefore) {
    EXPECT_EQ(click({300, 250}), (Step{Step::ShowPage, -1}));
    EXPECT_EQ(navigator.shownPage(), 1);
    EXPECT_EQ(click({20, 260}), (Step{Step::ShowPage, -1}));
    EXPECT_EQ(navigator.shownPage(), 0);
    // A click beside every button does nothing.
    EXPECT_EQ(click({5, 5}), Step{});
    EXPECT_EQ(navigator.shownPage(), 0);
}

TEST_F(MenuPreviewNavigatorTest, TheSingleButtonOfTheSecondPagePlaysTheLastSlideshowThenTheMenu) {
    click({300, 250});
    EXPECT_EQ(click({60, 60}), (Step{Step::PlaySlideshow, 4}));
    EXPECT_EQ(navigator.playedSlideshow(), 4);
    EXPECT_TRUE(navigator.frames().empty());
    EXPECT_EQ(navigator.slideshowEnded(), (Step{Step::BackToMenu, -1}));
    EXPECT_EQ(navigator.playedSlideshow(), -1);
    EXPECT_EQ(navigator.shownPage(), 1);
}

TEST_F(MenuPreviewNavigatorTest, TheSecondButtonPlaysEverySlideshowFromTheSecondOnThenTheMenu) {
    EXPECT_EQ(click({60, 90}), (Step{Step::PlaySlideshow, 1}));
    EXPECT_EQ(navigator.slideshowEnded(), (Step{Step::PlaySlideshow, 2}));
    EXPECT_EQ(navigator.slideshowEnded(), (Step{Step::PlaySlideshow, 3}));
    EXPECT_EQ(navigator.slideshowEnded(), (Step{Step::PlaySlideshow, 4}));
    EXPECT_EQ(navigator.slideshowEnded(), (Step{Step::BackToMenu, -1}));
    // A late end notice after the return changes nothing.
    EXPECT_EQ(navigator.slideshowEnded(), Step{});
}

TEST_F(MenuPreviewNavigatorTest, TheMenuButtonEndsThePlayAndTheMenuTakesClicksAgain) {
    click({60, 90});
    EXPECT_EQ(navigator.returnToMenu(), (Step{Step::BackToMenu, -1}));
    EXPECT_EQ(navigator.slideshowEnded(), Step{});
    EXPECT_EQ(click({60, 170}), (Step{Step::PlaySlideshow, 3}));
}

TEST_F(MenuPreviewNavigatorTest, ArrowsWalkThePageInListOrderAndEnterPressesTheFocus) {
    const struct {
        int forward;
        int back;
        int expected;
    } walks[] = {
        {1, 0, 0},          {0, 1, kSlots + 1},             // back from nothing: the last, Next
        {3, 0, 2},          {5, 0, kSlots + 1},             // stops at Next
        {9, 0, kSlots + 1}, {5, 1, 3},          {2, 9, 0},  // stops at the first
    };
    for (const auto& w : walks) {
        MenuPreviewNavigator nav(pages, kSlots, 0.5f, 0.5f, 5);
        for (int i = 0; i < w.forward; ++i)
            nav.focusForward();
        for (int i = 0; i < w.back; ++i)
            nav.focusBack();
        EXPECT_EQ(nav.focus(), w.expected) << w.forward << " forward, " << w.back << " back";
    }

    navigator.focusBack();  // Next
    EXPECT_EQ(navigator.activateFocus(), (Step{Step::ShowPage, -1}));
    EXPECT_EQ(navigator.shownPage(), 1);
    // Page 1 has no Next: the focus is gone, and the walk starts anew there.
    EXPECT_EQ(navigator.focus(), MenuPreviewNavigator::kNoFocus);
    navigator.focusForward();
    EXPECT_EQ(navigator.activateFocus(), (Step{Step::PlaySlideshow, 4}));
}

TEST_F(MenuPreviewNavigatorTest, AButtonBeyondTheLastSlideshowPlaysNothing) {
    MenuPreviewNavigator threeSlideshows(pages, kSlots, 0.5f, 0.5f, 3);
    threeSlideshows.mousePressed({60, 170});
    EXPECT_EQ(threeSlideshows.mouseReleased(), Step{});
    EXPECT_EQ(threeSlideshows.playedSlideshow(), -1);
}

}  // namespace
}  // namespace velmora
