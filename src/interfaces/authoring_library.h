#pragma once

#include <filesystem>
#include <functional>

namespace velmora {

class Event;

// The authoring step of a build: the DVD file system from the authoring
// script.
struct AuthorJob {
    std::filesystem::path outputFolder;       // receives VIDEO_TS (and AUDIO_TS)
    std::filesystem::path scriptPath;         // the authoring script
    const Event* cancelEvent = nullptr;       // may be null
    std::function<void(int value)> progress;  // 0..65535, rising; may be empty
};

// Builds VIDEO_TS from an authoring script and the program streams it names.
class AuthoringLibrary {
  public:
    virtual ~AuthoringLibrary() = default;
    // 0 when VIDEO_TS was built; 1 when the program is missing or cannot
    // start (the reason is logged); 2 when cancelled; any other value is a
    // failure code, with the program's messages in the log.
    virtual int dvdauthor(const AuthorJob& job) = 0;
};

}  // namespace velmora
