#include "menu/menu_preview_navigator.h"

#include <algorithm>

namespace velmora {

namespace {

const QColor kFocusColour(255, 0, 0);
const QColor kPressedColour(0, 0, 255);

// A background coordinate in view pixels: the product with the
// single-precision factor, truncated, as the page pictures are drawn.
int scaled(int value, float factor) {
    return static_cast<int>(static_cast<double>(value) * static_cast<double>(factor));
}

}  // namespace

MenuPreviewNavigator::MenuPreviewNavigator(const std::vector<MenuPage>& pages, int buttonSlots,
                                           float scaleX, float scaleY, int slideshowCount)
    : pages_(pages),
      buttonSlots_(buttonSlots),
      scaleX_(scaleX),
      scaleY_(scaleY),
      slideshowCount_(slideshowCount) {}

QRect MenuPreviewNavigator::scaledRect(int x, int y, int width, int height) const {
    const QPoint topLeft(scaled(x, scaleX_), scaled(y, scaleY_));
    const QPoint end(scaled(x + width, scaleX_), scaled(y + height, scaleY_));
    return QRect(topLeft, end - QPoint(1, 1));
}

std::vector<MenuPreviewNavigator::Target> MenuPreviewNavigator::targetsOf(int page) const {
    std::vector<Target> targets;
    if (page < 0 || page >= int(pages_.size())) return targets;
    const MenuPage& shown = pages_[size_t(page)];
    for (int k = 0; k < shown.buttonCount(); ++k) {
        const MenuButton& b = shown.buttons[size_t(k)];
        targets.push_back({scaledRect(b.x, b.y, b.width, b.height), k});
    }
    for (const MenuControlButton& c : shown.controlButtons) {
        const int id = c.type == MenuControlButton::Previous ? buttonSlots_ : buttonSlots_ + 1;
        targets.push_back({scaledRect(c.x, c.y, c.width, c.height), id});
    }
    return targets;
}

int MenuPreviewNavigator::hitTest(QPoint point) const {
    for (const Target& target : targetsOf(shownPage_)) {
        if (target.rect.contains(point)) return target.focus;
    }
    return kNoFocus;
}

QRect MenuPreviewNavigator::focusedRect() const {
    for (const Target& target : targetsOf(shownPage_)) {
        if (target.focus == focus_) return target.rect;
    }
    return {};
}

void MenuPreviewNavigator::mouseMoved(QPoint point) {
    focus_ = hitTest(point);
}

void MenuPreviewNavigator::mousePressed(QPoint point) {
    focus_ = hitTest(point);
    pressed_ = true;
}

MenuPreviewStep MenuPreviewNavigator::mouseReleased() {
    pressed_ = false;
    return act();
}

MenuPreviewStep MenuPreviewNavigator::activateFocus() {
    pressed_ = false;
    return act();
}

MenuPreviewStep MenuPreviewNavigator::act() {
    if (playedSlideshow_ >= 0 || focus_ == kNoFocus) return {};
    if (focus_ < buttonSlots_) return play(focus_ + shownPage_ * buttonSlots_);
    if (focus_ == buttonSlots_) return showPage(shownPage_ - 1);
    return showPage(shownPage_ + 1);
}

MenuPreviewStep MenuPreviewNavigator::showPage(int page) {
    if (page < 0 || page >= int(pages_.size())) return {};
    shownPage_ = page;
    // A button the new page does not have keeps no focus.
    if (focusedRect().isNull()) focus_ = kNoFocus;
    return {MenuPreviewStep::ShowPage, -1};
}

MenuPreviewStep MenuPreviewNavigator::play(int slideshow) {
    if (slideshow < 0 || slideshow >= slideshowCount_) return {};
    playedSlideshow_ = slideshow;
    return {MenuPreviewStep::PlaySlideshow, slideshow};
}

MenuPreviewStep MenuPreviewNavigator::slideshowEnded() {
    if (playedSlideshow_ < 0) return {};
    if (playedSlideshow_ + 1 < slideshowCount_) return play(playedSlideshow_ + 1);
    return returnToMenu();
}

MenuPreviewStep MenuPreviewNavigator::returnToMenu() {
    playedSlideshow_ = -1;
    return {MenuPreviewStep::BackToMenu, -1};
}

void MenuPreviewNavigator::focusForward() {
    stepFocus(+1);
}
void MenuPreviewNavigator::focusBack() {
    stepFocus(-1);
}

void MenuPreviewNavigator::stepFocus(int direction) {
    if (playedSlideshow_ >= 0) return;
    const std::vector<Target> targets = targetsOf(shownPage_);
    if (targets.empty()) return;
    const auto current = std::find_if(targets.begin(), targets.end(),
                                      [this](const Target& t) { return t.focus == focus_; });
    if (current == targets.end()) {
        focus_ = direction > 0 ? targets.front().focus : targets.back().focus;
        return;
    }
    const int index =
        std::clamp(int(current - targets.begin()) + direction, 0, int(targets.size()) - 1);
    focus_ = targets[size_t(index)].focus;
}

std::vector<MenuPreviewFrame> MenuPreviewNavigator::frames() const {
    const QRect rect = focusedRect();
    if (playedSlideshow_ >= 0 || rect.isNull()) return {};
    const QColor colour = pressed_ ? kPressedColour : kFocusColour;
    return {{rect, colour}, {rect.adjusted(1, 1, -1, -1), colour}};
}

}  // namespace velmora
