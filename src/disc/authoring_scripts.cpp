#include "disc/authoring_scripts.h"

#include <string>
#include <system_error>
#include <vector>

#include "base/log.h"
#include "base/markup_document.h"
#include "base/markup_file.h"
#include "base/notifier.h"
#include "image/picture_loader.h"
#include "menu/menu_masks.h"
#include "menu/menu_set.h"
#include "menu/menu_theme.h"
#include "menu/theme_catalogue.h"
#include "model/project.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

std::string jump(const char* command, int number) {
    return std::string(command) + " " + std::to_string(number) + ";";
}

// Appends an element with attributes after the current one.
void appendWithAttributes(
    MarkupDocument& doc, std::string_view name,
    std::initializer_list<std::pair<std::string_view, std::string>> attributes,
    std::string_view text = {}) {
    doc.appendElement(name, text);
    for (const auto& [attribute, value] : attributes)
        doc.setAttribute(doc.currentIndex(), attribute, value);
}

// The spumux script of one subpicture stream of a page.
std::string subpictureScript(const fs::path& highlight, const fs::path& select,
                             const std::vector<FrameBox>& boxes) {
    MarkupDocument doc;
    doc.appendElement("subpictures");
    doc.enter();
    doc.appendElement("stream");
    doc.enter();
    appendWithAttributes(doc, "spu",
                         {{"start", "00:00:00.0"},
                          {"end", "00:00:00.0"},
                          {"highlight", highlight.string()},
                          {"select", select.string()}});
    doc.enter();
    int number = 1;
    for (const FrameBox& box : boxes) {
        appendWithAttributes(doc, "button",
                             {{"name", std::to_string(number++)},
                              {"x0", std::to_string(box.x0)},
                              {"y0", std::to_string(box.y0)},
                              {"x1", std::to_string(box.x1)},
                              {"y1", std::to_string(box.y1)}});
    }
    return doc.doc();
}

}  // namespace

AuthoringScripts::AuthoringScripts(Project& project, const MenuSet& menu,
                                   const ThemeCatalogue& catalogue,
                                   const AuthoringSettings& settings, Notifier& notifier,
                                   const Log& log)
    : project_(project),
      menu_(menu),
      catalogue_(catalogue),
      settings_(settings),
      notifier_(notifier),
      log_(log) {}

bool AuthoringScripts::writeAuthoringScripts() {
    if (!writeMenuMasks(menu_, catalogue_, settings_.format, settings_.maskTemplate)) return false;
    for (int i = 0; i < menu_.pageCount(); ++i) {
        if (!writeSubpictureScript(i)) {
            notifier_.show("Can not save xml file for menu!", "Velmora", NotifierIcon::Warning);
            break;
        }
    }
    return writeAuthoringScript();
}

bool AuthoringScripts::writeSubpictureScript(int pageIndex) {
    const MenuTheme* theme = catalogue_.selectedTheme();
    if (theme == nullptr || pageIndex < 0 || pageIndex >= menu_.pageCount()) return false;
    std::string reason;
    const QSize background = loadPicture(theme->backgroundPath, &reason).size();
    if (background.isEmpty()) return false;
    const MenuPage& page = menu_.pages[size_t(pageIndex)];
    std::error_code ignored;
    fs::remove(page.subpictureScriptPath, ignored);

    const FrameScale scale(background, dvdFrameHeight(settings_.subpictureStandard));
    std::vector<FrameBox> boxes;
    for (const MenuButton& b : page.buttons)
        boxes.push_back(scale.box(b.x, b.y, b.width, b.height));
    for (const MenuControlButton& b : page.controlButtons)
        boxes.push_back(scale.box(b.x, b.y, b.width, b.height));

    std::string error;
    bool written = writeMarkupFile(
        page.subpictureScriptPath,
        subpictureScript(page.highlightMaskPath, page.selectMaskPath, boxes), &error);
    if (written && isWide()) {
        for (FrameBox& box : boxes)
            box = letterboxed(box, scale.frameHeight());
        written = writeMarkupFile(letterboxFile(page.subpictureScriptPath),
                                  subpictureScript(letterboxFile(page.highlightMaskPath),
                                                   letterboxFile(page.selectMaskPath), boxes),
                                  &error);
    }
    if (!written) log_.writeLog("Subpicture script not written: " + error);
    return written;
}

bool AuthoringScripts::writeAuthoringScript() {
    project_.numberSlideshowOutputs();
    std::vector<std::pair<std::string_view, std::string>> video = {
        {"format", settings_.format.isPal() ? "pal" : "ntsc"}};
    if (!isWide()) video.push_back({"aspect", "4:3"});
    // A 16:9 picture on a 4:3 set is letterboxed, never cropped: the
    // buttons of the letterbox stream are placed for exactly that.
    if (isWide()) {
        video.push_back({"aspect", "16:9"});
        video.push_back({"widescreen", "nopanscan"});
    }
    auto appendVideo = [&](MarkupDocument& doc) {
        doc.appendElement("video");
        for (const auto& [attribute, value] : video)
            doc.setAttribute(doc.currentIndex(), attribute, value);
    };

    MarkupDocument doc;
    doc.appendElement("dvdauthor");
    doc.enter();
    doc.appendElement("vmgm");
    doc.enter();
    doc.appendElement("menus");
    doc.enter();
    appendVideo(doc);
    if (isWide()) {
        doc.appendElement("subpicture");
        doc.enter();
        appendWithAttributes(doc, "stream", {{"mode", "widescreen"}, {"id", "0"}});
        appendWithAttributes(doc, "stream", {{"mode", "letterbox"}, {"id", "1"}});
        doc.leave();
    }
    int title = 1;
    for (int p = 0; p < menu_.pageCount(); ++p) {
        const MenuPage& page = menu_.pages[size_t(p)];
        doc.appendElement("pgc");
        doc.enter();
        int name = 1;
        for (size_t k = 0; k < page.buttons.size(); ++k) {
            appendWithAttributes(doc, "button", {{"name", std::to_string(name++)}},
                                 jump("jump title", title++));
        }
        for (const MenuControlButton& button : page.controlButtons) {
            const int menu = button.type == MenuControlButton::Previous ? p : p + 2;
            appendWithAttributes(doc, "button", {{"name", std::to_string(name++)}},
                                 jump("jump menu", menu));
        }
        appendWithAttributes(doc, "vob", {{"file", page.menuStreamPath.string()}});
        doc.appendElement("post", jump("jump menu", p + 1));
        doc.leave();
    }
    doc.leave();
    doc.leave();

    doc.appendElement("titleset");
    doc.enter();
    doc.appendElement("titles");
    doc.enter();
    appendVideo(doc);
    const auto& slideshows = project_.slideshows;
    for (size_t j = 0; j < slideshows.size(); ++j) {
        doc.appendElement("pgc");
        doc.enter();
        appendWithAttributes(doc, "vob",
                             {{"file", slideshows[j]->programStreamPath.string()}, {"pause", "1"}});
        const bool last = j + 1 == slideshows.size();
        doc.appendElement("post", last ? "call vmgm menu 1;" : jump("jump title", int(j) + 2));
        doc.leave();
    }

    std::string error;
    if (!writeMarkupFile(project_.authorScriptPath, doc.doc(), &error)) {
        log_.writeLog("Authoring script not written: " + error);
        return false;
    }
    return true;
}

}  // namespace velmora
