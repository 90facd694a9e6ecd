// The strip's changes of the slideshow: the page's apply commands, the
// in-place time edits, the context menu and deleting.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "model/motion_effect.h"
#include "workspace/application.h"
#include "workspace/picture_strip.h"
#include "workspace/slideshow_commands.h"

namespace velmora {

namespace {

constexpr int kLongestDisplayTimeSeconds = 200;
constexpr int kLongestTransitionTimeSeconds = 10;
constexpr size_t kLongestToolTipCharacters = 80;

// The leading decimal integer of a text as atoi reads it (spaces, a sign,
// digits), 0 when there is none; huge numbers stop at INT_MAX or INT_MIN.
int leadingInteger(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
        value = std::min(value * 10 + (text[at] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    return int(std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

}  // namespace

void PictureStrip::refreshPictureTexts() {
    for (int i = 0; i < pictureCount(); ++i) {
        const SlideImage& picture = slideshow_->pictures[size_t(i)];
        StripCell& cell = cells_[size_t(i)];
        cell.transitionTimeText = std::to_string(picture.settings.effect.transitionTime);
        cell.displayTimeText = std::to_string(picture.settings.effect.displayTime);
        cell.startText = picture.startText;
    }
}

void PictureStrip::refreshIcon(int pictureIndex) {
    if (pictureIndex >= 0 && pictureIndex < pictureCount())
        cells_[size_t(pictureIndex)].transitionIcon = iconOf(pictureIndex);
}

void PictureStrip::applyMotionCategory(bool selectedOnly, int category) {
    if (slideshow_ == nullptr) return;
    slideshow_->setMotionCategoryEffect(indicesFor(selectedOnly), category);
}

void PictureStrip::applyDisplayTime(bool selectedOnly, int seconds) {
    if (slideshow_ == nullptr) return;
    slideshow_->setDisplayTime(indicesFor(selectedOnly), seconds);
    refreshPictureTexts();
}

void PictureStrip::applyTransition(bool selectedOnly, int catalogueEntry) {
    if (slideshow_ == nullptr || catalogueEntry < 0 ||
        catalogueEntry >= TransitionCatalogue::kEntryCount)
        return;
    const std::vector<int> indices = indicesFor(selectedOnly);
    slideshow_->setTransition(indices, app_.preferences.catalogue.entry(catalogueEntry));
    for (const int index : indices)
        refreshIcon(index);
}

void PictureStrip::applyTransitionTime(bool selectedOnly, int seconds) {
    if (slideshow_ == nullptr) return;
    slideshow_->setTransitionTime(indicesFor(selectedOnly), seconds);
    refreshPictureTexts();
}

// In-place edits.

void PictureStrip::openEdit(int cellIndex, StripMode mode) {
    const StripCell& cell = cells_[size_t(cellIndex)];
    editCell_ = cellIndex;
    mode_ = mode;
    editStart_ =
        mode == StripMode::EditingDisplayTime ? cell.displayTimeText : cell.transitionTimeText;
}

QRect PictureStrip::editBox() const {
    if (!isEditing()) return {};
    const QRect box = mode_ == StripMode::EditingDisplayTime ? StripLayout::kDisplayTimeBox
                                                             : StripLayout::kTransitionTimeBox;
    return box.adjusted(-2, -2, 2, 2).translated(cellRect(editCell_).topLeft());
}

void PictureStrip::commitEdit(std::string_view typed) {
    if (!isEditing()) return;
    const int value = leadingInteger(typed.empty() ? std::string_view(editStart_) : typed);
    const int picture[] = {editCell_};
    if (mode_ == StripMode::EditingDisplayTime) {
        slideshow_->setDisplayTime(picture, std::clamp(value, 1, kLongestDisplayTimeSeconds));
    } else {
        slideshow_->setTransitionTime(picture, std::clamp(value, 0, kLongestTransitionTimeSeconds));
    }
    refreshPictureTexts();
    cancelEdit();
    picturesChanged();
}

void PictureStrip::cancelEdit() {
    editCell_ = -1;
    editStart_.clear();
    mode_ = StripMode::Idle;
}

// The context menu.

StripMenu PictureStrip::rightPress(QPoint point) {
    if (slideshow_ == nullptr) return StripMenu::None;
    const int q = cellIndexAt(point);
    StripCell& cell = cells_[size_t(q)];
    if (!holdsPicture(cell)) return StripMenu::None;
    menuCell_ = q;
    if (!cell.selected) {
        deselectAll();
        cell.selected = true;
    }
    const QPoint local(point.x() - cellRect(q).left(), point.y());
    if (StripLayout::kTransitionPart.contains(local)) return StripMenu::Transition;
    if (StripLayout::kPicturePart.contains(local)) return StripMenu::Picture;
    return StripMenu::None;
}

std::vector<StripMenuItem> PictureStrip::menuItems(StripMenu menu) const {
    const bool shown = slideshow_ != nullptr;
    const bool onPicture = shown && menuCell_ >= 0 && menuCell_ < pictureCount();
    const StripMenuItem randomizeMotion{StripCommand::RandomizeMotion,
                                        "Randomize Image effect (Pan/Zoom/Rotate)", shown};
    const StripMenuItem randomizeTransitions{StripCommand::RandomizeTransitions,
                                             "Randomize transition effect", shown};
    const StripMenuItem deletePictures{StripCommand::DeletePictures, "Delete image",
                                       shown && !selectedPictures().empty()};
    switch (menu) {
        case StripMenu::Transition:
            return {{StripCommand::EditTransitionTime, "Edit transition duration", onPicture},
                    deletePictures,
                    // There is nothing to preview from here: the item stays
                    // for its place in the menu.
                    {StripCommand::Preview, "Preview", false},
                    randomizeMotion,
                    randomizeTransitions};
        case StripMenu::Picture:
            return {{StripCommand::EditDisplayTime, "Edit image duration", onPicture},
                    deletePictures,
                    {StripCommand::RemoveMotion, "Delete Image effect (No Pan/Zoom/Ratate)", shown},
                    randomizeMotion,
                    randomizeTransitions};
        case StripMenu::None:
            break;
    }
    return {};
}

void PictureStrip::runCommand(StripCommand command) {
    if (slideshow_ == nullptr) return;
    const bool onPicture = menuCell_ >= 0 && menuCell_ < pictureCount();
    switch (command) {
        case StripCommand::EditTransitionTime:
            if (onPicture) openEdit(menuCell_, StripMode::EditingTransitionTime);
            break;
        case StripCommand::EditDisplayTime:
            if (onPicture) openEdit(menuCell_, StripMode::EditingDisplayTime);
            break;
        case StripCommand::DeletePictures:
            deleteSelected();
            break;
        case StripCommand::Preview:
            break;
        case StripCommand::RandomizeMotion:
            commands_.randomizeMotionEffects(indicesFor(false));
            break;
        case StripCommand::RemoveMotion:
            commands_.resetMotionEffects(indicesFor(false));
            break;
        case StripCommand::RandomizeTransitions:
            commands_.randomizeTransitions(indicesFor(false));
            for (int i = 0; i < pictureCount(); ++i)
                refreshIcon(i);
            break;
    }
}

// Deleting.

void PictureStrip::deleteSelected() {
    const std::vector<int> selected = selectedPictures();
    if (slideshow_ == nullptr || selected.empty()) return;
    const int oldCellCount = int(cells_.size());
    const bool slideshowWent = commands_.deletePictures(selected);
    range_.clear();
    menuCell_ = -1;
    if (slideshowWent) {
        slideshow_ = nullptr;
        showSlideshow(app_.project.currentSlideshow);
    } else {
        const int remaining = oldCellCount - int(selected.size());
        rebuildCells(remaining < visibleCount_ ? visibleCount_ + 2 : remaining);
        // One cell of context stays in view before the first gap.
        const int first = std::max(std::min(firstVisible_, selected.front()) - 1, 0);
        firstVisible_ = std::min(first, int(cells_.size()) - visibleCount_);
        scrollPos_ = firstVisible_ * StripLayout::kCellWidth;
        thumbnailsNeeded();
    }
    picturesChanged();
}

std::string PictureStrip::toolTipAt(QPoint point) const {
    const StripCell& cell = cells_[size_t(cellIndexAt(point))];
    if (!holdsPicture(cell)) return {};
    const MotionEffectKind effect =
        slideshow_->pictures[size_t(cell.index)].settings.effect.motionEffect;
    std::string tip = "Index:" + std::to_string(cell.index) +
                      "   Single Effect: " + std::string(motionEffectNames()[size_t(effect)]) + ".";
    if (tip.size() > kLongestToolTipCharacters) tip.resize(kLongestToolTipCharacters);
    return tip;
}

}  // namespace velmora
