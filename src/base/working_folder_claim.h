#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/app_folders.h"
#include "base/file_descriptor.h"

namespace velmora {

// A working folder Velmora made carries a mark: a small file in it. Only a
// marked folder is ever written into or deleted as a working folder, so a
// project file naming /etc or the user's photos as its working folder
// cannot make a build write or delete there. The mark is also the lock a
// run holds on the folder it works in.
inline constexpr const char* kWorkingFolderMark = ".velmora-working";
// Beside the mark once a project file names the folder: such a folder is a
// saved project's and is never taken for a dead run's leftovers.
inline constexpr const char* kSavedProjectMark = ".velmora-saved";

// Marks a folder as a working folder of ours; false when the mark cannot be
// made (or a link stands where it goes).
bool markWorkingFolder(const std::filesystem::path& workingFolder);
// Whether the folder is a real folder (not a link) holding the mark.
bool isMarkedWorkingFolder(const std::filesystem::path& workingFolder);
// Records that a project file names this (marked) working folder.
void markWorkingFolderSaved(const std::filesystem::path& workingFolder);

// Whether a project file's working folder may be worked in: a folder
// U/Project_N of this user folder (not a link, owned by this user, with its
// temp and dvd folders, where they exist, real folders too). Anything else
// a project names is somebody else's folder, marked or not.
bool isOwnWorkingFolder(const std::filesystem::path& workingFolder,
                        const std::filesystem::path& userFolder);

// Whether `path` lies inside `folder` or is the folder itself, once links
// and "." and ".." are resolved as far as the path exists.
bool isInsideFolder(const std::filesystem::path& path, const std::filesystem::path& folder);

// Why a DVD must not be made in `output`, empty when it may: a folder inside
// a working folder (the run's own, or any folder marked as one) is deleted
// with it, so only the run's own working folder's dvd folder is taken there.
std::string outputFolderProblem(const std::filesystem::path& output,
                                const std::filesystem::path& workingFolder);

// A run's hold on the working folder it uses: an exclusive lock on the
// folder's mark, released when the run ends however it ends (the system
// drops it with the process).
class WorkingFolderLock {
  public:
    WorkingFolderLock() = default;
    WorkingFolderLock(WorkingFolderLock&&) = default;
    WorkingFolderLock& operator=(WorkingFolderLock&&) = default;

    // Takes the lock of a marked folder (letting go of any other first);
    // false when the folder is not marked or another live run holds it.
    bool acquire(const std::filesystem::path& workingFolder);
    // Marks a folder just made and takes its lock in one step, so no other
    // run's start-up cleaning can take it for leftovers in between.
    bool markAndAcquire(const std::filesystem::path& workingFolder);
    void release();
    bool holds(const std::filesystem::path& workingFolder) const;

  private:
    FileDescriptor fd_;
    std::filesystem::path folder_;
};

// Claims a new working folder U/Project_N with its temp and dvd folders.
// Making the folder is the claim, so two runs on one user folder never get
// the same N. The lock is taken before the folder is handed out. Nothing,
// with *reason set, when no folder can be made.
std::optional<WorkingFolders> claimWorkingFolder(const std::filesystem::path& userFolder,
                                                 WorkingFolderLock& lock, std::string* reason);

// Deletes the Project_N folders of U that runs which ended without cleaning
// up left behind: marked, never named by a saved project, and not locked by
// a live run. The folders removed are returned.
std::vector<std::filesystem::path> removeAbandonedWorkingFolders(
    const std::filesystem::path& userFolder);

}  // namespace velmora
