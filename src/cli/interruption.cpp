#include "cli/interruption.h"

#include <atomic>
#include <csignal>

namespace velmora::cli {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

}  // namespace

void catchInterruptions() {
    interrupted = false;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool interruptRequested() {
    return interrupted;
}

}  // namespace velmora::cli
