#include "image/picture_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "base/file_checks.h"

namespace velmora {

namespace {

// Files read whole into memory (our own decoders, metafiles) may not be
// larger than this: more than any picture within the pixel limit needs.
constexpr std::uintmax_t kMaxFileBytes = 768ull * 1024 * 1024;

// Reads exactly `count` bytes, going on after a signal interrupts a read.
bool readExactly(int fd, uint8_t* data, size_t count) {
    while (count > 0) {
        const ssize_t got = ::read(fd, data, count);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        count -= size_t(got);
    }
    return true;
}

}  // namespace

std::string checkPictureFile(const std::filesystem::path& file) {
    std::string reason;
    return isRegularFile(file, &reason) ? std::string() : "it " + reason;
}

FileDescriptor openPictureFile(const std::filesystem::path& file, std::string* why) {
    std::string reason;
    FileDescriptor opened(openRegularFile(file, &reason));
    if (!opened.isOpen()) *why = "it " + reason;
    return opened;
}

bool readPictureBytes(const std::filesystem::path& file, std::vector<uint8_t>* bytes,
                      std::string* why, std::uintmax_t headBytes) {
    const FileDescriptor opened = openPictureFile(file, why);
    if (!opened.isOpen()) return false;
    struct stat status {};
    if (::fstat(opened.get(), &status) != 0) {
        *why = "the file cannot be read";
        return false;
    }
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (headBytes == 0 && size > kMaxFileBytes) {
        *why = "the file is too large to be a picture this program reads";
        return false;
    }
    const std::uintmax_t wanted = headBytes == 0 ? size : std::min(size, headBytes);
    bytes->resize(static_cast<size_t>(wanted));
    if (!readExactly(opened.get(), bytes->data(), bytes->size())) {
        *why = "the file cannot be read";
        return false;
    }
    return true;
}

}  // namespace velmora
