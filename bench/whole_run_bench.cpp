// One whole make-DVD run of velmora-cli against the MPEG-2 encoder floor,
// for two mixes of the same twenty 4000 × 3000 photo-like JPEGs (one folder,
// so one slideshow), each with the theme's default music for the menu and
// the slideshow, as a new user gets:
//   (a) stills and transitions: 3 s on screen, 2 s transitions drawn at
//       random (Velmora's default), no motion; goal Velmora / floor <= 1.10;
//   (b) all motion: 5 s on screen, 1 s transitions, --random-effects (pans,
//       zooms and rotating zooms); goal <= 1.20.
//
// The floor is FFmpeg's command-line tool encoding the very frames Velmora
// encodes, at the DVD size, with Velmora's encoder settings: once per run
// and untimed, velmora-cli makes each mix (a preparation run), its title's
// video is decoded to raw 720 × 576 YUV 4:2:0 and its sound copied out as
// MP2; the floor then encodes those frames with that sound into an MPEG-2
// program stream. So the floor does exactly the work of Velmora's encoder
// and nothing else, and Velmora / floor is what the rest of Velmora costs.
//
// History: an earlier version reported 1.22 where a user measured 1.65 on a
// similar mix. Its floor encoded a looped 720 × 540 clip through a scale
// filter (work Velmora's encoder does not do), the clip moved all the time
// (dearer to encode than a slideshow's still stretches), so the floor was
// slower than encoding Velmora's own frames; and three 100 s slideshows
// with 8 s of menu music spread Velmora's fixed costs (startup, picture
// checks, menu, audio, authoring) over 300 s of video. Without menu music
// the menu is 60 s long, and one slideshow carries it all, as here.
//
// Per mix the floor and Velmora alternate three times (a ratio per pair,
// the median reported), each Velmora run in a fresh VELMORA_HOME, while a
// thread stamps its log lines to 10 ms; the stages of the median run are
// shown. For mix (b) the pipeline a user would write instead (one FFmpeg
// command: zoompan, xfade, -target pal-dvd) runs once.
//
// The photos are made once and kept in build/<flavour>/bench-data/whole_run;
// each run starts a fresh run/ folder there and leaves the logs in it (the
// raw frames, 1.5 to 2 GB a mix, and the outputs only with --keep).
//
//   whole_run_bench [--keep] [--mixes-only]   (--mixes-only: without the pipeline)

#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_support.h"
#include "bench/whole_run_process.h"
#include "image/headless_qt.h"
#include "outside/ffmpeg_encoder.h"

