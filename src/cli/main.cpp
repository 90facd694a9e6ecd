// velmora-cli: makes a DVD folder from picture folders, a saved project or
// the shipped samples, without the desktop program.

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    // Menu texts are drawn with Qt's fonts; no display is needed for that.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto parsed = velmora::cli::parseArguments(arguments, &error);
    if (!parsed) {
        std::cerr << "velmora-cli: " << error << "\n\n" << velmora::cli::usageText();
        return 1;
    }
    return velmora::cli::runCommand(*parsed);
}
