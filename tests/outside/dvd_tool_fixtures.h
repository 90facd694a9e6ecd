#pragma once

// Small inputs for the tests of spumux and dvdauthor: program streams made
// by ffmpeg, button masks drawn with Qt, scripts written with the program's
// own markup writer.

#include <QColor>
#include <QRect>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

// A working folder whose name holds the characters a shell or an XML
// writer would get wrong: space, ampersand, both quotes, a non-ASCII letter.
inline constexpr const char* kAwkwardFolderName = "A & B's \"menü\"";

// A PAL DVD program stream of the given length: a test pattern and a tone.
void makeProgramStream(const std::filesystem::path& file, int seconds);

// A 720 x 576 mask, transparent but for the outline of the button.
void writeButtonMask(const std::filesystem::path& file, QRect button, QColor colour);

// One element of a script.
struct ScriptElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
    std::vector<ScriptElement> children;
};

// Writes the tree with MarkupDocument, which escapes every value.
void writeScript(const std::filesystem::path& file, const ScriptElement& root);

// A PAL DVD-Video folder made by dvdauthor in `dvd`: `titles` titles of
// `seconds` each, their stream and script made in `work`.
void makeDvdFolder(const std::filesystem::path& dvd, const std::filesystem::path& work,
                   int titles, int seconds);

// "codec_name,id" of each stream of the file, one a line, from ffprobe.
std::string streamList(const std::filesystem::path& file);

std::string fileText(const std::filesystem::path& file);

// Waits up to 20 seconds for the file to contain the text.
bool waitForText(const std::filesystem::path& file, const std::string& text);

// True when this process has no child at all, running or unreaped.
bool noChildProcessLeft();

}  // namespace velmora::test
