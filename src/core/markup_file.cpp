#include "core/markup_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/path_text.h"
#include "core/text_encoding.h"

namespace velmora {

namespace {

std::string reasonFor(const std::filesystem::path& file, std::string_view what, int errorNumber) {
    std::string message = "Cannot ";
    message.append(what).append(" ").append(quotedPath(file)).append(": ");
    message += std::strerror(errorNumber);
    return message;
}

// Owns a POSIX file descriptor.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now so that a failing close (a full disk on some filesystems) is seen.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

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

std::optional<MarkupFileText> readMarkupFile(const std::filesystem::path& file,
                                             std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = reasonFor(file, "open", errno != 0 ? errno : ENOENT);
        return std::nullopt;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        *error = reasonFor(file, "read", errno != 0 ? errno : EIO);
        return std::nullopt;
    }
    const std::string bytes = std::move(buffer).str();

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
    std::filesystem::path temporary = file;
    temporary += ".saving";

    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        *error = reasonFor(file, "create", errno);
        return false;
    }
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
