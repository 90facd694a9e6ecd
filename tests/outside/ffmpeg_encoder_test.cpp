#include "outside/ffmpeg_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "base/log.h"
#include "support/file_size_limit.h"
#include "support/intra_frames.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::runProgram;

std::string probe(const fs::path& file, const std::string& stream, const std::string& entry,
                  bool countFrames = false) {
    std::vector<std::string> arguments = {"ffprobe", "-v", "error", "-select_streams", stream};
    if (countFrames) arguments.push_back("-count_frames");
    arguments.insert(arguments.end(), {"-show_entries", entry, "-of",
                                       "default=noprint_wrappers=1:nokey=1", file.string()});
    std::string value = runProgram(arguments).output;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
        value.pop_back();
    return value;
}

// A frame of the DVD size, grey with a bright band so the encoder has work.
SharedVideoFrame bandedFrame(VideoFormat format) {
    auto frame = std::make_shared<VideoFrame>(720, format.dvdFrameHeight());
    std::memset(frame->y(), 128, frame->bytes());
    for (int y = frame->height() / 3; y < frame->height() / 2; ++y) {
        for (int x = 0; x < frame->width(); ++x)
            frame->y()[y * frame->lumaStride() + x] = uint8_t(200 + x % 30);
    }
    return frame;
}

class FfmpegEncoderTest : public ::testing::Test {
  protected:
    FfmpegEncoderTest() {
        const auto made =
            runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                        "sine=frequency=440:sample_rate=48000:duration=6", "-ac", "2", "-c:a",
                        "mp2", "-b:a", "224k", "-f", "mp2", (folder_ / "slideshow.mp2").string()});
        EXPECT_EQ(made.exitCode, 0) << made.output;
    }
    std::string logText() {
        std::ifstream in(log_.file());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    FfmpegEncoder encoder_{log_};
};

TEST_F(FfmpegEncoderTest, ProgramStreamsForBothStandards) {
    struct Case {
        bool isPal, isWide;
        int frames;
        const char *height576, *rate, *aspect, *sound;
        int askedGroupStart;  // the frame a new group is asked for
        // Where asked, and wherever a group would outgrow 15 (PAL) or 18
        // (NTSC) frames.
        std::vector<int> groupStarts;
    };
    const Case cases[] = {
        {true, false, 50, "576", "25/1", "4:3", "mp2", 20, {0, 15, 20, 35}},
        {false, true, 60, "480", "30000/1001", "16:9", "ac3", 40, {0, 18, 36, 40, 58}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sound);
        const fs::path output = folder_ / (std::string(c.sound) + ".mpg");
        const VideoFormat format{c.isPal ? TvStandard::Pal : TvStandard::Ntsc,
                                 c.isWide ? AspectRatio::Wide : AspectRatio::Standard};
        ASSERT_EQ(encoder_.initVobEncoder(folder_ / "slideshow.mp2", output, format), 0)
            << logText();
        const SharedVideoFrame frame = bandedFrame(format);
        for (int i = 0; i < c.frames; ++i) {
            if (i == c.askedGroupStart) encoder_.startGroupAtNextFrame();
            ASSERT_EQ(encoder_.EncOneFrame(frame), 0);
        }
        ASSERT_EQ(encoder_.closeEncoder(), 0) << logText();
        EXPECT_FALSE(fs::exists(output.string() + ".partial"));
        EXPECT_EQ(test::intraFrames(output), c.groupStarts);

        EXPECT_EQ(probe(output, "v:0", "stream=codec_name"), "mpeg2video");
        EXPECT_EQ(probe(output, "v:0", "stream=width"), "720");
        EXPECT_EQ(probe(output, "v:0", "stream=height"), c.height576);
        EXPECT_EQ(probe(output, "v:0", "stream=r_frame_rate"), c.rate);
        EXPECT_EQ(probe(output, "v:0", "stream=display_aspect_ratio"), c.aspect);
        EXPECT_EQ(probe(output, "v:0", "stream=nb_read_frames", true), std::to_string(c.frames));
        EXPECT_EQ(probe(output, "a:0", "stream=codec_name"), c.sound);
        // The sound is cut at the end of the two seconds of video.
        const auto decoded =
            runProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                        "packet=pts_time,duration_time", "-of", "csv=p=0", output.string()});
        double end = 0;
        for (size_t at = 0; at < decoded.output.size();) {
            const size_t line = decoded.output.find('\n', at);
            const std::string row = decoded.output.substr(at, line - at);
            const size_t comma = row.find(',');
            if (comma != std::string::npos) {
                end = std::max(end, std::atof(row.c_str()) + std::atof(row.c_str() + comma + 1));
            }
            at = line == std::string::npos ? decoded.output.size() : line + 1;
        }
        const double videoSeconds = c.isPal ? 2.0 : 60 * 1001.0 / 30000;
        EXPECT_NEAR(end - std::atof(probe(output, "a:0", "stream=start_time").c_str()),
                    videoSeconds, 0.1);

        // dvdauthor takes it as a title.
        setenv("VIDEO_FORMAT", c.isPal ? "PAL" : "NTSC", 1);
        const fs::path dvd = folder_ / (std::string("dvd-") + c.sound);
        const auto title = runProgram({"dvdauthor", "-o", dvd.string(), "-t", output.string()});
        EXPECT_EQ(title.exitCode, 0) << title.output;
        const auto toc = runProgram({"dvdauthor", "-o", dvd.string(), "-T"});
        EXPECT_EQ(toc.exitCode, 0) << toc.output;
        unsetenv("VIDEO_FORMAT");  // the other tests of this program run without it
    }
}

