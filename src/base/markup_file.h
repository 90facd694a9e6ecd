#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The text of a markup file as the readers see it.
struct MarkupFileText {
    std::string text;      // UTF-8, up to the first zero character
    size_t bytesRead = 0;  // size of the file
    bool wide = false;     // the file began with FF FE and was read as UTF-16LE

    // True when the text stops well short of what the file's size promises
    // (an embedded zero character). The preference and theme readers refuse
    // such files.
    bool endsEarly() const {
        return static_cast<long long>(text.size()) < static_cast<long long>(bytesRead / 2) - 20;
    }
};

// What the readers put in front of their error text for a wide file.
inline constexpr std::string_view kWideFileNote =
    "File starts with hex FFFE, assumed to be wide char format. ";

// The largest markup file read: far beyond any project the program writes.
inline constexpr std::int64_t kLargestMarkupFileBytes = 32LL * 1024 * 1024;

// Reads a whole markup file. A file starting with the bytes FF FE is taken as
// UTF-16 little-endian and converted to UTF-8; any other file is taken as it
// is. Only a regular file of at most `largestBytes` is read (a FIFO or
// device is refused without blocking). On failure returns nothing and sets
// *error to a sentence naming the file and the reason.
std::optional<MarkupFileText> readMarkupFile(const std::filesystem::path& file, std::string* error,
                                             std::int64_t largestBytes = kLargestMarkupFileBytes);

// Writes a document's text (up to its first zero byte, no byte-order mark) to
// a temporary file made exclusively beside `file` and renames it over `file`, so a failed
// write never destroys the previous version. On failure returns false and
// sets *error to a sentence naming the file and the reason.
bool writeMarkupFile(const std::filesystem::path& file, std::string_view doc, std::string* error);

}  // namespace velmora
