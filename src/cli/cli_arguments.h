#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

// What one command line asks for.
struct CliArguments {
    enum class Command { Make, Build, Demo, Burn, Devices, Help };
    Command command = Command::Help;

    std::vector<std::filesystem::path> pictureFolders;  // make
    std::vector<std::filesystem::path> music;           // make: every slideshow's soundtrack
    std::filesystem::path menuMusic;
    std::optional<int> theme;
    // --pal or --ntsc, --wide or --narrow. Unset: make takes the settings'
    // standard and 4:3, build the project's own format.
    std::optional<bool> pal;
    std::optional<bool> wide;
    std::optional<int> displaySeconds;
    std::optional<int> transitionSeconds;
    bool randomEffects = false;
    std::optional<std::string> title;
    std::filesystem::path output;       // receives VIDEO_TS
    std::filesystem::path saveProject;  // make: also save the project here
    std::filesystem::path project;      // build
    std::filesystem::path iso;          // make, build, demo: also write this ISO image
    bool force = false;                 // with --iso: it may replace a file that is no ISO image
    std::filesystem::path burnFolder;   // burn: the folder holding VIDEO_TS
    std::string device;                 // burn: the writer
    std::optional<int> speed;           // burn: KB/s
    // burn, --iso: the volume label; unset, the disc is named after its menu
    // title, its project or (burn) its folder.
    std::optional<std::string> label;
};

// Reads the arguments after the program name. Nothing, with *error saying
// what is wrong, when they do not make a command.
std::optional<CliArguments> parseArguments(const std::vector<std::string>& arguments,
                                           std::string* error);

// The usage text printed by "help" and after a mistake.
const char* usageText();

}  // namespace velmora::cli
