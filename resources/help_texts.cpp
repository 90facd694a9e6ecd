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

constexpr std::string_view kManualPage = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Getting started - Velmora</title>
<style>
  body { font-family: sans-serif; line-height: 1.45; max-width: 46em; margin: 1.5em auto;
         padding: 0 1em; }
  h1, h2 { font-weight: 600; }
  table { border-collapse: collapse; }
  th, td { text-align: left; vertical-align: top; padding: 0.3em 1em 0.3em 0;
           border-bottom: 1px solid #8888; }
  kbd { font-family: monospace; }
</style>
</head>
<body>
<h1>Getting started</h1>

<p>Velmora turns your pictures into a video DVD. You gather pictures into
slideshows, give each picture a display time, a motion effect and a
transition, add music, design the disc menu and make the DVD. The five pages
of the main window follow that order.</p>

<h2>The five pages</h2>

<ol>
<li><p><strong>Photos.</strong> Gather your pictures into slideshows: add
picture files, or import whole folders, one slideshow for each folder. Each
slideshow becomes a title of its own on the DVD, with a button in the disc
menu. Right-click pictures and slideshows for more commands.</p></li>

<li><p><strong>Effects.</strong> Give the pictures of a slideshow their
display time, motion effect (pan, zoom, or zoom while turning) and
transition, for all pictures at once or only for the selected ones. To give
one picture a particular transition, drag the transition from the list onto
the picture in the strip.</p></li>

<li><p><strong>Music.</strong> Add the music that plays under the
slideshows, remove tracks and change their order.</p></li>

<li><p><strong>Menu.</strong> Choose a theme for the DVD menu. Click the
title or a button caption to change its text, font and colour; changing a
button's caption renames its slideshow.</p></li>

<li><p><strong>Burn.</strong> Make the DVD: the DVD folder (VIDEO_TS), an ISO
image or a disc.</p></li>
</ol>

<p>Before you make the DVD, check the TV system (PAL or NTSC) and the aspect
ratio (4:3 or 16:9) in <em>Settings</em>: they should match the television
that will play the disc.</p>

<h2>Project commands</h2>

<table>
<tr><th>Command</th><th>Keys</th><th>What it does</th></tr>
<tr><td>New</td><td><kbd>Ctrl+N</kbd></td><td>Starts an empty project.</td></tr>
<tr><td>Open</td><td><kbd>Ctrl+O</kbd></td><td>Opens a saved project file (.prg).</td></tr>
<tr><td>Save</td><td><kbd>Ctrl+S</kbd></td><td>Saves the project in its project file.</td></tr>
<tr><td>Save As</td><td><kbd>Ctrl+Shift+S</kbd></td><td>Saves the project in a file you
name.</td></tr>
<tr><td>Settings</td><td></td><td>TV system, aspect ratio and the other
preferences.</td></tr>
<tr><td>Exit</td><td><kbd>Ctrl+Q</kbd></td><td>Ends Velmora; it asks first when the project has
changes that are not saved.</td></tr>
<tr><td>Help Manual</td><td><kbd>F1</kbd></td><td>Opens this manual.</td></tr>
</table>
</body>
</html>
)";

bool writeFile(const fs::path& file, std::string_view text, std::string* reason) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out) *reason = "cannot write " + file.string();
    return bool(out);
}

}  // namespace

bool writeHelpTexts(const fs::path& resourceFolder, std::string* reason) {
    fs::create_directories(resourceFolder / "manual");
    return writeFile(resourceFolder / "Tips.txt", tipsText(), reason) &&
           writeFile(resourceFolder / "manual" / "index.html", kManualPage, reason);
}

}  // namespace velmora::resources
