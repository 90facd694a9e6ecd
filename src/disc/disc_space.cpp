#include "disc/disc_space.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <system_error>

namespace velmora {

namespace {

namespace fs = std::filesystem;

// The path itself when it exists, else its nearest existing parent; made
// absolute first so that a relative path walks up to the current folder's
// parents. Empty when nothing on the way exists.
fs::path nearestExisting(const fs::path& path, struct stat* info) {
    std::error_code error;
    fs::path at = fs::absolute(path.empty() ? fs::path(".") : path, error);
    if (error) return {};
    for (;;) {
        if (::stat(at.c_str(), info) == 0) return at;
        const fs::path parent = at.parent_path();
        if (parent == at || parent.empty()) return {};
        at = parent;
    }
}

class SystemDrives final : public Drives {
  public:
    std::optional<FilesystemSpace> space(const fs::path& path) override {
        struct stat info {};
        const fs::path existing = nearestExisting(path, &info);
        struct statvfs volume {};
        if (existing.empty() || ::statvfs(existing.c_str(), &volume) != 0) return std::nullopt;
        return FilesystemSpace{uint64_t(volume.f_blocks) * volume.f_frsize,
                               uint64_t(volume.f_bavail) * volume.f_frsize};
    }

    bool sameDrive(const fs::path& a, const fs::path& b) override {
        struct stat infoA {
        }, infoB{};
        return !nearestExisting(a, &infoA).empty() && !nearestExisting(b, &infoB).empty() &&
               infoA.st_dev == infoB.st_dev;
    }

    // Walks up from the nearest existing folder (with its links resolved,
    // so the walk follows the real tree) while the parent is on the same
    // device; the last folder reached is the mount point.
    std::string driveName(const fs::path& path) override {
        struct stat info {};
        const fs::path existing = nearestExisting(path, &info);
        std::error_code error;
        fs::path at = existing.empty() ? fs::path() : fs::canonical(existing, error);
        if (at.empty() || error) return path.string();
        const dev_t device = info.st_dev;
        for (;;) {
            const fs::path parent = at.parent_path();
            struct stat parentInfo {};
            if (parent == at || ::stat(parent.c_str(), &parentInfo) != 0 ||
                parentInfo.st_dev != device)
                return at.string();
            at = parent;
        }
    }
};

// printf-style formatting into a string of whatever length it takes.
__attribute__((format(printf, 1, 2))) std::string formatted(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(size_t(std::max(length, 0)) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(text.size() - 1);
    return text;
}

// Free whole megabytes, as a float for the comparisons with the estimate;
// 0 for a drive that cannot be asked.
float freeMegabytes(Drives& drives, const fs::path& path) {
    const std::optional<FilesystemSpace> space = drives.space(path);
    return space ? float(wholeMegabytes(space->freeBytes)) : 0.0f;
}

}  // namespace

Drives& systemDrives() {
    static SystemDrives drives;
    return drives;
}

bool isNtfsVolume(const fs::path& path) {
    struct stat info {};
    const fs::path existing = nearestExisting(path, &info);
    struct statfs volume {};
    if (existing.empty() || ::statfs(existing.c_str(), &volume) != 0) return false;
    // msdos, vfat and fat all report the one FAT magic number.
    return volume.f_type != MSDOS_SUPER_MAGIC;
}

DiscSpaceCheck checkDiscSpace(float sizeEstimate, const fs::path& outputFolder,
                              const fs::path& temporaryFolder, Drives& drives) {
    const float need = sizeEstimate;
    const double shown = double(need);
    if (!drives.sameDrive(outputFolder, temporaryFolder)) {
        if (need > freeMegabytes(drives, outputFolder)) {
            return {BuildButtons::Disable,
                    formatted(" No enough space, please change a driver, you need %.0fM disk space",
                              shown)};
        }
        if (need > freeMegabytes(drives, temporaryFolder)) {
            return {BuildButtons::Keep,
                    formatted("%s driver need more then %.0fM free space. Please free no use file "
                              "and then try again!",
                              drives.driveName(temporaryFolder).c_str(), shown)};
        }
        return {BuildButtons::Enable, {}};
    }
    if (2 * need > freeMegabytes(drives, outputFolder)) {
        return {BuildButtons::Disable,
                formatted(" No enough space, please change a driver, you need %.0fM disk space,\n "
                          "and %s driver need %.0fM disk space!",
                          shown, drives.driveName(outputFolder).c_str(), shown)};
    }
    return {BuildButtons::Enable, {}};
}

DriveUsage showDriveUsage(const fs::path& outputFolder, Drives& drives) {
    DriveUsage usage;
    usage.drive = drives.driveName(outputFolder);
    const FilesystemSpace space = drives.space(outputFolder).value_or(FilesystemSpace{});
    usage.totalMegabytes = wholeMegabytes(space.totalBytes);
    usage.freeMegabytes = wholeMegabytes(space.freeBytes);
    const int64_t used =
        std::clamp<int64_t>(usage.totalMegabytes - usage.freeMegabytes, 0, usage.totalMegabytes);
    if (usage.totalMegabytes <= DriveUsage::kBarLimit) {
        usage.barMaximum = int(usage.totalMegabytes);
        usage.barPosition = int(used);
    } else {
        usage.barMaximum = DriveUsage::kBarLimit;
        // Used < 2^44 MB on any real drive, so the product fits 64 bits.
        usage.barPosition = int(used * DriveUsage::kBarLimit / usage.totalMegabytes);
    }
    usage.text = formatted("%s %lldM free!", usage.drive.c_str(),
                           static_cast<long long>(usage.freeMegabytes));
    return usage;
}

}  // namespace velmora
