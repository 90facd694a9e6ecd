#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// One audio file of a slideshow's soundtrack (or of the menu music).
struct AudioTrack {
    std::filesystem::path sourcePath;   // the file (the default music when the file is gone)
    std::string fileName;               // name of the file given, with extension
    std::filesystem::path tempMp2Path;  // where its MP2 conversion goes
    int startSeconds = 0;
    std::string startText = "00:00:00";
    int durationSeconds = 0;
    std::string durationText = "00:00:00";
};

}  // namespace velmora
