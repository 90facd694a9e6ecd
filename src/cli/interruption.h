#pragma once

namespace velmora::cli {

// SIGINT, SIGTERM and SIGHUP ask the running command to stop as a cancel
// would; SIGXFSZ is ignored, so a file grown past the size limit is a
// write error with a message instead of a silent death. Installed once,
// at the start of a command.
void catchInterruptions();

// Whether one of those signals has arrived since catchInterruptions().
bool interruptRequested();

}  // namespace velmora::cli
