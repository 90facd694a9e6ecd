#include "outside/libburn_disc_writer.h"

#include <fcntl.h>
#include <libburn/libburn.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "base/log.h"
#include "base/path_text.h"
#include "outside/child_process.h"
#include "outside/partial_file.h"

namespace velmora {

namespace fs = std::filesystem;
using namespace burn;  // libburn.h declares its C API in a namespace for C++

namespace {

using namespace std::chrono_literals;

constexpr int kProgressEnd = 65535;
constexpr int kFastestSpeed = 0xFFFF;
constexpr int64_t kSectorBytes = 2048;
constexpr int kProfileDvdRam = 0x12;
constexpr int kProfileStdioFile = 0xffff;
constexpr auto kMediaLookLasts = 1s;
constexpr auto kWatchInterval = 100ms;  // progress and cancel during a write
constexpr auto kPollInterval = 2s;      // medium changes
constexpr auto kReadyPatience = 10s;    // a drive settling after it was opened
constexpr auto kThreadEndPatience = 5s;
constexpr int kWriteThreadEnded = 0x00020178;  // libburn's "Write thread on drive N ended"

// libburn is one per process: started by the first writer that needs it,
// finished when the last lets go. Its drive list is global too, so scans,
// grabs and releases go one at a time.
std::mutex gLibraryMutex;
int gLibraryUsers = 0;

template <typename T, void (*Free)(T*)>
struct LibburnFree {
    void operator()(T* object) const { Free(object); }
};
using DiscHandle = std::unique_ptr<burn_disc, LibburnFree<burn_disc, burn_disc_free>>;
using SessionHandle = std::unique_ptr<burn_session, LibburnFree<burn_session, burn_session_free>>;
using TrackHandle = std::unique_ptr<burn_track, LibburnFree<burn_track, burn_track_free>>;
using SourceHandle = std::unique_ptr<burn_source, LibburnFree<burn_source, burn_source_free>>;
using WriteOptsHandle =
    std::unique_ptr<burn_write_opts, LibburnFree<burn_write_opts, burn_write_opts_free>>;

// The drive list of a scan; freeing it unregisters the drives and closes
// whatever the scan opened.
class DriveList {
  public:
    DriveList() = default;
    ~DriveList() { reset(); }
    DriveList(const DriveList&) = delete;
    DriveList& operator=(const DriveList&) = delete;
    burn_drive_info** out() { return &infos_; }
    burn_drive_info& operator[](unsigned index) const { return infos_[index]; }
    void reset() {
        if (infos_ != nullptr) burn_drive_info_free(infos_);
        infos_ = nullptr;
    }

  private:
    burn_drive_info* infos_ = nullptr;
};

// One drive acquired for exclusive use and given back (not ejected).
class GrabbedDrive {
  public:
    GrabbedDrive(const std::string& address, bool load) {
        std::lock_guard lock(gLibraryMutex);
        std::string writable = address;
        if (burn_drive_scan_and_grab(list_.out(), writable.data(), load ? 1 : 0) == 1)
            drive_ = list_[0].drive;
    }
    ~GrabbedDrive() {
        std::lock_guard lock(gLibraryMutex);
        if (drive_ != nullptr) burn_drive_release(drive_, 0);
        list_.reset();
    }
    GrabbedDrive(const GrabbedDrive&) = delete;
    GrabbedDrive& operator=(const GrabbedDrive&) = delete;

    burn_drive* get() const { return drive_; }

