// The whole slideshow render against the encoder alone. A 60-second PAL
// slideshow of ten 6000 × 4000 JPEGs (pans, zooms, rotating zooms, Alpha
// transitions) is rendered three ways, each in a child process:
//   1. composing alone, for each of a pan, a zoom and a rotating zoom;
//   2. the composed frames dumped as raw YUV, which FFmpeg's command-line
//      tool then encodes with the encoder's settings (the reference time);
//   3. the real encodeSlideshow through the queued FFmpeg encoder, timed,
//      with its peak memory.
// Then the quality (SSIM of the decoded program stream against the composed
// frames) and the size of the program stream against the disc estimate.
//
//   slideshow_bench [working folder]

#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "outside/ffmpeg_encoder.h"
#include "outside/queued_encoder.h"
#include "render/composing_thread.h"
#include "render/discarding_encoder.h"
#include "render/frame_geometry.h"
#include "render/timeline.h"
#include "tools/standalone_slideshow.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr int kPhotoCount = 10;
constexpr int kDisplaySeconds = 5;
constexpr int kTransitionSeconds = 1;
constexpr int kComposeFrames = 250;
constexpr int kRuns = 5;
constexpr double kMegabyte = 1024.0 * 1024.0;
// Pans, zooms in and out, rotating zooms and a still, in turn.
constexpr int kMotions[kPhotoCount] = {0, 8, 18, 13, 4, 19, 20, 6, 9, 2};

struct Paths {
    fs::path folder;
    std::vector<fs::path> photos;
    fs::path music;
    fs::path frames;     // the encoder's frames, raw YUV 4:2:0 at 720 × 576
    fs::path reference;  // FFmpeg's command-line encode of them
    fs::path ours;
};

// Writes the frames it is given to one raw file.
class RawFrameWriter final : public EncoderLibrary {
  public:
    explicit RawFrameWriter(const fs::path& file) : file_(std::fopen(file.c_str(), "wb")) {}
    ~RawFrameWriter() override { closeEncoder(); }
    int initVobEncoder(const fs::path&, const fs::path&, VideoFormat) override {
        return file_ != nullptr ? 0 : 1;
    }
    int initEncoder(const fs::path&, VideoFormat) override { return 1; }
    int EncOneFrame(SharedVideoFrame frame) override {
        return file_ != nullptr && std::fwrite(frame->y(), 1, frame->bytes(), file_) == frame->bytes()
                   ? 0
                   : 1;
    }
    int closeEncoder() override {
        const int result = file_ != nullptr && std::fclose(file_) == 0 ? 0 : 1;
        file_ = nullptr;
        return result;
    }

  private:
    std::FILE* file_;
};

[[noreturn]] void fail(const std::string& reason) {
    std::fprintf(stderr, "slideshow_bench: %s\n", reason.c_str());
    std::exit(1);
}

// The benchmark's slideshow, the same in every child.
void addPictures(tools::StandaloneSlideshow& standalone, const Paths& paths) {
    std::string reason;
    for (int i = 0; i < kPhotoCount; ++i) {
        const tools::PictureEntry entry{
            paths.photos[size_t(i)], kDisplaySeconds, kTransitionSeconds, kMotions[i], 0, 0, -1};
        if (!standalone.add(entry, reason)) fail(reason);
    }
}

// Seconds that encodeSlideshow takes with `encoder`.
double render(const Paths& paths, EncoderLibrary& encoder, const fs::path& output) {
    const Log log(paths.folder / "log.txt");
    tools::StandaloneSlideshow standalone(paths.folder, TvStandard::Pal, log);
    addPictures(standalone, paths);
    Slideshow& slideshow = standalone.slideshow();
    slideshow.programStreamPath = output;
    RenderJob job;
    job.format = kPalStandard;
    job.slideshow = &slideshow;
    const double start = bench::now();
    if (encodeSlideshow(job, encoder, log) != 0) fail("the render failed; see the log");
    return bench::secondsSince(start);
}

// Frames per second of one motion effect's frames, composed and converted
// for the encoder as a render does, after the picture is fitted.
double composeRate(const Paths& paths, int effect) {
    const Log log(paths.folder / "log.txt");
    tools::StandaloneSlideshow standalone(paths.folder, TvStandard::Pal, log);
    std::string reason;
    if (!standalone.add({paths.photos[0], 9, 1, effect, 0, 0, -1}, reason)) fail(reason);
    RenderJob job;
    job.format = kPalStandard;
    job.slideshow = &standalone.slideshow();
    DiscardingEncoder encoder;
    RenderContext context(job, encoder, canvasSize(kPalStandard), kComposeFrames);
    context.N = kComposeFrames;
    context.preparePicture();
    // On the thread a render composes on.
    double seconds = 0;
    runOnComposingThread([&] {
        const double start = bench::now();
        context.renderMotionFrames(0);
        seconds = bench::secondsSince(start);
        return 0;
    });
    return kComposeFrames / seconds;
}

