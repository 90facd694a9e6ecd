#pragma once

#include <string_view>

namespace velmora {

// Powering the computer off after a build or a burn, when the user asked
// for it. The desktop program shows the countdown as a dialog; tests use a
// fake and can never reach the real power-off.
class Shutdown {
  public:
    virtual ~Shutdown() = default;
    // Shows `text` for `seconds`; true when the time ran out or the user
    // agreed, false when the user cancelled.
    virtual bool countdown(std::string_view text, int seconds) = 0;
    // Asks the system to power off; false with a logged reason when it
    // refused.
    virtual bool powerOff() = 0;
};

}  // namespace velmora
