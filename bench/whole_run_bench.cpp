// One whole make-DVD run of velmora-cli against FFmpeg's command-line tool.
// Three slideshows of 4000 × 3000 photo-like JPEGs (17, 17 and 16 pictures,
// each on screen 5 s after a 1 s transition: 300 s of PAL video in all),
// with slideshow music and menu music, are made three ways, each timed on
// the wall clock with the peak resident size of its process tree (the
// largest process, as wait4 reports it):
//   1. the encoder floor: FFmpeg's command-line tool encoding as many frames
//      of raw 720 × 540 YUV with the settings of Velmora's encoder (those of
//      slideshow_bench's reference at Velmora's constant rate), one command
//      per slideshow, the
//      slideshow's sound copied in as MP2. The frames come from a 12 s clip
//      of moving photos with two crossfades, made beforehand and looped with
//      -stream_loop, so making them costs nothing in the time;
//   2. velmora-cli make with the three folders, the music and the menu
//      music, --random-effects (pans, zooms and rotating zooms; transition
//      kinds drawn at random, Velmora's default), which also makes the menu
//      and authors VIDEO_TS;
//   3. the pipeline a user would write instead: one FFmpeg command per
//      slideshow decoding the JPEGs, moving them with zoompan (scaled up
//      first, the usual cure for zoompan's whole-pixel jitter), joining them
//      with xfade transitions and encoding with -target pal-dvd with the
//      music.
// The floor and Velmora alternate three times (medians); the pipeline runs
// once. Then Velmora's stages with their times from its log.
//
// The inputs are made once and kept in build/<flavour>/bench-data/whole_run
// (remade when missing); each run starts a fresh run/ folder there, with a
// VELMORA_HOME per Velmora run inside it, and leaves the logs (and the
// outputs of the first runs with --keep).
//
//   whole_run_bench [--keep]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_support.h"
#include "image/headless_qt.h"
#include "outside/ffmpeg_encoder.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kPictureCounts[] = {17, 17, 16};
constexpr int kSlideshowCount = 3;
constexpr int kDisplaySeconds = 5;
constexpr int kTransitionSeconds = 1;
constexpr int kFramesPerSecond = 25;
constexpr int kMusicSeconds = 120;  // longer than any slideshow: never repeated
constexpr int kMenuMusicSeconds = 8;
constexpr int kClipFrames = 12 * kFramesPerSecond;
constexpr int kWorkers = 2;
constexpr int kRuns = 3;  // of the floor and Velmora, alternating
// Goals: Velmora / floor, pipeline / Velmora, Velmora's peak / pipeline's.
constexpr double kFloorGoal = 1.25;
constexpr double kPipelineGoal = 7.0;
constexpr double kMemoryGoal = 0.25;

[[noreturn]] void fail(const std::string& reason) {
    std::fprintf(stderr, "whole_run_bench: %s\n", reason.c_str());
    std::exit(1);
}

// A slideshow's length: 25 × Σ(display + transition) + 25 × (1 − first
// transition) frames, every picture with the same times.
int slideshowFrames(int pictures) {
    return kFramesPerSecond * pictures * (kDisplaySeconds + kTransitionSeconds) +
           kFramesPerSecond * (1 - kTransitionSeconds);
}

std::string secondsText(int frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", double(frames) / kFramesPerSecond);
    return text;
}

struct Measured {
    double seconds = 0;
    long peakKilobytes = 0;
};

// The command line as a shell would take it back.
std::string shellLine(const std::vector<std::string>& arguments) {
    std::string line = "$";
    for (const std::string& argument : arguments) {
        line += " '";
        for (const char c : argument)
            line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += "'";
    }
    return line + "\n";
}