namespace {

using namespace velmora;
using bench::fail;
using bench::Measured;
namespace fs = std::filesystem;

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kPhotoCount = 20;
constexpr int kFramesPerSecond = 25;
constexpr int kDvdWidth = 720;
constexpr int kDvdHeight = 576;
constexpr long kRawFrameBytes = long(kDvdWidth) * kDvdHeight * 3 / 2;
constexpr int kWorkers = 2;
constexpr int kPairs = 3;  // floor and Velmora, alternating
// The pipeline's goals: pipeline / Velmora, Velmora's peak / pipeline's.
constexpr double kPipelineGoal = 7.0;
constexpr double kMemoryGoal = 0.25;

struct Mix {
    const char* folder;  // under run/
    const char* title;
    int displaySeconds;
    int transitionSeconds;
    bool motion;  // --random-effects
    double goal;  // Velmora / floor at most
};

constexpr Mix kStills{"stills", "(a) stills and transitions", 3, 2, false, 1.10};
constexpr Mix kMotion{"motion", "(b) all motion", 5, 1, true, 1.20};

const char* verdict(bool met) {
    return met ? "PASS" : "MISS";
}

double megabytes(long kilobytes) {
    return double(kilobytes) / 1024.0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---- inputs -------------------------------------------------------------

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

// The folder of photos, made when any is missing; the photos in order.
std::vector<fs::path> makePhotos(const fs::path& folder) {
    fs::create_directories(folder);
    std::vector<fs::path> photos;
    std::vector<std::pair<fs::path, int>> missing;
    for (int p = 0; p < kPhotoCount; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "photo%02d.jpg", p + 1);
        photos.push_back(folder / name);
        if (!fs::exists(photos.back())) missing.emplace_back(photos.back(), p);
    }
    writePhotos(missing);
    return photos;
}

// ---- Velmora ------------------------------------------------------------

struct VelmoraRun {
    Measured measured;
    std::vector<bench::StampedLine> log;  // its log, stamped while it ran
    fs::path dvd;                         // its output folder, with VIDEO_TS
};

std::vector<std::string> makeCommand(const fs::path& cli, const fs::path& pictures, const Mix& mix,
                                     const fs::path& dvd) {
    std::vector<std::string> make = {cli.string(), "make", "--pictures", pictures.string(), "--pal",
                                     // no music named: the theme's default, as a new user gets
                                     "--display-time", std::to_string(mix.displaySeconds),
                                     "--transition-time", std::to_string(mix.transitionSeconds),
                                     "--output", dvd.string()};
    if (mix.motion) make.push_back("--random-effects");
    return make;
}

// velmora-cli make of one mix in a fresh VELMORA_HOME under `folder`;
// exits the benchmark unless it ends with 0 and OUT/VIDEO_TS.
VelmoraRun runVelmora(const fs::path& cli, const fs::path& pictures, const Mix& mix,
                      const fs::path& folder) {
    const fs::path home = folder / "home";
    fs::create_directories(home);
    VelmoraRun run;
    run.dvd = folder / "dvd";
    const std::vector<std::string> make = makeCommand(cli, pictures, mix, run.dvd);
    bench::LogWatcher watcher(home / "log.txt");
    run.measured =
        bench::runMeasured(make, folder / "velmora-cli.log",
                           {{"VELMORA_HOME", home.string()}, {"QT_QPA_PLATFORM", "offscreen"}});
    run.log = watcher.finish();
    if (!fs::is_directory(run.dvd / "VIDEO_TS"))
        fail("velmora-cli made no " + (run.dvd / "VIDEO_TS").string());
    return run;
}

// The lines of Velmora's log that begin or end a stage, stamped with the
// seconds since velmora-cli started, paths left out.
void printStages(const VelmoraRun& run) {
    std::printf(
        "  Velmora's stages in its median run (s since velmora-cli started, read every "
        "10 ms):\n");
    for (const bench::StampedLine& line : run.log) {
        // "HH:MM:SS, Mon DD, YYYY: text"
        std::tm moment{};
        std::istringstream stream(line.text);
        stream.imbue(std::locale::classic());
        stream >> std::get_time(&moment, "%H:%M:%S, %b %d, %Y:");
        if (stream.fail()) continue;
        std::string text;
        std::getline(stream, text);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        if (!text.starts_with("Begin") && !text.starts_with("End")) continue;
        for (const char* path : {" m2v file Path:", " mpg path:"})
            if (const size_t at = text.find(path); at != std::string::npos) text.erase(at);
        std::printf("    %6.2f  %s\n", line.seconds, text.c_str());
    }
    std::printf("    %6.2f  velmora-cli exited\n", run.measured.seconds);
}

// ---- the floor ----------------------------------------------------------

struct FloorMaterial {
    fs::path frames;  // raw 720 × 576 YUV 4:2:0, Velmora's title frame by frame
    fs::path sound;   // the title's sound, MP2 as on the disc
    long frameCount = 0;
    std::string vobs;  // the title's VOB files, for the report
    double preparationSeconds = 0;
};

// The title's VOBs of a DVD folder in order (VTS_01_1.VOB ...; VTS_01_0 is
// the title set's menu) as one FFmpeg input.
std::pair<std::string, std::string> titleInput(const fs::path& videoTs) {
    std::vector<fs::path> vobs;
    for (const auto& entry : fs::directory_iterator(videoTs)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("VTS_01_") && name.ends_with(".VOB") && name != "VTS_01_0.VOB")
            vobs.push_back(entry.path());
    }
    if (vobs.empty()) fail("no title VOB in " + videoTs.string());
    std::sort(vobs.begin(), vobs.end());
    std::string input = vobs.size() == 1 ? vobs[0].string() : "concat:";
    std::string names;
    for (size_t i = 0; i < vobs.size(); ++i) {
        if (vobs.size() > 1) input += (i > 0 ? "|" : "") + vobs[i].string();
        names += (i > 0 ? ", " : "") + vobs[i].filename().string();
    }
    return {input, names};
}

