#pragma once

// Sound files for tests: a 440 Hz tone made by the ffmpeg program in any
// format its encoder arguments ask for.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace velmora::test {

// A tone of `seconds` seconds written to `file` with the `encoding`
// arguments (e.g. {"-c:a", "libmp3lame"}).
inline void makeTone(const std::filesystem::path& file, double seconds,
                     const std::vector<std::string>& encoding,
                     const std::string& channels = "stereo", int rateHz = 44100) {
    std::vector<std::string> arguments = {
        "ffmpeg",
        "-v",
        "error",
        "-y",
        "-f",
        "lavfi",
        "-i",
        "sine=frequency=440:sample_rate=" + std::to_string(rateHz) +
            ":duration=" + std::to_string(seconds),
        "-af",
        "aformat=channel_layouts=" + channels};
    arguments.insert(arguments.end(), encoding.begin(), encoding.end());
    arguments.push_back(file.string());
    const ProgramResult result = runProgram(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

}  // namespace velmora::test
