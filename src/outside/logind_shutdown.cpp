#include "outside/logind_shutdown.h"

#include <chrono>
#include <thread>

#include "base/log.h"
#include "outside/child_process.h"

namespace velmora {

bool LogindShutdown::countdown(std::string_view text, int seconds) {
    log_.writeLog(std::string(text));
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return true;
}

bool LogindShutdown::powerOff() {
    ChildJob job;
    // PowerOff(interactive = true): polkit may still ask the user.
    job.arguments = {"busctl",
                     "call",
                     "org.freedesktop.login1",
                     "/org/freedesktop/login1",
                     "org.freedesktop.login1.Manager",
                     "PowerOff",
                     "b",
                     "true"};
    job.onLine = [this](std::string_view line) { log_.writeLog("busctl: " + std::string(line)); };
    const ChildResult result = runChildProcess(job);
    if (result.succeeded()) return true;
    log_.writeLog("Power-off refused: " + childEndingText(result));
    return false;
}

}  // namespace velmora
