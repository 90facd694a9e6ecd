#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

// Where the tips reader stopped, kept by the program between runs: the byte
// offset of the line after the last tip shown and the tips file's
// modification time as text. A time stamp that no longer matches the file
// means the file was replaced, so the offset means nothing and reading
// starts again at the top.
struct TipPosition {
    std::int64_t filePosition = 0;
    std::string timeStamp;
};

struct Tip {
    std::string text;
    std::string title;
    std::string secondText;
    int number = 0;
    // The texts say why there is no tip: the file is missing, cannot be
    // read, or holds no tip lines.
    bool isProblem = false;
};

// Reads the tips file (UTF-8, one tip a line) from a stored position,
// wrapping to the top at its end. Lines that begin with a tab, a space or
// ";" and empty lines are passed over. A tip line holds up to four
// tab-separated fields: the text, a title ("Did you know..." when empty),
// a second text and a number. The whole file is read at construction.
class TipOfTheDay {
  public:
    TipOfTheDay(const std::filesystem::path& tipsFile, TipPosition stored);

    // The next tip, or a problem tip (the same one every time) when the
    // file cannot give one.
    Tip next();
    // What to store for the next run. While the file is missing or cannot
    // be read, the stored position is handed back as it came.
    TipPosition position() const { return position_; }

  private:
    std::string content_;
    TipPosition position_;
    Tip problem_;  // isProblem set when every call must give it
};

}  // namespace velmora
