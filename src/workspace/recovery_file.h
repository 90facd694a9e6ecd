#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/working_folder_claim.h"

namespace velmora {

class Application;

// The safety copy of a modified project, so that a crash or a kill costs at
// most the work since the last copy. Each run keeps its copy in a folder of
// its own, U/recovery/run-XXXXXX, which carries the mark and the lock of a
// working folder for as long as the run lives:
//   recovery.prg  the project, in the project file format
//   origin.xml    the project file Save wrote to, and whether it existed
//   edited/       the edited picture copies, which live in the working
//                 folder (that a dead run's is removed at the next start)
// Another run offers or removes such a folder only when nobody holds its
// lock, that is when the run that made it is gone.
//
// The desktop program calls saveIfModified() from its timer, found() once
// after Application::start(), restore() or discard() on the user's answer
// and remove() when it quits normally. However else a run ends, its copy is
// left for the next start to offer.
class RecoveryFile {
  public:
    static constexpr const char* kFolderName = "recovery";
    static constexpr const char* kProjectFileName = "recovery.prg";

    explicit RecoveryFile(Application& app);

    // This run's copy, U/recovery/run-XXXXXX/recovery.prg; empty until the
    // first copy was written.
    std::filesystem::path path() const;
    bool exists() const;

    // Writes the copy when the project is modified, over the previous one
    // and never in part (a temporary file made beside it, then renamed);
    // removes it when the project is not (everything is saved, nothing to
    // recover). The project, its file name, its modified flag and the
    // user's project file are left as they are. A copy that cannot be
    // written is logged with the file and the reason. True when a copy was
    // written.
    bool saveIfModified();

    // Whether a run that is no longer running left a copy; the newest when
    // several did. The copy found is held (no other run offers it) until
    // restore(), discard() or the end of this run. Folders of dead runs that
    // hold no copy are removed on the way.
    bool found();
    // The copy found() holds; empty when none.
    std::filesystem::path foundFile() const;

    // Reads the copy found, through the checks of any project file, as a
    // modified project, and keeps it as this run's copy until the next
    // saveIfModified(). Save then writes to the project file the recovered
    // project was opened from or saved to, when that is still a project
    // file; a project that never had one gets the next free projectN.prg of
    // U. Edited picture copies come back from the copy's folder into the
    // run's temp folder; one that is gone leaves the picture itself, with a
    // line in the log. Converted music, covers and menu files are made again
    // (covers while reading, the rest by the next build). The result of the
    // reading: the project holds what could be read either way.
    bool restore();
    // Deletes the copy found. False when there is none or it stays.
    bool discard();

    // The normal end of a run: its copy goes.
    void remove();

  private:
    struct HeldFolder {
        std::filesystem::path folder;
        WorkingFolderLock lock;
    };

    bool claimFolder(std::string* error);
    bool writeCopy(const std::filesystem::path& folder, std::string* error);
    void keepEditedCopies(const std::filesystem::path& editedFolder);
    void bringBackEditedCopies(const std::filesystem::path& editedFolder);
    void writeOrigin(const std::filesystem::path& file) const;
    std::filesystem::path saveTarget(const std::filesystem::path& originFile) const;
    void removeCopy();

    Application& app_;
    std::optional<HeldFolder> own_;
    std::optional<HeldFolder> found_;
};

}  // namespace velmora
