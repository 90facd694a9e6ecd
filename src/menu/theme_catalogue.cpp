#include "menu/theme_catalogue.h"

#include <algorithm>
#include <string>

#include "base/log.h"
#include "base/path_text.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The theme folders, in name order (the order a directory listing gives on
// the systems the themes were made for).
std::vector<fs::path> themeFolders(const fs::path& themeFolder) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(themeFolder, error)) {
        if (entry.is_directory(error)) folders.push_back(entry.path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

}  // namespace

bool ThemeCatalogue::loadThemes(const fs::path& themeFolder, const Log& log) {
    std::vector<MenuTheme> read;
    for (const fs::path& folder : themeFolders(themeFolder)) {
        std::string reason;
        auto theme = readMenuTheme(folder / "config.xml", &reason);
        if (!theme) {
            log.writeLog("Theme left out: " + reason);
            continue;
        }
        // Pages could not be made from it: leave it out rather than fail later.
        if (const std::string unusable = unusableThemeReason(*theme); !unusable.empty()) {
            log.writeLog("Theme left out: " + quotedPath(folder) +
                         " cannot make menu pages: " + unusable);
            continue;
        }
        read.push_back(std::move(*theme));
    }
    themes_.clear();
    for (int i = 0; i < int(read.size()); ++i) {
        const auto found = std::find_if(read.begin(), read.end(),
                                        [i](const MenuTheme& theme) { return theme.index == i; });
        if (found != read.end()) themes_.push_back(*found);
    }
    selected_ = 0;
    return !read.empty();
}

void ThemeCatalogue::select(int i) {
    if (i >= 0 && i < themeCount()) selected_ = i;
}

}  // namespace velmora
