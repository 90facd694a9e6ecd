#include "outside/partial_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/path_text.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffix = ".part";
// Of the target's name in the temporary's: room is left for the dot, the
// random part and the suffix within the 255 bytes a name may have.
constexpr size_t kLongestNameBytes = 200;

// The name cut to kLongestNameBytes, never inside a UTF-8 sequence.
std::string shortened(std::string name) {
    if (name.size() <= kLongestNameBytes) return name;
    size_t cut = kLongestNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    name.resize(cut);
    return name;
}

// The permissions of the file being replaced, so that replacing an image
// does not change who may read it.
mode_t permissionsFor(const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 0777;
    return 0644;
}

void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

PartialFile::~PartialFile() {
    discard();
}

bool PartialFile::create(const fs::path& target, std::string* problem) {
    discard();
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern =
        (folder / ("." + shortened(target.filename().string()) + ".XXXXXX" + std::string(kSuffix)))
            .string();
    const int fd = ::mkostemps(pattern.data(), int(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) {
        *problem = "No temporary file for " + quotedPath(target) + " can be made in " +
                   quotedPath(folder) + ": " + std::strerror(errno);
        return false;
    }
    fd_ = fd;
    temporary_ = pattern;
    target_ = target;
    ::fchmod(fd_, permissionsFor(target));
    return true;
}

bool PartialFile::commit(std::string* problem) {
    if (fd_ < 0) {
        *problem = "Nothing was written for " + quotedPath(target_);
        return false;
    }
    struct stat written {};
    struct stat named {};
    std::string failure;
    if (::fsync(fd_) != 0 || ::fstat(fd_, &written) != 0) {
        failure = std::string("it cannot be saved: ") + std::strerror(errno);
    } else if (::lstat(temporary_.c_str(), &named) != 0 || named.st_dev != written.st_dev ||
               named.st_ino != written.st_ino) {
        failure = quotedPath(temporary_) + " was removed or replaced while it was written";
        temporary_.clear();  // whatever has the name now is not ours to remove
    } else if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failure = std::string("it cannot be put in place: ") + std::strerror(errno);
    }
    if (!failure.empty()) {
        *problem = quotedPath(target_) + " was not written: " + failure;
        discard();
        return false;
    }
    temporary_.clear();
    ::close(std::exchange(fd_, -1));
    syncFolder(target_.has_parent_path() ? target_.parent_path() : fs::path("."));
    return true;
}

void PartialFile::discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace velmora