// Runs a program with its command line, standard output and error appended
// to `output`, waits for it and returns its wall time and the peak resident
// size of its tree (the kernel's maximum over the process and the children
// it waited for). Exits the benchmark when it fails, with the end of
// `output`.
Measured runMeasured(const std::vector<std::string>& arguments, const fs::path& output,
                     const std::vector<std::pair<std::string, std::string>>& environment = {}) {
    const std::string commandLine = shellLine(arguments);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const double start = bench::now();
    const pid_t child = fork();
    if (child < 0) fail("cannot start " + arguments[0]);
    if (child == 0) {
        const int file = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (file < 0) _exit(126);
        if (write(file, commandLine.data(), commandLine.size()) < 0) _exit(126);
        dup2(file, STDOUT_FILENO);
        dup2(file, STDERR_FILENO);
        close(file);
        const int nothing = open("/dev/null", O_RDONLY);
        if (nothing >= 0) dup2(nothing, STDIN_FILENO);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) fail("lost " + arguments[0]);
    Measured result{bench::secondsSince(start), usage.ru_maxrss};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream in(output);
        std::stringstream text;
        text << in.rdbuf();
        std::string messages = text.str();
        if (messages.size() > 3000) messages = "..." + messages.substr(messages.size() - 3000);
        fail(arguments[0] + " failed (status " +
             std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + "):\n" + messages);
    }
    return result;
}

// Runs a preparation step (not timed) and moves its result into place, so
// that an interrupted step leaves nothing that looks finished.
void prepare(const fs::path& file, const fs::path& log,
             const std::vector<std::string>& argumentsWritingPartial) {
    if (fs::exists(file)) return;
    runMeasured(argumentsWritingPartial, log);
    fs::rename(fs::path(file.string() + ".part"), file);
}

struct Inputs {
    fs::path folder;                   // bench-data/whole_run
    std::vector<fs::path> slideshows;  // one folder of JPEGs each
    std::vector<std::vector<fs::path>> photos;
    fs::path music;                // the slideshows' music
    fs::path menuMusic;            // the menu's
    fs::path clip;                 // raw 720 × 540 YUV 4:2:0 frames of moving photos, looped
    std::vector<fs::path> sounds;  // each slideshow's sound as MP2, its exact length
};

