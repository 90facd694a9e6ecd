#include "base/working_folder_claim.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/path_text.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "Project_";
// How many numbers a claim tries before it gives up: only reached when the
// user folder cannot take new folders at all.
constexpr int kClaimAttempts = 1000;

bool createMarkFile(const fs::path& file) {
    return FileDescriptor(::open(file.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644))
        .isOpen();
}

bool isRealFolder(const fs::path& folder) {
    struct stat status {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isRealFolderOrAbsent(const fs::path& folder) {
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0) return errno == ENOENT;
    return S_ISDIR(status.st_mode);
}

bool isWorkingFolderName(const std::string& name) {
    if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) return false;
    return name.find_first_not_of("0123456789", kPrefix.size()) == std::string::npos;
}

}  // namespace

bool markWorkingFolder(const fs::path& workingFolder) {
    return isRealFolder(workingFolder) && createMarkFile(workingFolder / kWorkingFolderMark);
}

bool isMarkedWorkingFolder(const fs::path& workingFolder) {
    struct stat status {};
    return isRealFolder(workingFolder) &&
           ::lstat((workingFolder / kWorkingFolderMark).c_str(), &status) == 0 &&
           S_ISREG(status.st_mode);
}

bool isOwnWorkingFolder(const fs::path& workingFolder, const fs::path& userFolder) {
    const fs::path working = workingFolder.lexically_normal();
    if (!isWorkingFolderName(working.filename().string())) return false;
    std::error_code error;
    if (!fs::equivalent(working.parent_path(), userFolder, error) || error) return false;
    struct stat status {};
    return ::lstat(working.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && isRealFolderOrAbsent(working / "temp") &&
           isRealFolderOrAbsent(working / "dvd");
}

void markWorkingFolderSaved(const fs::path& workingFolder) {
    if (isMarkedWorkingFolder(workingFolder)) createMarkFile(workingFolder / kSavedProjectMark);
}

bool isInsideFolder(const fs::path& path, const fs::path& folder) {
    std::error_code error;
    const fs::path resolvedPath = fs::weakly_canonical(fs::absolute(path), error);
    if (error) return false;
    const fs::path resolvedFolder = fs::weakly_canonical(fs::absolute(folder), error);
    if (error) return false;
    auto p = resolvedPath.begin();
    for (auto f = resolvedFolder.begin(); f != resolvedFolder.end(); ++f, ++p) {
        if (f->empty()) continue;  // a trailing separator
        if (p == resolvedPath.end() || *p != *f) return false;
    }
    return true;
}

std::string outputFolderProblem(const fs::path& output, const fs::path& workingFolder) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(output), error);
    if (error) return "cannot be resolved: " + error.message();
    const fs::path ownDvd = workingFolder / "dvd";
    const bool isOwnDvd = isInsideFolder(resolved, ownDvd) && isInsideFolder(ownDvd, resolved);
    if (isOwnDvd) return {};
    if (isInsideFolder(resolved, workingFolder))
        return "lies inside the working folder " + quotedPath(workingFolder);
    for (fs::path folder = resolved; folder.has_relative_path(); folder = folder.parent_path()) {
        if (isMarkedWorkingFolder(folder))
            return "lies inside the working folder " + quotedPath(folder);
    }
    return {};
}

bool WorkingFolderLock::acquire(const fs::path& workingFolder) {
    if (holds(workingFolder)) return true;
    release();
    if (!isMarkedWorkingFolder(workingFolder)) return false;
    const fs::path mark = workingFolder / kWorkingFolderMark;
    FileDescriptor fd(::open(mark.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    // A mark unlinked between open and lock belongs to a folder being
    // deleted by another run's start-up cleaning.
    if (!fd.isOpen() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(fd.get(), &status) != 0 || status.st_nlink == 0)
        return false;
    fd_ = std::move(fd);
    folder_ = workingFolder.lexically_normal();
    return true;
}

bool WorkingFolderLock::markAndAcquire(const fs::path& workingFolder) {
    release();
    if (!isRealFolder(workingFolder)) return false;
    const fs::path mark = workingFolder / kWorkingFolderMark;
    FileDescriptor fd(
        ::open(mark.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.isOpen() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
    fd_ = std::move(fd);
    folder_ = workingFolder.lexically_normal();
    return true;
}

void WorkingFolderLock::release() {
    fd_ = FileDescriptor();
    folder_.clear();
}

bool WorkingFolderLock::holds(const fs::path& workingFolder) const {
    return fd_.isOpen() && folder_ == workingFolder.lexically_normal();
}

std::optional<WorkingFolders> claimWorkingFolder(const fs::path& userFolder,
                                                 WorkingFolderLock& lock, std::string* reason) {
    std::error_code error;
    fs::create_directories(userFolder, error);
    fs::path candidate = nextWorkingFolder(userFolder);
    long number = std::atol(candidate.filename().string().substr(kPrefix.size()).c_str());
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt, ++number) {
        const fs::path working = userFolder / (std::string(kPrefix) + std::to_string(number));
        if (::mkdir(working.c_str(), 0755) != 0) {
            if (errno == EEXIST) continue;
            *reason = "The working folder " + quotedPath(working) +
                      " cannot be created: " + std::strerror(errno);
            return std::nullopt;
        }
        // Locked before anything else is made in it: a start-up cleaning in
        // another run finds a marked folder only with its lock held.
        if (!lock.markAndAcquire(working)) continue;
        const WorkingFolders folders = WorkingFolders::inside(working);
        if (!folders.create()) {
            *reason = "The working folder " + quotedPath(working) + " cannot be created.";
            return std::nullopt;
        }
        return folders;
    }
    *reason = "No new working folder can be made in " + quotedPath(userFolder) + ".";
    return std::nullopt;
}

std::vector<fs::path> removeAbandonedWorkingFolders(const fs::path& userFolder) {
    std::vector<fs::path> candidates;
    std::error_code error;
    for (fs::directory_iterator it(userFolder, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path& folder = it->path();
        std::error_code ignored;
        if (isWorkingFolderName(folder.filename().string()) && isMarkedWorkingFolder(folder) &&
            !fs::exists(fs::symlink_status(folder / kSavedProjectMark, ignored)))
            candidates.push_back(folder);
    }
    std::vector<fs::path> removed;
    for (const fs::path& folder : candidates) {
        WorkingFolderLock lock;
        // Held while deleting: a run that claims the folder meanwhile sees
        // its mark gone and claims another. The saved mark is looked at
        // again under the lock: a run may have saved and ended in between.
        std::error_code ignored;
        if (!lock.acquire(folder) ||
            fs::exists(fs::symlink_status(folder / kSavedProjectMark, ignored)))
            continue;
        if (deleteFolderTree(folder)) removed.push_back(folder);
    }
    return removed;
}

}  // namespace velmora
