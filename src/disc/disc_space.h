#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmora {

// Room on the filesystems a build writes to.
//
// A "drive" is the filesystem holding a path: two paths are on one drive
// when the nearest existing folders on their way (the paths themselves when
// they exist) have the same st_dev. A path that does not exist yet (an
// output folder chosen but not made) is judged by its nearest existing
// parent. Messages name a drive by its mount point ("/", "/home",
// "/media/usb"), the folder the user recognises in a file manager.

// Size and free room of one filesystem, in bytes. Free room is what an
// ordinary user may still write (statvfs f_bavail), not counting the blocks
// the filesystem keeps back for root.
struct FilesystemSpace {
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
};

// The questions asked about drives, so that tests can stand in for the
// system's filesystems.
class Drives {
  public:
    virtual ~Drives() = default;
    // Size and free room of the drive holding `path`; nullopt when it
    // cannot be asked (no existing parent, statvfs failing).
    virtual std::optional<FilesystemSpace> space(const std::filesystem::path& path) = 0;
    // True when both paths are on one drive; false when either cannot be
    // looked at.
    virtual bool sameDrive(const std::filesystem::path& a, const std::filesystem::path& b) = 0;
    // The mount point of the drive holding `path` (the path itself, as
    // given, when it cannot be looked at).
    virtual std::string driveName(const std::filesystem::path& path) = 0;
};

// The drives of this machine (stat, statvfs).
Drives& systemDrives();

// False when the drive holding `path` cannot take files of 4 GiB or more
// (FAT in any of its forms: msdos, vfat), so that the build splits its large
// files; true on every other filesystem (exFAT included: it has no such
// limit). False too when the filesystem cannot be asked.
bool isNtfsVolume(const std::filesystem::path& path);

// Whole megabytes (2^20 bytes) of a byte count.
inline int64_t wholeMegabytes(uint64_t bytes) {
    return int64_t(bytes >> 20);
}

// What becomes of the "Make DVD" and "Burn" buttons after a space check.
enum class BuildButtons { Enable, Disable, Keep };

struct DiscSpaceCheck {
    BuildButtons buttons = BuildButtons::Keep;
    std::string message;  // to show the user; empty when there is room
};

// Whether the drives of the output and temporary folders can hold a disc of
// `sizeEstimate` megabytes (the project's estimate). On one drive the disc
// needs twice the estimate (the temporary streams and the DVD folder); on
// two drives the estimate on each. Free room counts in whole megabytes; a
// drive that cannot be asked counts as full.
DiscSpaceCheck checkDiscSpace(float sizeEstimate, const std::filesystem::path& outputFolder,
                              const std::filesystem::path& temporaryFolder,
                              Drives& drives = systemDrives());

// What the burn tab's usage bar and free-space text show for the drive of
// the output folder.
//
// A progress bar holds 16-bit values. Drives of up to 65535 MB are shown in
// megabytes: range 0..total, position total − free. On larger drives the
// bar keeps its full resolution instead: range 0..65535 and the position
// the used share of it, (total − free) × 65535 / total, rounded down.
struct DriveUsage {
    static constexpr int kBarLimit = 65535;
    static constexpr int kInitialBarMaximum = 4500;  // before the first update

    std::string drive;  // mount point
    int64_t totalMegabytes = 0;
    int64_t freeMegabytes = 0;
    int barMaximum = kInitialBarMaximum;  // the bar runs 0..barMaximum
    int barPosition = 0;
    std::string text;  // "<drive> <free>M free!"
};
// A drive that cannot be asked shows as empty: size 0, 0M free.
DriveUsage showDriveUsage(const std::filesystem::path& outputFolder,
                          Drives& drives = systemDrives());

}  // namespace velmora