std::string ssimOf(const fs::path& stream, const fs::path& frames) {
    std::string messages;
    bench::runProgram({"ffmpeg", "-nostats", "-i", stream.string(), "-f", "rawvideo", "-pix_fmt",
                       "yuv420p", "-s", "720x576", "-r", "25", "-i", frames.string(), "-lavfi",
                       "[0:v]setpts=PTS-STARTPTS[ours];[1:v]setpts=PTS-STARTPTS[ref];[ours][ref]ssim",
                       "-f", "null", "-"},
                      &messages);
    const size_t all = messages.rfind("All:");
    if (all == std::string::npos) fail("no SSIM from ffmpeg:\n" + messages);
    return messages.substr(all + 4, messages.find(' ', all) - all - 4);
}

Paths preparePaths(int argc, char** argv) {
    Paths paths;
    paths.folder = bench::workFolder(argc, argv, "slideshow-bench");
    for (int i = 0; i < kPhotoCount; ++i)
        paths.photos.push_back(paths.folder / ("photo" + std::to_string(i) + ".jpg"));
    paths.music = paths.folder / "music.wav";
    paths.frames = paths.folder / "frames.yuv";
    paths.reference = paths.folder / "reference.mpg";
    paths.ours = paths.folder / "velmora.mpg";
    return paths;
}

void makeInputs(const Paths& paths) {
    for (int i = 0; i < kPhotoCount; ++i) {
        if (fs::exists(paths.photos[size_t(i)])) continue;
        bench::inChild([&] {
            bench::writePhoto(paths.photos[size_t(i)], 6000, 4000, i);
            return std::vector<double>{};
        });
    }
    std::string errors;
    if (bench::runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                           "sine=frequency=220:beep_factor=4:sample_rate=48000:duration=70", "-ac",
                           "2", paths.music.string()},
                          &errors) != 0)
        fail("ffmpeg cannot make the music: " + errors);
    bench::inChild([&] {
        const Log log(paths.folder / "log.txt");
        tools::StandaloneSlideshow standalone(paths.folder, TvStandard::Pal, log);
        std::string reason;
        if (!standalone.prepareSoundtrack(paths.music, reason)) fail(reason);
        return std::vector<double>{};
    });
}

// Our encoder alone, fed the composed frames from the raw file: how much of
// the end-to-end time the encoder itself takes.
double ourEncoderAlone(const Paths& paths, const fs::path& soundtrack) {
    const Log log(paths.folder / "log.txt");
    FfmpegEncoder encoder(log);
    VideoFramePool frames(720, kPalStandard.dvdFrameHeight(), 2);
    std::FILE* raw = std::fopen(paths.frames.c_str(), "rb");
    if (raw == nullptr) fail("cannot read the composed frames");
    const double start = bench::now();
    if (encoder.initVobEncoder(soundtrack, paths.folder / "alone.mpg", kPalStandard) != 0)
        fail("the encoder cannot start");
    for (;;) {
        const std::shared_ptr<VideoFrame> frame = frames.take();
        if (std::fread(frame->y(), 1, frame->bytes(), raw) != frame->bytes()) break;
        if (encoder.EncOneFrame(frame) != 0) fail("the encoder failed");
    }
    std::fclose(raw);
    if (encoder.closeEncoder() != 0) fail("the encoder failed");
    return bench::secondsSince(start);
}

