#pragma once

// Where the groups of pictures of a video stream begin, as ffprobe decodes
// it: the display positions of its intra pictures.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace velmora::test {

inline std::vector<int> intraFrames(const std::filesystem::path& stream) {
    const ProgramResult probed = runProgram(
        {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "frame=pict_type",
         "-of", "default=noprint_wrappers=1:nokey=1", stream.string()});
    std::vector<int> intra;
    std::istringstream lines(probed.output);
    int frame = 0;
    for (std::string line; std::getline(lines, line);) {
        // Side data of a frame comes on lines of its own.
        if (line != "I" && line != "P" && line != "B") continue;
        if (line == "I") intra.push_back(frame);
        ++frame;
    }
    return intra;
}

}  // namespace velmora::test
