#include "cli/cli_commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <set>
#include <thread>

#include "base/file_checks.h"
#include "base/folder_lock.h"
#include "base/notifier.h"
#include "base/path_text.h"
#include "base/working_folder_claim.h"
#include "cli/burn_commands.h"
#include "cli/interruption.h"
#include "cli/terminal_display.h"
#include "disc/build_job.h"
#include "disc/disc_space.h"
#include "interfaces/run_result.h"
#include "interfaces/video_format.h"
#include "workspace/application.h"
#include "workspace/application_build.h"
#include "workspace/menu_preparation.h"
#include "workspace/slideshow_import.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

// What a command ends with when it is interrupted before or during its
// build: the same as a cancel.
int cancelled() {
    std::cerr << "STOPED!\n";
    return kCancelled;
}

// Messages go to standard error, each text once (the model warns again at
// every step that finds the same fault); questions are answered no.
class TerminalNotifier final : public Notifier, public ProjectEvents {
  public:
    void show(std::string_view text, std::string_view, NotifierIcon) override {
        if (shown_.insert(std::string(text)).second) std::cerr << text << '\n';
    }
    NotifierAnswer ask(std::string_view text, std::string_view, NotifierButtons) override {
        std::cerr << text << " (no)\n";
        return NotifierAnswer::No;
    }
    void thumbnailsChanged(int) override {}

  private:
    std::set<std::string> shown_;
};

int fail(const std::string& reason) {
    std::cerr << "velmora-cli: " << reason << '\n';
    return 1;
}

void setOutputFolder(Application& app, const fs::path& output) {
    if (output.empty()) return;
    WorkingFolders folders = app.project.folders();
    folders.output = fs::absolute(output).lexically_normal();
    app.project.setFolders(folders);
}

// What make and demo set before importing: the standard, the aspect, the
// times and the effects new pictures get. Only this run takes them; the
// preferences file keeps the user's own.
void applyPictureSettings(const CliArguments& arguments, Application& app) {
    Preferences& preferences = app.preferences;
    if (arguments.pal) {
        preferences.defaults.tvStandard = *arguments.pal ? TvStandard::Pal : TvStandard::Ntsc;
        preferences.tvFormat = preferences.defaults.tvStandard;
    }
    preferences.aspectRatio =
        arguments.wide.value_or(false) ? AspectRatio::Wide : AspectRatio::Standard;
    EffectSetting& effect = preferences.defaults.effect;
    if (arguments.displaySeconds) effect.displayTime = *arguments.displaySeconds;
    if (arguments.transitionSeconds) effect.transitionTime = *arguments.transitionSeconds;
    if (arguments.randomEffects) {
        preferences.randomImageEffect = true;
        preferences.rebuildDefaultEffect(app.random);
    }
}

// A music file named on the command line must be there and be sound: the
// model would quietly put the default music in its place.
std::optional<int> checkMusicFile(const fs::path& music, Application& app) {
    std::string reason;
    if (!isRegularFile(music, &reason))
        return fail("the music file " + quotedPath(music) + " " + reason);
    if (app.audio.GetFileTimeLength(music) == 0)
        return fail("the music file " + quotedPath(music) + " holds no sound Velmora can play");
    return std::nullopt;
}

std::optional<int> applyMusicAndMenu(const CliArguments& arguments, Application& app) {
    const fs::path& working = app.project.folders().working;
    for (const fs::path& music : arguments.music) {
        if (const auto failed = checkMusicFile(fs::absolute(music), app)) return failed;
    }
    if (!arguments.menuMusic.empty()) {
        if (const auto failed = checkMusicFile(fs::absolute(arguments.menuMusic), app))
            return failed;
    }
    if (!arguments.music.empty()) {
        for (const auto& slideshow : app.project.slideshows) {
            slideshow->audioTracks.clear();
            for (const fs::path& music : arguments.music)
                slideshow->addAudioTrack(fs::absolute(music), working);
        }
    }
    if (!arguments.menuMusic.empty()) {
        const fs::path music = fs::absolute(arguments.menuMusic);
        if (app.audio.GetFileTimeLength(music) == 0)
            return fail("file:'" + music.string() +
                        "' is not a legal mp3 file, so it will not be added!");
        app.menu.setMenuMusic(music, working, app.context);
    }
    if (arguments.theme) {
        if (*arguments.theme >= app.catalogue.themeCount())
            return fail("there is no theme " + std::to_string(*arguments.theme) + " (there are " +
                        std::to_string(app.catalogue.themeCount()) + ")");
        app.catalogue.select(*arguments.theme);
    }
    return std::nullopt;
}

