#pragma once

#include <string>

#include "interfaces/subpicture_library.h"

namespace velmora {

class Log;

// The subpicture library on dvdauthor's spumux, run as a child process:
// "spumux -m dvd -s N script < input > output". spumux's messages go to the
// log line by line.
class SpumuxSubpicture final : public SubpictureLibrary {
  public:
    // program: a path, or a name looked up in PATH.
    explicit SpumuxSubpicture(const Log& log, std::string program = "spumux");
    int spumux(const SubpictureJob& job) override;

  private:
    const Log& log_;
    std::string program_;
};

}  // namespace velmora
