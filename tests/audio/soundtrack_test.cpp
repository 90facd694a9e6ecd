#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/soundtrack_assembly.h"
#include "audio/track_conversion.h"
#include "base/event.h"
#include "base/log.h"
#include "base/path_text.h"
#include "interfaces/audio_converter.h"
#include "model/audio_track.h"
#include "outside/ffmpeg_audio_converter.h"
#include "outside/special_file_fixtures.h"
#include "support/file_size_limit.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(SoundtrackCounts, LoopRepetitionsAndSilenceClips) {
    struct Case {
        int video, music, repetitions, clips;
    };
    const Case cases[] = {
        {100, 60, 5, 6},    // 280 / 60 + 1; 40 / 9 + 2
        {100, 130, 4, -1},  // more music than video: no silence
        {100, 100, 5, 2},   // as long as the video
        {70, 30, 6, 6},     // (70 + 90) / 30 + 1
        {110, 30, 7, 10},   // the pad-mode total of 40 s and 70 s slideshows
        {45, 0, 0, 7},      // no music: only silence, 45 / 9 + 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.video) + "/" + std::to_string(c.music));
        EXPECT_EQ(loopRepetitions(c.video, c.music), c.repetitions);
        EXPECT_EQ(silenceClips(c.video, c.music), c.clips);
    }
}

// Writes a track's "conversion": its file name, so the join can be read back.
class NamingConverter final : public AudioConverterLibrary {
  public:
    int GetFileTimeLength(const fs::path&) override { return 0; }
    int xToMp2(const fs::path& source, const fs::path& target, const Event&,
               const ConversionLimit& limit) override {
        ++calls;
        limits.push_back(limit);
        if (calls == failAt) return 5;
        if (calls == cancelAt && cancel != nullptr) cancel->set();
        if (!skipWriting) writeFile(target, source.filename().string() + ";");
        return 0;
    }
    int calls = 0, failAt = -1, cancelAt = -1;
    std::vector<ConversionLimit> limits;
    bool skipWriting = false;
    Event* cancel = nullptr;
};

class SoundtrackTest : public ::testing::Test {
  protected:
    SoundtrackTest() {
        writeFile(folder_ / "silent.mp2", "_");
        cover_.silenceClip = folder_ / "silent.mp2";
        cover_.framesPerSecond = 25;
        job_.tracks = &tracks_;
        job_.outputPath = folder_ / "slideshow.mp2";
        job_.cancelEvent = &cancel_;
    }
    void addTrack(const std::string& name, int seconds) {
        AudioTrack track;
        track.sourcePath = folder_ / name;
        track.tempMp2Path = folder_ / (name + ".mp2");
        track.durationSeconds = seconds;
        tracks_.push_back(track);
    }
    std::string logText() const { return contentsOf(log_.file()); }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    std::vector<AudioTrack> tracks_;
    SoundtrackCover cover_;
    SoundtrackJob job_;
    Event cancel_;
    NamingConverter converter_;
};

TEST_F(SoundtrackTest, LoopRepeatsTheListPadAddsSilence) {
    addTrack("a", 20);
    addTrack("b", 40);
    cover_.longestSlideshowFrames = 100 * 25;
    cover_.projectFrames = 100 * 25;
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    EXPECT_EQ(contentsOf(job_.outputPath), "a;b;a;b;a;b;a;b;a;b;");
    EXPECT_NE(logText().find("video time:280, audio loop time:5, audio length:60"),
              std::string::npos);
    EXPECT_NE(logText().find("convering mp3 file " + (folder_ / "a").string()), std::string::npos);
    EXPECT_NE(logText().find("converted mp3 file resault: 0"), std::string::npos);
    EXPECT_NE(logText().find("end join all mp2 file"), std::string::npos);
    EXPECT_FALSE(fs::exists(tracks_[0].tempMp2Path));  // deleted after the join

    cover_.loopAudio = false;
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    EXPECT_EQ(contentsOf(job_.outputPath), "a;b;______");  // 40 / 9 + 2 clips

    // Loop mode without any music: the silence of pad mode, not a division
    // by zero.
    tracks_.clear();
    cover_.loopAudio = true;
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    EXPECT_EQ(contentsOf(job_.outputPath), std::string(100 / 9 + 2, '_'));
}

TEST_F(SoundtrackTest, TracksNamedAlikeKeepTheirOwnTemporaryFiles) {
    // Two songs of one name from different folders, and one named like the
    // soundtrack itself: each is joined, none overwrites another.
    addTrack("a", 20);
    addTrack("a", 20);
    tracks_[1].sourcePath = folder_ / "other" / "a";
    addTrack("slideshow", 20);
    tracks_[2].tempMp2Path = job_.outputPath;
    cover_.longestSlideshowFrames = 60 * 25;
    cover_.loopAudio = false;
    cover_.projectFrames = 60 * 25;
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    EXPECT_EQ(contentsOf(job_.outputPath), "a;a;slideshow;__");
    EXPECT_EQ(tracks_[2].tempMp2Path, job_.outputPath);  // the model's names stay
}