// The photos that are missing, written by two workers, each a child with a
// headless Qt of its own.
void writePhotos(const std::vector<std::pair<fs::path, int>>& missing) {
    if (missing.empty()) return;
    std::printf("writing %zu photos of %d x %d (once; kept for the next runs)\n", missing.size(),
                kPhotoWidth, kPhotoHeight);
    std::fflush(nullptr);
    std::vector<pid_t> workers;
    for (int worker = 0; worker < kWorkers; ++worker) {
        const pid_t child = fork();
        if (child < 0) fail("cannot start a photo writer");
        if (child == 0) {
            int argc = 1;
            char name[] = "whole_run_bench";
            char* argv[] = {name, nullptr};
            prepareHeadlessQt();
            QGuiApplication application(argc, argv);
            for (size_t i = size_t(worker); i < missing.size(); i += kWorkers) {
                const fs::path partial = missing[i].first.string() + ".part";
                bench::writePhoto(partial, kPhotoWidth, kPhotoHeight, missing[i].second);
                fs::rename(partial, missing[i].first);
            }
            std::fflush(nullptr);
            _exit(0);
        }
        workers.push_back(child);
    }
    for (const pid_t worker : workers) {
        int status = 0;
        waitpid(worker, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("a photo writer failed");
    }
}

// Ken Burns moves as users write them with zoompan: a zoom into the centre
// and a pan from left to right at a fixed zoom, in turn; `frames` frames of
// `size` from one picture. zoompan crops at whole pixels, so a slow move
// jitters; the usual recipe, and the one that moves as smoothly as
// Velmora's sub-pixel motion, scales the picture up first.
std::string zoompan(int picture, int frames, const std::string& size) {
    const std::string d = std::to_string(frames);
    if (picture % 2 == 0)
        return "scale=8000:-1,zoompan=z='min(zoom+0.0015,1.5)':x='iw/2-(iw/zoom/2)':y='ih/2-(ih/"
               "zoom/2)':d=" +
               d + ":s=" + size + ":fps=25";
    return "scale=8000:-1,zoompan=z=1.2:x='(iw-iw/zoom)*on/" + std::to_string(frames - 1) +
           "':y='(ih-ih/zoom)/2':d=" + d + ":s=" + size + ":fps=25";
}

Inputs makeInputs(const fs::path& folder) {
    Inputs inputs;
    inputs.folder = folder;
    fs::create_directories(folder);
    const fs::path log = folder / "preparation.log";
    std::vector<std::pair<fs::path, int>> missing;
    int scene = 0;
    for (int s = 0; s < kSlideshowCount; ++s) {
        inputs.slideshows.push_back(folder / ("slideshow" + std::to_string(s + 1)));
        fs::create_directories(inputs.slideshows.back());
        inputs.photos.emplace_back();
        for (int p = 0; p < kPictureCounts[s]; ++p, ++scene) {
            char name[32];
            std::snprintf(name, sizeof name, "photo%02d.jpg", p + 1);
            const fs::path photo = inputs.slideshows.back() / name;
            inputs.photos.back().push_back(photo);
            if (!fs::exists(photo)) missing.emplace_back(photo, scene);
        }
    }
    writePhotos(missing);

    inputs.music = folder / "music.mp3";
    prepare(inputs.music, log,
            {"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
             "sine=frequency=220:beep_factor=4:sample_rate=44100:duration=" +
                 std::to_string(kMusicSeconds),
             "-ac", "2", "-c:a", "libmp3lame", "-b:a", "192k", "-f", "mp3",
             inputs.music.string() + ".part"});
    inputs.menuMusic = folder / "menu.mp3";
    prepare(inputs.menuMusic, log,
            {"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
             "sine=frequency=440:beep_factor=2:sample_rate=44100:duration=" +
                 std::to_string(kMenuMusicSeconds),
             "-ac", "2", "-c:a", "libmp3lame", "-b:a", "192k", "-f", "mp3",
             inputs.menuMusic.string() + ".part"});
    for (int s = 0; s < kSlideshowCount; ++s) {
        inputs.sounds.push_back(folder / ("sound" + std::to_string(s + 1) + ".mp2"));
        prepare(
            inputs.sounds.back(), log,
            {"ffmpeg", "-v", "error", "-y", "-i", inputs.music.string(), "-t",
             secondsText(slideshowFrames(kPictureCounts[s])), "-ar", "48000", "-ac", "2", "-c:a",
             "mp2", "-b:a", "224k", "-f", "mp2", inputs.sounds.back().string() + ".part"});
    }
    // 12 s that loop almost seamlessly: a zoom into one photo, a crossfade
    // at 6 s into a pan across another, and a crossfade at 11 s back to the
    // first photo as it starts; two crossfades in 12 s, as a slideshow of
    // 5 + 1 s pictures has.
    inputs.clip = folder / "clip.yuv";
    prepare(inputs.clip, log,
            {"ffmpeg", "-v", "error", "-y", "-i", inputs.photos[0][0].string(), "-i",
             inputs.photos[0][1].string(), "-i", inputs.photos[0][0].string(), "-filter_complex",
             "[0:v]" + zoompan(0, 175, "720x540") + "[a];[1:v]" + zoompan(1, 150, "720x540") +
                 "[b];[2:v]zoompan=z=1:d=25:s=720x540:fps=25[c];"
                 "[a][b]xfade=transition=fade:duration=1:offset=6[ab];"
                 "[ab][c]xfade=transition=fade:duration=1:offset=11,format=yuv420p",
             "-frames:v", std::to_string(kClipFrames), "-f", "rawvideo",
             inputs.clip.string() + ".part"});
    if (fs::file_size(inputs.clip) != size_t(kClipFrames) * 720 * 540 * 3 / 2)
        fail("the clip " + inputs.clip.string() + " has the wrong size; delete it");
    return inputs;
}

// FFmpeg's command-line tool encoding `frames` frames of the looped clip
// with the settings of Velmora's encoder, the sound copied in.
std::vector<std::string> floorCommand(const Inputs& inputs, int slideshow, const fs::path& out) {
    const int frames = slideshowFrames(kPictureCounts[slideshow]);
    return {"ffmpeg", "-v", "error", "-nostdin", "-y", "-stream_loop", "-1", "-f", "rawvideo",
            "-pix_fmt", "yuv420p", "-s", "720x540", "-r", "25", "-i", inputs.clip.string(), "-i",
            inputs.sounds[size_t(slideshow)].string(), "-map", "0:v", "-map", "1:a", "-vf",
            "scale=720:576:flags=bicubic", "-c:v", "mpeg2video", "-b:v",
            std::to_string(FfmpegEncoder::videoBitRate(TvStandard::Pal, true)),
            // Velmora encodes slideshows at a constant rate.
            "-minrate", std::to_string(FfmpegEncoder::videoBitRate(TvStandard::Pal, true)),
            "-maxrate", std::to_string(FfmpegEncoder::videoBitRate(TvStandard::Pal, true)),
            "-bufsize", "1835008", "-g", "15", "-bf", "2", "-flags", "+cgop", "-sc_threshold",
            "1000000000", "-aspect", "4:3", "-threads", "2", "-c:a", "copy", "-frames:v",
            std::to_string(frames), "-t", secondsText(frames), "-f", "dvd", "-muxrate", "10080000",
            "-packetsize", "2048", out.string()};
}

// xfade's transitions the pipeline takes in turn, as Velmora's default
// draws a transition kind for each picture.
constexpr const char* kTransitions[] = {"fade",     "wipeleft", "slideup",     "circleopen",
                                        "dissolve", "radial",   "smoothright", "horzopen"};

// One FFmpeg command for one slideshow as a user would write it: every JPEG
// an input moved by zoompan for its time on screen (the first 1 + display +
// transition seconds, the others transition + display + transition, the
// last transition + display), chained with xfade transitions, the music cut
// at the slideshow's end, -target pal-dvd.
std::vector<std::string> pipelineCommand(const Inputs& inputs, int slideshow, const fs::path& out) {
    const std::vector<fs::path>& photos = inputs.photos[size_t(slideshow)];
    const int count = int(photos.size());
    std::vector<std::string> command = {"ffmpeg", "-v", "error", "-nostdin", "-y"};
    for (const fs::path& photo : photos) {
        command.push_back("-i");
        command.push_back(photo.string());
    }
    command.push_back("-i");
    command.push_back(inputs.music.string());
    std::string graph;
    for (int i = 0; i < count; ++i) {
        const int lead = i == 0 ? 1 : kTransitionSeconds;
        const int tail = i + 1 < count ? kTransitionSeconds : 0;
        const int frames = kFramesPerSecond * (lead + kDisplaySeconds + tail);
        graph += "[" + std::to_string(i) + ":v]" + zoompan(i, frames, "720x576") + "[v" +
                 std::to_string(i) + "];";
    }
    std::string last = "v0";
    int offset = 1 + kDisplaySeconds;
    for (int i = 1; i < count; ++i) {
        const std::string next = "x" + std::to_string(i);
        graph += "[" + last + "][v" + std::to_string(i) +
                 "]xfade=transition=" + kTransitions[size_t(i - 1) % std::size(kTransitions)] +
                 ":duration=" + std::to_string(kTransitionSeconds) +
                 ":offset=" + std::to_string(offset) + "[" + next + "];";
        last = next;
        offset += kTransitionSeconds + kDisplaySeconds;
    }
    graph += "[" + last + "]format=yuv420p[video]";
    const int frames = slideshowFrames(count);
    for (const std::string& argument :
         {std::string("-filter_complex"), graph, std::string("-map"), std::string("[video]"),
          std::string("-map"), std::to_string(count) + ":a", std::string("-frames:v"),
          std::to_string(frames), std::string("-t"), secondsText(frames), std::string("-target"),
          std::string("pal-dvd"), std::string("-aspect"), std::string("4:3"), out.string()})
        command.push_back(argument);
    return command;
}

// Velmora's log lines that begin or end a stage, with the seconds since
// velmora-cli started (the log has whole seconds), paths left out.
void printStages(const fs::path& logFile, std::time_t started, double seconds) {
    std::ifstream in(logFile);
    std::string line;
    std::printf(
        "Velmora's stages in that run, from its log (s since velmora-cli started; the log "
        "has whole seconds):\n");
    while (std::getline(in, line)) {
        // "HH:MM:SS, Mon DD, YYYY: text"
        std::tm moment{};
        std::istringstream stream(line);
        stream.imbue(std::locale::classic());
        stream >> std::get_time(&moment, "%H:%M:%S, %b %d, %Y:");
        if (stream.fail()) continue;
        std::string text;
        std::getline(stream, text);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        if (!text.starts_with("Begin") && !text.starts_with("End")) continue;
        for (const char* path : {" m2v file Path:", " mpg path:"})
            if (const size_t at = text.find(path); at != std::string::npos) text.erase(at);
        moment.tm_isdst = -1;
        const double at = std::difftime(std::mktime(&moment), started);
        std::printf("  %4.0f  %s\n", at, text.c_str());
    }
    std::printf("  %4.1f  velmora-cli exited\n", seconds);
}

double megabytes(long kilobytes) {
    return double(kilobytes) / 1024.0;
}

const char* verdict(bool met) {
    return met ? "PASS" : "MISS";
}

long folderBytes(const fs::path& folder) {
    long bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) bytes += long(entry.file_size());
    return bytes;
}

