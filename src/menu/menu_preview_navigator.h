#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <vector>

#include "menu/menu_set.h"

namespace velmora {

// What the preview window does after a user action or a slideshow's end.
struct MenuPreviewStep {
    enum Kind {
        None,           // nothing changes but the frames
        PlaySlideshow,  // show the video and play slideshowIndex
        ShowPage,       // show shownPage's picture and start the menu music again
        BackToMenu,     // show the menu view again and start the menu music again
    };
    Kind kind = None;
    int slideshowIndex = -1;

    friend bool operator==(const MenuPreviewStep&, const MenuPreviewStep&) = default;
};

// One of the one-pixel outlines drawn around the focused button: every
// pixel on the border of `rect` (both edges inclusive) in `colour`.
struct MenuPreviewFrame {
    QRect rect;
    QColor colour;

    friend bool operator==(const MenuPreviewFrame&, const MenuPreviewFrame&) = default;
};

// The menu preview as a DVD player would play it, without any window: which
// page shows, which button has the focus, whether it is held down, which
// slideshow plays. Points are in view pixels: a button's rectangle is its
// background rectangle times the view's scale factors, truncated, as the
// page pictures and the masks are made; its right and bottom edges belong
// to the next pixel (a 10-pixel-wide button covers ten columns).
//
// Focus ids: 0 … B − 1 for the slideshow buttons of a page (B the theme's
// button slots), B for Previous and B + 1 for Next.
class MenuPreviewNavigator {
  public:
    static constexpr int kNoFocus = -1;

    // `pages` outlives the navigator; `slideshowCount` is the project's.
    MenuPreviewNavigator(const std::vector<MenuPage>& pages, int buttonSlots, float scaleX,
                         float scaleY, int slideshowCount);

    int shownPage() const { return shownPage_; }
    int focus() const { return focus_; }
    bool isPressed() const { return pressed_; }
    // The slideshow that plays, −1 while the menu shows.
    int playedSlideshow() const { return playedSlideshow_; }
    int buttonSlots() const { return buttonSlots_; }

    // The focus id of the button under `point` on the shown page, or
    // kNoFocus: slideshow buttons first, then the navigation buttons.
    int hitTest(QPoint point) const;
    // The focused button's rectangle in view pixels (null when none).
    QRect focusedRect() const;

    // The mouse moved over the menu: the focus follows it.
    void mouseMoved(QPoint point);
    // The left button went down: the focus goes to the point and is held.
    void mousePressed(QPoint point);
    // The left button came up: the focused button acts.
    MenuPreviewStep mouseReleased();

    // The remote control's arrows walk the shown page's buttons in list
    // order: the slideshow buttons in the theme's slot order, then Previous,
    // then Next (the order the hit test tries them in).
    // Right and Down go forward, Left and Up back; the walk stops at either
    // end rather than wrapping, as most players do. From no focus, forward
    // starts at the first button and back at the last.
    void focusForward();
    void focusBack();
    // Enter or Space: the focused button is pressed and released.
    MenuPreviewStep activateFocus();

    // The playing slideshow played to its end: the next one, or back to the
    // menu after the project's last.
    MenuPreviewStep slideshowEnded();
    // The "Menu" button: back to the menu whatever plays.
    MenuPreviewStep returnToMenu();

    // The outlines to draw over the page picture: the focused button's
    // rectangle and the one a pixel inside it, red, blue while pressed;
    // none without focus or while a slideshow plays.
    std::vector<MenuPreviewFrame> frames() const;

  private:
    struct Target {
        QRect rect;
        int focus = kNoFocus;
    };
    std::vector<Target> targetsOf(int page) const;
    QRect scaledRect(int x, int y, int width, int height) const;
    MenuPreviewStep act();
    MenuPreviewStep showPage(int page);
    MenuPreviewStep play(int slideshow);
    void stepFocus(int direction);

    const std::vector<MenuPage>& pages_;
    int buttonSlots_;
    float scaleX_;
    float scaleY_;
    int slideshowCount_;
    int shownPage_ = 0;
    int focus_ = kNoFocus;
    bool pressed_ = false;
    int playedSlideshow_ = -1;
};

}  // namespace velmora
