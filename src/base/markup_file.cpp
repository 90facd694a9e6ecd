#include "base/markup_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/file_checks.h"
#include "base/file_descriptor.h"
#include "base/path_text.h"
#include "base/text_encoding.h"

namespace velmora {

namespace {

std::string reasonFor(const std::filesystem::path& file, std::string_view what, int errorNumber) {
    std::string message = "Cannot ";
    message.append(what).append(" ").append(quotedPath(file)).append(": ");
    message += std::strerror(errorNumber);
    return message;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<MarkupFileText> readMarkupFile(const std::filesystem::path& file, std::string* error,
                                             std::int64_t largestBytes) {
    std::string reason;
    FileDescriptor fd(openRegularFile(file, &reason));
    if (fd.get() < 0) {
        *error = "Cannot open " + quotedPath(file) + ": it " + reason;
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        *error = reasonFor(file, "read", errno);
        return std::nullopt;
    }
    // Checked before reading: a huge file would take its size in memory
    // several times over before the parser could refuse it.
    if (status.st_size > largestBytes) {
        *error = "Cannot read " + quotedPath(file) + ": it is " +
                 std::to_string(status.st_size / (1024 * 1024)) +
                 " MB, more than such a file can be (" +
                 std::to_string(largestBytes / (1024 * 1024)) + " MB)";
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(status.st_size), '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = reasonFor(file, "read", errno);
            return std::nullopt;
        }
        if (got == 0) break;  // shrunk while being read
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);

    MarkupFileText result;
    result.bytesRead = bytes.size();
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        result.wide = true;
        result.text = utf16leToUtf8(std::string_view(bytes).substr(2));
    } else {
        result.text = bytes.substr(0, bytes.find('\0'));
    }
    return result;
}

bool writeMarkupFile(const std::filesystem::path& file, std::string_view doc, std::string* error) {
    const std::string_view text = doc.substr(0, doc.find('\0'));
    // A name of our own, made exclusively: a link planted under a fixed
    // temporary name would otherwise make the save write through it.
    std::string pattern = file.string() + ".XXXXXX.saving";
    FileDescriptor fd(::mkostemps(pattern.data(), int(std::strlen(".saving")), O_CLOEXEC));
    if (fd.get() < 0) {
        *error = reasonFor(file, "create", errno);
        return false;
    }
    const std::filesystem::path temporary = pattern;
    ::fchmod(fd.get(), 0644);
    const bool written = writeAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    const int writeErrno = errno;
    if (!fd.close() || !written) {
        *error = reasonFor(file, "write", written ? errno : writeErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        *error = reasonFor(file, "replace", errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace velmora
