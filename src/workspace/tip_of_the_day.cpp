#include "workspace/tip_of_the_day.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <string_view>
#include <system_error>

#include "base/file_checks.h"
#include "base/file_descriptor.h"

namespace velmora {

namespace {

constexpr std::string_view kDefaultTitle = "Did you know...";
constexpr std::string_view kProblemTitle = "Oops!";
constexpr std::string_view kMissingText = "Tips file does not exist in the prescribed directory";
constexpr std::string_view kUnreadableText = "Trouble reading the tips file";
constexpr std::string_view kNoTipsText = "The tips file holds no tips";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A tips file is a few kilobytes; anything near this is not one, and
// reading it whole would only cost memory.
constexpr std::int64_t kMaxTipsFileBytes = std::int64_t(1) << 20;

Tip problemTip(std::string_view text) {
    Tip tip;
    tip.title = kProblemTitle;
    tip.text = text;
    tip.isProblem = true;
    return tip;
}

// The modification time to the nanosecond, so that a file rewritten within
// the same second still reads as changed.
std::string modificationTimeText(const struct stat& status) {
    std::tm utc{};
    gmtime_r(&status.st_mtim.tv_sec, &utc);
    char text[64];
    const size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return std::string(text, length) + "." + std::to_string(status.st_mtim.tv_nsec) + " UTC";
}

// The whole file and its time stamp, or false when it cannot be read.
bool readWhole(const std::filesystem::path& file, std::string* content, std::string* timeStamp) {
    std::string reason;
    const FileDescriptor fd(openRegularFile(file, &reason));
    struct stat status {};
    if (!fd.isOpen() || ::fstat(fd.get(), &status) != 0 || status.st_size > kMaxTipsFileBytes)
        return false;
    content->resize(size_t(status.st_size));
    size_t filled = 0;
    while (filled < content->size()) {
        const ssize_t got = ::read(fd.get(), content->data() + filled, content->size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;  // shrunk meanwhile
        filled += size_t(got);
    }
    content->resize(filled);
    *timeStamp = modificationTimeText(status);
    return true;
}

bool isTipLine(std::string_view line) {
    return !line.empty() && line.front() != '\t' && line.front() != ' ' && line.front() != ';';
}

// The next tab-separated field of `rest`, which loses it and its tab.
std::string_view takeField(std::string_view& rest) {
    const size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    return field;
}

Tip parsedTip(std::string_view line) {
    Tip tip;
    tip.text = takeField(line);
    tip.title = takeField(line);
    if (tip.title.empty()) tip.title = kDefaultTitle;
    tip.secondText = takeField(line);
    const std::string_view number = takeField(line);
    if (std::from_chars(number.data(), number.data() + number.size(), tip.number).ec != std::errc())
        tip.number = 0;
    return tip;
}

}  // namespace

TipOfTheDay::TipOfTheDay(const std::filesystem::path& tipsFile, TipPosition stored)
    : position_(std::move(stored)) {
    std::error_code error;
    if (!std::filesystem::exists(tipsFile, error)) {
        problem_ = problemTip(error ? kUnreadableText : kMissingText);
        return;
    }
    std::string timeStamp;
    if (!readWhole(tipsFile, &content_, &timeStamp)) {
        problem_ = problemTip(kUnreadableText);
        return;
    }
    if (timeStamp != position_.timeStamp) position_ = {0, timeStamp};
    if (position_.filePosition < 0) {
        // Nothing can be read from before the start; the next run starts
        // at the top again.
        position_.filePosition = 0;
        problem_ = problemTip(kUnreadableText);
        return;
    }
    // An offset inside a line (an edited setting) would show half a tip:
    // go on from the next whole line.
    const auto at = size_t(position_.filePosition);
    if (at > 0 && at < content_.size() && content_[at - 1] != '\n') {
        const size_t lineEnd = content_.find('\n', at);
        position_.filePosition =
            std::int64_t(lineEnd == std::string::npos ? content_.size() : lineEnd + 1);
    }
}

Tip TipOfTheDay::next() {
    if (problem_.isProblem) return problem_;
    auto at = size_t(position_.filePosition);
    // Every byte is looked at no more than once, from the stored position
    // round through the top and back, so a file without tip lines ends too.
    for (size_t scanned = 0; scanned < content_.size();) {
        if (at >= content_.size()) at = 0;
        size_t lineEnd = content_.find('\n', at);
        if (lineEnd == std::string::npos) lineEnd = content_.size();
        std::string_view line(content_.data() + at, lineEnd - at);
        const size_t nextLine = std::min(lineEnd + 1, content_.size());
        scanned += nextLine - at;
        if (at == 0 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
        if (line.ends_with('\r')) line.remove_suffix(1);
        at = nextLine;
        if (isTipLine(line)) {
            position_.filePosition = std::int64_t(at);
            return parsedTip(line);
        }
    }
    problem_ = problemTip(kNoTipsText);
    return problem_;
}

}  // namespace velmora
