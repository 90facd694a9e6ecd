#include "disc/disc_overview.h"

#include <cstdio>

#include "interfaces/video_format.h"
#include "menu/menu_set.h"
#include "model/project.h"
#include "model/slideshow.h"

namespace velmora {

DiscTree rebuildDiscTree(const std::vector<std::unique_ptr<Slideshow>>& slideshows,
                         int framesPerSecond, int menuPageCount) {
    DiscTree tree;
    for (const auto& slideshow : slideshows) {
        if (tree.children.empty()) tree.children.push_back({DiscTreeKind::Menu, "Menu", 0, 0, {}});
        tree.children.push_back({DiscTreeKind::Slideshow, slideshow->name,
                                 int(slideshow->pictures.size()),
                                 slideshow->totalFrames / framesPerSecond, slideshow->coverPath});
    }
    refreshDiscTreeCounts(tree, menuPageCount, int(slideshows.size()));
    return tree;
}

DiscTree rebuildDiscTree(Project& project, const MenuSet& menu) {
    return rebuildDiscTree(project.slideshows, framesPerSecond(project.defaults().tvStandard),
                           menu.pageCount());
}

void refreshDiscTreeCounts(DiscTree& tree, int menuPageCount, int slideshowCount) {
    tree.root.a = menuPageCount;
    tree.root.b = slideshowCount;
    if (!tree.children.empty() && tree.children.front().kind == DiscTreeKind::Menu)
        tree.children.front().a = menuPageCount;
}

void removeDiscTreeSlideshow(DiscTree& tree, int index, int menuPageCount, int slideshowCount) {
    refreshDiscTreeCounts(tree, menuPageCount, slideshowCount);
    // Position 0 is the first item after the menu item.
    const size_t at = size_t(index) + 1;
    if (index >= 0 && at < tree.children.size())
        tree.children.erase(tree.children.begin() + ptrdiff_t(at));
}

DiscTreeTooltip discTreeTooltip(const DiscTreeItem& item) {
    char text[128];
    switch (item.kind) {
        case DiscTreeKind::Disc:
            std::snprintf(text, sizeof text, "Menu: %d    Slideshow: %d", item.a, item.b);
            return {"DVD disk", text, {}};
        case DiscTreeKind::Menu:
            std::snprintf(text, sizeof text, "Page: %d", item.a);
            return {"DVD menu", text, {}};
        case DiscTreeKind::Slideshow:
            break;
    }
    const int seconds = item.b;
    std::snprintf(text, sizeof text, "Image: %d\nDuration: %02d:%02d:%02d", item.a, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return {"Slideshow Info", text, item.cover};
}

}  // namespace velmora
