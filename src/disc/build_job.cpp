#include "disc/build_job.h"

#include <system_error>

#include "audio/converted_tracks.h"
#include "audio/soundtrack_assembly.h"
#include "audio/title_soundtracks.h"
#include "base/app_folders.h"
#include "base/log.h"
#include "base/notifier.h"
#include "base/path_text.h"
#include "disc/disc_space.h"
#include "disc/dvd_output.h"
#include "disc/menu_streams.h"
#include "disc/shutdown_countdown.h"
#include "disc/stage_files.h"
#include "interfaces/authoring_library.h"
#include "interfaces/run_result.h"
#include "interfaces/video_format.h"
#include "menu/menu_set.h"
#include "model/preferences.h"
#include "model/project.h"
#include "render/timeline.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// A program stream a little under 4 GiB at the estimate's rate, which the
// real stream may pass by some percent.
constexpr float kLargestStreamOnFatMegabytes = 3700.0f;

}  // namespace

BuildJob::BuildJob(const BuildParts& parts) : parts_(parts) {}

BuildJob::~BuildJob() {
    cancelBuild();
}

VideoFormat BuildJob::videoFormat() const {
    return parts_.preferences.videoFormat();
}

// Why the project cannot be built as it stands; empty when it can. Found
// before anything is deleted or encoded: a project that cannot fit a disc
// would otherwise encode for hours, a bad output folder fail at the end.
std::string BuildJob::buildProblem() {
    Project& project = parts_.project;
    const WorkingFolders& folders = project.folders();
    std::error_code error;
    if (!fs::is_directory(folders.temporary, error))
        return "The working folder " + quotedPath(folders.temporary) + " is missing.";
    project.estimateDiscSize();
    if (project.sizeEstimate > Project::kDiscWarningMegabytes) {
        return "dvdLength Is over 4500M! Please delete some Image or change Image display time "
               "in Preference Screen!";
    }
    if (const std::string problem = fileSizeLimitProblem(); !problem.empty()) return problem;
    return dvdOutputProblem(folders.output, folders.working);
}

// A filesystem that limits files to 4 GiB (FAT) cannot hold a slideshow's
// program stream beyond that: the encoder would fail with a write error
// hours into the build. The DVD's own files are cut at 1 GiB and fit.
std::string BuildJob::fileSizeLimitProblem() const {
    const Project& project = parts_.project;
    const fs::path& temporary = project.folders().temporary;
    if (isNtfsVolume(temporary)) return {};
    const float megabytesPerFrame =
        videoFormat().isPal() ? Project::kPalMegabytesPerFrame : Project::kNtscMegabytesPerFrame;
    for (const auto& slideshow : project.slideshows) {
        const float megabytes = float(slideshow->totalFrames) * megabytesPerFrame;
        if (megabytes < kLargestStreamOnFatMegabytes) continue;
        return "The slideshow \"" + slideshow->name + "\" makes a video of about " +
               std::to_string(int(megabytes)) + " MB, more than the working folder " +
               quotedPath(project.folders().working) +
               " can hold in one file (its filesystem limits files to 4 GB). Choose a "
               "working folder on another drive or make the slideshow shorter.";
    }
    return {};
}

bool BuildJob::startBuild(const BuildOptions& options) {
    Project& project = parts_.project;
    refusal_.clear();
    if (project.slideshows.empty() || making_) return false;
    refusal_ = buildProblem();
    if (!refusal_.empty()) {
        parts_.log.writeLog("The DVD is not made: " + refusal_);
        return false;
    }
    if (options.burnAfter && options.mediaReady && !options.mediaReady()) return false;
    if (thread_.joinable()) thread_.join();  // the previous build's thread has ended

    options_ = options;
    const WorkingFolders& folders = project.folders();
    removeEarlierDvd(folders.output, parts_.log);

    const int videoSeconds = project.totalFrames / videoFormat().framesPerSecond();
    {
        std::lock_guard lock(clockMutex_);
        clock_.start(RemainingTime::estimateSeconds(videoSeconds), RemainingTime::Clock::now());
    }
    BuildDisplay& display = parts_.display;
    display.setMainLabel("Making DVD...");
    display.setDetailLabel("No Title");
    display.setMainBar(0);
    display.setDetailBar(0);
    parts_.log.writeLog("Created output directory " + folders.output.string());

    cancelEvent_.reset();
    result_ = 0;
    making_ = true;
    display.buildStarted();
    thread_ = std::thread([this] { buildThread(); });
    return true;
}

