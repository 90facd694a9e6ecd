#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What the writing library reports through its callback, numbered as the
// burn engine has always known them.
enum class WriterEvent : int {
    BrowseFiles = 0,
    CopyDataToCache = 1,   // value: progress
    NewMediaInserted = 2,  // value: media change counter
    MediaRemoved = 3,      // value: media change counter
    Erasing = 4,           // value: progress
    Formatting = 5,        // value: progress
    Writing = 7,           // value: progress, 0..65535
    Finishing = 8,         // value: progress
    Finished = 9,          // value: completion status (17 success, see the burn engine)
    Log = 10,              // text: a message of the library
    NumberOfDevicesChanged = 11,
};

// Media statuses of mediaStatus().
inline constexpr int kNoWriterSelected = -1;
inline constexpr int kMediaNoMedium = 2;
inline constexpr int kMediaNotWritable = 3;
inline constexpr int kMediaNotDvd = 4;

// Completion statuses of WriterEvent::Finished that the library reports
// itself (the burn engine knows them all).
inline constexpr int kWriteFailedOrAborted = 16;
inline constexpr int kWriteSucceeded = 17;

// Writes a DVD-Video folder to a recordable DVD (or to an image file, which
// presents itself as a writer). Writing is asynchronous: progress and the
// completion arrive through the callback, on the library's own thread.
class DiscWriterLibrary {
  public:
    using Callback = std::function<void(WriterEvent event, int64_t value, std::string_view text)>;

    virtual ~DiscWriterLibrary() = default;

    // 0 when the library is ready.
    virtual int init() = 0;
    virtual void registerCallback(Callback callback) = 0;
    virtual int dvdWritersCount() = 0;
    virtual std::string dvdWriterName(int index) = 0;
    virtual void setWriter(int index) = 0;
    // Watch the drives for media changes (reported as events).
    virtual void setEnablePolling(bool on) = 0;
    // The medium's MMC profile number (17 DVD-R, 26 DVD+RW, ...); 0 without one.
    virtual int mediaType() = 0;
    // −1 no writer selected, 0 or 1 ready, 2 no medium, 3 not writable,
    // 4 not a DVD.
    virtual int mediaStatus() = 0;
    // The speeds the medium allows, in KB/s, best first; empty when they
    // cannot be asked.
    virtual std::vector<int> writeSpeeds() = 0;
    // KB/s for the next write; 0xFFFF is the fastest.
    virtual void setWriteSpeed(int kilobytesPerSecond) = 0;
    // Starts writing the folder that holds VIDEO_TS under the volume label;
    // 0 when the write started (its end is a Finished event).
    virtual int startWriting(const std::filesystem::path& folder, const std::string& label) = 0;
    // Asks a running write to stop; its end is still a Finished event.
    virtual void abortWrite() = 0;
    // Releases the library; nothing may be called afterwards but init().
    virtual void free() = 0;
};

}  // namespace velmora
