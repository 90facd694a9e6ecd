#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

std::optional<CliArguments> parse(std::vector<std::string> arguments, std::string* error) {
    return parseArguments(arguments, error);
}

TEST(CliArguments, CommandsAndTheirOptions) {
    std::string error;
    const auto make = parse(
        {"make", "--pictures", "a", "b c", "--music", "m.mp3", "--pal", "--wide", "--display-time",
         "5", "--title", "Our trip", "--output", "out", "--iso", "x.iso", "--label", "Trip"},
        &error);
    ASSERT_TRUE(make) << error;
    EXPECT_EQ(make->command, CliArguments::Command::Make);
    EXPECT_EQ(make->pictureFolders.size(), 2u);
    EXPECT_EQ(make->pictureFolders[1], "b c");
    EXPECT_EQ(make->pal, true);
    EXPECT_EQ(make->wide, true);
    EXPECT_EQ(make->displaySeconds, 5);
    EXPECT_EQ(make->title, "Our trip");
    EXPECT_EQ(make->iso, "x.iso");
    EXPECT_EQ(make->label, "Trip");
    EXPECT_FALSE(make->force);

    const auto burn = parse({"burn", "dvd", "--device", "/dev/sr0", "--speed", "2770"}, &error);
    ASSERT_TRUE(burn) << error;
    EXPECT_EQ(burn->burnFolder, "dvd");
    EXPECT_EQ(burn->speed, 2770);
    EXPECT_FALSE(burn->label);  // named after the folder

    const auto build = parse({"build", "p.prg", "--output", "o"}, &error);
    ASSERT_TRUE(build) << error;
    EXPECT_EQ(build->project, "p.prg");
    EXPECT_FALSE(build->pal);  // the project's own format
    EXPECT_FALSE(build->wide);
    const auto narrowed = parse({"build", "p.prg", "--ntsc", "--narrow"}, &error);
    ASSERT_TRUE(narrowed) << error;
    EXPECT_EQ(narrowed->pal, false);
    EXPECT_EQ(narrowed->wide, false);

    // --force lets --iso replace a file that is no ISO image, for each
    // command that writes one.
    const std::vector<std::string> forced[] = {
        {"make", "--pictures", "a", "--output", "o", "--iso", "x.iso", "--force"},
        {"build", "p.prg", "--force", "--iso", "x.iso"},
        {"demo", "--iso", "x.iso", "--force"},
    };
    for (const auto& arguments : forced) {
        const auto parsed = parse(arguments, &error);
        ASSERT_TRUE(parsed) << arguments.front() << ": " << error;
        EXPECT_TRUE(parsed->force) << arguments.front();
        EXPECT_EQ(parsed->iso, "x.iso") << arguments.front();
    }
    EXPECT_EQ(parse({}, &error)->command, CliArguments::Command::Help);
}

TEST(CliArguments, MistakesAreNamed) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"make", "--output", "o"}, "make needs --pictures with at least one folder"},
        {{"make", "--pictures", "a"}, "make needs --output, the folder that receives VIDEO_TS"},
        {{"make", "--pictures", "a", "--output", "o", "--display-time", "0"},
         "--display-time takes a whole number from 1 to 200, not \"0\""},
        {{"make", "--pictures", "a", "--output"}, "--output needs a value"},
        {{"build"}, "build needs the project file (.prg)"},
        {{"demo", "--wide"}, "--wide is not an option of demo"},
        {{"devices", "extra"}, "unexpected argument \"extra\""},
        {{"burn", "dvd", "--force"}, "--force is not an option of burn"},
        {{"demo", "--force"}, "--force only goes with --iso"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
    };
    for (const auto& [arguments, message] : cases) {
        std::string error;
        EXPECT_FALSE(parse(arguments, &error)) << message;
        EXPECT_EQ(error, message);
    }
}

}  // namespace
}  // namespace velmora::cli
