#include "audio/title_soundtracks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/event.h"
#include "base/log.h"
#include "outside/ffmpeg_audio_converter.h"
#include "outside/ffmpeg_encoder.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"
#include "support/video_frames.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::runProgram;

TEST(TitleSoundtracks, ATitleLastsAsLongAsTheEncoderPlaysItsFrames) {
    struct Case {
        VideoFormat format;
        int64_t frames;
        int64_t milliseconds;
    };
    const Case cases[] = {
        {kPalStandard, 100, 4000},
        {kNtscStandard, 120, 4004},        // 30000/1001 frames a second, not 30
        {kNtscStandard, 108000, 3603600},  // an hour as counted plays 3.6 s longer
        {kNtscStandard, 1, 33},            // rounded down: the sound never outlasts the picture
        {kPalStandard, -5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(videoFormatName(c.format) + " " + std::to_string(c.frames));
        EXPECT_EQ(titleMilliseconds(c.frames, c.format), c.milliseconds);
    }
}

// The sound of a file as the ffmpeg program decodes it: 48 kHz mono samples.
std::vector<int16_t> soundOf(const fs::path& file) {
    fs::path raw = file;
    raw += ".raw";
    const auto decoded =
        runProgram({"ffmpeg", "-v", "error", "-y", "-i", file.string(), "-map", "0:a:0", "-ac", "1",
                    "-ar", "48000", "-f", "s16le", raw.string()});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    std::ifstream in(raw, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// The root mean square of the samples between two times.
double loudness(const std::vector<int16_t>& samples, double fromSeconds, double toSeconds) {
    const size_t from = size_t(fromSeconds * 48000);
    const size_t to = std::min(samples.size(), size_t(toSeconds * 48000));
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

// A title made as the build makes it: the shared music cut for the title,
// then its video encoded with that soundtrack into a program stream, whose
// sound is read back.
TEST(TitleSoundtracks, TheMusicOfATitleFallsSilentOverItsLastSecond) {
    test::TemporaryFolder folder;
    const Log log(folder / "log.txt");
    FfmpegAudioConverter converter(log);
    const fs::path tone = folder / "tone.wav";
    const auto made = runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                  "sine=frequency=440:sample_rate=48000:duration=10", "-ac", "2",
                                  "-c:a", "pcm_s16le", tone.string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const fs::path shared = folder / "slideshow.mp2";  // longer than the title
    const Event neverSet;
    ASSERT_EQ(converter.xToMp2(tone, shared, neverSet), 0);

    struct Case {
        VideoFormat format;
        int frames;
    };
    const Case cases[] = {{kPalStandard, 100}, {kNtscStandard, 120}};  // NTSC sound is AC-3
    for (const Case& c : cases) {
        SCOPED_TRACE(videoFormatName(c.format));
        TitleSoundtrackJob job;
        job.sharedSoundtrack = shared;
        job.titles = {{folder / "title.mp2", c.frames}};
        job.format = c.format;
        ASSERT_EQ(cutTitleSoundtracks(job, &converter, log), 0);
        FfmpegEncoder encoder(log);
        const fs::path title = folder / "title.vob";
        ASSERT_EQ(encoder.initVobEncoder(job.titles[0].outputPath, title, c.format), 0);
        const SharedVideoFrame frame = test::uniformFrame(c.format, 128);
        for (int i = 0; i < c.frames; ++i)
            ASSERT_EQ(encoder.EncOneFrame(frame), 0);
        ASSERT_EQ(encoder.closeEncoder(), 0);

        const std::vector<int16_t> sound = soundOf(title);
        const double end = double(titleMilliseconds(c.frames, c.format)) / 1000;
        EXPECT_NEAR(double(sound.size()) / 48000, end, 0.05);  // it lasts to the end
        const double full = loudness(sound, 0.5, 1.5);
        ASSERT_GT(full, 1000);
        EXPECT_GT(loudness(sound, end - 2, end - 1), 0.9 * full);
        // Quieter quarter by quarter over the last second, nearly silent
        // in the last quarter.
        double previous = full;
        for (int quarter = 4; quarter > 0; --quarter) {
            const double now = loudness(sound, end - 0.25 * quarter, end - 0.25 * (quarter - 1));
            EXPECT_LT(now, previous) << quarter << " quarters before the end";
            previous = now;
        }
        EXPECT_LT(previous, 0.1 * full);
    }
}

}  // namespace
}  // namespace velmora