  private:
    DriveList list_;
    burn_drive* drive_ = nullptr;
};

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

bool isDvdProfile(int profile) {
    return profile >= 0x10 && profile <= 0x2f;
}

bool writesDvds(const burn_drive_info& info) {
    if (info.write_dvdr || info.write_dvdram) return true;
    int count = 0;
    int profiles[64];
    char current[64];
    burn_drive_get_all_profiles(info.drive, &count, profiles, current);
    // DVD-R, DVD-RAM, DVD-RW (both), DVD-R DL (both), DVD+RW, DVD+R, DVD+RW DL, DVD+R DL
    constexpr int kWritable[] = {0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x1a, 0x1b, 0x2a, 0x2b};
    for (int i = 0; i < count; ++i)
        if (std::find(std::begin(kWritable), std::end(kWritable), profiles[i]) !=
            std::end(kWritable))
            return true;
    return false;
}

std::string trimmed(const char* text, size_t size) {
    std::string result(text, strnlen(text, size));
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
}

// The drive's status once it has settled (libburn may need a while after a
// drive was opened or a tray closed).
burn_disc_status settledStatus(burn_drive* drive) {
    const auto deadline = std::chrono::steady_clock::now() + kReadyPatience;
    burn_disc_status status = burn_disc_get_status(drive);
    while (status == BURN_DISC_UNREADY && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        status = burn_disc_get_status(drive);
    }
    return status;
}

int mediumProfile(burn_drive* drive) {
    int profile = 0;
    char name[80] = "";
    if (burn_disc_get_profile(drive, &profile, name) != 1) return 0;
    if (burn_drive_get_drive_role(drive) != 1 && profile == kProfileStdioFile)
        return kProfileDvdRam;
    return profile;
}

// Write speeds in libburn's k/s (1385 is 1x DVD), fastest first.
std::vector<int> writeSpeedsOf(burn_drive* drive) {
    std::vector<int> speeds;
    burn_speed_descriptor* list = nullptr;
    if (burn_drive_get_speedlist(drive, &list) > 0) {
        // Type 03h GET PERFORMANCE (source 2) is what the medium allows;
        // mode page 2Ah only where there is nothing better.
        for (int source : {2, 1}) {
            for (burn_speed_descriptor* entry = list; entry != nullptr; entry = entry->next)
                if (entry->source == source && entry->write_speed > 0)
                    speeds.push_back(entry->write_speed);
            if (!speeds.empty()) break;
        }
        burn_drive_free_speedlist(&list);
    }
    if (speeds.empty())
        for (int speed : {burn_drive_get_write_speed(drive), burn_drive_get_min_write_speed(drive)})
            if (speed > 0) speeds.push_back(speed);
    std::sort(speeds.begin(), speeds.end(), std::greater<int>());
    speeds.erase(std::unique(speeds.begin(), speeds.end()), speeds.end());
    return speeds;
}

// 1 a medium is in the drive, 0 none (or the tray is open), -1 unknown.
int mediumPresent(const std::string& address) {
    if (address.starts_with("stdio:")) return 1;
    Fd fd(::open(address.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return -1;
    switch (::ioctl(fd.get(), CDROM_DRIVE_STATUS, CDSL_CURRENT)) {
        case CDS_DISC_OK:
            return 1;
        case CDS_NO_DISC:
        case CDS_TRAY_OPEN:
            return 0;
        default:
            return -1;
    }
}

bool onlyDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string isoVolumeId(std::string_view label) {
    std::string id;
    for (size_t i = 0; i < label.size() && id.size() < 32; ++i) {
        const unsigned char c = static_cast<unsigned char>(label[i]);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') {
            id += char(c);
        } else if (c >= 'a' && c <= 'z') {
            id += char(c - 'a' + 'A');
        } else {
            id += '_';
            // The continuation bytes of a UTF-8 sequence belong to this character.
            while (c >= 0xC0 && i + 1 < label.size() &&
                   (static_cast<unsigned char>(label[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
    }
    return id.find_first_not_of('_') == std::string::npos ? "DVD_VIDEO" : id;
}

int libburnMediaStatus(int discStatus, int profile, bool erasable) {
    if (discStatus == BURN_DISC_EMPTY) return kMediaNoMedium;
    const bool usable = discStatus == BURN_DISC_BLANK || discStatus == BURN_DISC_APPENDABLE ||
                        discStatus == BURN_DISC_FULL;
    if (!usable) return kMediaNotWritable;
    if (!isDvdProfile(profile)) return kMediaNotDvd;
    if (discStatus == BURN_DISC_BLANK) return 0;
    return erasable ? 0 : kMediaNotWritable;
}

LibburnDiscWriter::LibburnDiscWriter(const Log& log, fs::path imageFile, std::string imageProgram)
    : log_(log), imageFile_(std::move(imageFile)), imageProgram_(std::move(imageProgram)) {}

LibburnDiscWriter::~LibburnDiscWriter() {
    free();
}

int LibburnDiscWriter::init() {
    {
        std::lock_guard lock(mutex_);
        if (libraryHeld_) return 0;
    }
    {
        std::lock_guard lock(gLibraryMutex);
        if (gLibraryUsers == 0) {
            if (burn_initialize() == 0) {
                log_.writeLog("libburn cannot start: " + std::string(burn_scsi_transport_id(0)));
                return 1;
            }
            // Messages are queued for our log (from NOTE up) and for the end
            // of a write; none are printed.
            burn_msgs_set_severities(const_cast<char*>("ALL"), const_cast<char*>("NEVER"),
                                     const_cast<char*>("libburn: "));
        }
        ++gLibraryUsers;
    }
    std::vector<Writer> found;
    if (!imageFile_.empty()) {
        found.push_back({"stdio:" + imageFile_.string(), "ISO image file: " + imageFile_.string()});
    } else {
        std::lock_guard lock(gLibraryMutex);
        burn_drive_clear_whitelist();  // left set by the last grab by address
        DriveList list;
        unsigned count = 0;
        int scanned = 0;
        while ((scanned = burn_drive_scan(list.out(), &count)) == 0)
            std::this_thread::sleep_for(10ms);
        for (unsigned i = 0; scanned > 0 && i < count; ++i) {
            char address[BURN_DRIVE_ADR_LEN] = "";
            if (!writesDvds(list[i]) || burn_drive_d_get_adr(list[i].drive, address) <= 0) continue;
            found.push_back({address, trimmed(list[i].vendor, sizeof list[i].vendor) + " " +
                                          trimmed(list[i].product, sizeof list[i].product) + " (" +
                                          address + ")"});
        }
        log_.writeLog("libburn found " + std::to_string(count) + " drive(s), " +
                      std::to_string(found.size()) + " of them DVD writer(s)");
    }
    logLibburnMessages(false);
    std::lock_guard lock(mutex_);
    libraryHeld_ = true;
    writers_ = std::move(found);
    selected_ = -1;
    media_ = {};
    return 0;
}

void LibburnDiscWriter::registerCallback(Callback callback) {
    std::lock_guard lock(mutex_);
    callback_ = std::move(callback);
}

int LibburnDiscWriter::dvdWritersCount() {
    std::lock_guard lock(mutex_);
    return int(writers_.size());
}

std::string LibburnDiscWriter::dvdWriterName(int index) {
    std::lock_guard lock(mutex_);
    return index >= 0 && size_t(index) < writers_.size() ? writers_[size_t(index)].name
                                                         : std::string();
}

void LibburnDiscWriter::setWriter(int index) {
    std::lock_guard lock(mutex_);
    selected_ = index >= 0 && size_t(index) < writers_.size() ? index : -1;
    media_ = {};
}

LibburnDiscWriter::Media LibburnDiscWriter::currentMedia() {
    std::string address;
    {
        std::lock_guard lock(mutex_);
        if (selected_ < 0) return {};
        const bool fresh =
            media_.known && std::chrono::steady_clock::now() - media_.seen < kMediaLookLasts;
        if (writing_ || fresh) return media_;
        address = writers_[size_t(selected_)].address;
    }
    Media seen = lookAtMedia(address);
    std::lock_guard lock(mutex_);
    if (selected_ >= 0 && writers_[size_t(selected_)].address == address) media_ = seen;
    return seen;
}

LibburnDiscWriter::Media LibburnDiscWriter::lookAtMedia(const std::string& address) {
    Media media;
    media.known = true;
    {
        GrabbedDrive drive(address, false);
        if (drive.get() == nullptr) {
            log_.writeLog("libburn cannot open the drive " + address);
            media.status = kMediaNoMedium;
        } else {
            const burn_disc_status status = settledStatus(drive.get());
            media.type = mediumProfile(drive.get());
            media.status =
                libburnMediaStatus(status, media.type, burn_disc_erasable(drive.get()) != 0);
            media.speeds = writeSpeedsOf(drive.get());
        }
    }
    logLibburnMessages(false);
    media.seen = std::chrono::steady_clock::now();
    return media;
}

int LibburnDiscWriter::mediaType() {
    return currentMedia().type;
}

int LibburnDiscWriter::mediaStatus() {
    return currentMedia().status;
}

std::vector<int> LibburnDiscWriter::writeSpeeds() {
    return currentMedia().speeds;
}

void LibburnDiscWriter::setWriteSpeed(int kilobytesPerSecond) {
    std::lock_guard lock(mutex_);
    speed_ = kilobytesPerSecond >= kFastestSpeed || kilobytesPerSecond < 0 ? 0 : kilobytesPerSecond;
}

void LibburnDiscWriter::report(WriterEvent event, int64_t value, std::string_view text) {
    Callback callback;
    {
        std::lock_guard lock(mutex_);
        callback = callback_;
    }
    if (callback) callback(event, value, text);
}

bool LibburnDiscWriter::logLibburnMessages(bool asEvents) {
    static const int noteRank = [] {
        int rank = 0;
        burn_text_to_sev(const_cast<char*>("NOTE"), &rank, 0);
        return rank;
    }();
    bool writeThreadEnded = false;
    int code = 0;
    int osErrno = 0;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    while (burn_msgs_obtain(const_cast<char*>("ALL"), &code, text, &osErrno, severity) == 1) {
        writeThreadEnded = writeThreadEnded || code == kWriteThreadEnded;
        int rank = 0;
        if (burn_text_to_sev(severity, &rank, 0) <= 0 || rank < noteRank) continue;
        std::string line = std::string("libburn ") + severity + ": " + text;
        if (osErrno != 0) line += std::string(" (") + std::strerror(osErrno) + ")";
        log_.writeLog(line);
        if (asEvents) report(WriterEvent::Log, 0, line);
    }
    return writeThreadEnded;
}

int LibburnDiscWriter::startWriting(const fs::path& folder, const std::string& label) {
    WriteJob job;
    {
        std::lock_guard lock(mutex_);
        if (writing_) return kWriteDeviceBusy;
        if (selected_ < 0) return kWriteMediaNotReady;
        job = {writers_[size_t(selected_)].address, writers_[size_t(selected_)].name, folder,
               isoVolumeId(label), speed_};
        writing_ = true;
        abortRequested_ = false;
        cancel_.reset();
    }
    if (writer_.joinable()) writer_.join();  // the last write, ended already
    writer_ = std::thread([this, job = std::move(job)]() mutable { runWrite(std::move(job)); });
    return 0;
}

void LibburnDiscWriter::abortWrite() {
    {
        std::lock_guard lock(mutex_);
        if (!writing_) return;
    }
    abortRequested_ = true;
    cancel_.set();
}

void LibburnDiscWriter::runWrite(WriteJob job) {
    log_.writeLog("Writing " + quotedPath(job.folder) + " to " + job.writerName + ", volume " +
                  job.volumeId);
    int status = imageFile_.empty() ? writeImage(job) : writeImageFile(std::move(job));
    if (status != kWriteSucceeded && abortRequested_) status = kWriteFailedOrAborted;
    logLibburnMessages(true);
    {
        std::lock_guard lock(mutex_);
        writing_ = false;
        media_ = {};
    }
    log_.writeLog("Write to " + job.writerName + " ended with status " + std::to_string(status));
    report(WriterEvent::Finished, status);
}

// The image goes to a fresh temporary beside the image file, which libburn
// writes through our descriptor; the image file is replaced only by a
// whole image. An abort that comes before the rename wins over a write that
// has just succeeded.
int LibburnDiscWriter::writeImageFile(WriteJob job) {
    PartialFile partial;
    std::string problem;
    if (!partial.create(imageFile_, &problem)) {
        log_.writeLog(problem);
        return kWriteImageFailed;
    }
    job.address = "stdio:/dev/fd/" + std::to_string(partial.fd());
    const int status = writeImage(job);
    if (status != kWriteSucceeded) return status;
    if (abortRequested_) return kWriteFailedOrAborted;
    if (!partial.commit(&problem)) {
        log_.writeLog(problem);
        return kWriteImageFailed;
    }
    return kWriteSucceeded;
}

std::vector<std::string> LibburnDiscWriter::imageArguments(const WriteJob& job) const {
    return {imageProgram_, "-dvd-video", "-udf", "-V", job.volumeId, "-quiet"};
}

int LibburnDiscWriter::imageSectors(const WriteJob& job, int64_t& sectors) {
    ChildJob sizing;
    sizing.arguments = imageArguments(job);
    sizing.arguments.insert(sizing.arguments.end(), {"-print-size", job.folder.string()});
    sizing.cancelEvent = &cancel_;
    sectors = 0;
    sizing.onLine = [&](std::string_view line) {
        if (onlyDigits(line) && line.size() < 16)
            sectors = std::stoll(std::string(line));
        else
            log_.writeLog(imageProgram_ + ": " + std::string(line));
    };
    const ChildResult result = runChildProcess(sizing);
    if (result.ending == ChildResult::Ending::Cancelled) return kWriteFailedOrAborted;
    if (!result.succeeded() || sectors <= 0) {
        log_.writeLog(imageProgram_ + " cannot size the image of " + quotedPath(job.folder) + ": " +
                      childEndingText(result));
        return kWriteImageFailed;
    }
    log_.writeLog("The image has " + std::to_string(sectors) + " sectors");
    return 0;
}

int LibburnDiscWriter::writeImage(const WriteJob& job) {
    int64_t sectors = 0;
    if (const int sized = imageSectors(job, sectors); sized != 0) return sized;
    if (abortRequested_) return kWriteFailedOrAborted;

    GrabbedDrive drive(job.address, true);
    if (drive.get() == nullptr) {
        log_.writeLog("libburn cannot open the drive " + job.address);
        return kWriteDeviceBusy;
    }
    burn_drive* const d = drive.get();
    const burn_disc_status discStatus = settledStatus(d);
    const int profile = mediumProfile(d);
    const bool erase = discStatus != BURN_DISC_BLANK;
    if (libburnMediaStatus(discStatus, profile, burn_disc_erasable(d) != 0) != 0) {
        log_.writeLog("The medium cannot be written (disc status " + std::to_string(discStatus) +
                      ", profile " + std::to_string(profile) + ")");
        return kWriteMediaNotReady;
    }
    if (erase) {
        if (const int blanked = blankMedium(d, profile); blanked != 0) return blanked;
    }
    // The image runs from genisoimage through a pipe into libburn. The
    // child's standard output is the pipe's write end, opened again through
    // /proc so that the child job can redirect to it as to a file.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return kWriteImageFailed;
    Fd readEnd(ends[0]);
    Fd writeEnd(ends[1]);
    const int64_t bytes = sectors * kSectorBytes;
    SourceHandle source(burn_fd_source_new(readEnd.get(), -1, bytes));
    if (source == nullptr) return kWriteImageFailed;
    readEnd.release();  // closed by libburn with the source
    TrackHandle track(burn_track_create());
    SessionHandle session(burn_session_create());
    DiscHandle disc(burn_disc_create());
    burn_track_define_data(track.get(), 0, 0, 1, BURN_MODE1);
    if (burn_track_set_source(track.get(), source.get()) != BURN_SOURCE_OK)
        return kWriteImageFailed;
    burn_track_set_size(track.get(), bytes);
    burn_session_add_track(session.get(), track.get(), BURN_POS_END);
    burn_disc_add_session(disc.get(), session.get(), BURN_POS_END);

    WriteOptsHandle options(burn_write_opts_new(d));
    if (options == nullptr) return kWriteDeviceFailed;
    burn_write_opts_set_multi(options.get(), 0);  // a DVD-Video disc is closed
    burn_write_opts_set_underrun_proof(options.get(), 1);
    burn_drive_set_speed(d, 0, job.speed);  // an image file takes it as a throttle
    // An image file is synced once at its end (libburn's default rhythm of
    // every 16 MB also upsets its throttle).
    if (burn_drive_get_drive_role(d) != 1) burn_write_opts_set_stdio_fsync(options.get(), 1);
    const off_t space = burn_disc_available_space(d, options.get());
    if (space > 0 && space < bytes) {
        log_.writeLog("The image (" + std::to_string(bytes) + " bytes) does not fit in " +
                      std::to_string(space) + " bytes");
        return kWriteTooBig;
    }
    char reasons[BURN_REASONS_LEN] = "";
    if (burn_write_opts_auto_write_type(options.get(), disc.get(), reasons, 0) == BURN_WRITE_NONE) {
        log_.writeLog(std::string("libburn finds no way to write this medium: ") + reasons);
        return kWriteMediaNotReady;
    }
    if (abortRequested_) return kWriteFailedOrAborted;

    ChildJob streaming;
    streaming.arguments = imageArguments(job);
    streaming.arguments.insert(streaming.arguments.end(), {"-o", "-", job.folder.string()});
    streaming.output = "/proc/self/fd/" + std::to_string(writeEnd.get());
    streaming.cancelEvent = &cancel_;
    streaming.onLine = [this](std::string_view line) {
        log_.writeLog(imageProgram_ + ": " + std::string(line));
    };
    ChildResult streamed;
    std::thread producer([&streaming, &streamed, &writeEnd] {
        streamed = runChildProcess(streaming);
        writeEnd.reset();  // libburn sees the end of the data
    });

    burn_disc_write(options.get(), disc.get());
    WriteProgress progress;
    bool wroteWell = followWrite(d, sectors, progress);
    off_t readBytes = 0;
    off_t writtenBytes = 0;
    burn_track_get_counters(track.get(), &readBytes, &writtenBytes);
    // A write libburn refused to start looks like a finished one to the
    // drive's status; only the bytes it wrote tell them apart.
    wroteWell = wroteWell && writtenBytes >= bytes;
    if (!wroteWell) {
        // genisoimage may wait on a pipe nobody reads any more.
        cancel_.set();
        producer.join();
    }
    // Without its source libburn closes the pipe: a genisoimage with more
    // to write than it announced gets a broken pipe rather than waiting.
    disc.reset();
    session.reset();
    track.reset();
    source.reset();
    if (producer.joinable()) producer.join();
    const bool imageFailed =
        streamed.ending != ChildResult::Ending::Cancelled && !streamed.succeeded();
    if (imageFailed)
        log_.writeLog(imageProgram_ + " writing the image of " + quotedPath(job.folder) + " " +
                      childEndingText(streamed));
    if (!wroteWell || imageFailed)
        return imageFailed && !abortRequested_ ? kWriteImageFailed : kWriteFailedOrAborted;
    if (progress.reported < kProgressEnd) report(WriterEvent::Writing, kProgressEnd);
    if (!progress.finishing) report(WriterEvent::Finishing, kProgressEnd);
    return kWriteSucceeded;
}

int LibburnDiscWriter::blankMedium(burn_drive* drive, int profile) {
    log_.writeLog("Blanking the written medium (profile " + std::to_string(profile) + ")");
    burn_disc_erase(drive, 1);  // fast: enough for a write at once
    burn_progress progress{};
    while (burn_drive_get_status(drive, &progress) != BURN_DRIVE_IDLE) {
        if (progress.sectors > 0)
            report(WriterEvent::Erasing,
                   std::min<int64_t>(kProgressEnd,
                                     int64_t(progress.sector) * kProgressEnd / progress.sectors));
        logLibburnMessages(true);
        std::this_thread::sleep_for(kWatchInterval);
    }
    // libburn's blanking thread reports idle just before it ends.
    std::this_thread::sleep_for(1s);
    logLibburnMessages(true);
    if (!burn_drive_wrote_well(drive) || burn_drive_re_assess(drive, 0) <= 0 ||
        settledStatus(drive) != BURN_DISC_BLANK)
        return kWriteEraseFailed;
    report(WriterEvent::Erasing, kProgressEnd);
    return 0;
}

bool LibburnDiscWriter::followWrite(burn_drive* drive, int64_t sectors, WriteProgress& seen) {
    while (burn_drive_get_status(drive, nullptr) == BURN_DRIVE_SPAWNING)
        std::this_thread::sleep_for(10ms);
    bool threadEnded = false;
    burn_progress progress{};
    for (burn_drive_status state;
         (state = burn_drive_get_status(drive, &progress)) != BURN_DRIVE_IDLE;
         std::this_thread::sleep_for(kWatchInterval)) {
        threadEnded = logLibburnMessages(true) || threadEnded;
        if (abortRequested_) burn_drive_cancel(drive);
        const int64_t total = progress.sectors > 0 ? progress.sectors : sectors;
        const int value = int(std::min<int64_t>(
            kProgressEnd, int64_t(std::max(progress.sector, 0)) * kProgressEnd / total));
        if (value > seen.reported) report(WriterEvent::Writing, seen.reported = value);
        const bool closing = state == BURN_DRIVE_CLOSING_TRACK ||
                             state == BURN_DRIVE_CLOSING_SESSION ||
                             state == BURN_DRIVE_WRITING_LEADOUT || value == kProgressEnd;
        if (closing && !seen.finishing) {
            report(WriterEvent::Finishing, value);
            seen.finishing = true;
        }
    }
    const bool wroteWell = burn_drive_wrote_well(drive) != 0;
    // After a failure libburn reports idle some half a second before its
    // write thread lets go of the drive, which must not be released before.
    for (const auto deadline = std::chrono::steady_clock::now() + kThreadEndPatience;
         !threadEnded && std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(50ms))
        threadEnded = logLibburnMessages(true);
    if (!threadEnded) log_.writeLog("libburn's write thread did not report its end");
    return wroteWell;
}

void LibburnDiscWriter::setEnablePolling(bool on) {
    if (!on) {
        stopPolling();
        return;
    }
    if (poller_.joinable()) return;
    {
        std::lock_guard lock(pollMutex_);
        pollStop_ = false;
    }
    poller_ = std::thread([this] { pollDrives(); });
}

void LibburnDiscWriter::stopPolling() {
    {
        std::lock_guard lock(pollMutex_);
        pollStop_ = true;
    }
    pollWake_.notify_all();
    if (poller_.joinable()) poller_.join();
}

void LibburnDiscWriter::pollDrives() {
    std::string watched;
    int present = -1;
    int64_t changes = 0;
    std::unique_lock wait(pollMutex_);
    while (!pollStop_) {
        wait.unlock();
        std::string address;
        bool writing = false;
        {
            std::lock_guard lock(mutex_);
            address = selected_ >= 0 ? writers_[size_t(selected_)].address : std::string();
            writing = writing_;
        }
        const int now = writing || address.empty() ? -1 : mediumPresent(address);
        if (address != watched) {
            watched = address;  // another drive: its state is the new start
            present = now;
        } else if (now >= 0 && present >= 0 && now != present) {
            present = now;
            {
                std::lock_guard lock(mutex_);
                media_ = {};
            }
            report(now == 1 ? WriterEvent::NewMediaInserted : WriterEvent::MediaRemoved, ++changes);
        } else if (now >= 0) {
            present = now;
        }
        wait.lock();
        pollWake_.wait_for(wait, kPollInterval, [this] { return pollStop_; });
    }
}

void LibburnDiscWriter::free() {
    stopPolling();
    abortWrite();
    if (writer_.joinable()) writer_.join();
    std::lock_guard lock(mutex_);
    if (!libraryHeld_) return;
    libraryHeld_ = false;
    writers_.clear();
    selected_ = -1;
    media_ = {};
    std::lock_guard libraryLock(gLibraryMutex);
    if (--gLibraryUsers == 0) burn_finish();
}

}  // namespace velmora
