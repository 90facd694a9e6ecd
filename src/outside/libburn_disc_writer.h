#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/event.h"
#include "interfaces/disc_writer_library.h"

namespace burn {
struct burn_drive;
}

namespace velmora {

class Log;

// Completion statuses of WriterEvent::Finished besides success and
// "write error or aborted", as the burn engine numbers them:
// the image does not fit on the medium;
inline constexpr int kWriteTooBig = 5;
// no medium, or one that cannot take the write;
inline constexpr int kWriteMediaNotReady = 6;
// blanking a written DVD-RW failed;
inline constexpr int kWriteEraseFailed = 7;
// genisoimage failed, is missing, or its image came out other than sized;
inline constexpr int kWriteImageFailed = 9;
// the drive cannot be opened (another program has it), or a write runs;
inline constexpr int kWriteDeviceBusy = 11;
// libburn cannot set the drive up for writing.
inline constexpr int kWriteDeviceFailed = 12;

// The ISO 9660 volume identifier for a label: d-characters only (A-Z, 0-9
// and '_'), lower-case letters raised, any other character (a UTF-8
// sequence counts as one) turned into '_', at most 32 characters. A label
// with nothing left becomes "DVD_VIDEO".
std::string isoVolumeId(std::string_view label);

// mediaStatus() of a grabbed drive from libburn's disc status (enum
// burn_disc_status), the medium's MMC profile and whether libburn can
// blank it: no medium 2; CD, BD and HD DVD media 4 (not a DVD); blank 0;
// written media 0 when they can be blanked (a written DVD-RW: the write
// blanks it first) and 3 otherwise; media libburn cannot use 3. An
// appendable DVD±R counts as written: a DVD-Video has to be a disc's first
// session. Overwritable media (DVD+RW, DVD-RAM, formatted DVD-RW) are
// always blank to libburn, data or not, and are simply overwritten.
int libburnMediaStatus(int discStatus, int profile, bool erasable);

// The disc-writing library on libburn.
//
// Writers: without an image file, the drives libburn's scan finds that can
// write some kind of DVD, named "VENDOR PRODUCT (/dev/srN)". With an image
// file, exactly one writer, libburn's "stdio:" pseudo-drive on that file,
// named "ISO image file: PATH"; it takes the same path as a disc (image
// streamed into libburn, progress, completion) and honours the write speed
// as a throttle. libburn calls that pseudo-drive's medium profile 0xffff
// ("stdio file") and likens it to DVD-RAM; mediaType() reports it as 0x12
// (DVD-RAM) so that it counts as a writable DVD, with status 0 (ready).
// The image is written to a temporary file made beside the image file
// (".NAME.XXXXXX.part") and renamed over it once written whole: a write
// that fails or is aborted leaves the image file as it was, or absent, and
// no temporary behind.
//
// A drive is opened (grabbed) only while its medium is looked at or while
// it is written, so its tray stays free in between. One look serves the
// medium queries for a second; during a write the queries answer what was
// seen before it.
//
// A write: `genisoimage -print-size` gives the image's size in 2048-byte
// sectors, then `genisoimage -dvd-video -udf -V ID -quiet -o - FOLDER`
// streams the image through a pipe into libburn (a track of that fixed
// size; libburn picks DAO for sequential DVD-R, plain writing for the
// others). genisoimage's messages and libburn's (NOTE and above) go to the
// log. A written DVD-RW is blanked (fast) first, reported as Erasing.
//
// Threads: every event comes on a thread of the writer's own: Writing,
// Erasing, Finishing, Log and the single Finished of a write on the write's
// thread (Finished last, after the drive has been given back);
// NewMediaInserted and MediaRemoved on the polling thread. Messages that
// libburn gives outside a write go to the log only. The callback may call
// abortWrite() and the queries, but not startWriting(), setEnablePolling()
// or free(); no lock of the writer is held while it runs.
class LibburnDiscWriter final : public DiscWriterLibrary {
  public:
    // imageFile: write an image file instead of discs. imageProgram:
    // genisoimage, as a path or a name looked up in PATH.
    explicit LibburnDiscWriter(const Log& log, std::filesystem::path imageFile = {},
                               std::string imageProgram = "genisoimage");
    ~LibburnDiscWriter() override;
    LibburnDiscWriter(const LibburnDiscWriter&) = delete;
    LibburnDiscWriter& operator=(const LibburnDiscWriter&) = delete;

    // libburn is started once for all writers and finished when the last
    // one is freed. 0 when it started (also when no writer is found).
    int init() override;
    void registerCallback(Callback callback) override;
    int dvdWritersCount() override;
    std::string dvdWriterName(int index) override;
    void setWriter(int index) override;
    // Watches the selected drive for a medium coming or going every two
    // seconds (the kernel's drive status; the image file is always there).
    void setEnablePolling(bool on) override;
    int mediaType() override;
    int mediaStatus() override;
    std::vector<int> writeSpeeds() override;
    void setWriteSpeed(int kilobytesPerSecond) override;
    // Returns 0 when the write's thread started; kWriteMediaNotReady when
    // no writer is selected, kWriteDeviceBusy while a write runs (no
    // Finished event for those).
    int startWriting(const std::filesystem::path& folder, const std::string& label) override;
    void abortWrite() override;
    // Stops polling, aborts and waits for a running write (its Finished
    // event still comes), and gives libburn back.
    void free() override;

  private:
    struct Writer {
        std::string address;  // "/dev/sr0" or "stdio:PATH"
        std::string name;
    };
    struct Media {
        int type = 0;
        int status = kNoWriterSelected;
        std::vector<int> speeds;
        std::chrono::steady_clock::time_point seen;
        bool known = false;
    };
    struct WriteJob {
        std::string address;
        std::string writerName;
        std::filesystem::path folder;
        std::string volumeId;
        int speed = 0;  // libburn's k/s, 0 the fastest
    };

    Media currentMedia();
    Media lookAtMedia(const std::string& address);
    void report(WriterEvent event, int64_t value, std::string_view text = {});
    // Logs libburn's queued messages; true when one was the end of a write.
    bool logLibburnMessages(bool asEvents);
    void runWrite(WriteJob job);
    int writeImage(const WriteJob& job);
    int writeImageFile(WriteJob job);
    int imageSectors(const WriteJob& job, int64_t& sectors);
    int blankMedium(burn::burn_drive* drive, int profile);
    struct WriteProgress {
        int reported = -1;  // the last Writing value
        bool finishing = false;
    };
    // Reports the progress of a started write until libburn's write thread
    // has ended; true when libburn says it went well.
    bool followWrite(burn::burn_drive* drive, int64_t sectors, WriteProgress& seen);
    std::vector<std::string> imageArguments(const WriteJob& job) const;
    void pollDrives();
    void stopPolling();

    const Log& log_;
    const std::filesystem::path imageFile_;
    const std::string imageProgram_;

    std::mutex mutex_;  // everything below but the threads
    Callback callback_;
    std::vector<Writer> writers_;
    int selected_ = -1;
    Media media_;
    int speed_ = 0;
    bool libraryHeld_ = false;
    bool writing_ = false;

    std::thread writer_;
    std::atomic<bool> abortRequested_{false};
    Event cancel_;  // ends genisoimage

    std::thread poller_;
    std::mutex pollMutex_;
    std::condition_variable pollWake_;
    bool pollStop_ = false;
};

}  // namespace velmora
