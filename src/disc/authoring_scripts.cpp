#include "disc/authoring_scripts.h"

#include <cstdio>
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

// Where a slideshow's button is: the menu page (numbered from 1, as the
// video manager's menus are) and the button's number on it.
struct ButtonPlace {
    int menu = 1;
    int button = 1;
};

std::vector<ButtonPlace> slideshowButtons(const MenuSet& menu) {
    std::vector<ButtonPlace> places;
    for (int p = 0; p < menu.pageCount(); ++p) {
        for (size_t k = 0; k < menu.pages[size_t(p)].buttons.size(); ++k)
            places.push_back({p + 1, int(k) + 1});
    }
    return places;
}

// The disc's commands keep their state in two general registers:
//   g1  the button a menu page highlights when it starts (its number times
//       1024, as the highlight register holds it); 0 leaves the player's;
//   g2  the menu page of the slideshow playing.
// A page keeps the viewer's button when it loops, a slideshow's button is
// highlighted when the menu comes back after it, and the remote's MENU key
// (the title set's root menu) returns to the page holding that button.
std::string menuPageStart() {
    return "if (g1 != 0) { button = g1; g1 = 0; }";
}

std::string menuPageLoop(int menuNumber) {
    return "g1 = s8; " + jump("jump menu", menuNumber);
}

std::string slideshowStart(const ButtonPlace& place) {
    return "g1 = " + std::to_string(place.button * 1024) + "; g2 = " + std::to_string(place.menu) +
           ";";
}

std::string rootMenu(int pageCount) {
    std::string commands;
    for (int page = 2; page <= pageCount; ++page)
        commands += "if (g2 == " + std::to_string(page) + ") " + jump("jump vmgm menu", page) + " ";
    return commands + "jump vmgm menu 1;";
}

// A picture's start as dvdauthor reads chapter times, h:mm:ss.fff. The
// encoder opens a group of pictures there, so the chapter's cell can start
// on the picture's first frame (dvdauthor joins a group shorter than a
// VOBU may be to the one before, and the chapter then starts there).
std::string chapterTime(int frame, VideoFormat format) {
    const double framesPerSecond = format.isPal() ? 25.0 : 30000.0 / 1001.0;
    // Half a frame into the picture: dvdauthor counts from the earliest
    // stream's start, and the sound may start a few milliseconds before the
    // picture; the time still lies within the group that starts on the
    // picture's first frame.
    const auto milliseconds = static_cast<long long>((frame + 0.5) / framesPerSecond * 1000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", milliseconds / 3600000,
                  milliseconds / 60000 % 60, milliseconds / 1000 % 60, milliseconds % 1000);
    return text;
}

// One chapter per picture, where its segment (and the transition into it)
// begins: the first picture shows one second longer and has no transition.
std::string pictureChapters(const Slideshow& slideshow, VideoFormat format) {
    const int fps = format.framesPerSecond();
    std::string chapters;
    int frame = 0;
    for (size_t i = 0; i < slideshow.pictures.size(); ++i) {
        if (i > 0) chapters += ",";
        chapters += chapterTime(frame, format);
        const EffectSetting& effect = slideshow.pictures[i].settings.effect;
        frame += (effect.displayTime + (i == 0 ? 1 : effect.transitionTime)) * fps;
    }
    return chapters;
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
        doc.appendElement("pre", menuPageStart());
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
        doc.appendElement("post", menuPageLoop(p + 1));
        doc.leave();
    }
    doc.leave();
    doc.leave();

    doc.appendElement("titleset");
    doc.enter();
    doc.appendElement("menus");
    doc.enter();
    appendVideo(doc);
    appendWithAttributes(doc, "pgc", {{"entry", "root"}});
    doc.enter();
    doc.appendElement("pre", rootMenu(menu_.pageCount()));
    doc.leave();
    doc.leave();
    doc.appendElement("titles");
    doc.enter();
    appendVideo(doc);
    const auto& slideshows = project_.slideshows;
    const std::vector<ButtonPlace> places = slideshowButtons(menu_);
    for (size_t j = 0; j < slideshows.size(); ++j) {
        const ButtonPlace place = j < places.size() ? places[j] : ButtonPlace{};
        doc.appendElement("pgc");
        doc.enter();
        doc.appendElement("pre", slideshowStart(place));
        appendWithAttributes(doc, "vob",
                             {{"file", slideshows[j]->programStreamPath.string()}, {"pause", "1"}});
        if (!slideshows[j]->pictures.empty()) {
            doc.setAttribute(doc.currentIndex(), "chapters",
                             pictureChapters(*slideshows[j], settings_.format));
        }
        const bool last = j + 1 == slideshows.size();
        doc.appendElement(
            "post", last ? jump("call vmgm menu", place.menu) : jump("jump title", int(j) + 2));
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