// ffprobe's count of the title's frames, after checking they are 720 × 576.
long probedFrames(const std::string& input) {
    const std::string answer = bench::commandOutput(
        {"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
         "stream=width,height,nb_read_frames", "-of", "csv=p=0", input});
    int width = 0, height = 0;
    long frames = 0;
    if (std::sscanf(answer.c_str(), "%d,%d,%ld", &width, &height, &frames) != 3)
        fail("ffprobe's answer for " + input + " is not width,height,frames: " + answer);
    if (width != kDvdWidth || height != kDvdHeight)
        fail("the title of " + input + " is " + std::to_string(width) + " x " +
             std::to_string(height) + ", not 720 x 576");
    return frames;
}

// Decodes the title's video to raw frames and copies its sound out.
std::vector<std::string> decodeCommand(const std::string& input, const FloorMaterial& material) {
    return {"ffmpeg", "-v", "error", "-nostdin", "-y", "-i", input,
            // the title's video, frame by frame as Velmora encoded it
            "-map", "0:v:0", "-fps_mode", "passthrough", "-pix_fmt", "yuv420p", "-f", "rawvideo",
            material.frames.string(),
            // its sound, as on the disc
            "-map", "0:a:0", "-c:a", "copy", "-f", "mp2", material.sound.string()};
}

// Velmora's own frames and sound of `mix`, from a preparation run (not
// timed) in `folder`.
FloorMaterial prepareFloor(const fs::path& cli, const fs::path& pictures, const Mix& mix,
                           const fs::path& folder, bool keep) {
    const double start = bench::now();
    const VelmoraRun made = runVelmora(cli, pictures, mix, folder / "preparation");
    const auto [input, names] = titleInput(made.dvd / "VIDEO_TS");
    FloorMaterial material{folder / "frames.yuv", folder / "sound.mp2", 0, names, 0};
    bench::runMeasured(decodeCommand(input, material), folder / "preparation.log");
    const long bytes = long(fs::file_size(material.frames));
    material.frameCount = bytes / kRawFrameBytes;
    const long probed = probedFrames(input);
    if (bytes % kRawFrameBytes != 0 || material.frameCount != probed)
        fail(material.frames.string() + " holds " + std::to_string(bytes) + " bytes, not the " +
             std::to_string(probed) + " frames ffprobe counts in " + names);
    if (!keep) fs::remove_all(made.dvd);
    material.preparationSeconds = bench::secondsSince(start);
    return material;
}

