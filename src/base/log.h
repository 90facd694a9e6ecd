#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// The program's log: one file, one line per entry, "HH:MM:SS, Mon DD, YYYY:
// text". The file is opened, appended to and closed for every line, so it
// is never held open, and each line is written with one append so lines
// from different threads never interleave.
class Log {
  public:
    explicit Log(std::filesystem::path file) : file_(std::move(file)) {}

    // Appends "<local time>: <text>\n". A log that cannot be written loses
    // the line silently.
    void writeLog(std::string_view text) const;

    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
};

// "%H:%M:%S, %b %d, %Y" of a moment in local time, month names in English
// whatever the user's locale.
std::string logTimeText(std::time_t moment);

}  // namespace velmora
