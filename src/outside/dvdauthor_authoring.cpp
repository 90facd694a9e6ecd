#include "outside/dvdauthor_authoring.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/log.h"
#include "base/markup_document.h"
#include "base/markup_file.h"
#include "base/path_text.h"
#include "interfaces/dvd_file_names.h"
#include "outside/child_process.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr int kProgressEnd = 65535;
// dvdauthor copies every program stream while reading it and then rewrites
// only the navigation packs; reading is most of the time.
constexpr double kReadingShare = 0.85;

struct VobFile {
    std::string name;  // as the script names it, which is how dvdauthor prints it
    uint64_t bytes = 0;
    size_t group = 0;
    uint64_t groupBytesBefore = 0;  // sizes of the files before it in its group
};

// One of dvdauthor's VOB groups: the menus of the video manager, or the
// menus or the titles of one titleset.
using VobGroup = std::vector<std::string>;

void addVobs(MarkupDocument& doc, VobGroup& group) {
    doc.enter();
    while (doc.findNext("pgc")) {
        doc.enter();
        while (doc.findNext("vob"))
            group.push_back(doc.attribute("file"));
        doc.leave();
    }
    doc.leave();
}

// The script's VOB files in the order dvdauthor reads them: each titleset's
// menus, then its titles, titleset by titleset; the video manager's menus
// last. dvdauthor reads a whole group before it fixes it, and fixes the
// groups in the same order.
std::vector<VobFile> scriptVobFiles(const fs::path& script) {
    std::string error;
    const std::optional<MarkupFileText> text = readMarkupFile(script, &error);
    MarkupDocument doc;
    if (!text || !doc.parseText(text->text)) return {};
    doc.rewind();
    if (!doc.findNext("dvdauthor") || !doc.enter()) return {};
    std::vector<VobGroup> groups;
    VobGroup managerMenus;
    while (doc.findNext()) {
        const std::string part = doc.currentName();
        if (part != "vmgm" && part != "titleset") continue;
        VobGroup menus;
        VobGroup titles;
        doc.enter();
        while (doc.findNext()) {
            const std::string section = doc.currentName();
            if (section == "menus") addVobs(doc, menus);
            if (section == "titles") addVobs(doc, titles);
        }
        doc.leave();
        if (part == "vmgm") {
            managerMenus.insert(managerMenus.end(), menus.begin(), menus.end());
        } else {
            groups.push_back(std::move(menus));
            groups.push_back(std::move(titles));
        }
    }
    groups.push_back(std::move(managerMenus));
    std::erase_if(groups, [](const VobGroup& group) { return group.empty(); });

    std::vector<VobFile> files;
    for (size_t g = 0; g < groups.size(); ++g) {
        uint64_t before = 0;
        for (const std::string& name : groups[g]) {
            std::error_code sizeError;
            const uintmax_t size = fs::file_size(name, sizeError);
            VobFile& file = files.emplace_back(VobFile{name, sizeError ? 0 : size, g, before});
            before += file.bytes;
        }
    }
    return files;
}

// Turns dvdauthor's progress lines into 0..65535:
//   "STAT: Processing NAME..."                  a file of the script is read
//   "STAT: VOBU 123 at 45MB, 1 PGCs"            read so far in the group, in MiB
//   "STAT: fixing VOBU at 10MB (17/34, 47%)"    navigation packs of the group
//   "STAT: fixed 34 VOBUs"                      the group is finished
// Reading a file counts its size, fixing a group the size of its files.
class AuthoringProgress {
  public:
    AuthoringProgress(std::vector<VobFile> files, const std::function<void(int)>& report)
        : files_(std::move(files)), report_(report) {
        for (const VobFile& file : files_)
            total_ += file.bytes;
    }

    // True for the lines that only tell progress.
    bool take(const std::string& line) {
        int mib = 0;
        int done = 0;
        int count = 0;
        bool progressOnly = true;
        if (line.starts_with(kProcessing)) {
            std::string name = line.substr(kProcessing.size());
            if (name.ends_with("...")) name.resize(name.size() - 3);
            startFile(name);
            progressOnly = false;
        } else if (std::sscanf(line.c_str(), "STAT: VOBU %*d at %dMB", &mib) == 1) {
            readInFile(uint64_t(std::max(mib, 0)) << 20);
        } else if (std::sscanf(line.c_str(), "STAT: fixing VOBU at %*dMB (%d/%d", &done, &count) ==
                   2) {
            if (count > 0) fixedInGroup_ = std::clamp(double(done - 1) / count, 0.0, 1.0);
        } else if (line.starts_with("STAT: fixed ")) {
            ++fixedGroups_;
            fixedInGroup_ = 0;
            progressOnly = false;
        } else {
            return false;
        }
        update();
        return progressOnly;
    }

