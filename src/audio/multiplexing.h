#pragma once

#include <filesystem>
#include <functional>

namespace velmora {

class Event;
class MultiplexerLibrary;

// One menu page's video and the menu soundtrack, joined into the page's
// program stream.
struct MuxJob {
    std::filesystem::path videoPath;     // the page's video elementary stream
    std::filesystem::path audioPath;     // the menu soundtrack (MP2)
    std::filesystem::path outputPath;    // the page's program stream
    const Event* cancelEvent = nullptr;  // the build's; not consulted here
    std::function<void(int)> progress;   // the build's; not called here
};

// 0 when the program stream was written; 1 without a multiplexer; the
// multiplexer's error code otherwise.
int multiplexStream(const MuxJob& job, MultiplexerLibrary* multiplexer);

}  // namespace velmora
