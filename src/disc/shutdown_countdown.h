#pragma once

#include <functional>

namespace velmora {

class Shutdown;

// After a build or a burn the user asked to power off after: the
// countdown, then the project saved (without a message), then the
// power-off. Nothing when the user cancels the countdown or there is no
// shutdown service.
void runShutdownCountdown(Shutdown* shutdown, const std::function<bool()>& saveProject);

}  // namespace velmora