// FFmpeg's command-line tool encoding the composed frames with the settings
// of our encoder, the soundtrack copied in: the time to beat.
double referenceEncode(const Paths& paths, const fs::path& soundtrack) {
    const std::string bitRate = std::to_string(FfmpegEncoder::videoBitRate(TvStandard::Pal, true));
    const double start = bench::now();
    std::string errors;
    const int status = bench::runProgram(
        {"ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", "720x576",
         "-r", "25", "-i", paths.frames.string(), "-i", soundtrack.string(), "-map", "0:v", "-map",
         "1:a", "-c:v", "mpeg2video", "-b:v", bitRate,
         // Velmora's constant rate.
         "-minrate", bitRate, "-maxrate", bitRate, "-bufsize", "1835008", "-g", "15", "-bf", "2",
         "-flags", "+cgop", "-sc_threshold", "1000000000", "-aspect", "4:3", "-threads", "2",
         "-c:a", "copy", "-shortest", "-f", "dvd", "-muxrate", "10080000", "-packetsize", "2048",
         paths.reference.string()},
        &errors);
    if (status != 0) fail("the reference encode failed: " + errors);
    return bench::secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    const Paths paths = preparePaths(argc, argv);
    makeInputs(paths);
    const fs::path soundtrack = paths.folder / "temp" / "slideshow_0.mp2";
    const int frameCount = kPhotoCount * (kDisplaySeconds + kTransitionSeconds) * 25;

    const double bare = double(bench::inChild([] { return std::vector<double>{}; }).peakKilobytes);
    const char* effectNames[] = {"pan left to right", "zoom in (centre)", "zoom in and rotate"};
    const int effects[] = {0, 8, 18};
    double composeRates[3];
    for (int i = 0; i < 3; ++i)
        composeRates[i] = bench::inChild([&] {
                              return std::vector<double>{composeRate(paths, effects[i])};
                          }).values.at(0);

    const double composeSeconds = bench::inChild([&] {
                                      DiscardingEncoder encoder;
                                      return std::vector<double>{render(paths, encoder, {})};
                                  }).values.at(0);
    bench::inChild([&] {
        RawFrameWriter writer(paths.frames);
        return std::vector<double>{render(paths, writer, paths.folder / "unused.mpg")};
    });
    // Timings on a shared machine wander from run to run: the encoder-only
    // and the end-to-end runs alternate, each pair gives a ratio, and the
    // report gives the median ratio and the best time of each kind.
    double referenceSeconds = 1e9, aloneSeconds = 1e9, oursSeconds = 1e9;
    std::vector<double> ratios;
    long peakKilobytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double reference = referenceEncode(paths, soundtrack);
        const bench::ChildResult ours = bench::inChild([&] {
            const Log log(paths.folder / "log.txt");
            QueuedEncoder encoder(std::make_unique<FfmpegEncoder>(log));
            return std::vector<double>{render(paths, encoder, paths.ours)};
        });
        ratios.push_back(ours.values.at(0) / reference);
        referenceSeconds = std::min(referenceSeconds, reference);
        oursSeconds = std::min(oursSeconds, ours.values.at(0));
        peakKilobytes = std::max(peakKilobytes, ours.peakKilobytes);
        aloneSeconds = std::min(aloneSeconds,
                                bench::inChild([&] {
                                    return std::vector<double>{ourEncoderAlone(paths, soundtrack)};
                                }).values.at(0));
    }
    std::sort(ratios.begin(), ratios.end());
    const double medianRatio = ratios[ratios.size() / 2];

    const double estimate = frameCount * 0.0208;
    const double oursMegabytes = double(fs::file_size(paths.ours)) / kMegabyte;
    std::printf(
        "60-second PAL slideshow, %d frames of 720 x 540 from ten 6000 x 4000 JPEGs\n"
        "(times: the best of %d runs)\n",
        frameCount, kRuns);
    std::printf("composing alone (720 x 540, fitted picture ready, to planar YUV):\n");
    const double referenceRate = frameCount / referenceSeconds;
    for (int i = 0; i < 3; ++i)
        std::printf("  %-20s %7.1f frames/s  (%.2f x the encoder-only rate)\n", effectNames[i],
                    composeRates[i], composeRates[i] / referenceRate);
    std::printf(
        "the whole slideshow composed alone:    %7.2f s (photos decoded and fitted, "
        "transitions, YUV)\n",
        composeSeconds);
    std::printf("encoder only, ffmpeg CLI from raw YUV: %7.2f s (%.1f frames/s)\n",
                referenceSeconds, referenceRate);
    std::printf("our encoder alone from raw YUV:        %7.2f s (%.2f x the ffmpeg CLI)\n",
                aloneSeconds, aloneSeconds / referenceSeconds);
    std::printf("encodeSlideshow end to end:            %7.2f s (%.1f frames/s)\n", oursSeconds,
                frameCount / oursSeconds);
    std::printf(
        "  ratio end to end / encoder only: %.2f (median of the runs; range %.2f to %.2f; "
        "goal <= 1.25)\n",
        medianRatio, ratios.front(), ratios.back());
    std::printf("  peak memory: %.1f MB (a bare process: %.1f MB; goal < 200 MB)\n",
                double(peakKilobytes) / 1024.0, bare / 1024.0);
    std::printf(
        "  SSIM against the composed frames: %s (the ffmpeg CLI encode: %s; goal >= 0.95)\n",
        ssimOf(paths.ours, paths.frames).c_str(), ssimOf(paths.reference, paths.frames).c_str());
    std::printf("  size: %.2f MB, disc estimate %.2f MB: %.3f of the estimate (goal within 15%%)\n",
                oursMegabytes, estimate, oursMegabytes / estimate);
    if (argc <= 1) fs::remove_all(paths.folder);
    return 0;
}
