#include "workspace/recovery_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "base/app_folders.h"
#include "base/decimal_text.h"
#include "base/file_checks.h"
#include "base/file_descriptor.h"
#include "base/log.h"
#include "base/markup_document.h"
#include "base/markup_file.h"
#include "base/path_text.h"
#include "model/project.h"
#include "model/slide_image.h"
#include "workspace/application.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOriginFileName = "origin.xml";
constexpr const char* kEditedFolderName = "edited";
constexpr const char* kRunPrefix = "run-";
// origin.xml holds one path and a flag.
constexpr std::int64_t kLargestOriginBytes = 64 * 1024;

bool isRealFolder(const fs::path& folder) {
    struct stat status {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A regular file itself, not a link to one: what this program put there.
bool isPlainFile(const fs::path& file) {
    struct stat status {};
    return ::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string errnoReason(const fs::path& file, std::string_view what) {
    return "Cannot " + std::string(what) + " " + quotedPath(file) + ": " + std::strerror(errno);
}

// Whether `kept` already holds what `file` holds: the same file (a link) or
// a copy of the same size and time.
bool alreadyKept(const fs::path& file, const fs::path& kept) {
    struct stat source {
    }, target{};
    if (::stat(file.c_str(), &source) != 0 || ::lstat(kept.c_str(), &target) != 0 ||
        !S_ISREG(target.st_mode))
        return false;
    if (source.st_dev == target.st_dev && source.st_ino == target.st_ino) return true;
    return source.st_size == target.st_size && source.st_mtim.tv_sec == target.st_mtim.tv_sec &&
           source.st_mtim.tv_nsec == target.st_mtim.tv_nsec;
}

bool copyAll(int from, int to) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(to, buffer + done, size_t(got - done));
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) return false;
            done += written;
        }
    }
}

// A hard link to `source` under a fresh name beside `target`: the name is
// made exclusively and given up for the link, and link() never follows or
// replaces whatever stands under its new name.
std::optional<fs::path> linkBeside(const fs::path& source, const fs::path& target) {
    std::string pattern = target.string() + ".XXXXXX.linking";
    FileDescriptor reserved(::mkostemps(pattern.data(), int(std::strlen(".linking")), O_CLOEXEC));
    if (!reserved.isOpen()) return std::nullopt;
    ::unlink(pattern.c_str());
    if (::link(source.c_str(), pattern.c_str()) != 0) return std::nullopt;
    return fs::path(pattern);
}

// A copy of `source` with its time, under a fresh name made exclusively
// beside `target`.
std::optional<fs::path> copyBeside(const fs::path& source, const fs::path& target,
                                   std::string* error) {
    std::string reason;
    FileDescriptor in(openRegularFile(source, &reason));
    if (!in.isOpen()) {
        *error = "Cannot read " + quotedPath(source) + ": it " + reason;
        return std::nullopt;
    }
    std::string pattern = target.string() + ".XXXXXX.saving";
    FileDescriptor out(::mkostemps(pattern.data(), int(std::strlen(".saving")), O_CLOEXEC));
    if (!out.isOpen()) {
        *error = errnoReason(target, "create");
        return std::nullopt;
    }
    const fs::path temporary = pattern;
    struct stat status {};
    bool copied = copyAll(in.get(), out.get()) && ::fstat(in.get(), &status) == 0;
    if (copied) {
        const struct timespec times[2] = {status.st_atim, status.st_mtim};
        ::fchmod(out.get(), 0644);
        ::futimens(out.get(), times);
        copied = ::fsync(out.get()) == 0;
    }
    if (!out.close() || !copied) {
        *error = errnoReason(target, "write");
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return temporary;
}

// Puts what `source` holds at `target` in one step, so `target` is never
// found half written: a hard link where both lie on one filesystem (nothing
// is copied, and the link outlives the folder of the source), else a copy.
bool placeFile(const fs::path& source, const fs::path& target, std::string* error) {
    std::optional<fs::path> temporary = linkBeside(source, target);
    if (!temporary) temporary = copyBeside(source, target, error);
    if (!temporary) return false;
    if (::rename(temporary->c_str(), target.c_str()) != 0) {
        *error = errnoReason(target, "replace");
        ::unlink(temporary->c_str());
        return false;
    }
    return true;
}

// What origin.xml says: the project file and whether it existed then.
struct Origin {
    fs::path projectFile;
    bool existed = false;
};

std::optional<Origin> readOrigin(const fs::path& file, std::string* error) {
    const std::optional<MarkupFileText> text = readMarkupFile(file, error, kLargestOriginBytes);
    if (!text) return std::nullopt;
    MarkupDocument doc;
    Origin origin;
    if (!doc.parseText(text->text) || !doc.findNext("velmoraRecovery") || !doc.enter() ||
        !doc.findNext("ProjectFile")) {
        *error = quotedPath(file) + " does not name a project file";
        return std::nullopt;
    }
    origin.projectFile = doc.currentText();
    origin.existed = doc.findNext("Existed") && decimalValue(doc.currentText()) == 1;
    return origin;
}

std::time_t writtenAt(const fs::path& file) {
    struct stat status {};
    return ::lstat(file.c_str(), &status) == 0 ? status.st_mtime : 0;
}

}  // namespace

