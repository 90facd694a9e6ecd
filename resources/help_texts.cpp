#include "help_texts.h"

#include <fstream>
#include <string_view>

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

struct TipLine {
    std::string_view text;
    std::string_view title;  // empty: the reader's "Did you know..."
};

// Only what the program really does: a tip that promises a missing
// feature costs more trust than it gains.
constexpr TipLine kTips[] = {
    {"Each slideshow becomes a title of its own on the DVD, with its own button in the disc "
     "menu. Gather your pictures into slideshows on the Photos page.",
     ""},
    {"Every picture has its own display time, motion effect and transition. Set them on the "
     "Effects page, for all pictures of the slideshow or only for the selected ones.",
     ""},
    {"To give one picture a particular transition, drag the transition from the list onto the "
     "picture in the strip at the bottom of the Effects page.",
     "Drag and drop"},
    {"A motion effect pans across a picture, zooms into it or zooms while turning, so that still "
     "pictures come alive. Choose \"None\" for a picture that should stand still.",
     ""},
    {"Many places have a right-click menu with the commands for what you clicked: try it on "
     "pictures and on slideshows.",
     "Right-click menus"},
    {"Add your own music on the Music page. The tracks play one after another under the "
     "slideshows, in the order you give them there.",
     "Music"},
    {"On the Menu page, choose a theme for the DVD menu, then click the title or a button caption "
     "to change its text, font and colour.",
     "The DVD menu"},
    {"Changing the caption of a slideshow's button in the menu renames the slideshow too.", ""},
    {"Choose PAL or NTSC in Settings to match the television that will play the disc: PAL in most "
     "of Europe, Africa and Australia, NTSC in North America and Japan.",
     "TV system"},
    {"Choose 4:3 or 16:9 in Settings to match the shape of the screen the disc will be played "
     "on.",
     ""},
    {"The Burn page makes the DVD folder (VIDEO_TS), an ISO image or a disc. A DVD folder plays "
     "in VLC or mpv, so you can watch the result before you burn it.",
     "Making the DVD"},
    {"Save your project with Ctrl+S: the project file (.prg) keeps your slideshows with their "
     "effects and music, and the menu. Ctrl+O opens it again.",
     "Projects"},
    {"Press F1 to open the manual.", "Help"},
};

std::string tipsText() {
    std::string text =
        "; The tips of Velmora, one a line, shown at start and from the Help menu.\n"
        "; Lines that begin with \";\", a space or a tab, and empty lines, are passed over.\n"
        "; Fields, separated by tabs: the tip, its title (empty: \"Did you know...\"),\n"
        "; a second text and a number.\n";
    for (const TipLine& tip : kTips) {
        text += tip.text;
        if (!tip.title.empty()) text += std::string("\t") + std::string(tip.title);
        text += '\n';
    }
    return text;
}

bool writeFile(const fs::path& file, std::string_view text, std::string* reason) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out) *reason = "cannot write " + file.string();
    return bool(out);
}

}  // namespace

bool writeHelpTexts(const fs::path& resourceFolder, std::string* reason) {
    return writeFile(resourceFolder / "Tips.txt", tipsText(), reason);
}

}  // namespace velmora::resources
