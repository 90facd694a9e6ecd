#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace velmora {

// Prepares the environment for a QGuiApplication that draws without a
// screen (the command-line builder, the resource generator, tests): the
// offscreen platform unless another is asked for, and a private runtime
// folder, without which Qt warns at every start.
inline void prepareHeadlessQt() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        const std::string runtime = "/tmp/velmora-runtime-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
}

}  // namespace velmora
