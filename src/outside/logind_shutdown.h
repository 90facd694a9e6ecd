#pragma once

#include <string_view>

#include "interfaces/shutdown.h"

namespace velmora {

class Log;

// Powers off through logind's PowerOff call on the system bus (with
// busctl, so no bus library is linked). The countdown is the caller's:
// this one only waits, so a program without a window shuts down after the
// same pause.
class LogindShutdown final : public Shutdown {
  public:
    explicit LogindShutdown(const Log& log) : log_(log) {}
    bool countdown(std::string_view text, int seconds) override;
    bool powerOff() override;

  private:
    const Log& log_;
};

}  // namespace velmora
