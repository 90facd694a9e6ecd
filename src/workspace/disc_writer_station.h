#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace velmora {

class BurnDisplay;
class BurnEngine;
class DiscWriterLibrary;
class Log;
class Notifier;

// Where a finished DVD folder is written: a disc in the selected writer, or
// an ISO image file (for a computer without a writer, or to burn later).
enum class WriteTarget { Disc, ImageFile };

// The disc writers of the window, looked at and written on a thread of
// their own: a drive scan or a look at a medium can take seconds (a disc
// spinning up), and the window must never wait for one. Every request is
// queued to that thread and answered through the display, the notifier and
// the callbacks, all called on that thread (or the writing library's).
class DiscWriterStation {
  public:
    // The completion status of a write (17 written, see the burn engine),
    // or kWriteNotStarted when the medium check or the start refused.
    static constexpr int kWriteNotStarted = -1;
    using WriteFinished = std::function<void(int status)>;
    using MediaChecked = std::function<void(bool ready)>;

    DiscWriterStation(const Log& log, Notifier& notifier, BurnDisplay& display,
                      WriteFinished writeFinished, std::string imageProgram = "genisoimage");
    // Aborts a running write and waits for it, then lets the drives go.
    ~DiscWriterStation();
    DiscWriterStation(const DiscWriterStation&) = delete;
    DiscWriterStation& operator=(const DiscWriterStation&) = delete;

    // Looks for writers anew (a drive plugged in since), selects the first
    // and looks at its medium.
    void refresh();
    void selectWriter(int index);
    void selectSpeed(int index);
    // The medium check with its messages, before a build that burns.
    void checkMedia(MediaChecked answer);
    // Writes the folder holding VIDEO_TS (or the VIDEO_TS folder's parent)
    // to the target; the image's path is used for WriteTarget::ImageFile.
    // The disc's medium is checked first, with its messages. A disc's
    // success says "Burn finished!" when `announceSuccess` (not before a
    // power-off); an image's is the caller's to tell.
    struct WriteRequest {
        WriteTarget target = WriteTarget::Disc;
        std::filesystem::path folder;
        std::filesystem::path imageFile;
        std::string volumeLabel;
        bool announceSuccess = true;
    };
    void write(const WriteRequest& request);
    // Asks the running write to stop; its end still comes as a completion.
    void abort();

    // True from write() until its completion has been reported.
    bool writing() const { return writing_; }
    // The number of writers of the last look; -1 before the first.
    int writerCount() const { return writerCount_; }
    // Waits until every request queued so far has been handled (tests).
    void waitUntilIdle();

  private:
    using Task = std::function<void()>;
    void post(Task task);
    void run();
    BurnEngine& diskEngine();
    BurnEngine* imageEngine(const std::filesystem::path& imageFile);
    void writeOnThread(const WriteRequest& request);

    const Log& log_;
    Notifier& notifier_;
    BurnDisplay& display_;
    WriteFinished writeFinished_;
    const std::string imageProgram_;

    // Used on the station's thread only.
    std::unique_ptr<DiscWriterLibrary> diskWriter_;
    std::unique_ptr<BurnEngine> diskEngine_;
    std::unique_ptr<DiscWriterLibrary> imageWriter_;
    std::unique_ptr<BurnEngine> imageEngine_;
    std::unique_ptr<BurnDisplay> imageDisplay_;

    std::atomic<bool> writing_{false};
    std::atomic<int> writerCount_{-1};
    std::mutex abortMutex_;  // the engine a write runs on, for abort()
    BurnEngine* activeEngine_ = nullptr;
    bool abortPending_ = false;  // asked before the write had started

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    int running_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace velmora
