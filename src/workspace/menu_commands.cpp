#include "workspace/menu_commands.h"

#include "base/notifier.h"
#include "menu/menu_editor.h"
#include "menu/menu_theme.h"
#include "workspace/application.h"
#include "workspace/menu_preparation.h"

namespace velmora {

namespace fs = std::filesystem;

MenuCommands::MenuCommands(Application& app, MenuEditor& editor, Notifier& notifier)
    : app_(app), editor_(editor), notifier_(notifier), musicPath_(app.context.defaultMusic) {
    if (app.catalogue.themeCount() > 0) background_ = app.catalogue.themes()[0].backgroundPath;
}

bool MenuCommands::applyTheme(int index) {
    if (index < 0 || index >= app_.catalogue.themeCount()) return false;
    app_.catalogue.select(index);
    background_ = app_.catalogue.themes()[size_t(index)].backgroundPath;
    Project& project = app_.project;
    if (project.slideshows.empty()) return false;
    project.flags().menuStale = true;
    MenuSet& menu = app_.menu;
    menu.createPages(project.folders().working, slideshowNames(project), app_.catalogue);
    if (menu.menuSoundtrackPath.empty())
        menu.menuSoundtrackPath = project.folders().temporary / "menu.mp2";
    if (index < menu.pageCount()) menu.currentPage = index;
    regenerated();
    return true;
}

bool MenuCommands::refreshMenu() {
    Project& project = app_.project;
    if (!project.flags().menuStale) return false;
    MenuSet& menu = app_.menu;
    if (!menu.pages.empty()) background_ = menu.pages[0].backgroundPath;
    if (!menu.menuTracks.empty()) musicPath_ = menu.menuTracks[0].sourcePath;
    menu.updatePages(background_, musicPath_, project.folders().working, slideshowNames(project),
                     app_.catalogue, app_.context);
    regenerated();
    app_.log.writeLog("Create menu with " + std::to_string(menu.pageCount()) + " pages");
    return true;
}

// The editor writes every page picture as it shows the page; the scripts
// and masks follow them.
void MenuCommands::regenerated() {
    showMenu();
    lastFailure_.clear();
    if (!app_.project.slideshows.empty()) writeMenuScripts(app_, &lastFailure_);
    app_.project.flags().menuStale = false;
}

void MenuCommands::showMenu() {
    editor_.setVideoFormat(app_.preferences.videoFormat());
    if (app_.project.slideshows.empty())
        editor_.showBackground(background_);  // no page, or none any more
    else
        editor_.showCurrentPage();
}

bool MenuCommands::chooseMenuMusic(const fs::path& file) {
    if (app_.audio.GetFileTimeLength(file) == 0) {
        notifier_.show(
            "file:'" + file.string() + "' is not a legal mp3 file, so it will not be added!",
            "Velmora", NotifierIcon::Warning);
        return false;
    }
    musicPath_ = file;
    app_.menu.setMenuMusic(file, app_.project.folders().working, app_.context);
    app_.project.flags().modified = true;
    return true;
}

std::vector<std::string> MenuCommands::pageNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < app_.menu.pageCount(); ++i)
        names.push_back("Page" + std::to_string(i));
    return names;
}

}  // namespace velmora
