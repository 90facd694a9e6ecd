#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "base/event.h"
#include "disc/build_progress.h"
#include "interfaces/video_format.h"

namespace velmora {

class AudioConverterLibrary;
class AuthoringLibrary;
class ConvertedTracks;
class EncoderLibrary;
class Log;
class MenuSet;
class MultiplexerLibrary;
class Notifier;
class Project;
class Shutdown;
class SubpictureLibrary;
struct Preferences;
struct ResourcePaths;

// The outside parts a build runs. A missing multiplexer, converter or
// authoring program makes its stage fail with 1; without a subpicture
// program the menu pages get no buttons and the authoring fails on them.
struct BuildTools {
    EncoderLibrary& encoder;
    MultiplexerLibrary* multiplexer = nullptr;
    AudioConverterLibrary* converter = nullptr;
    SubpictureLibrary* subpictures = nullptr;
    AuthoringLibrary* authoring = nullptr;
};

struct BuildParts {
    Project& project;
    const MenuSet& menu;
    const Preferences& preferences;
    const ResourcePaths& resources;
    BuildTools tools;
    const Log& log;
    Notifier& notifier;
    BuildDisplay& display;
    Shutdown* shutdown = nullptr;
    std::function<bool()> saveProject;  // without a message; before a power-off
};

struct BuildOptions {
    bool burnAfter = false;            // hand the finished folder to the disc writer
    bool shutdownAfter = false;        // power off after the countdown
    std::function<bool()> mediaReady;  // the writer's check, asked before anything is deleted
    std::function<void(const std::filesystem::path& outputFolder)> burn;
};

// The make-DVD process: on a thread of its own, the menu streams, the
// slideshow soundtrack (cut into one per title), one program stream per
// slideshow and the DVD file system, in that order; the first stage that
// fails ends the build. A build always ends idle (display released, making
// false), however it ends.
class BuildJob {
  public:
    explicit BuildJob(const BuildParts& parts);
    ~BuildJob();  // cancels a running build and waits for it
    BuildJob(const BuildJob&) = delete;
    BuildJob& operator=(const BuildJob&) = delete;

    // Starts a build; false (nothing deleted, nothing started) when the
    // project has no slideshow, a build runs already, the writer is not
    // ready for the burn asked for, or the project cannot be built as it
    // stands (refusalReason() then says why).
    bool startBuild(const BuildOptions& options);
    // Why the last startBuild refused the project; empty when it did not.
    const std::string& refusalReason() const { return refusal_; }
    // Asks the running build to stop at its next test of the cancel event.
    void requestCancel();
    // Asks it to stop and waits until it has: the build is idle afterwards.
    void cancelBuild();
    // Waits for the build to end; its result (0 done, 2 cancelled, 1 or an
    // outside program's code when it failed).
    int waitForBuild();

    bool making() const { return making_; }
    // The last build's result once making() is false (as waitForBuild()
    // gives it, without waiting).
    int result() const { return result_; }
    int remainingSeconds() const;

  private:
    std::string buildProblem();
    std::string fileSizeLimitProblem() const;
    void buildThread();
    int makeMenusAndSlideshowSoundtrack();
    int makeMenus(ConvertedTracks& conversions);
    int makeSlideshowSoundtrack(ConvertedTracks& conversions);
    int makeTitleSoundtracks();
    int makeSlideshowVideo(int index);
    int makeDvdFileSystem();
    void finish(int result);
    void setStage(BuildStage stage, int index, int count);
    void reportBuildProgress(int value);
    VideoFormat videoFormat() const;

    BuildParts parts_;
    BuildOptions options_;
    Event cancelEvent_;
    std::atomic<bool> making_{false};
    std::thread thread_;
    std::atomic<int> result_{0};
    std::string refusal_;
    BuildProgress progress_;
    mutable std::mutex clockMutex_;
    RemainingTime clock_;
};

}  // namespace velmora
