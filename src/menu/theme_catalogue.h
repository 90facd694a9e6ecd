#pragma once

#include <filesystem>
#include <vector>

#include "menu/menu_theme.h"

namespace velmora {

class Log;

// The menu themes of the installation, by position; a theme's position is
// its INDEX when the installed themes are numbered 0, 1, 2 ... without gaps.
class ThemeCatalogue {
  public:
    // Reads every theme folder of `themeFolder` (R/theme): each holds a
    // config.xml. Position i gets the first theme (in folder-name order)
    // whose index is i; themes that cannot be read or cannot make menu
    // pages are left out with the reason in the log. True when at least one
    // theme was read.
    bool loadThemes(const std::filesystem::path& themeFolder, const Log& log);

    void select(int i);
    int selectedIndex() const { return selected_; }
    // The theme in use; null while the catalogue is empty.
    const MenuTheme* selectedTheme() const {
        return themes_.empty() ? nullptr : &themes_[size_t(selected_)];
    }
    int themeCount() const { return int(themes_.size()); }
    const std::vector<MenuTheme>& themes() const { return themes_; }

  private:
    std::vector<MenuTheme> themes_;
    int selected_ = 0;
};

}  // namespace velmora
