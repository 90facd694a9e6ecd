#include "outside/ffmpeg_audio_converter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "base/event.h"
#include "base/log.h"
#include "base/path_text.h"
#include "image/picture_fixtures.h"
#include "outside/special_file_fixtures.h"
#include "support/run_program.h"
#include "support/tone_files.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::runProgram;

// A field of the first audio stream as ffprobe reports it.
std::string probe(const fs::path& file, const std::string& entry) {
    const auto result =
        runProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries", entry,
                    "-of", "default=noprint_wrappers=1:nokey=1", file.string()});
    std::string value = result.output;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
        value.pop_back();
    return value;
}

class AudioConverterTest : public ::testing::Test {
  protected:
    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    FfmpegAudioConverter converter_{log_};
    Event cancel_;

    std::string logText() {
        std::ifstream in(log_.file());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

struct SoundCase {
    std::string name;
    double seconds;
    std::vector<std::string> encoding;
    std::string channels;
    int rate;
};

const SoundCase kSounds[] = {
    {"tone.mp3", 3.5, {"-c:a", "libmp3lame", "-b:a", "128k"}, "stereo", 44100},
    {"tone.wav", 2.2, {"-c:a", "pcm_s16le"}, "mono", 22050},
    {"float.wav", 2.0, {"-c:a", "pcm_f32le"}, "stereo", 96000},
    {"bytes.wav", 1.5, {"-c:a", "pcm_u8"}, "mono", 8000},
    {"deep.wav", 1.5, {"-c:a", "pcm_s24le"}, "5.1", 48000},
    {"tone.wma", 3.0, {"-c:a", "wmav2", "-b:a", "128k"}, "stereo", 44100},
    {"tone.flac", 2.5, {"-c:a", "flac"}, "stereo", 44100},
    {"tone.ogg", 2.5, {"-c:a", "libvorbis"}, "stereo", 44100},
    {"tone.m4a", 2.5, {"-c:a", "aac"}, "stereo", 44100},
    {"tone.mp2", 2.0, {"-c:a", "mp2"}, "stereo", 32000},
};

TEST_F(AudioConverterTest, MeasuresAndConvertsWhatFfmpegDecodes) {
    for (const SoundCase& sound : kSounds) {
        SCOPED_TRACE(sound.name);
        const fs::path source = folder_ / sound.name;
        test::makeTone(source, sound.seconds, sound.encoding, sound.channels, sound.rate);
        EXPECT_EQ(converter_.GetFileTimeLength(source), int(sound.seconds));

        const fs::path target = folder_ / (sound.name + ".mp2");
        ASSERT_EQ(converter_.xToMp2(source, target, cancel_), 0) << logText();
        EXPECT_EQ(probe(target, "stream=codec_name"), "mp2");
        EXPECT_EQ(probe(target, "stream=sample_rate"), "48000");
        EXPECT_EQ(probe(target, "stream=channels"), "2");
        EXPECT_EQ(probe(target, "stream=bit_rate"), "224000");
        EXPECT_NEAR(std::atof(probe(target, "format=duration").c_str()), sound.seconds, 0.1);
        // Bare frames: the file starts with an MPEG-1 Layer II frame header.
        const std::vector<uint8_t> bytes = test::readBytes(target);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1] & 0xFE, 0xFC);
        EXPECT_FALSE(fs::exists(folder_ / (sound.name + ".mp2.partial")));
    }
}

TEST_F(AudioConverterTest, ConvertedFilesJoinIntoOneCleanStream) {
    test::makeTone(folder_ / "a.mp3", 2.0, {"-c:a", "libmp3lame"});
    test::makeTone(folder_ / "b.wav", 3.0, {"-c:a", "pcm_s16le"}, "mono", 22050);
    ASSERT_EQ(converter_.xToMp2(folder_ / "a.mp3", folder_ / "a.mp2", cancel_), 0);
    ASSERT_EQ(converter_.xToMp2(folder_ / "b.wav", folder_ / "b.mp2", cancel_), 0);
    std::vector<uint8_t> joined = test::readBytes(folder_ / "a.mp2");
    const std::vector<uint8_t> second = test::readBytes(folder_ / "b.mp2");
    joined.insert(joined.end(), second.begin(), second.end());
    test::writeBytes(folder_ / "joined.mp2", joined);

    const auto decoded = runProgram({"ffmpeg", "-v", "error", "-xerror", "-i",
                                     (folder_ / "joined.mp2").string(), "-f", "null", "-"});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.output, "");
    EXPECT_EQ(converter_.GetFileTimeLength(folder_ / "joined.mp2"), 5);
}

