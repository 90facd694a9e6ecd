#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class MenuSet;
class Project;
class Slideshow;

// The small tree of the slideshow tab that sums up the disc to be built:
// the disc, its menu and each slideshow with its picture count and running
// time. The widget shows these items as they stand.

enum class DiscTreeKind : int { Disc = 0, Menu = 1, Slideshow = 2 };

struct DiscTreeItem {
    DiscTreeKind kind = DiscTreeKind::Disc;
    std::string text;
    // Disc: menu pages, slideshows. Menu: menu pages, 0. Slideshow:
    // pictures, running time in whole seconds.
    int a = 0;
    int b = 0;
    std::filesystem::path cover;  // Slideshow: its cover picture (80 × 60)
};

struct DiscTree {
    DiscTreeItem root{DiscTreeKind::Disc, "VideoDisc", 0, 0, {}};
    // Empty while the disc has no slideshow; then "Menu" first and the
    // slideshows after it in order. The root is shown expanded once it has
    // children.
    std::vector<DiscTreeItem> children;
};

// The tree made anew for the slideshows, whose running time counts
// framesPerSecond frames a second.
DiscTree rebuildDiscTree(const std::vector<std::unique_ptr<Slideshow>>& slideshows,
                         int framesPerSecond, int menuPageCount);
// The same for the project's slideshows, its TV standard and the menu's pages.
DiscTree rebuildDiscTree(Project& project, const MenuSet& menu);

// Sets the counts of the root (menu pages, slideshows) and of the menu item
// (menu pages).
void refreshDiscTreeCounts(DiscTree& tree, int menuPageCount, int slideshowCount);

// After slideshow `index` has left the project: refreshes the counts to the
// numbers given (those after the removal) and removes its item, when there
// is one. Unlike a rebuild it keeps the "Menu" item when the last slideshow
// goes.
void removeDiscTreeSlideshow(DiscTree& tree, int index, int menuPageCount, int slideshowCount);

// The tooltip of an item: a title, the text and, for a slideshow, its cover.
struct DiscTreeTooltip {
    std::string title;
    std::string text;
    std::filesystem::path picture;  // empty: none
};
DiscTreeTooltip discTreeTooltip(const DiscTreeItem& item);

}  // namespace velmora
