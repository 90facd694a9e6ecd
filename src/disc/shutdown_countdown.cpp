#include "disc/shutdown_countdown.h"

#include "interfaces/shutdown.h"

namespace velmora {

void runShutdownCountdown(Shutdown* shutdown, const std::function<bool()>& saveProject) {
    if (shutdown == nullptr) return;
    const bool agreed = shutdown->countdown(
        "10s later will shutdown the computer!\nIf you do not want to shut down press cancel.", 10);
    if (!agreed) return;
    if (saveProject) saveProject();
    shutdown->powerOff();
}

}  // namespace velmora
