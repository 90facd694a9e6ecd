#pragma once

#include <string>

#include "interfaces/authoring_library.h"

namespace velmora {

class Log;

// The authoring library on dvdauthor, run as a child process:
// "dvdauthor -o OUTPUT -x SCRIPT". Its messages go to the log line by line
// (its progress lines excepted); its progress lines drive the job's
// progress, measured against the sizes of the program streams the script
// names. A run that fails or is cancelled leaves no VIDEO_TS files behind.
class DvdauthorAuthoring final : public AuthoringLibrary {
  public:
    // program: a path, or a name looked up in PATH.
    explicit DvdauthorAuthoring(const Log& log, std::string program = "dvdauthor");
    int dvdauthor(const AuthorJob& job) override;

  private:
    const Log& log_;
    std::string program_;
};

}  // namespace velmora