int runBuild(Application& app) {
    TerminalDisplay display(isatty(STDERR_FILENO) != 0);
    ApplicationBuild build(app, display);
    BuildJob& job = build.job();
    if (!job.startBuild({})) {
        const std::string& reason = job.refusalReason();
        return fail(reason.empty() ? "the project has no slideshow to build" : reason);
    }
    while (job.making()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (interruptRequested()) job.requestCancel();
        display.refresh(job.remainingSeconds());
    }
    const int result = job.waitForBuild();
    if (result == 0) {
        std::cout << "DVD folder: " << (app.project.folders().output / "VIDEO_TS").string() << '\n';
        return 0;
    }
    if (result == kCancelled || interruptRequested()) return cancelled();
    std::cerr << "velmora-cli: making the DVD failed (" << result << "); the log is "
              << quotedPath(app.log.file()) << '\n';
    return result > 0 && result < 256 ? result : 1;
}

// A folder written as it is is named after itself ("trip/VIDEO_TS" or
// "trip": trip).
std::string folderLabel(const fs::path& folder) {
    fs::path named = fs::absolute(folder).lexically_normal();
    if (!named.has_filename()) named = named.parent_path();
    if (named.filename() == "VIDEO_TS") named = named.parent_path();
    const std::string name = named.filename().string();
    return name.empty() ? "My DVD" : name;
}

// What the disc is called (its ISO volume identifier is made from it):
// --label, else the name the project gives it.
std::string discLabel(const CliArguments& arguments, const Application& app) {
    return arguments.label ? *arguments.label : discTitle(app);
}

// The ISO image of the finished DVD folder, when one was asked for.
int writeImage(const CliArguments& arguments, Application& app, int buildResult) {
    if (buildResult != 0 || arguments.iso.empty()) return buildResult;
    BurnRequest request;
    request.folder = app.project.folders().output;
    request.imageFile = arguments.iso;
    request.label = discLabel(arguments, app);
    request.force = arguments.force;
    return burnFolder(app, request);
}

// What can be known to fail before hours of encoding: the ISO image's
// place, and another run making a DVD in the same output folder.
std::optional<int> checkBeforeBuild(const CliArguments& arguments, Application& app,
                                    FolderLock& outputLock) {
    if (!arguments.iso.empty()) {
        const std::string problem = isoTargetProblem(fs::absolute(arguments.iso), arguments.force);
        if (!problem.empty()) return fail(problem);
    }
    const fs::path& output = app.project.folders().output;
    std::error_code ignored;
    fs::create_directories(output, ignored);
    if (!outputLock.acquire(output)) {
        return fail("the output folder " + quotedPath(output) +
                    " is in use by another run of Velmora (or cannot be opened)");
    }
    return std::nullopt;
}

// The menu, a space check and the build, for a project that holds its
// slideshows.
int prepareAndBuild(const CliArguments& arguments, Application& app, bool regenerateMenu,
                    const fs::path& saveAs) {
    FolderLock outputLock;
    if (const auto failed = checkBeforeBuild(arguments, app, outputLock)) return *failed;
    std::string reason;
    if (!prepareMenu(app, regenerateMenu, regenerateMenu ? arguments.title : std::nullopt, &reason))
        return fail(reason);
    if (!saveAs.empty() && !app.session.saveProjectAs(fs::absolute(saveAs), false))
        return fail("the project cannot be saved as " + quotedPath(saveAs));
    const WorkingFolders& folders = app.project.folders();
    app.project.estimateDiscSize();
    const DiscSpaceCheck space =
        checkDiscSpace(app.project.sizeEstimate, folders.output, folders.temporary);
    if (space.buttons == BuildButtons::Disable) return fail(space.message);
    if (!space.message.empty()) std::cerr << space.message << '\n';
    if (interruptRequested()) return cancelled();
    return writeImage(arguments, app, runBuild(app));
}

// Names what the import passed over: pictures that cannot be shown and
// folders beyond what the project or the disc can take.
void reportImport(const ImportResult& imported) {
    for (const RefusedPicture& picture : imported.refusedPictures)
        std::cerr << "velmora-cli: " << quotedPath(picture.file) << ' ' << picture.reason
                  << "; it is left out\n";
    for (const fs::path& folder : imported.foldersNotImported)
        std::cerr << "velmora-cli: the folder " << quotedPath(folder)
                  << " is not imported: the project or the disc is full\n";
}

int makeFromFolders(const CliArguments& arguments, Application& app) {
    applyPictureSettings(arguments, app);
    std::vector<fs::path> folders;
    for (const fs::path& folder : arguments.pictureFolders) {
        std::error_code error;
        if (!fs::is_directory(folder, error))
            return fail("the picture folder " + quotedPath(folder) + " is not a folder");
        folders.push_back(fs::absolute(folder));
    }
    reportImport(importFolders(app.project, folders, &app.log));
    if (interruptRequested()) return cancelled();
    if (app.project.slideshows.empty())
        return fail("none of the folders holds a picture Velmora can load");
    if (const auto failed = applyMusicAndMenu(arguments, app)) return *failed;
    setOutputFolder(app, arguments.output);
    return prepareAndBuild(arguments, app, true, arguments.saveProject);
}