// FFmpeg's command-line tool encoding Velmora's frames with the settings of
// Velmora's encoder (a constant rate, as Velmora encodes slideshows), the
// sound copied in.
std::vector<std::string> floorCommand(const FloorMaterial& material, const fs::path& out) {
    const std::string rate = std::to_string(FfmpegEncoder::videoBitRate(TvStandard::Pal, true));
    return {"ffmpeg", "-v", "error", "-nostdin", "-y",
            // no scaling: the frames are at the DVD size already
            "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", "720x576", "-r",
            std::to_string(kFramesPerSecond), "-i", material.frames.string(), "-i",
            material.sound.string(), "-map", "0:v", "-map", "1:a",
            // Velmora's encoder: a constant rate, closed GOPs of 15, no scene cuts
            "-c:v", "mpeg2video", "-b:v", rate, "-minrate", rate, "-maxrate", rate, "-bufsize",
            "1835008", "-g", "15", "-bf", "2", "-flags", "+cgop", "-sc_threshold", "1000000000",
            "-aspect", "4:3", "-threads", "2", "-c:a", "copy", "-f", "dvd", "-muxrate", "10080000",
            "-packetsize", "2048", out.string()};
}

// ---- one mix ------------------------------------------------------------

struct MixResult {
    FloorMaterial material;
    std::vector<Measured> floors;
    std::vector<VelmoraRun> velmoras;
    std::vector<double> ratios;  // Velmora / floor, pair by pair
};

MixResult measureMix(const fs::path& cli, const fs::path& pictures, const Mix& mix,
                     const fs::path& folder, bool keep) {
    fs::create_directories(folder);
    MixResult result;
    result.material = prepareFloor(cli, pictures, mix, folder, keep);
    // The raw frames just written (about 2 GB) would otherwise still be
    // going to the disk during the first runs, slowing whichever writes.
    sync();
    // Timings on a shared machine wander from run to run: the floor and
    // Velmora alternate and each pair gives a ratio.
    for (int i = 0; i < kPairs; ++i) {
        const std::string number = std::to_string(i + 1);
        const fs::path floorOut = folder / ("floor-" + number + ".mpg");
        result.floors.push_back(
            bench::runMeasured(floorCommand(result.material, floorOut), folder / "ffmpeg.log"));
        if (!(keep && i == 0)) fs::remove(floorOut);
        result.velmoras.push_back(runVelmora(cli, pictures, mix, folder / ("velmora-" + number)));
        if (!(keep && i == 0)) fs::remove_all(result.velmoras.back().dvd);
        result.ratios.push_back(result.velmoras.back().measured.seconds /
                                result.floors.back().seconds);
    }
    return result;
}

struct Summary {
    double seconds, fastest, slowest, cpuSeconds;
    long peakKilobytes;
};

Summary summarize(const std::vector<Measured>& runs) {
    std::vector<double> seconds, cpu;
    long peak = 0;
    for (const Measured& run : runs) {
        seconds.push_back(run.seconds);
        cpu.push_back(run.cpuSeconds);
        peak = std::max(peak, run.peakKilobytes);
    }
    return {median(seconds), *std::min_element(seconds.begin(), seconds.end()),
            *std::max_element(seconds.begin(), seconds.end()), median(cpu), peak};
}

std::vector<Measured> measuredOf(const std::vector<VelmoraRun>& runs) {
    std::vector<Measured> measured;
    for (const VelmoraRun& run : runs)
        measured.push_back(run.measured);
    return measured;
}