TEST_F(SoundtrackTest, FailuresAndCancel) {
    addTrack("a", 20);
    addTrack("b", 40);
    EXPECT_EQ(buildSoundtrack(job_, cover_, nullptr, log_), 1);
    EXPECT_NE(logText().find("Load audio converter module error"), std::string::npos);

    converter_.failAt = 2;  // the converter's own code, the first file kept
    EXPECT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 5);
    EXPECT_TRUE(fs::exists(tracks_[0].tempMp2Path));
    EXPECT_FALSE(fs::exists(job_.outputPath));

    converter_ = NamingConverter{};
    converter_.cancel = &cancel_;
    converter_.cancelAt = 1;  // after the track in hand
    EXPECT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 2);
    EXPECT_EQ(converter_.calls, 1);
    cancel_.reset();

    // A converted file that has gone: 1, with the file named in the log.
    converter_ = NamingConverter{};
    converter_.skipWriting = true;
    fs::remove(tracks_[0].tempMp2Path);
    EXPECT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 1);
    EXPECT_NE(logText().find("a.mp2"), std::string::npos);

    converter_ = NamingConverter{};
    job_.outputPath = folder_ / "no such folder" / "slideshow.mp2";
    EXPECT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 1);
}

TEST_F(SoundtrackTest, AFullDiskIsAFailure) {
    // A long silence clip and a file-size limit: writes fail as on a full disk.
    writeFile(cover_.silenceClip, std::string(64 * 1024, '_'));
    cover_.loopAudio = false;
    cover_.projectFrames = 100 * 25;
    int result = 0;
    {
        const test::FileSizeLimit limit(100 * 1024);
        result = buildSoundtrack(job_, cover_, &converter_, log_);
    }
    EXPECT_EQ(result, 1);
    EXPECT_NE(logText().find("cannot write"), std::string::npos);
}

// The limits the converter was given, as (maxSeconds, fadeOutSeconds) pairs.
std::vector<std::pair<int, int>> limitsOf(const NamingConverter& converter) {
    std::vector<std::pair<int, int>> pairs;
    for (const ConversionLimit& limit : converter.limits)
        pairs.emplace_back(limit.maxSeconds, limit.fadeOutSeconds);
    return pairs;
}

TEST_F(SoundtrackTest, AMusicLimitConvertsTheTracksOnlyAsFarAsTheCut) {
    addTrack("a", 50);
    addTrack("b", 50);
    addTrack("c", 50);
    addTrack("d", 10);
    cover_.longestSlideshowFrames = cover_.projectFrames = 200 * 25;
    job_.musicLimit = {120, 3};
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    // c is cut after 20 s and fades out there; d starts beyond the cut.
    EXPECT_EQ(limitsOf(converter_), (std::vector<std::pair<int, int>>{{120, 3}, {70, 3}, {20, 3}}));
    // The repetitions count the music as cut: (200 + 3 × 120) / 120 + 1.
    EXPECT_EQ(contentsOf(job_.outputPath), "a;b;c;a;b;c;a;b;c;a;b;c;a;b;c;");
    EXPECT_NE(logText().find("audio length:120"), std::string::npos);

    cover_.loopAudio = false;
    converter_ = NamingConverter{};
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    EXPECT_EQ(contentsOf(job_.outputPath), "a;b;c;__________");  // (200 − 120) / 9 + 2

    // Without a limit every track is converted whole.
    job_.musicLimit = {};
    converter_ = NamingConverter{};
    ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
    EXPECT_EQ(limitsOf(converter_), (std::vector<std::pair<int, int>>(4, {0, 0})));
    EXPECT_EQ(contentsOf(job_.outputPath), "a;b;c;d;______");  // (200 − 160) / 9 + 2
}

TEST_F(SoundtrackTest, DamagedLengthsNeitherOverflowNorAskForEndlessSilence) {
    struct Case {
        const char* name;
        std::vector<int> seconds;
        bool loop;
        int maxSeconds;
        std::string soundtrack;
    };
    const Case cases[] = {
        // Counted as no music: 100 / 9 + 2 clips, not billions.
        {"negative, pad", {-2000000000}, false, 0, "t0;" + std::string(13, '_')},
        {"negative, loop", {-2000000000}, true, 0, "t0;" + std::string(13, '_')},
        {"negative under a limit", {-5, 20}, false, 120, "t0;t1;" + std::string(10, '_')},
        // (100 + 3 × INT_MAX) / INT_MAX + 1 without an overflow on the way.
        {"huge, loop", {INT_MAX, INT_MAX}, true, 0, "t0;t1;t0;t1;t0;t1;t0;t1;"},
        {"huge, pad", {INT_MAX, INT_MAX}, false, 0, "t0;t1;"},
    };
    cover_.longestSlideshowFrames = cover_.projectFrames = 100 * 25;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tracks_.clear();
        for (size_t i = 0; i < c.seconds.size(); ++i)
            addTrack("t" + std::to_string(i), c.seconds[i]);
        cover_.loopAudio = c.loop;
        job_.musicLimit = {c.maxSeconds, 3};
        converter_ = NamingConverter{};
        ASSERT_EQ(buildSoundtrack(job_, cover_, &converter_, log_), 0);
        EXPECT_EQ(contentsOf(job_.outputPath), c.soundtrack);
    }
}

