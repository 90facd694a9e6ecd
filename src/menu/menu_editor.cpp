#include "menu/menu_editor.h"

#include <cstdlib>

#include "menu/menu_set.h"
#include "menu/menu_theme.h"
#include "menu/theme_catalogue.h"
#include "model/project.h"

namespace velmora {

namespace {

// The side of the squares around a text's box that count as the text too,
// so that a click just off its lower right still picks it.
constexpr int kHandleSide = 6;

QRect handleAround(QPoint centre) {
    return QRect(centre.x() - kHandleSide / 2, centre.y() - kHandleSide / 2, kHandleSide,
                 kHandleSide);
}

// The box, plus the squares centred on its bottom-right corner, on the middle
// of its bottom edge and on the middle of its right edge. The corner and
// edges lie on the box's far sides (one past its last pixels).
bool hitAreaHolds(const QRect& box, QPoint point) {
    const int right = box.x() + box.width();
    const int bottom = box.y() + box.height();
    return box.contains(point) || handleAround({right, bottom}).contains(point) ||
           handleAround({box.x() + box.width() / 2, bottom}).contains(point) ||
           handleAround({right, box.y() + box.height() / 2}).contains(point);
}

// Marching ants: the dashes of the top and right edges move one way as the
// tick grows, those of the bottom and left edges the other, so the outline
// seems to run round the box. A negative remainder is white.
bool outlinePixelIsBlack(int x, int y, int tick, bool topOrRight) {
    const int phase = topOrRight ? x + y + tick : x + y - tick;
    return phase % 6 > 2;
}

void plotOutlinePixel(QImage& surface, int x, int y, int tick, bool topOrRight) {
    if (!surface.rect().contains(x, y)) return;
    surface.setPixel(
        x, y, outlinePixelIsBlack(x, y, tick, topOrRight) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
}

// Surface pixels back to pixels of the theme's background, truncated.
int unscaled(int surfacePixels, float factor) {
    return static_cast<int>(static_cast<double>(surfacePixels) / static_cast<double>(factor));
}

}  // namespace

MenuEditor::MenuEditor(MenuSet& menu, Project& project, const ThemeCatalogue& catalogue,
                       Notifier& notifier, std::filesystem::path fallbackBackground)
    : menu_(menu),
      project_(project),
      catalogue_(catalogue),
      composer_(notifier, std::move(fallbackBackground)) {}

void MenuEditor::setVideoFormat(const VideoFormat& format) {
    format_ = format;
}

void MenuEditor::showBackground(const std::filesystem::path& background) {
    clearSelection();
    composer_.clearItems();
    composer_.setBackground(background, format_.isWide());
    shown_ = composer_.surface();
}

void MenuEditor::showCurrentPage() {
    if (project_.slideshows.empty()) return;
    // The selected theme, as the build composes the page pictures with, so
    // that the canvas shows exactly what the disc will.
    const MenuTheme* theme = catalogue_.selectedTheme();
    if (theme == nullptr) return;
    // Emptied first: no outline may be drawn while the page pictures are.
    clearSelection();
    composer_.setBackground(theme->backgroundPath, format_.isWide());
    composer_.setFramePicture(*theme);
    const std::vector<std::filesystem::path> covers = slideshowCoverPictures(project_);
    const ComposedFrameSize pageSize = format_.composedFrameSize();
    renderPagePictures(composer_, menu_, covers, {pageSize.width, pageSize.height});

    composer_.clearItems();
    if (const MenuPage* page = menu_.shownPage()) {
        for (const MenuText& text : page->texts)
            composer_.addText(text);
        for (const MenuButton& button : page->buttons) {
            const bool known =
                button.slideshowIndex >= 0 && button.slideshowIndex < int(covers.size());
            composer_.addButton(
                known ? covers[size_t(button.slideshowIndex)] : std::filesystem::path(), button);
        }
        for (const MenuControlButton& button : page->controlButtons)
            composer_.addNavigation(button);
    }
    redraw();
}

void MenuEditor::showPage(int i) {
    menu_.setCurrentPage(i);
    showCurrentPage();
}

int MenuEditor::selectAt(QPoint surfacePoint) {
    clearSelection();
    std::vector<ComposerItem>& items = composer_.items();
    for (size_t i = 0; i < items.size(); ++i) {
        ComposerItem& item = items[i];
        if (item.kind != ComposerItem::Text || !hitAreaHolds(item.box, surfacePoint)) continue;
        item.selected = true;
        selection_.push_back(int(i));
    }
    redraw();
    return selectedCount();
}

std::optional<std::string> MenuEditor::singleSelectedText() const {
    if (selection_.size() != 1) return std::nullopt;
    return firstSelected()->text;
}

bool MenuEditor::editSelectedText(const std::string& text) {
    ComposerItem* item = firstSelected();
    if (item == nullptr) return false;
    const int i = selection_.front();
    const std::string old = item->text;
    if (MenuText* record = shownText(i)) record->setText(text);
    if (i == 0) {
        item->text = text;  // the title
    } else if (project_.renameSlideshow(old, text) != -1) {
        // A caption is its slideshow's name; a refused name leaves the old
        // one on the canvas, so the next keystroke renames from it.
        item->text = text;
    }
    redraw();
    project_.flags().modified = true;
    project_.flags().menuStale = true;
    return true;
}

FontRecord MenuEditor::selectedFont() const {
    const ComposerItem* item = firstSelected();
    return item == nullptr ? FontRecord{"", 0, 0, false} : item->font;
}

void MenuEditor::setSelectedFont(FontRecord font) {
    ComposerItem* item = firstSelected();
    if (item == nullptr) return;
    project_.flags().modified = true;
    font.pixelHeight = std::abs(font.pixelHeight);
    item->font = font;
    composer_.redraw();
    // The item's box after drawing is the box of its text record on the
    // surface: drawing measures only the one-line width of the words, and a
    // box shrunk to that would make every longer caption typed later wrap.
    // The model keeps the box and the height in background pixels.
    if (MenuText* record = shownText(selection_.front())) {
        FontRecord modelFont = font;
        modelFont.pixelHeight = unscaled(font.pixelHeight, composer_.sy());
        record->setFont(modelFont, unscaled(item->box.width(), composer_.sx()),
                        unscaled(item->box.height(), composer_.sy()));
    }
    redraw();
}

uint32_t MenuEditor::selectedColour() const {
    const ComposerItem* item = firstSelected();
    return item == nullptr ? 0 : item->colour;
}

void MenuEditor::setSelectedColour(uint32_t colour) {
    ComposerItem* item = firstSelected();
    if (item == nullptr) return;
    item->colour = colour;
    if (MenuText* record = shownText(selection_.front())) record->colour = colour;
    redraw();
}

void MenuEditor::tickOutline() {
    tick_ = tick_ == kLastOutlineTick ? 0 : tick_ + 1;
    drawOutlines();
}

void MenuEditor::drawOutlines() {
    if (shown_.isNull()) return;
    for (int i : selection_) {
        const QRect& box = composer_.items()[size_t(i)].box;
        if (box.isEmpty()) continue;
        // Drawn top, right, bottom, left: a corner takes the later edge's dash.
        for (int x = box.left(); x <= box.right(); ++x)
            plotOutlinePixel(shown_, x, box.top(), tick_, true);
        for (int y = box.top(); y <= box.bottom(); ++y)
            plotOutlinePixel(shown_, box.right(), y, tick_, true);
        for (int x = box.left(); x <= box.right(); ++x)
            plotOutlinePixel(shown_, x, box.bottom(), tick_, false);
        for (int y = box.top(); y <= box.bottom(); ++y)
            plotOutlinePixel(shown_, box.left(), y, tick_, false);
    }
}

// The outline goes on a copy of the surface: the surface stays the page as
// the disc shows it.
void MenuEditor::redraw() {
    composer_.redraw();
    shown_ = composer_.surface();
    drawOutlines();
}

void MenuEditor::clearSelection() {
    selection_.clear();
    for (ComposerItem& item : composer_.items())
        item.selected = false;
}

ComposerItem* MenuEditor::firstSelected() {
    if (selection_.empty()) return nullptr;
    return &composer_.items()[size_t(selection_.front())];
}

const ComposerItem* MenuEditor::firstSelected() const {
    // The composer hands its items out for change only; reading one here
    // changes nothing.
    return const_cast<MenuEditor*>(this)->firstSelected();
}

MenuText* MenuEditor::shownText(int i) {
    MenuPage* page = menu_.shownPage();
    if (page == nullptr || i < 0 || i >= page->textCount()) return nullptr;
    return &page->texts[size_t(i)];
}

}  // namespace velmora
