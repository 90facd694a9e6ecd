#include "audio/converted_tracks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/soundtrack_assembly.h"
#include "base/event.h"
#include "base/log.h"
#include "model/audio_track.h"
#include "outside/ffmpeg_audio_converter.h"
#include "support/temporary_folder.h"
#include "support/tone_files.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// 224 kbit/s: what a conversion of a millisecond of sound takes.
constexpr int kBytesPerMillisecond = 28;
constexpr int kFrameBytes = 672;  // 1152 samples at 48 kHz

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

std::vector<fs::path> keptFilesIn(const fs::path& folder) {
    std::vector<fs::path> kept;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".kept") kept.push_back(entry.path());
    }
    return kept;
}

// A conversion made under one limit is what another limit would make only
// when neither cuts the music: the converter fades out what it cuts.
TEST(ConvertedTracks, AnotherLimitIsServedOnlyWhenNeitherCutsTheMusic) {
    struct Case {
        const char* name;
        ConversionLimit kept;
        int heldMilliseconds;
        ConversionLimit asked;
        bool reused;
    };
    const Case cases[] = {
        {"the same cut", {120, 3}, 120000, {120, 3}, true},
        {"short music under the menu's cut, whole for a slideshow", {120, 3}, 60000, {}, true},
        {"whole music under a longer cut", {}, 60000, {120, 3}, true},
        {"a cut beyond the music by a millisecond", {}, 60000, {60, 0, 1}, true},
        {"music the menu cut, whole for a slideshow", {120, 3}, 120000, {}, false},
        {"whole music under a shorter cut", {}, 60000, {30, 3}, false},
        {"music ending right at the cut", {}, 60000, {60, 0}, false},
        {"the same cut with another fade", {60, 1}, 60000, {60, 3}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryFolder folder;
        const fs::path source = folder / "music.mp3";
        writeFile(source, "music");
        const fs::path converted = folder / "music.mp2";
        writeFile(converted, std::string(size_t(c.heldMilliseconds) * kBytesPerMillisecond, 'm'));
        ConvertedTracks conversions;
        conversions.keep(source, *SourceState::of(source), c.kept, converted);
        const fs::path target = folder / "again.mp2";
        EXPECT_EQ(conversions.reuse(source, c.asked, target), c.reused);
        EXPECT_EQ(fs::exists(target), c.reused);
    }
}

TEST(ConvertedTracks, AKeptConversionOutlivesItsFileButNotAChangeOfTheSource) {
    test::TemporaryFolder folder;
    const fs::path source = folder / "music.mp3";
    writeFile(source, "music");
    const fs::path converted = folder / "music.mp2";
    const fs::path again = folder / "again.mp2";
    {
        ConvertedTracks conversions;
        writeFile(converted, "converted");
        conversions.keep(source, *SourceState::of(source), {}, converted);
        fs::remove(converted);  // as a soundtrack deletes it once joined
        ASSERT_TRUE(conversions.reuse(source, {}, again));
        EXPECT_EQ(contentsOf(again), "converted");
        EXPECT_FALSE(conversions.reuse(folder / "other.mp3", {}, again));

        // Touched or rewritten, it is another source.
        fs::last_write_time(source, fs::last_write_time(source) + std::chrono::seconds(1));
        EXPECT_FALSE(conversions.reuse(source, {}, again));
    }
    EXPECT_TRUE(keptFilesIn(folder.path()).empty());
}

// The real converter, counting its conversions.
class CountingConverter final : public AudioConverterLibrary {
  public:
    explicit CountingConverter(const Log& log) : real_(log) {}
    int GetFileTimeLength(const fs::path& file) override { return real_.GetFileTimeLength(file); }
    int xToMp2(const fs::path& source, const fs::path& target, const Event& cancel,
               const ConversionLimit& limit) override {
        ++conversions;
        return real_.xToMp2(source, target, cancel, limit);
    }
    int conversions = 0;

  private:
    FfmpegAudioConverter real_;
};

// The menu's and a slideshow's soundtracks of one music file, as a build
// makes them: the menu's under its two-minute cut, looped.
class SharedConversionTest : public ::testing::Test {
  protected:
    fs::path buildSoundtrackOf(const std::string& name, const ConversionLimit& limit,
                               ConvertedTracks* earlier) {
        std::vector<AudioTrack> tracks(1);
        tracks[0].sourcePath = music_;
        tracks[0].tempMp2Path = folder_ / "music.mp2";
        tracks[0].durationSeconds = converter_.GetFileTimeLength(music_);
        SoundtrackJob job;
        job.tracks = &tracks;
        job.outputPath = folder_ / name;
        job.musicLimit = limit;
        job.earlierConversions = earlier;
        SoundtrackCover cover;  // loop mode, no video: (0 + 3 × music) / music + 1 = 4 times
        EXPECT_EQ(buildSoundtrack(job, cover, &converter_, log_), 0);
        return job.outputPath;
    }
    static double secondsOf(const fs::path& soundtrack) {
        const auto bytes = fs::file_size(soundtrack);
        EXPECT_EQ(bytes % kFrameBytes, 0u);
        return double(bytes / kFrameBytes) * 1152 / 48000;
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    CountingConverter converter_{log_};
    fs::path music_ = folder_ / "music.mp3";
};

TEST_F(SharedConversionTest, SameMusicIsConvertedOnceAndAChangedFileAgain) {
    test::makeTone(music_, 4, {"-c:a", "libmp3lame"});
    {
        ConvertedTracks conversions;
        const fs::path menu = buildSoundtrackOf("menu.mp2", {120, 3}, &conversions);
        const fs::path slideshow = buildSoundtrackOf("slideshow.mp2", {}, &conversions);
        EXPECT_EQ(converter_.conversions, 1);
        EXPECT_NE(contentsOf(log_.file()).find("reusing this build's earlier conversion"),
                  std::string::npos);
        const fs::path unshared = buildSoundtrackOf("unshared.mp2", {}, nullptr);
        EXPECT_EQ(contentsOf(slideshow), contentsOf(unshared));
        EXPECT_EQ(contentsOf(menu), contentsOf(unshared));
        EXPECT_NEAR(secondsOf(slideshow), 4 * 4.0, 0.5);  // four times the music

        // Rewritten between the two soundtracks: converted again, its new length.
        test::makeTone(music_, 3, {"-c:a", "libmp3lame"});
        const int before = converter_.conversions;
        const fs::path changed = buildSoundtrackOf("changed.mp2", {}, &conversions);
        EXPECT_EQ(converter_.conversions, before + 1);
        EXPECT_NEAR(secondsOf(changed), 4 * 3.0, 0.5);
    }
    EXPECT_TRUE(keptFilesIn(folder_.path()).empty());
}

}  // namespace
}  // namespace velmora