// The first frame of every group, from the group headers' time codes
// (hours, minutes, seconds and pictures at `framesPerSecond`).
std::vector<int> groupTimeCodes(const fs::path& stream, int framesPerSecond) {
    std::ifstream in(stream, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::vector<int> frames;
    for (size_t i = 0; i + 8 <= bytes.size(); ++i) {
        if (bytes.compare(i, 4, std::string("\0\0\1\xB8", 4)) != 0) continue;
        uint32_t word = 0;
        for (size_t b = 4; b < 8; ++b)
            word = word << 8 | uint8_t(bytes[i + b]);
        const int seconds = int((word >> 26 & 31) * 3600 + (word >> 20 & 63) * 60 + (word >> 13 & 63));
        frames.push_back(seconds * framesPerSecond + int(word >> 7 & 63));
    }
    return frames;
}

TEST_F(FfmpegEncoderTest, AStillEncodesOneGroupAndRepeatsIt) {
    struct Case {
        VideoFormat format;
        int frames;
        std::vector<int> groupStarts;  // a short first group, then whole ones
    };
    const Case cases[] = {
        {kPalStandard, 100, {0, 10, 25, 40, 55, 70, 85}},
        {kNtscStandard, 64, {0, 10, 28, 46}},
        {kPalStandard, 60, {0, 15, 30, 45}},  // no short group
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        const fs::path still = folder_ / "page.m2v";
        ASSERT_EQ(encoder_.initEncoder(still, c.format), 0);
        std::vector<int> progress;
        ASSERT_EQ(encoder_.encodeStillFrames(bandedFrame(c.format), c.frames,
                                             [&](int done) {
                                                 progress.push_back(done);
                                                 return true;
                                             }),
                  0);
        ASSERT_EQ(encoder_.closeEncoder(), 0);
        EXPECT_EQ(progress.back(), c.frames);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_EQ(probe(still, "v:0", "stream=nb_read_frames", true), std::to_string(c.frames));
        EXPECT_EQ(test::intraFrames(still), c.groupStarts);
        EXPECT_EQ(groupTimeCodes(still, c.format.framesPerSecond()), c.groupStarts);
        // The copies decode without a complaint: whole groups, nothing
        // pointing outside them.
        const auto decoded =
            runProgram({"ffmpeg", "-v", "error", "-i", still.string(), "-f", "null", "-"});
        EXPECT_EQ(decoded.exitCode, 0);
        EXPECT_EQ(decoded.output, "");
    }
}

TEST_F(FfmpegEncoderTest, StillVideoAndFailures) {
    const fs::path still = folder_ / "page.m2v";
    ASSERT_EQ(encoder_.initEncoder(still, kPalStandard), 0);
    const SharedVideoFrame frame = bandedFrame(kPalStandard);
    for (int i = 0; i < 25; ++i)
        ASSERT_EQ(encoder_.EncOneFrame(frame), 0);
    ASSERT_EQ(encoder_.closeEncoder(), 0);
    EXPECT_EQ(probe(still, "v:0", "stream=nb_read_frames", true), "25");

    const fs::path output = folder_ / "broken.mpg";
    EXPECT_NE(encoder_.initVobEncoder(folder_ / "absent.mp2", output, kPalStandard), 0);
    EXPECT_NE(encoder_.EncOneFrame(frame), 0);
    EXPECT_NE(encoder_.closeEncoder(), 0);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(output.string() + ".partial"));
    EXPECT_NE(logText().find("absent.mp2"), std::string::npos);

    EXPECT_NE(encoder_.initEncoder(folder_ / "no" / "page.m2v", kPalStandard), 0);
    EXPECT_NE(encoder_.closeEncoder(), 0);

    // A disk that fills up during the encode: the write fails, the encode
    // reports it and no file is presented as finished. (A file-size limit
    // makes writes fail as a full disk does.)
    {
        auto noise = std::make_shared<VideoFrame>(720, 576);
        uint32_t state = 1;
        for (size_t i = 0; i < noise->bytes(); ++i)
            noise->y()[i] = uint8_t((state = state * 1664525u + 1013904223u) >> 24);
        const fs::path full = folder_ / "full.m2v";
        ASSERT_EQ(encoder_.initEncoder(full, kPalStandard), 0);
        int failures = 0;
        {
            const test::FileSizeLimit limit(256 * 1024);
            for (int i = 0; i < 50; ++i)
                failures += encoder_.EncOneFrame(noise) != 0;
            failures += encoder_.closeEncoder() != 0;
        }
        EXPECT_GT(failures, 0);
        EXPECT_FALSE(fs::exists(full));
        EXPECT_FALSE(fs::exists(full.string() + ".partial"));
        EXPECT_NE(logText().find("full.m2v"), std::string::npos);
    }

    // An encoder dropped in the middle of an encode leaves nothing behind.
    {
        FfmpegEncoder abandoned(log_);
        ASSERT_EQ(abandoned.initEncoder(folder_ / "half.m2v", kPalStandard), 0);
        ASSERT_EQ(abandoned.EncOneFrame(frame), 0);
    }
    EXPECT_FALSE(fs::exists(folder_ / "half.m2v"));
    EXPECT_FALSE(fs::exists(folder_ / "half.m2v.partial"));
}

}  // namespace
}  // namespace velmora