void BuildJob::requestCancel() {
    if (making_) cancelEvent_.set();
}

void BuildJob::cancelBuild() {
    requestCancel();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

int BuildJob::waitForBuild() {
    if (thread_.joinable()) thread_.join();
    return result_;
}

int BuildJob::remainingSeconds() const {
    std::lock_guard lock(clockMutex_);
    return clock_.remainingSeconds(RemainingTime::Clock::now());
}

void BuildJob::setStage(BuildStage stage, int index, int count) {
    progress_ = {stage, count, index};
}

void BuildJob::reportBuildProgress(int value) {
    const int p = value < 65535 ? value : 65535;
    const int main = mainProgressValue(progress_, p);
    if (main >= 0) {
        parts_.display.setMainBar(main);
        std::lock_guard lock(clockMutex_);
        clock_.update(main, RemainingTime::Clock::now());
    }
    parts_.display.setDetailBar(p);
}

void BuildJob::buildThread() {
    const Log& log = parts_.log;
    log.writeLog("Begin make DVD process");
    int result = makeMenusAndSlideshowSoundtrack();
    if (result == 0) {
        parts_.display.setDetailBar(0);
        for (int i = 0; result == 0 && i < int(parts_.project.slideshows.size()); ++i)
            result = makeSlideshowVideo(i);
        if (result == 0) {
            for (const auto& slideshow : parts_.project.slideshows)
                removeStageFile(slideshow->soundtrackPath);
            log.writeLog("Begin make DVD Structure");
            result = makeDvdFileSystem();
            log.writeLog(withReturnValue("End make DVD Structure, return value:", result));
        }
    }
    finish(result);
}

// The menu and the slideshow soundtrack share their conversions: the same
// music (the theme's default, often) is converted once. The kept files go
// once both soundtracks are made, before the long video stages.
int BuildJob::makeMenusAndSlideshowSoundtrack() {
    ConvertedTracks conversions;
    parts_.log.writeLog("Begin make menu");
    const int result = makeMenus(conversions);
    parts_.log.writeLog(withReturnValue("End make menu return value:", result));
    return result == 0 ? makeSlideshowSoundtrack(conversions) : result;
}

int BuildJob::makeMenus(ConvertedTracks& conversions) {
    const int fps = videoFormat().framesPerSecond();
    MenuStreamJob job;
    job.menu = &parts_.menu;
    job.format = videoFormat();
    // The lengths it covers are the menu loop's, set by the menu stage.
    job.soundtrackCover = {parts_.preferences.loopAudio, fps, 0, 0, parts_.resources.silence};
    job.earlierConversions = &conversions;
    job.cancelEvent = &cancelEvent_;
    job.report.label = [this](std::string_view text) { parts_.display.setDetailLabel(text); };
    job.report.stage = [this](MenuBuildStage stage, int index, int count) {
        setStage(static_cast<BuildStage>(stage), index, count);
    };
    job.report.progress = [this](int value) { reportBuildProgress(value); };
    const BuildTools& tools = parts_.tools;
    MenuStreamTools menuTools{tools.encoder, tools.multiplexer, tools.converter, tools.subpictures,
                              parts_.log};
    return makeMenuStreams(job, menuTools);
}

int BuildJob::makeSlideshowSoundtrack(ConvertedTracks& conversions) {
    Project& project = parts_.project;
    const int fps = videoFormat().framesPerSecond();
    parts_.display.setDetailLabel("Making slideshow Audio");
    parts_.display.setMainBar(kMenuDoneProgress);
    setStage(BuildStage::SlideshowSoundtrack, 0, 1);
    parts_.log.writeLog("Begin make slideshow audio");
    const Slideshow& first = *project.slideshows.front();
    SoundtrackJob job;
    job.tracks = &first.audioTracks;
    job.outputPath = first.sharedSoundtrackPath;
    job.cancelEvent = &cancelEvent_;
    job.earlierConversions = &conversions;
    const SoundtrackCover cover{parts_.preferences.loopAudio, fps,
                                project.longestSlideshowSeconds() * fps, project.totalFrames,
                                parts_.resources.silence};
    int result = buildSoundtrack(job, cover, parts_.tools.converter, parts_.log);
    if (result == 0) result = makeTitleSoundtracks();
    parts_.log.writeLog(withReturnValue("End make slideshow audio return value:", result));
    return result;
}

// Every title multiplexes its soundtrack from the start and the encoder cuts
// it where the video ends: each gets the shared soundtrack cut at its own
// end, with music faded out there instead of stopping at full volume.
int BuildJob::makeTitleSoundtracks() {
    Project& project = parts_.project;
    const Slideshow& first = *project.slideshows.front();
    TitleSoundtrackJob job;
    job.sharedSoundtrack = first.sharedSoundtrackPath;
    job.format = videoFormat();
    job.fadeOut = !first.audioTracks.empty();
    job.cancelEvent = &cancelEvent_;
    for (size_t i = 0; i < project.slideshows.size(); ++i) {
        Slideshow& slideshow = *project.slideshows[i];
        slideshow.numberSoundtrack(int(i));
        job.titles.push_back({slideshow.soundtrackPath, slideshow.totalFrames});
    }
    const int result = cutTitleSoundtracks(job, parts_.tools.converter, parts_.log);
    if (result == 0) removeStageFile(job.sharedSoundtrack);
    return result;
}

int BuildJob::makeSlideshowVideo(int index) {
    Project& project = parts_.project;
    const Slideshow& slideshow = *project.slideshows[size_t(index)];
    project.setCurrentSlideshow(index);
    removeStageFile(slideshow.programStreamPath);
    parts_.display.setDetailLabel("Make Slideshow Video");
    parts_.display.setDetailBar(0);
    setStage(BuildStage::SlideshowVideo, index, int(project.slideshows.size()));

    RenderJob job;
    job.format = videoFormat();
    job.slideshow = &slideshow;
    job.progress = [this](int value) { reportBuildProgress(value); };
    job.cancelEvent = &cancelEvent_;
    job.background = 0xFF000000;
    parts_.log.writeLog(withReturnValue("Begin make Slideshow video index:", index));
    const int result = encodeSlideshow(job, parts_.tools.encoder, parts_.log);
    parts_.log.writeLog(withReturnValue("End make Slideshow return value:", result));
    if (result == 0) parts_.display.setDetailBar(0);
    return result;
}

int BuildJob::makeDvdFileSystem() {
    Project& project = parts_.project;
    parts_.display.setDetailLabel("Make DVD FileSystem");
    parts_.display.setDetailBar(0);
    setStage(BuildStage::DvdFileSystem, 0, 1);
    if (parts_.tools.authoring == nullptr) {
        parts_.log.writeLog("No authoring program: the DVD file system is not made");
        return 1;
    }
    AuthorJob job;
    job.outputFolder = project.folders().output;
    job.scriptPath = project.authorScriptPath;
    job.cancelEvent = &cancelEvent_;
    job.progress = [this](int value) { reportBuildProgress(value); };
    const int result = parts_.tools.authoring->dvdauthor(job);
    if (result != 0) return result;
    for (const MenuPage& page : parts_.menu.pages)
        removeStageFile(page.menuStreamPath);
    for (const auto& slideshow : project.slideshows)
        removeStageFile(slideshow->programStreamPath);
    return 0;
}

// Whatever the result, the build ends idle: the display is released and
// the next build can start.
void BuildJob::finish(int result) {
    BuildDisplay& display = parts_.display;
    Notifier& notifier = parts_.notifier;
    const bool quiet = options_.burnAfter || options_.shutdownAfter;
    if (result == kDone && !quiet) {
        notifier.show("Making dvd file structure successful!", "Velmora",
                      NotifierIcon::Information);
    } else if (result == kFailed && !quiet) {
        notifier.show("Making dvd file structure failed!", "Velmora", NotifierIcon::Error);
    } else if (result == kCancelled) {
        display.setMainLabel("Ready to Sate");
        display.setDetailLabel("No Title");
    }
    result_ = result;
    display.setMainBar(0);
    display.setDetailBar(0);
    if (result != kCancelled) {
        display.setMainLabel("Main progress:");
        display.setDetailLabel("Detail progress:");
    }
    if (result == kDone) {
        parts_.log.writeLog(options_.burnAfter
                                ? "End make DVD process successful and start burn to dvd"
                                : "End make DVD process successful and no burn to dvd");
    }
    making_ = false;
    display.buildEnded();
    if (result != kDone) return;
    if (options_.burnAfter) {
        if (options_.burn) options_.burn(parts_.project.folders().output);
    } else if (options_.shutdownAfter) {
        runShutdownCountdown(parts_.shutdown, parts_.saveProject);
    }
}

}  // namespace velmora