void reportMix(const Mix& mix, const MixResult& result) {
    const long frames = result.material.frameCount;
    std::printf("\n== %s: %d JPEGs, %d s on screen, %d s transitions (kinds at random), %s\n",
                mix.title, kPhotoCount, mix.displaySeconds, mix.transitionSeconds,
                mix.motion ? "--random-effects" : "no motion");
    std::printf(
        "   title: %ld PAL frames (%.1f s) in %s, as ffprobe counts; prepared in %.1f s "
        "(not counted)\n",
        frames, double(frames) / kFramesPerSecond, result.material.vobs.c_str(),
        result.material.preparationSeconds);
    const Summary floor = summarize(result.floors);
    const Summary velmora = summarize(measuredOf(result.velmoras));
    std::printf("   %-50s %7s %7s %8s\n", "", "wall s", "CPU s", "peak MB");
    std::printf("   %-50s %7.1f %7.1f %8.1f\n", "encoder floor (ffmpeg CLI, Velmora's frames)",
                floor.seconds, floor.cpuSeconds, megabytes(floor.peakKilobytes));
    std::printf("   %-50s %7.1f %7.1f %8.1f\n", "Velmora (velmora-cli make: menu, title, VIDEO_TS)",
                velmora.seconds, velmora.cpuSeconds, megabytes(velmora.peakKilobytes));
    std::printf(
        "   medians of %d alternating pairs (floor %.1f to %.1f s, Velmora %.1f to %.1f s); "
        "peak: the largest\n",
        kPairs, floor.fastest, floor.slowest, velmora.fastest, velmora.slowest);
    const double ratio = median(result.ratios);
    std::printf("   Velmora / encoder floor: %.2f  (goal <= %.2f; pairs %.2f to %.2f)  %s\n", ratio,
                mix.goal, *std::min_element(result.ratios.begin(), result.ratios.end()),
                *std::max_element(result.ratios.begin(), result.ratios.end()),
                verdict(ratio <= mix.goal));
    for (const VelmoraRun& run : result.velmoras)
        if (run.measured.seconds == velmora.seconds) {
            printStages(run);
            break;
        }
    std::fflush(nullptr);
}

// ---- the pipeline a user would write ------------------------------------

// Ken Burns moves as users write them with zoompan: a zoom into the centre
// and a pan from left to right at a fixed zoom, in turn; `frames` frames of
// 720 × 576 from one picture. zoompan crops at whole pixels, so a slow move
// jitters; the usual recipe, and the one that moves as smoothly as
// Velmora's sub-pixel motion, scales the picture up first.
std::string zoompan(int picture, int frames) {
    const std::string d = std::to_string(frames);
    if (picture % 2 == 0)
        return "scale=8000:-1,zoompan=z='min(zoom+0.0015,1.5)':x='iw/2-(iw/zoom/2)':y='ih/2-(ih/"
               "zoom/2)':d=" +
               d + ":s=720x576:fps=25";
    return "scale=8000:-1,zoompan=z=1.2:x='(iw-iw/zoom)*on/" + std::to_string(frames - 1) +
           "':y='(ih-ih/zoom)/2':d=" + d + ":s=720x576:fps=25";
}

// xfade's transitions the pipeline takes in turn, as Velmora draws a
// transition kind for each picture.
constexpr const char* kTransitions[] = {"fade",     "wipeleft", "slideup",     "circleopen",
                                        "dissolve", "radial",   "smoothright", "horzopen"};

// One FFmpeg command for mix (b) as a user would write it: every JPEG an
// input moved by zoompan for its time on screen (the first 1 + display +
// transition seconds, the others transition + display + transition, the
// last transition + display), chained with xfade transitions, Velmora's
// slideshow sound as the music, -target pal-dvd; as many frames as
// Velmora's title.
std::vector<std::string> pipelineCommand(const std::vector<fs::path>& photos,
                                         const FloorMaterial& material, const fs::path& out) {
    const int display = kMotion.displaySeconds, transition = kMotion.transitionSeconds;
    const int count = int(photos.size());
    std::vector<std::string> command = {"ffmpeg", "-v", "error", "-nostdin", "-y"};
    for (const fs::path& photo : photos) {
        command.push_back("-i");
        command.push_back(photo.string());
    }
    command.push_back("-i");
    command.push_back(material.sound.string());
    std::string graph;
    for (int i = 0; i < count; ++i) {
        const int lead = i == 0 ? 1 : transition;
        const int tail = i + 1 < count ? transition : 0;
        graph += "[" + std::to_string(i) + ":v]" +
                 zoompan(i, kFramesPerSecond * (lead + display + tail)) + "[v" + std::to_string(i) +
                 "];";
    }
    std::string last = "v0";
    int offset = 1 + display;
    for (int i = 1; i < count; ++i) {
        const std::string next = "x" + std::to_string(i);
        graph += "[" + last + "][v" + std::to_string(i) +
                 "]xfade=transition=" + kTransitions[size_t(i - 1) % std::size(kTransitions)] +
                 ":duration=" + std::to_string(transition) + ":offset=" + std::to_string(offset) +
                 "[" + next + "];";
        last = next;
        offset += transition + display;
    }
    graph += "[" + last + "]format=yuv420p[video]";
    for (const std::string& argument :
         {std::string("-filter_complex"), graph, std::string("-map"), std::string("[video]"),
          std::string("-map"), std::to_string(count) + ":a", std::string("-frames:v"),
          std::to_string(material.frameCount), std::string("-shortest"), std::string("-target"),
          std::string("pal-dvd"), std::string("-aspect"), std::string("4:3"), out.string()})
        command.push_back(argument);
    return command;
}

