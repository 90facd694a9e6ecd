#include "audio/multiplexing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/log.h"
#include "interfaces/video_format.h"
#include "outside/ffmpeg_encoder.h"
#include "outside/ffmpeg_multiplexer.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"
#include "support/video_frames.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string probe(const fs::path& file, const char* stream, const char* entry) {
    const auto result =
        test::runProgram({"ffprobe", "-v", "error", "-select_streams", stream, "-show_entries",
                          entry, "-of", "default=noprint_wrappers=1:nokey=1", file.string()});
    return result.output.substr(0, result.output.find('\n'));
}

// Where a stream's last packet ends, in seconds from the stream's start.
double streamEnd(const fs::path& file, const char* stream) {
    const auto packets =
        test::runProgram({"ffprobe", "-v", "error", "-select_streams", stream, "-show_entries",
                          "packet=pts_time,duration_time", "-of", "csv=p=0", file.string()});
    double first = -1, end = 0;
    std::istringstream lines(packets.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t comma = line.find(',');
        if (comma == std::string::npos) continue;
        const double pts = std::atof(line.c_str());
        if (first < 0) first = pts;
        end = std::max(end, pts + std::atof(line.c_str() + comma + 1));
    }
    return end - first;
}

class MultiplexingTest : public ::testing::Test {
  protected:
    // A menu page's still video of `seconds`, as the menu build makes it.
    fs::path stillVideo(const std::string& name, bool isPal, int seconds) {
        const fs::path video = folder_ / (name + ".m2v");
        FfmpegEncoder encoder(log_);
        const VideoFormat format = isPal ? kPalStandard : kNtscStandard;
        EXPECT_EQ(encoder.initEncoder(video, format), 0);
        const SharedVideoFrame frame = test::uniformFrame(format, uint8_t(60 + name.size()));
        for (int i = 0; i < seconds * format.framesPerSecond(); ++i)
            EXPECT_EQ(encoder.EncOneFrame(frame), 0);
        EXPECT_EQ(encoder.closeEncoder(), 0);
        return video;
    }

    test::TemporaryFolder folder_;
    Log log_{folder_ / "log.txt"};
    FfmpegMultiplexer multiplexer_{log_};
};

TEST_F(MultiplexingTest, PagesShareOneLongerSoundtrackCutAtTheirEnd) {
    const fs::path music = folder_ / "menu.mp2";
    const auto made =
        test::runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                          "sine=frequency=330:sample_rate=48000:duration=10", "-ac", "2", "-c:a",
                          "mp2", "-b:a", "224k", "-f", "mp2", music.string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    // A transparent subpicture, for spumux.
    const fs::path highlight = folder_ / "highlight.png";
    ASSERT_EQ(test::runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                "color=c=black@0.0:s=720x576,format=rgba", "-frames:v", "1",
                                highlight.string()})
                  .exitCode,
              0);
    std::ofstream(folder_ / "spumux.xml")
        << "<subpictures><stream><spu force=\"yes\" start=\"00:00:00.00\" image=\""
        << highlight.string() << "\"/></stream></subpictures>\n";

    // Three pages, one soundtrack, three outputs.
    for (const std::string page : {"page1", "page2", "page3"}) {
        SCOPED_TRACE(page);
        MuxJob job;
        job.videoPath = stillVideo(page, true, 2);
        job.audioPath = music;
        job.outputPath = folder_ / (page + "NoInteract.MPG");
        ASSERT_EQ(multiplexStream(job, &multiplexer_), 0) << log_.file();
        EXPECT_FALSE(fs::exists(job.outputPath.string() + ".partial"));
        EXPECT_EQ(probe(job.outputPath, "v:0", "stream=codec_name"), "mpeg2video");
        EXPECT_EQ(probe(job.outputPath, "v:0", "stream=height"), "576");
        EXPECT_EQ(probe(job.outputPath, "a:0", "stream=codec_name"), "mp2");
        // The ten seconds of music end with the two seconds of video.
        EXPECT_NEAR(streamEnd(job.outputPath, "a:0"), 2.0, 0.1);
        // spumux takes it: the program stream in, the menu with its subpicture out.
        const fs::path withButtons = folder_ / (page + ".mpg");
        const auto spumux = test::runProgram({"sh", "-c", "spumux -m dvd \"$0\" < \"$1\" > \"$2\"",
                                              (folder_ / "spumux.xml").string(),
                                              job.outputPath.string(), withButtons.string()});
        EXPECT_EQ(spumux.exitCode, 0) << spumux.output;
        EXPECT_GT(fs::file_size(withButtons), fs::file_size(job.outputPath) / 2);
    }
    EXPECT_TRUE(fs::exists(music));  // the soundtrack is only read

    // NTSC pages carry AC-3.
    MuxJob ntsc;
    ntsc.videoPath = stillVideo("ntsc", false, 1);
    ntsc.audioPath = music;
    ntsc.outputPath = folder_ / "ntsc.MPG";
    ASSERT_EQ(multiplexStream(ntsc, &multiplexer_), 0);
    EXPECT_EQ(probe(ntsc.outputPath, "a:0", "stream=codec_name"), "ac3");
    EXPECT_NEAR(streamEnd(ntsc.outputPath, "a:0"), 1.0, 0.1);
}

TEST_F(MultiplexingTest, FailuresLeaveNoOutput) {
    MuxJob job;
    job.videoPath = stillVideo("page", true, 1);
    job.audioPath = folder_ / "absent.mp2";
    job.outputPath = folder_ / "out.MPG";
    EXPECT_EQ(multiplexStream(job, nullptr), 1);
    EXPECT_NE(multiplexStream(job, &multiplexer_), 0);
    EXPECT_FALSE(fs::exists(job.outputPath));
    EXPECT_FALSE(fs::exists(job.outputPath.string() + ".partial"));
    std::ifstream logFile(log_.file());
    const std::string logText(std::istreambuf_iterator<char>(logFile), {});
    EXPECT_NE(logText.find("absent.mp2"), std::string::npos);

    job.audioPath = job.videoPath;  // a video where the soundtrack should be
    job.videoPath = folder_ / "absent.m2v";
    EXPECT_NE(multiplexStream(job, &multiplexer_), 0);
    EXPECT_FALSE(fs::exists(job.outputPath));
}

}  // namespace
}  // namespace velmora