    void finish() {
        if (report_) report_(kProgressEnd);
    }

  private:
    void startFile(const std::string& name) {
        const size_t next = current_ == kNone ? 0 : current_ + 1;
        size_t found = next;
        while (found < files_.size() && files_[found].name != name)
            ++found;
        current_ = found < files_.size() ? found : next;  // a name not recognised: the next file
        if (current_ >= files_.size()) current_ = files_.empty() ? kNone : files_.size() - 1;
        readBefore_ = 0;
        for (size_t i = 0; current_ != kNone && i < current_; ++i)
            readBefore_ += files_[i].bytes;
        readInCurrent_ = 0;
    }
    void readInFile(uint64_t groupBytes) {
        if (current_ == kNone) return;
        const VobFile& file = files_[current_];
        const uint64_t inFile =
            groupBytes > file.groupBytesBefore ? groupBytes - file.groupBytesBefore : 0;
        readInCurrent_ = std::max(readInCurrent_, std::min(inFile, file.bytes));
    }
    void update() {
        if (total_ == 0 || !report_) return;
        uint64_t fixed = 0;
        for (const VobFile& file : files_) {
            if (file.group < fixedGroups_) fixed += file.bytes;
            if (file.group == fixedGroups_) fixed += uint64_t(double(file.bytes) * fixedInGroup_);
        }
        const double share = (kReadingShare * double(readBefore_ + readInCurrent_) +
                              (1 - kReadingShare) * double(fixed)) /
                             double(total_);
        // The end is reported once dvdauthor has succeeded.
        const int value = std::clamp(int(share * kProgressEnd), 0, kProgressEnd - 1);
        if (value > reported_) {
            reported_ = value;
            report_(value);
        }
    }

    static constexpr size_t kNone = size_t(-1);
    static constexpr std::string_view kProcessing = "STAT: Processing ";
    std::vector<VobFile> files_;
    const std::function<void(int)>& report_;
    uint64_t total_ = 0;
    size_t current_ = kNone;      // the file being read
    uint64_t readBefore_ = 0;     // sizes of the files read before it
    uint64_t readInCurrent_ = 0;  // bytes of it read so far
    size_t fixedGroups_ = 0;
    double fixedInGroup_ = 0;
    int reported_ = -1;
};

// Removes what dvdauthor writes (the same names it removes itself before a
// fresh run), so a failed or cancelled run leaves no half-built disc.
void removeDvdFiles(const fs::path& outputFolder) {
    const fs::path videoTs = outputFolder / "VIDEO_TS";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(videoTs, error)) {
        if (isDvdFileName(entry.path().filename().string())) fs::remove(entry.path(), error);
    }
    fs::remove(videoTs, error);  // only when empty
    fs::remove(outputFolder / "AUDIO_TS", error);
}

}  // namespace

DvdauthorAuthoring::DvdauthorAuthoring(const Log& log, std::string program)
    : log_(log), program_(std::move(program)) {}

int DvdauthorAuthoring::dvdauthor(const AuthorJob& job) {
    const std::string name = fs::path(program_).filename().string();
    AuthoringProgress progress(scriptVobFiles(job.scriptPath), job.progress);

    ChildJob child;
    child.arguments = {program_, "-o", job.outputFolder.string(), "-x", job.scriptPath.string()};
    child.cancelEvent = job.cancelEvent;
    child.onLine = [&](std::string_view line) {
        const std::string text(line);
        if (!progress.take(text)) log_.writeLog(name + ": " + text);
    };
    const ChildResult result = runChildProcess(child);
    if (result.succeeded()) {
        progress.finish();
        return 0;
    }
    if (result.ending == ChildResult::Ending::NotStarted) {
        log_.writeLog(name + " for " + quotedPath(job.outputFolder) +
                      " cannot run: " + result.problem);
    } else {
        removeDvdFiles(job.outputFolder);
        log_.writeLog(name + " for " + quotedPath(job.outputFolder) + " " +
                      childEndingText(result));
    }
    return childResultCode(result);
}

}  // namespace velmora
