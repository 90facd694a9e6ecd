#pragma once

#include "cli/cli_arguments.h"

namespace velmora::cli {

// Runs one command; the result is the program's exit status (0 done, 2
// cancelled, 1 or an outside program's code when it failed). Failures are
// told on standard error in one line.
int runCommand(const CliArguments& arguments);

}  // namespace velmora::cli