// --pal, --ntsc, --wide and --narrow of build: this run's disc in another
// format than the project was made in (the project file is not changed).
void applyFormatOverride(const CliArguments& arguments, Project& project) {
    VideoFormat format = project.videoFormat();
    if (arguments.pal) format.standard = *arguments.pal ? TvStandard::Pal : TvStandard::Ntsc;
    if (arguments.wide) format.aspect = *arguments.wide ? AspectRatio::Wide : AspectRatio::Standard;
    if (project.changeVideoFormat(format))
        std::cerr << "velmora-cli: building the project as " << videoFormatName(format) << '\n';
}

int buildProject(const CliArguments& arguments, Application& app) {
    const fs::path file = fs::absolute(arguments.project);
    std::string reason;
    if (!isRegularFile(file, &reason))
        return fail("the project " + quotedPath(file) + " " + reason);
    if (!app.session.openProject(file)) {
        std::cerr << "velmora-cli: " << quotedPath(file) << " was read only in part; the log "
                  << quotedPath(app.log.file()) << " says why\n";
    }
    if (app.project.slideshows.empty())
        return fail("the project " + quotedPath(file) + " holds no slideshow Velmora can build");
    applyFormatOverride(arguments, app.project);
    setOutputFolder(app, arguments.output);
    return prepareAndBuild(arguments, app, false, {});
}

CliArguments demoArguments(const CliArguments& given, const Application& app) {
    CliArguments demo = given;
    const fs::path samples = app.folders.resourceFolder / "samples";
    demo.pictureFolders = {samples};
    std::error_code ignored;
    for (fs::directory_iterator it(samples / "music", ignored), end; !ignored && it != end;
         it.increment(ignored)) {
        demo.music.push_back(it->path());
    }
    std::sort(demo.music.begin(), demo.music.end());
    demo.randomEffects = true;
    if (demo.output.empty()) demo.output = "velmora-demo";
    return demo;
}

// A run that was not saved leaves no working folder behind, however the
// command ends. A project that was built but not saved here keeps its own
// working folder; a folder no saved project names goes.
class UnsavedWorkDiscarder {
  public:
    explicit UnsavedWorkDiscarder(const Application& app) : app_(app) {}
    ~UnsavedWorkDiscarder() {
        const WorkingFolders& folders = app_.project.folders();
        std::error_code ignored;
        const bool named = fs::exists(folders.working / kSavedProjectMark, ignored);
        discardUnsavedWorkingFolder(folders, named ? app_.project.projectFilePath : fs::path());
    }
    UnsavedWorkDiscarder(const UnsavedWorkDiscarder&) = delete;
    UnsavedWorkDiscarder& operator=(const UnsavedWorkDiscarder&) = delete;

  private:
    const Application& app_;
};

int runStartedCommand(const CliArguments& arguments, Application& app) {
    switch (arguments.command) {
        case CliArguments::Command::Make:
            return makeFromFolders(arguments, app);
        case CliArguments::Command::Build:
            return buildProject(arguments, app);
        case CliArguments::Command::Demo:
            return makeFromFolders(demoArguments(arguments, app), app);
        case CliArguments::Command::Burn: {
            BurnRequest request;
            request.folder = arguments.burnFolder;
            request.device = arguments.device;
            request.speedKilobytesPerSecond = arguments.speed;
            request.label = arguments.label.value_or(folderLabel(arguments.burnFolder));
            return burnFolder(app, request);
        }
        case CliArguments::Command::Devices:
            return listDevices(app);
        case CliArguments::Command::Help:
            break;
    }
    return 0;
}

}  // namespace

int runCommand(const CliArguments& arguments) {
    if (arguments.command == CliArguments::Command::Help) {
        std::cout << usageText();
        return 0;
    }
    catchInterruptions();
    TerminalNotifier notifier;
    const AppFolders folders = AppFolders::fromEnvironment(fs::read_symlink("/proc/self/exe"));
    Application app(folders, notifier, notifier);
    std::string reason;
    if (!app.start(&reason)) return fail(reason);
    UnsavedWorkDiscarder discarder(app);
    int result = 1;
    try {
        result = runStartedCommand(arguments, app);
    } catch (const std::exception& error) {
        // Caught here so that the working folder is still cleaned up.
        return fail(std::string("an unexpected error stopped the command: ") + error.what());
    }
    if (result != 0 && result != kCancelled && interruptRequested()) return cancelled();
    return result;
}

}  // namespace velmora::cli
