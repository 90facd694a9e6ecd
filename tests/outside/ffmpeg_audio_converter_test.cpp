#include "outside/ffmpeg_audio_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "core/event.h"
#include "core/log.h"
#include "image/picture_fixtures.h"
#include "support/run_program.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::runProgram;

// Makes a sound file with the ffmpeg program: a tone of `seconds` seconds.
void makeTone(const fs::path& file, double seconds, std::vector<std::string> encoding,
              const std::string& channels = "stereo", int rate = 44100) {
    std::vector<std::string> arguments = {"ffmpeg",
                                          "-v",
                                          "error",
                                          "-y",
                                          "-f",
                                          "lavfi",
                                          "-i",
                                          "sine=frequency=440:sample_rate=" + std::to_string(rate) +
                                              ":duration=" + std::to_string(seconds),
                                          "-af",
                                          "aformat=channel_layouts=" + channels};
    arguments.insert(arguments.end(), encoding.begin(), encoding.end());
    arguments.push_back(file.string());
    const auto result = runProgram(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

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
        makeTone(source, sound.seconds, sound.encoding, sound.channels, sound.rate);
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
    makeTone(folder_ / "a.mp3", 2.0, {"-c:a", "libmp3lame"});
    makeTone(folder_ / "b.wav", 3.0, {"-c:a", "pcm_s16le"}, "mono", 22050);
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
    makeTone(folder_ / "long.mp3", 6.0, {"-c:a", "libmp3lame"});
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
    makeTone(folder_ / "a.wav", 2.0, {"-c:a", "pcm_s16le"});
    cancel_.set();
    EXPECT_EQ(converter_.xToMp2(folder_ / "a.wav", folder_ / "a.mp2", cancel_), 2);
    EXPECT_FALSE(fs::exists(folder_ / "a.mp2"));
    EXPECT_FALSE(fs::exists(folder_ / "a.mp2.partial"));
    cancel_.reset();

    EXPECT_EQ(converter_.xToMp2(folder_ / "a.wav", folder_ / "no" / "a.mp2", cancel_), -1);
    EXPECT_NE(logText().find("a.wav"), std::string::npos);
}

}  // namespace
}  // namespace velmora
