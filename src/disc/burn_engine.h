#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class DiscWriterLibrary;
class Log;
class Notifier;
class Shutdown;

// One entry of the speed list: its text and the speed a write gets.
struct SpeedEntry {
    std::string text;
    int kilobytesPerSecond = 0;  // 0xFFFF: the fastest
};

// What the burn engine shows: the writer list, the medium, the speeds and
// the progress. Called from the writing library's thread as well as the
// caller's; a display that paints hands the values to its own thread.
class BurnDisplay {
  public:
    virtual ~BurnDisplay() = default;
    virtual void setWriterNames(const std::vector<std::string>& names, int selected) = 0;
    virtual void setMediumText(std::string_view text) = 0;
    virtual void setSpeedList(const std::vector<SpeedEntry>& speeds, int selected) = 0;
    virtual void setMainLabel(std::string_view text) = 0;
    virtual void setDetailLabel(std::string_view text) = 0;
    virtual void setMainBar(int value) = 0;  // 0..65535
    virtual void setDetailBar(int value) = 0;
    virtual void setButtonCaption(std::string_view caption) = 0;  // "Make DVD", "Cancel", "Stoping"
    // The project commands are locked while a write runs.
    virtual void burnStarted() = 0;
    virtual void burnEnded() = 0;
};

// The medium's name as the medium field shows it, and whether a DVD-Video
// write takes it.
std::string mediaTypeText(int mediaType);
bool isWritableMediaType(int mediaType);

// "x%.1f (%d KB/s) - Ref x1 = %.1f" with the drive's multiplier for the
// speed; "Max" for 0xFFFF and above.
std::string speedText(int kilobytesPerSecond);

// The message of a write's completion status; empty for success (17).
std::string writeStatusText(int status);

// The folder a write takes from a path: the folder that holds VIDEO_TS,
// also when the VIDEO_TS folder itself was picked.
std::filesystem::path folderHoldingVideoTs(const std::filesystem::path& path);

// Writes a DVD folder with the writing library: writers, the medium check,
// speeds, the write with its progress, abort and the completion message.
class BurnEngine {
  public:
    enum class CheckMode { Warn, Silent };

    BurnEngine(DiscWriterLibrary* library, Notifier& notifier, const Log& log,
               BurnDisplay& display);
    ~BurnEngine();
    BurnEngine(const BurnEngine&) = delete;
    BurnEngine& operator=(const BurnEngine&) = delete;

    // Starts the library, lists the writers and selects the first. False
    // (and every list empty) when there is no library or it fails.
    bool initBurnEngine();
    void unloadBurnEngine();
    void fillWriterList();
    void selectWriter(int index);
    int writerCount() const { return writerCount_; }

    bool checkMedia(CheckMode mode);
    void fillSpeedList();
    void selectSpeed(int index);
    const std::vector<SpeedEntry>& speeds() const { return speeds_; }

    // Writes the folder holding VIDEO_TS (or the VIDEO_TS folder's parent);
    // false when the medium is not ready or the write cannot start.
    bool startBurn(const std::filesystem::path& path, const std::string& volumeLabel);
    void abortBurn();
    void writeFinished(int status);

    // Powering off after a successful write, when asked for.
    void setShutdownAfter(bool on, Shutdown* shutdown, std::function<bool()> saveProject);

    bool burning() const { return burning_; }
    bool mediaReady() const { return mediaReady_; }
    // Waits until the running write has finished; its completion status
    // (−1 when no write ran).
    int waitForBurn();

  private:
    void onEvent(int event, int64_t value);
    void warn(const std::string& text);
    void restoreIdle();

    DiscWriterLibrary* library_;
    Notifier& notifier_;
    const Log& log_;
    BurnDisplay& display_;
    bool initialised_ = false;
    int writerCount_ = 0;
    std::atomic<bool> mediaReady_{false};
    std::atomic<bool> burning_{false};
    std::atomic<bool> abortRequested_{false};
    std::atomic<int> mainBarPosition_{0};
    std::vector<SpeedEntry> speeds_;
    int selectedSpeed_ = 0;
    bool shutdownAfter_ = false;
    Shutdown* shutdown_ = nullptr;
    std::function<bool()> saveProject_;

    std::mutex finishedMutex_;
    std::condition_variable finishedChanged_;
    bool writing_ = false;
    int lastStatus_ = -1;
};

}  // namespace velmora
