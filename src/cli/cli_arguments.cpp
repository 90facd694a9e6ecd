#include "cli/cli_arguments.h"

#include <charconv>

namespace velmora::cli {

namespace {

// Walks the arguments of one command.
class ArgumentReader {
  public:
    ArgumentReader(const std::vector<std::string>& arguments, std::string* error)
        : arguments_(arguments), error_(error) {}

    bool done() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    bool nextIsValue() const { return !done() && !arguments_[next_].starts_with("--"); }

    bool value(const std::string& option, std::string* value) {
        if (!nextIsValue()) return fail(option + " needs a value");
        *value = take();
        return true;
    }
    bool number(const std::string& option, int low, int high, std::optional<int>* result) {
        std::string text;
        if (!value(option, &text)) return false;
        int parsed = 0;
        const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), parsed);
        if (problem != std::errc() || end != text.data() + text.size() || parsed < low ||
            parsed > high) {
            return fail(option + " takes a whole number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", not \"" + text + "\"");
        }
        *result = parsed;
        return true;
    }
    bool paths(const std::string& option, std::vector<std::filesystem::path>* result) {
        if (!nextIsValue()) return fail(option + " needs at least one path");
        while (nextIsValue())
            result->push_back(take());
        return true;
    }
    bool fail(const std::string& message) {
        *error_ = message;
        return false;
    }

  private:
    const std::vector<std::string>& arguments_;
    std::string* error_;
    size_t next_ = 0;
};

bool readOption(ArgumentReader& reader, const std::string& option, CliArguments& result) {
    std::string text;
    if (option == "--pictures") return reader.paths(option, &result.pictureFolders);
    if (option == "--music") return reader.paths(option, &result.music);
    if (option == "--menu-music") {
        if (!reader.value(option, &text)) return false;
        result.menuMusic = text;
        return true;
    }
    if (option == "--theme") return reader.number(option, 0, 999, &result.theme);
    if (option == "--pal" || option == "--ntsc") {
        result.pal = option == "--pal";
        return true;
    }
    if (option == "--wide" || option == "--narrow") {
        result.wide = option == "--wide";
        return true;
    }
    if (option == "--display-time") return reader.number(option, 1, 200, &result.displaySeconds);
    if (option == "--transition-time")
        return reader.number(option, 1, 10, &result.transitionSeconds);
    if (option == "--random-effects") {
        result.randomEffects = true;
        return true;
    }
    if (option == "--title") {
        if (!reader.value(option, &text)) return false;
        result.title = text;
        return true;
    }
    if (option == "--output") {
        if (!reader.value(option, &text)) return false;
        result.output = text;
        return true;
    }
    if (option == "--iso") {
        if (!reader.value(option, &text)) return false;
        result.iso = text;
        return true;
    }
    if (option == "--force") {
        result.force = true;
        return true;
    }
    if (option == "--device") return reader.value(option, &result.device);
    if (option == "--speed") return reader.number(option, 1, 1000000, &result.speed);
    if (option == "--label") {
        if (!reader.value(option, &text)) return false;
        result.label = text;
        return true;
    }
    if (option == "--save") {
        if (!reader.value(option, &text)) return false;
        result.saveProject = text;
        return true;
    }
    return reader.fail("unknown option " + option);
}

// Which options each command takes.
bool allowedFor(CliArguments::Command command, const std::string& option) {
    using Command = CliArguments::Command;
    switch (command) {
        case Command::Burn:
            return option == "--device" || option == "--speed" || option == "--label";
        case Command::Devices:
            return false;
        case Command::Make:
            return option.starts_with("--") && option != "--device" && option != "--speed";
        default:
            return option == "--output" || option == "--iso" || option == "--force" ||
                   option == "--label" || (command == Command::Demo && option == "--save") ||
                   (command == Command::Build && (option == "--pal" || option == "--ntsc" ||
                                                  option == "--wide" || option == "--narrow"));
    }
}

}  // namespace

std::optional<CliArguments> parseArguments(const std::vector<std::string>& arguments,
                                           std::string* error) {
    CliArguments result;
    if (arguments.empty() || arguments[0] == "help" || arguments[0] == "--help") return result;
    const std::string& command = arguments[0];
    if (command == "make") {
        result.command = CliArguments::Command::Make;
    } else if (command == "build") {
        result.command = CliArguments::Command::Build;
    } else if (command == "demo") {
        result.command = CliArguments::Command::Demo;
    } else if (command == "burn") {
        result.command = CliArguments::Command::Burn;
    } else if (command == "devices") {
        result.command = CliArguments::Command::Devices;
    } else {
        *error = "unknown command \"" + command + "\"";
        return std::nullopt;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    ArgumentReader reader(rest, error);
    if (result.command == CliArguments::Command::Build) {
        if (!reader.nextIsValue()) {
            *error = "build needs the project file (.prg)";
            return std::nullopt;
        }
        result.project = reader.take();
    }
    if (result.command == CliArguments::Command::Burn) {
        if (!reader.nextIsValue()) {
            *error = "burn needs the folder that holds VIDEO_TS";
            return std::nullopt;
        }
        result.burnFolder = reader.take();
    }
    while (!reader.done()) {
        const std::string option = reader.take();
        if (!allowedFor(result.command, option)) {
            *error = option.starts_with("--") ? option + " is not an option of " + command
                                              : "unexpected argument \"" + option + "\"";
            return std::nullopt;
        }
        if (!readOption(reader, option, result)) return std::nullopt;
    }
    if (result.force && result.iso.empty()) {
        *error = "--force only goes with --iso";
        return std::nullopt;
    }
    if (result.command == CliArguments::Command::Make) {
        if (result.pictureFolders.empty()) {
            *error = "make needs --pictures with at least one folder";
            return std::nullopt;
        }
        if (result.output.empty()) {
            *error = "make needs --output, the folder that receives VIDEO_TS";
            return std::nullopt;
        }
    }
    return result;
}

const char* usageText() {
    return "Usage:\n"
           "  velmora-cli make --pictures DIR [DIR ...] [--music FILE ...] [--menu-music FILE]\n"
           "                   [--theme N] [--pal | --ntsc] [--wide | --narrow] [--display-time "
           "S]\n"
           "                   [--transition-time S] [--random-effects] [--title TEXT]\n"
           "                   --output DIR [--save FILE.prg] [--iso FILE.iso [--force]]\n"
           "      one slideshow per picture folder, a menu, and the DVD folder DIR/VIDEO_TS\n"
           "  velmora-cli build PROJECT.prg [--pal | --ntsc] [--wide | --narrow] [--output DIR]\n"
           "                   [--iso FILE.iso [--force]]\n"
           "      the DVD folder of a saved project, in the format it was made in unless told\n"
           "  velmora-cli demo [--output DIR] [--save FILE.prg] [--iso FILE.iso [--force]]\n"
           "      a DVD of the sample pictures and music (DIR is ./velmora-demo by default)\n"
           "  velmora-cli burn FOLDER [--device DEV] [--speed KBPS] [--label TEXT]\n"
           "      writes a DVD folder to a disc\n"
           "  velmora-cli devices\n"
           "      lists the DVD writers with their medium and speeds\n"
           "--iso writes the finished DVD folder to an ISO image file as well; an existing file\n"
           "that is not an ISO image is replaced only with --force. --label TEXT names the disc\n"
           "(its volume label; by default the menu's title) for make, build and demo too.\n"
           "Ctrl-C cancels a build or a write. Exit status: 0 done, 2 cancelled, 1 or a tool's "
           "code failed.\n";
}

}  // namespace velmora::cli