TEST_F(AudioConverterTest, TagsAndCoverArtAreNoObstacle) {
    QImage cover(32, 32, QImage::Format_RGB32);
    cover.fill(Qt::red);
    test::writeWithQt(folder_ / "cover.png", cover, "png");
    const fs::path tagged = folder_ / "tagged.mp3";
    const auto made = runProgram({"ffmpeg",
                                  "-v",
                                  "error",
                                  "-y",
                                  "-f",
                                  "lavfi",
                                  "-i",
                                  "sine=frequency=330:duration=4",
                                  "-i",
                                  (folder_ / "cover.png").string(),
                                  "-map",
                                  "0",
                                  "-map",
                                  "1",
                                  "-c:a",
                                  "libmp3lame",
                                  "-c:v",
                                  "mjpeg",
                                  "-disposition:v",
                                  "attached_pic",
                                  "-id3v2_version",
                                  "3",
                                  "-metadata",
                                  "title=Holiday",
                                  "-metadata",
                                  "artist=Ann",
                                  tagged.string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_EQ(converter_.GetFileTimeLength(tagged), 4);
    ASSERT_EQ(converter_.xToMp2(tagged, folder_ / "tagged.mp2", cancel_), 0) << logText();
    EXPECT_EQ(test::readBytes(folder_ / "tagged.mp2")[0], 0xFF);  // no ID3 tag carried over
}

TEST_F(AudioConverterTest, WhatIsNotSoundMeasuresZeroAndIsRefused) {
    test::makeTone(folder_ / "long.mp3", 6.0, {"-c:a", "libmp3lame"});
    std::vector<uint8_t> truncated = test::readBytes(folder_ / "long.mp3");
    truncated.resize(truncated.size() / 2);
    test::writeBytes(folder_ / "truncated.mp3", truncated);

    test::writeWithQt(folder_ / "picture.mp3", test::quadrants(64, 48), "png");
    test::writeBytes(folder_ / "empty.mp3", {});
    test::writeBytes(folder_ / "text.wav",
                     {'R', 'I', 'F', 'F', 'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
    std::vector<uint8_t> noise(20000);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = uint8_t((i * 7919u) >> 3);
    test::writeBytes(folder_ / "noise.wma", noise);
    const auto video = runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                   "testsrc=size=64x48:duration=2", "-an", "-c:v", "mpeg2video",
                                   (folder_ / "silent.mpg").string()});
    ASSERT_EQ(video.exitCode, 0) << video.output;

    // A truncated file still holds sound: it measures and converts cleanly.
    EXPECT_GE(converter_.GetFileTimeLength(folder_ / "truncated.mp3"), 2);
    EXPECT_EQ(converter_.xToMp2(folder_ / "truncated.mp3", folder_ / "truncated.mp2", cancel_), 0);

    for (const char* name :
         {"picture.mp3", "empty.mp3", "text.wav", "noise.wma", "silent.mpg", "absent.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(converter_.GetFileTimeLength(folder_ / name), 0);
        const fs::path target = folder_ / (std::string(name) + ".mp2");
        EXPECT_NE(converter_.xToMp2(folder_ / name, target, cancel_), 0);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_NE(logText().find(name), std::string::npos);
    }
}

TEST_F(AudioConverterTest, CancelAndUnwritableTargetLeaveNoFile) {
    test::makeTone(folder_ / "a.wav", 2.0, {"-c:a", "pcm_s16le"});
    cancel_.set();
    EXPECT_EQ(converter_.xToMp2(folder_ / "a.wav", folder_ / "a.mp2", cancel_), 2);
    EXPECT_FALSE(fs::exists(folder_ / "a.mp2"));
    EXPECT_FALSE(fs::exists(folder_ / "a.mp2.partial"));
    cancel_.reset();

    EXPECT_EQ(converter_.xToMp2(folder_ / "a.wav", folder_ / "no" / "a.mp2", cancel_), -1);
    EXPECT_NE(logText().find("a.wav"), std::string::npos);
}

TEST_F(AudioConverterTest, WhatIsNotARegularFileIsRefusedAtOnceAndNamed) {
    std::vector<fs::path> fifos;
    std::optional<test::BoundSocket> socket;
    for (const test::SpecialCase& special : test::kSpecialCases) {
        SCOPED_TRACE(special.name);
        const fs::path source = folder_ / special.name;
        ASSERT_TRUE(test::makeSpecialFile(source, special.kind, &fifos, &socket));
        const fs::path target = folder_ / (std::string(special.name) + ".mp2");
        const auto measured =
            test::resultWithin([&] { return converter_.GetFileTimeLength(source); }, fifos);
        const auto converted =
            test::resultWithin([&] { return converter_.xToMp2(source, target, cancel_); }, fifos);
        ASSERT_TRUE(measured.has_value() && converted.has_value()) << "blocked on " << source;
        EXPECT_EQ(*measured, 0);
        EXPECT_EQ(*converted, 1);
        EXPECT_FALSE(fs::exists(target));
        const std::string log = logText();
        EXPECT_NE(log.find("Cannot measure " + quotedPath(source) + ": " + special.reason),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("Cannot convert " + quotedPath(source) + " to MP2: " + special.reason),
                  std::string::npos)
            << log;
    }
}

TEST_F(AudioConverterTest, FilesNamedInsideASoundFileAreNeverOpened) {
    // FFmpeg reads concat lists, which name further files: one naming a FIFO
    // would block in open() for ever, one naming a song would smuggle in
    // what the file checks never saw.
    test::makeTone(folder_ / "tone.wav", 2.0, {"-c:a", "pcm_s16le"});
    ASSERT_EQ(mkfifo((folder_ / "stalled.wav").c_str(), 0600), 0);
    for (const std::string named : {"tone.wav", "stalled.wav"}) {
        SCOPED_TRACE(named);
        const fs::path list = folder_ / (named + ".list.mp3");
        std::ofstream(list) << "ffconcat version 1.0\nfile " << named << "\n";
        const auto measured = test::resultWithin([&] { return converter_.GetFileTimeLength(list); },
                                                 {folder_ / "stalled.wav"});
        const auto converted = test::resultWithin(
            [&] { return converter_.xToMp2(list, folder_ / "list.mp2", cancel_); },
            {folder_ / "stalled.wav"});
        ASSERT_TRUE(measured.has_value() && converted.has_value()) << "blocked on the FIFO";
        EXPECT_EQ(*measured, 0);
        EXPECT_NE(*converted, 0);
        EXPECT_FALSE(fs::exists(folder_ / "list.mp2"));
    }
    // The list is one FFmpeg follows when left to itself: the refusal is ours.
    EXPECT_EQ(probe(folder_ / "tone.wav.list.mp3", "stream=codec_name"), "pcm_s16le");
}

// The sound of a file decoded by the ffmpeg program: 48 kHz mono samples.
std::vector<int16_t> decodedSamples(const fs::path& file) {
    fs::path raw = file;
    raw += ".raw";
    const auto decoded = runProgram({"ffmpeg", "-v", "error", "-y", "-i", file.string(), "-ac", "1",
                                     "-ar", "48000", "-f", "s16le", raw.string()});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    const std::vector<uint8_t> bytes = test::readBytes(raw);
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

struct LimitCase {
    const char* name;
    double sourceSeconds;
    ConversionLimit limit;
    double convertedSeconds;
    bool fadesOut;
};

const LimitCase kLimits[] = {
    {"cut and faded", 15, {10, 3}, 10, true},
    {"shorter than the cut", 6, {10, 3}, 6, false},
    {"cut without a fade", 15, {10, 0}, 10, false},
    {"cut between two seconds", 15, {9, 3, 500}, 9.5, true},
    {"a song longer than a menu loop", 130, {120, 3}, 120, true},
};

TEST_F(AudioConverterTest, ALimitCutsTheSoundAndFadesItsEndOut) {
    for (const LimitCase& c : kLimits) {
        SCOPED_TRACE(c.name);
        const fs::path source = folder_ / "tone.wav";
        const fs::path target = folder_ / "tone.mp2";
        test::makeTone(source, c.sourceSeconds, {"-c:a", "pcm_s16le"});
        ASSERT_EQ(converter_.xToMp2(source, target, cancel_, c.limit), 0) << logText();
        // Whole MP2 frames of 1152 samples: up to 24 ms beyond the cut.
        const double seconds = std::atof(probe(target, "format=duration").c_str());
        EXPECT_GE(seconds, c.convertedSeconds);
        EXPECT_LT(seconds, c.convertedSeconds + 0.03);

        const std::vector<int16_t> samples = decodedSamples(target);
        const double end = c.convertedSeconds;
        const double middle = loudness(samples, end / 2 - 0.5, end / 2 + 0.5);
        ASSERT_GT(middle, 1000);
        const double last = loudness(samples, end - 1, end);
        if (!c.fadesOut) {
            EXPECT_GT(last, 0.9 * middle);
            continue;
        }
        // Full until the fade, then quieter and quieter, nearly silent at
        // the end: no sudden drop that would be heard as a click.
        EXPECT_GT(loudness(samples, end - 4, end - 3), 0.95 * middle);
        EXPECT_LT(last, 0.25 * middle);
        double previous = loudness(samples, end - 3, end - 2.75);
        for (double at = end - 2.75; at < end; at += 0.25) {
            const double now = loudness(samples, at, at + 0.25);
            EXPECT_LT(now, previous) << "at " << at << " s";
            EXPECT_GT(now, 0.4 * previous - 100) << "at " << at << " s";
            previous = now;
        }
    }
}

}  // namespace
}  // namespace velmora