TEST_F(SoundtrackTest, ASilenceClipThatIsNoRegularFileFailsAtOnce) {
    std::vector<fs::path> fifos;
    std::optional<test::BoundSocket> socket;
    addTrack("a", 20);
    cover_.loopAudio = false;
    cover_.projectFrames = 60 * 25;
    for (const test::SpecialCase& special : test::kSpecialCases) {
        SCOPED_TRACE(special.name);
        cover_.silenceClip = folder_ / special.name;
        ASSERT_TRUE(test::makeSpecialFile(cover_.silenceClip, special.kind, &fifos, &socket));
        const auto result = test::resultWithin(
            [&] { return buildSoundtrack(job_, cover_, &converter_, log_); }, fifos);
        ASSERT_TRUE(result.has_value()) << "blocked on " << cover_.silenceClip;
        EXPECT_EQ(*result, 1);
        EXPECT_NE(
            logText().find("cannot read " + quotedPath(cover_.silenceClip) + ": " + special.reason),
            std::string::npos)
            << logText();
    }
}

TEST(SoundtrackFiles, AnMp3AWavAndAWmaJoinIntoOneCleanStream) {
    test::TemporaryFolder folder;
    const Log log(folder / "log.txt");
    FfmpegAudioConverter converter(log);
    std::vector<AudioTrack> tracks;
    const char* sources[][2] = {
        {"one.mp3", "libmp3lame"}, {"two.wav", "pcm_s16le"}, {"three.wma", "wmav2"}};
    for (const auto& [name, codec] : sources) {
        const auto made = test::runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                            "sine=frequency=440:sample_rate=44100:duration=3",
                                            "-ac", "2", "-c:a", codec, (folder / name).string()});
        ASSERT_EQ(made.exitCode, 0) << made.output;
        AudioTrack track;
        track.sourcePath = folder / name;
        track.tempMp2Path = folder / (std::string(name) + ".mp2");
        track.durationSeconds = converter.GetFileTimeLength(track.sourcePath);
        EXPECT_EQ(track.durationSeconds, 3) << name;
        tracks.push_back(track);
    }
    // The shipped silence clip is in the converter's format exactly.
    const fs::path silence = fs::path(VELMORA_TEST_RESOURCES) / "menu_pic" / "silent.mp2";
    const auto format = test::runProgram({"ffprobe", "-v", "error", "-show_entries",
                                          "stream=codec_name,sample_rate,channels,bit_rate", "-of",
                                          "csv=p=0", silence.string()});
    EXPECT_EQ(format.output, "mp2,48000,2,224000\n");

    SoundtrackJob job;
    job.tracks = &tracks;
    job.outputPath = folder / "slideshow.mp2";
    SoundtrackCover cover;
    cover.loopAudio = false;
    cover.framesPerSecond = 25;
    cover.projectFrames = 20 * 25;  // (20 − 9) / 9 + 2 = 3 silence clips
    cover.silenceClip = silence;
    ASSERT_EQ(buildSoundtrack(job, cover, &converter, log), 0) << contentsOf(log.file());

    // A track whose file was deleted since it was added: the converter's
    // code, and the file and the reason in the log.
    std::vector<AudioTrack> gone = {tracks[0]};
    gone[0].sourcePath = folder / "deleted.mp3";
    job.tracks = &gone;
    job.outputPath = folder / "other.mp2";
    EXPECT_NE(buildSoundtrack(job, cover, &converter, log), 0);
    EXPECT_NE(contentsOf(log.file()).find("deleted.mp3\" to MP2: "), std::string::npos);
    job.outputPath = folder / "slideshow.mp2";

    // It decodes end to end without a complaint, 9 s of music and 3 clips.
    const auto decoded = test::runProgram(
        {"ffmpeg", "-v", "error", "-i", job.outputPath.string(), "-f", "null", "-"});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.output, "");
    const auto duration =
        test::runProgram({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                          "csv=p=0", job.outputPath.string()});
    EXPECT_NEAR(std::stod(duration.output), 9 + 3 * 10.008, 0.2);
}

}  // namespace
}  // namespace velmora
