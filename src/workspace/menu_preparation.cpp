#include "workspace/menu_preparation.h"

#include <vector>

#include "disc/authoring_scripts.h"
#include "interfaces/video_format.h"
#include "menu/menu_composer.h"
#include "menu/menu_theme.h"
#include "workspace/application.h"

namespace velmora {

namespace fs = std::filesystem;

std::vector<std::string> slideshowNames(const Project& project) {
    std::vector<std::string> names;
    for (const auto& slideshow : project.slideshows)
        names.push_back(slideshow->name);
    return names;
}

namespace {

void makePages(Application& app, bool regenerate) {
    MenuSet& menu = app.menu;
    const fs::path& working = app.project.folders().working;
    const std::vector<std::string> names = slideshowNames(app.project);
    if (regenerate || menu.pages.empty() || menu.menuTracks.empty()) {
        menu.createPages(working, names, app.catalogue);
    } else {
        menu.updatePages(menu.pages[0].backgroundPath, menu.menuTracks[0].sourcePath, working,
                         names, app.catalogue, app.context);
    }
    // Pages made only from a theme have no soundtrack file named yet.
    if (menu.menuSoundtrackPath.empty())
        menu.menuSoundtrackPath = app.project.folders().temporary / "menu.mp2";
}

}  // namespace

bool prepareMenu(Application& app, bool regenerate, const std::optional<std::string>& title,
                 std::string* reason) {
    const MenuTheme* theme = app.catalogue.selectedTheme();
    if (theme == nullptr) {
        *reason = "No menu theme is installed in " + app.resources.themeFolder.string() + ".";
        return false;
    }
    makePages(app, regenerate);
    if (title) {
        for (MenuPage& page : app.menu.pages) {
            if (!page.texts.empty()) page.texts[0].setText(*title);
        }
    }

    const VideoFormat format = app.preferences.videoFormat();
    MenuComposer composer(app.context.notifier, app.resources.background1);
    composer.setBackground(theme->backgroundPath, format.isWide());
    composer.setFramePicture(*theme);
    const ComposedFrameSize page = format.composedFrameSize();
    renderPagePictures(composer, app.menu, slideshowCoverPictures(app.project),
                       {page.width, page.height});

    if (!writeMenuScripts(app, reason)) return false;
    app.log.writeLog("Create menu with " + std::to_string(app.menu.pageCount()) + " pages");
    app.project.flags().menuStale = false;
    return true;
}

bool writeMenuScripts(Application& app, std::string* reason) {
    const VideoFormat format = app.preferences.videoFormat();
    const AuthoringSettings settings{
        format, app.preferences.tvFormat,
        format.isPal() ? app.resources.palSubpictureCanvas : app.resources.ntscSubpictureCanvas};
    AuthoringScripts scripts(app.project, app.menu, app.catalogue, settings, app.context.notifier,
                             app.log);
    if (scripts.writeAuthoringScripts()) return true;
    *reason =
        "The menu's scripts cannot be written in " + app.project.folders().temporary.string() + ".";
    return false;
}

std::string discTitle(const Application& app) {
    for (const MenuPage& page : app.menu.pages) {
        if (!page.texts.empty() && !page.texts[0].text.empty()) return page.texts[0].text;
    }
    if (!app.project.projectFilePath.empty()) return app.project.projectFilePath.stem().string();
    return "My DVD";
}

}  // namespace velmora
