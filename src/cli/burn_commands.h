#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "disc/iso_target.h"

namespace velmora {
class Application;
}

namespace velmora::cli {

// How a finished DVD folder is to be written.
struct BurnRequest {
    std::filesystem::path folder;     // holds VIDEO_TS (or is it)
    std::filesystem::path imageFile;  // an ISO image file instead of a disc
    std::string device;               // a writer's name or a part of it; the first when empty
    std::optional<int> speedKilobytesPerSecond;
    std::string label = "My DVD";
    bool force = false;  // an existing imageFile that is not an ISO image may be replaced
};

// Writes the folder to a disc or an image file through the burn engine,
// with a progress line; an interruption (interruptRequested(), from
// catchInterruptions()) aborts the write. An image file is checked first
// with isoTargetProblem() and is replaced only by a whole image. 0 written,
// 2 interrupted, 1 failed (with the reason on standard error).
int burnFolder(Application& app, const BurnRequest& request);

// Lists the DVD writers with their medium and speeds; says so plainly when
// there is none. Always 0.
int listDevices(Application& app);

}  // namespace velmora::cli