void reportPipeline(const Measured& pipeline, const MixResult& motion) {
    const Summary velmora = summarize(measuredOf(motion.velmoras));
    std::printf("\n== FFmpeg filter pipeline for %s (zoompan, xfade, -target pal-dvd; one run)\n",
                kMotion.title);
    std::printf("   %-50s %7.1f %7.1f %8.1f\n", "pipeline (one ffmpeg command)", pipeline.seconds,
                pipeline.cpuSeconds, megabytes(pipeline.peakKilobytes));
    const double speedup = pipeline.seconds / velmora.seconds;
    const double memory = double(velmora.peakKilobytes) / double(pipeline.peakKilobytes);
    std::printf("   pipeline / Velmora:            %6.2f  (goal >= %.2f)  %s\n", speedup,
                kPipelineGoal, verdict(speedup >= kPipelineGoal));
    std::printf("   Velmora peak / pipeline peak:  %6.3f  (goal < %.2f)   %s\n", memory,
                kMemoryGoal, verdict(memory < kMemoryGoal));
}

}  // namespace

int main(int argc, char** argv) {
    bool keep = false, mixesOnly = false;
    for (int i = 1; i < argc; ++i) {
        keep = keep || std::string(argv[i]) == "--keep";
        mixesOnly = mixesOnly || std::string(argv[i]) == "--mixes-only";
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path build = self.parent_path().parent_path();  // build/<flavour>
    const fs::path cli = build / "bin" / "velmora-cli";
    if (!fs::exists(cli)) fail(cli.string() + " is missing; build it first");
    const fs::path data = build / "bench-data" / "whole_run";
    const double preparing = bench::now();
    const fs::path pictures = data / "pictures";
    const std::vector<fs::path> photos = makePhotos(pictures);
    std::printf(
        "whole run: one folder of %d JPEGs of %d x %d (ready in %.1f s, not counted), "
        "PAL,\nthe theme's default music for the menu and the slideshow\n",
        kPhotoCount, kPhotoWidth, kPhotoHeight, bench::secondsSince(preparing));
    std::fflush(nullptr);

    const fs::path run = data / "run";
    fs::remove_all(run);
    fs::create_directories(run);

    const MixResult stills = measureMix(cli, pictures, kStills, run / kStills.folder, keep);
    reportMix(kStills, stills);
    const MixResult motion = measureMix(cli, pictures, kMotion, run / kMotion.folder, keep);
    reportMix(kMotion, motion);

    if (!mixesOnly) {
        const fs::path pipelineOut = run / "pipeline.mpg";
        const Measured pipeline = bench::runMeasured(
            pipelineCommand(photos, motion.material, pipelineOut), run / "pipeline.log");
        if (!keep) fs::remove(pipelineOut);
        reportPipeline(pipeline, motion);
    }

    if (!keep)
        for (const MixResult* mix : {&stills, &motion}) {
            fs::remove(mix->material.frames);
            fs::remove(mix->material.sound);
        }
    std::printf("\n(logs in %s)\n", run.c_str());
    return 0;
}