struct Series {
    std::vector<Measured> runs;
    double medianSeconds() const {
        std::vector<double> seconds;
        for (const Measured& run : runs)
            seconds.push_back(run.seconds);
        std::sort(seconds.begin(), seconds.end());
        return seconds[seconds.size() / 2];
    }
    double fastest() const {
        double best = 1e18;
        for (const Measured& run : runs)
            best = std::min(best, run.seconds);
        return best;
    }
    double slowest() const {
        double worst = 0;
        for (const Measured& run : runs)
            worst = std::max(worst, run.seconds);
        return worst;
    }
    long peakKilobytes() const {
        long peak = 0;
        for (const Measured& run : runs)
            peak = std::max(peak, run.peakKilobytes);
        return peak;
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The three slideshows made by `command`, one FFmpeg run each: the times
// summed, the largest peak.
Measured eachSlideshow(const fs::path& folder, bool keep,
                       std::vector<std::string> (*command)(const Inputs&, int, const fs::path&),
                       const Inputs& inputs, std::vector<double>* parts) {
    fs::create_directories(folder);
    Measured total;
    for (int s = 0; s < kSlideshowCount; ++s) {
        const fs::path out = folder / ("slideshow" + std::to_string(s + 1) + ".mpg");
        const Measured part = runMeasured(command(inputs, s, out), folder / "ffmpeg.log");
        total.seconds += part.seconds;
        total.peakKilobytes = std::max(total.peakKilobytes, part.peakKilobytes);
        if (parts != nullptr) parts->push_back(part.seconds);
        if (!keep) fs::remove(out);
    }
    return total;
}

struct VelmoraRun {
    Measured measured;
    fs::path home;          // its VELMORA_HOME, with log.txt
    std::time_t started{};  // for the log's times
    double dvdMegabytes = 0;
};

// velmora-cli make with the three folders in a fresh VELMORA_HOME; exits
// the benchmark unless it ends with 0 and OUT/VIDEO_TS.
VelmoraRun runVelmora(const fs::path& cli, const Inputs& inputs, const fs::path& folder,
                      bool keep) {
    VelmoraRun run;
    run.home = folder / "home";
    fs::create_directories(run.home);
    const fs::path dvd = folder / "dvd";
    std::vector<std::string> make = {cli.string(), "make", "--pictures"};
    for (const fs::path& slideshow : inputs.slideshows)
        make.push_back(slideshow.string());
    for (const std::string& argument :
         {std::string("--music"), inputs.music.string(), std::string("--menu-music"),
          inputs.menuMusic.string(), std::string("--pal"), std::string("--display-time"),
          std::to_string(kDisplaySeconds), std::string("--transition-time"),
          std::to_string(kTransitionSeconds), std::string("--random-effects"),
          std::string("--output"), dvd.string()})
        make.push_back(argument);
    run.started = std::time(nullptr);
    run.measured =
        runMeasured(make, folder / "velmora-cli.log",
                    {{"VELMORA_HOME", run.home.string()}, {"QT_QPA_PLATFORM", "offscreen"}});
    if (!fs::is_directory(dvd / "VIDEO_TS"))
        fail("velmora-cli made no " + (dvd / "VIDEO_TS").string());
    run.dvdMegabytes = double(folderBytes(dvd / "VIDEO_TS")) / (1024.0 * 1024.0);
    if (!keep) fs::remove_all(dvd);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const bool keep = argc > 1 && std::string(argv[1]) == "--keep";
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path build = self.parent_path().parent_path();  // build/<flavour>
    const fs::path cli = build / "bin" / "velmora-cli";
    if (!fs::exists(cli)) fail(cli.string() + " is missing; build it first");
    const double preparing = bench::now();
    const Inputs inputs = makeInputs(build / "bench-data" / "whole_run");
    const double preparationSeconds = bench::secondsSince(preparing);

    const fs::path run = inputs.folder / "run";
    fs::remove_all(run);
    fs::create_directories(run);

    int totalFrames = 0;
    int totalPictures = 0;
    for (int s = 0; s < kSlideshowCount; ++s) {
        totalFrames += slideshowFrames(kPictureCounts[s]);
        totalPictures += kPictureCounts[s];
    }
    std::printf(
        "whole run: %d slideshows (%d, %d and %d JPEGs of %d x %d), each picture %d s on\n"
        "screen after a %d s transition: %d PAL frames (%.0f s of video), slideshow music,\n"
        "%d s of menu music\n",
        kSlideshowCount, kPictureCounts[0], kPictureCounts[1], kPictureCounts[2], kPhotoWidth,
        kPhotoHeight, kDisplaySeconds, kTransitionSeconds, totalFrames,
        double(totalFrames) / kFramesPerSecond, kMenuMusicSeconds);
    std::printf("(inputs ready in %.1f s, not counted; %d JPEGs in all)\n", preparationSeconds,
                totalPictures);
    std::fflush(nullptr);

    // Timings on a shared machine wander from run to run: the encoder floor
    // and Velmora alternate, each pair gives a ratio, and the report gives
    // the medians. The pipeline, many times slower, runs once.
    Series floor, velmora;
    std::vector<VelmoraRun> velmoraRuns;
    std::vector<double> floorRatios;
    for (int i = 0; i < kRuns; ++i) {
        const std::string number = std::to_string(i + 1);
        floor.runs.push_back(eachSlideshow(run / ("floor-" + number), keep && i == 0, floorCommand,
                                           inputs, nullptr));
        velmoraRuns.push_back(runVelmora(cli, inputs, run / ("velmora-" + number), keep && i == 0));
        velmora.runs.push_back(velmoraRuns.back().measured);
        floorRatios.push_back(velmora.runs.back().seconds / floor.runs.back().seconds);
    }
    std::vector<double> pipelineParts;
    Series pipeline;
    pipeline.runs.push_back(
        eachSlideshow(run / "pipeline", keep, pipelineCommand, inputs, &pipelineParts));

    std::printf("\n%-54s %8s %8s\n", "", "wall s", "peak MB");
    std::printf("%-54s %8.1f %8.1f\n", "encoder floor (ffmpeg CLI from raw YUV)",
                floor.medianSeconds(), megabytes(floor.peakKilobytes()));
    std::printf("%-54s %8.1f %8.1f\n", "Velmora (velmora-cli make: menu, 3 titles, VIDEO_TS)",
                velmora.medianSeconds(), megabytes(velmora.peakKilobytes()));
    std::printf("%-54s %8.1f %8.1f\n", "FFmpeg filter pipeline (zoompan, xfade, pal-dvd)",
                pipeline.medianSeconds(), megabytes(pipeline.peakKilobytes()));
    std::printf(
        "  floor and Velmora: median of %d alternating runs (floor %.1f to %.1f s, Velmora %.1f "
        "to %.1f s), peak: the largest;\n"
        "  pipeline: one run, %.1f + %.1f + %.1f s for the three slideshows\n",
        kRuns, floor.fastest(), floor.slowest(), velmora.fastest(), velmora.slowest(),
        pipelineParts[0], pipelineParts[1], pipelineParts[2]);
    std::printf("  Velmora's VIDEO_TS: %.1f MB\n\n", velmoraRuns.back().dvdMegabytes);

    const double overFloor = median(floorRatios);
    const double speedup = pipeline.medianSeconds() / velmora.medianSeconds();
    const double memory = double(velmora.peakKilobytes()) / double(pipeline.peakKilobytes());
    std::printf(
        "Velmora / encoder floor:       %6.2f  (goal <= %.2f; median of the pairs, %.2f to %.2f)  "
        "%s\n",
        overFloor, kFloorGoal, *std::min_element(floorRatios.begin(), floorRatios.end()),
        *std::max_element(floorRatios.begin(), floorRatios.end()),
        verdict(overFloor <= kFloorGoal));
    std::printf("FFmpeg pipeline / Velmora:     %6.2f  (goal >= %.2f)  %s\n", speedup,
                kPipelineGoal, verdict(speedup >= kPipelineGoal));
    std::printf("Velmora peak / pipeline peak:  %6.3f  (goal < %.2f)   %s\n\n", memory, kMemoryGoal,
                verdict(memory < kMemoryGoal));

    // The stages of the run whose time is the median.
    const double middle = velmora.medianSeconds();
    const VelmoraRun& shown =
        *std::find_if(velmoraRuns.begin(), velmoraRuns.end(),
                      [&](const VelmoraRun& r) { return r.measured.seconds == middle; });
    printStages(shown.home / "log.txt", shown.started, shown.measured.seconds);
    std::printf("(logs in %s)\n", run.c_str());
    return 0;
}
