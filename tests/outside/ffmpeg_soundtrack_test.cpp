#include "outside/ffmpeg_soundtrack.h"

#include <gtest/gtest.h>

#include "base/path_text.h"
#include "outside/special_file_fixtures.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A DVD program stream being set up, for the soundtrack to add its stream to.
OutputFormatPtr programStream() {
    AVFormatContext* output = nullptr;
    avformat_alloc_output_context2(&output, nullptr, "dvd", nullptr);
    return OutputFormatPtr(output);
}

TEST(FfmpegSoundtrackTest, OnlyARegularFileIsTakenAsTheSoundtrack) {
    test::TemporaryFolder folder;
    std::vector<fs::path> fifos;
    std::optional<test::BoundSocket> socket;
    for (const test::SpecialCase& special : test::kSpecialCases) {
        SCOPED_TRACE(special.name);
        const fs::path file = folder / special.name;
        ASSERT_TRUE(test::makeSpecialFile(file, special.kind, &fifos, &socket));
        const OutputFormatPtr output = programStream();
        ASSERT_TRUE(output);
        for (const bool toAc3 : {false, true}) {
            FfmpegSoundtrack sound;
            const auto opened =
                test::resultWithin([&] { return sound.open(output.get(), file, toAc3); }, fifos);
            ASSERT_TRUE(opened.has_value()) << "blocked on " << file;
            EXPECT_FALSE(*opened);
            EXPECT_EQ(sound.errorCode(), 1);
            EXPECT_EQ(sound.error(),
                      "the soundtrack " + quotedPath(file) + " cannot be read: " + special.reason);
        }
    }

    // What the converter writes is taken, both ways.
    const fs::path soundtrack = folder / "menu.mp2";
    const auto made =
        test::runProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=d=1", "-ac", "2",
                          "-ar", "48000", "-c:a", "mp2", "-f", "mp2", soundtrack.string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    for (const bool toAc3 : {false, true}) {
        const OutputFormatPtr output = programStream();
        FfmpegSoundtrack sound;
        EXPECT_TRUE(sound.open(output.get(), soundtrack, toAc3)) << sound.error();
        EXPECT_EQ(output->nb_streams, 1u);
    }
}

}  // namespace
}  // namespace velmora
