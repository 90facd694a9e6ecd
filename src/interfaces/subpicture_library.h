#pragma once

#include <filesystem>

#include "interfaces/video_format.h"

namespace velmora {

class Event;

// One menu page's subpictures: the button masks named by the subpicture
// script laid over the page's program stream.
struct SubpictureJob {
    std::filesystem::path input;   // the page's program stream without buttons
    std::filesystem::path output;  // the program stream with the subpicture stream added
    std::filesystem::path script;  // the page's subpicture script
    // The subpicture stream number, 0..31. A 16:9 menu carries two: 0 for
    // widescreen and 1 for letterbox.
    int streamId = 0;
    TvStandard standard = TvStandard::Pal;
    const Event* cancelEvent = nullptr;  // may be null
};

// Lays a menu page's button highlights over its program stream.
class SubpictureLibrary {
  public:
    virtual ~SubpictureLibrary() = default;
    // 0 when the output was written with the subpictures; 1 when the program
    // is missing or cannot start, or a file cannot be opened (the reason is
    // logged); 2 when cancelled; any other value is a failure code, with the
    // program's messages in the log. Only a successful run leaves the output
    // file behind.
    virtual int spumux(const SubpictureJob& job) = 0;
};

}  // namespace velmora
