#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// A file written under a temporary name beside its target and renamed over
// the target only when complete, so a failed or cancelled write leaves the
// target as it was and nothing half-written under its name.
//
// The temporary, ".NAME.XXXXXX.part" in the target's folder, is created
// exclusively (a link planted under a guessed name is never followed) and
// opened for reading and writing; it takes the permissions of the file it
// replaces, else 0644. It is removed when the object goes without commit().
class PartialFile {
  public:
    PartialFile() = default;
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // False, with *problem a sentence naming the target, when the temporary
    // cannot be made.
    bool create(const std::filesystem::path& target, std::string* problem);

    // The open temporary, for writing (through /dev/fd/N, say); -1 without one.
    int fd() const { return fd_; }
    const std::filesystem::path& temporary() const { return temporary_; }

    // Flushes the temporary to the disk and renames it over the target.
    // False, with *problem set, when that fails or when the temporary's name
    // no longer leads to the file written; the temporary is removed then.
    bool commit(std::string* problem);

  private:
    void discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
};

}  // namespace velmora