RecoveryFile::RecoveryFile(Application& app) : app_(app) {}

fs::path RecoveryFile::path() const {
    return own_ ? own_->folder / kProjectFileName : fs::path();
}

bool RecoveryFile::exists() const {
    return own_ && isPlainFile(path());
}

fs::path RecoveryFile::foundFile() const {
    return found_ ? found_->folder / kProjectFileName : fs::path();
}

bool RecoveryFile::saveIfModified() {
    if (!app_.project.flags().modified) {
        removeCopy();
        return false;
    }
    std::string error;
    if (!claimFolder(&error) || !writeCopy(own_->folder, &error)) {
        app_.log.writeLog("Recovery copy of the project not written: " + error);
        return false;
    }
    return true;
}

// The folder is made on the first copy, so a run that never changes its
// project leaves nothing behind.
bool RecoveryFile::claimFolder(std::string* error) {
    if (own_) return true;
    const fs::path recovery = app_.folders.userFolder / kFolderName;
    if (::mkdir(recovery.c_str(), 0755) != 0 && errno != EEXIST) {
        *error = errnoReason(recovery, "create");
        return false;
    }
    if (!isRealFolder(recovery)) {
        *error = quotedPath(recovery) + " is not a folder";
        return false;
    }
    std::string pattern = (recovery / (std::string(kRunPrefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        *error = errnoReason(recovery / kRunPrefix, "create");
        return false;
    }
    HeldFolder held{pattern, {}};
    // Until it carries the mark, other runs pass the folder over; once it
    // does, the lock is held.
    if (!held.lock.markAndAcquire(held.folder)) {
        *error = "Cannot lock " + quotedPath(held.folder);
        ::rmdir(held.folder.c_str());
        return false;
    }
    own_ = std::move(held);
    return true;
}

// The project copy comes last: a folder is offered only once it holds one,
// and then the edited copies and the origin it needs are there.
bool RecoveryFile::writeCopy(const fs::path& folder, std::string* error) {
    keepEditedCopies(folder / kEditedFolderName);
    writeOrigin(folder / kOriginFileName);
    return app_.session.saveCopy(folder / kProjectFileName, error);
}

// The edited copies a picture is rendered from live in the working folder,
// which the next start removes when the run dies without saving; the
// recovery keeps its own (links, where possible, which cost nothing).
void RecoveryFile::keepEditedCopies(const fs::path& editedFolder) {
    std::vector<fs::path> editedCopies;
    for (const auto& slideshow : app_.project.slideshows) {
        for (const SlideImage& picture : slideshow->pictures) {
            if (picture.workingPath != picture.sourcePath)
                editedCopies.push_back(picture.workingPath);
        }
    }
    std::error_code ignored;
    if (editedCopies.empty()) {
        fs::remove_all(editedFolder, ignored);
        return;
    }
    if ((::mkdir(editedFolder.c_str(), 0755) != 0 && errno != EEXIST) ||
        !isRealFolder(editedFolder)) {
        app_.log.writeLog("Edited pictures not kept with the recovery copy: " +
                          quotedPath(editedFolder) + " cannot be made a folder");
        return;
    }
    std::set<fs::path> kept;
    for (const fs::path& copy : editedCopies) {
        const fs::path target = editedFolder / copy.filename();
        std::string error;
        if (alreadyKept(copy, target) || placeFile(copy, target, &error)) {
            kept.insert(target.filename());
        } else {
            app_.log.writeLog("Edited picture " + quotedPath(copy) +
                              " not kept with the recovery copy: " + error);
        }
    }
    std::vector<fs::path> unused;
    for (fs::directory_iterator it(editedFolder, ignored), end; !ignored && it != end;
         it.increment(ignored)) {
        if (!kept.contains(it->path().filename())) unused.push_back(it->path());
    }
    for (const fs::path& file : unused)
        fs::remove(file, ignored);
}

void RecoveryFile::writeOrigin(const fs::path& file) const {
    const fs::path& projectFile = app_.project.projectFilePath;
    std::string reason;
    MarkupDocument doc;
    doc.appendElement("velmoraRecovery");
    doc.enter();
    doc.appendElement("ProjectFile", projectFile.string());
    doc.appendElement("Existed", isRegularFile(projectFile, &reason) ? "1" : "0");
    doc.leave();
    std::string error;
    if (!writeMarkupFile(file, doc.doc(), &error))
        app_.log.writeLog("Project file of the recovery copy not written: " + error);
}

void RecoveryFile::removeCopy() {
    if (!own_) return;
    std::error_code ignored;
    // The project copy first: without it the folder is not offered.
    fs::remove(own_->folder / kProjectFileName, ignored);
    fs::remove(own_->folder / kOriginFileName, ignored);
    fs::remove_all(own_->folder / kEditedFolderName, ignored);
}

bool RecoveryFile::found() {
    found_.reset();
    const fs::path recovery = app_.folders.userFolder / kFolderName;
    if (!isRealFolder(recovery)) return false;
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(recovery, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().starts_with(kRunPrefix)) folders.push_back(it->path());
    }
    for (const fs::path& folder : folders) {
        // A live run holds its folder's lock (this run its own, too); a
        // folder without the mark is being made or is not ours.
        HeldFolder held{folder, {}};
        if (!held.lock.acquire(folder)) continue;
        const fs::path copy = folder / kProjectFileName;
        if (!isPlainFile(copy)) {
            deleteFolderTree(folder);
            continue;
        }
        if (!found_ || writtenAt(copy) > writtenAt(foundFile())) found_ = std::move(held);
    }
    return found_.has_value();
}

bool RecoveryFile::restore() {
    if (!found_) return false;
    const fs::path folder = found_->folder;
    const bool read = app_.session.openProject(folder / kProjectFileName);
    bringBackEditedCopies(folder / kEditedFolderName);
    Project& project = app_.project;
    project.projectFilePath = saveTarget(folder / kOriginFileName);
    project.flags().modified = true;
    app_.log.writeLog("Project restored from the recovery copy " +
                      quotedPath(folder / kProjectFileName) + "; it saves to " +
                      quotedPath(project.projectFilePath));
    // Kept until this run writes a copy of its own into it: a crash before
    // that still finds it.
    remove();
    own_ = std::move(found_);
    found_.reset();
    return read;
}

// A copy that is not where the recovered project names it (the dead run's
// working folder was removed) comes back from the recovery's folder into the
// run's temp folder; without one the picture is rendered from its source
// again and its edits are lost.
void RecoveryFile::bringBackEditedCopies(const fs::path& editedFolder) {
    Project& project = app_.project;
    for (const auto& slideshow : project.slideshows) {
        bool coverChanged = false;
        for (size_t i = 0; i < slideshow->pictures.size(); ++i) {
            SlideImage& picture = slideshow->pictures[i];
            if (picture.workingPath == picture.sourcePath || isPlainFile(picture.workingPath))
                continue;
            const fs::path kept = editedFolder / picture.workingPath.filename();
            const fs::path target = project.folders().temporary / kept.filename();
            std::string error = "it is not kept with the recovery copy";
            if (isPlainFile(kept) && placeFile(kept, target, &error)) {
                picture.workingPath = target;
            } else {
                app_.log.writeLog("The edited copy " + quotedPath(picture.workingPath) + " of " +
                                  quotedPath(picture.sourcePath) + " is gone (" + error +
                                  "); the picture itself is used.");
                picture.workingPath = picture.sourcePath;
            }
            coverChanged = coverChanged || int(i) == slideshow->coverIndex;
        }
        if (coverChanged) slideshow->setCover(slideshow->coverIndex);
    }
}

// Save goes back to the user's project file only when the recovered project
// had one (it existed when the copy was written) and it is still a project
// file; a name the project merely had waiting may belong to another run's
// project by now.
fs::path RecoveryFile::saveTarget(const fs::path& originFile) const {
    std::string error;
    const std::optional<Origin> origin = readOrigin(originFile, &error);
    const fs::path fresh = defaultProjectFile(app_.folders.userFolder);
    if (!origin) {
        app_.log.writeLog("The recovery copy's project file is not known: " + error);
        return fresh;
    }
    if (!origin->existed) return fresh;
    const fs::path& file = origin->projectFile;
    std::string reason = "is not a project file";
    if (file.is_absolute() && file.extension() == ".prg" && isRegularFile(file, &reason))
        return file;
    app_.log.writeLog("The recovered project was saved as " + quotedPath(file) + ", which " +
                      reason + "; it is saved as " + quotedPath(fresh) + " instead.");
    return fresh;
}

bool RecoveryFile::discard() {
    if (!found_) return false;
    const fs::path folder = found_->folder;
    const bool removed = deleteFolderTree(folder);
    app_.log.writeLog("Recovery copy " + quotedPath(folder / kProjectFileName) + " discarded");
    found_.reset();
    return removed;
}

void RecoveryFile::remove() {
    if (!own_) return;
    deleteFolderTree(own_->folder);  // under the lock, released just after
    own_.reset();
}

}  // namespace velmora
