#include "outside/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "core/event.h"
#include "outside/dvd_tool_fixtures.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Ending = ChildResult::Ending;

TEST(ChildProcessTest, ReportsHowTheChildEnded) {
    test::TemporaryFolder folder;
    struct Case {
        std::vector<std::string> arguments;
        fs::path input;
        Ending ending;
        int code;
        int resultCode;
        std::string problemNames;
    };
    const Case cases[] = {
        {{"true"}, {}, Ending::Exited, 0, 0, {}},
        {{"sh", "-c", "exit 3"}, {}, Ending::Exited, 3, 3, {}},
        {{"sh", "-c", "exit 2"}, {}, Ending::Exited, 2, 1, {}},  // 2 stays the cancel code
        {{"sh", "-c", "kill -SEGV $$"}, {}, Ending::Signalled, 11, 139, {}},
        {{"/nonexistent/velmora-no-such-program"},
         {},
         Ending::NotStarted,
         0,
         1,
         "/nonexistent/velmora-no-such-program"},
        {{"cat"}, folder / "missing.mpg", Ending::NotStarted, 0, 1, "missing.mpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front() + " " + c.arguments.back());
        ChildJob job;
        job.arguments = c.arguments;
        job.input = c.input;
        const ChildResult result = runChildProcess(job);
        EXPECT_EQ(result.ending, c.ending);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(childResultCode(result), c.resultCode);
        if (!c.problemNames.empty()) {
            EXPECT_NE(result.problem.find(c.problemNames), std::string::npos) << result.problem;
            EXPECT_EQ(childEndingText(result), result.problem);
        }
    }
    EXPECT_TRUE(test::noChildProcessLeft());
}

TEST(ChildProcessTest, HandsOverLinesEndedByNewlineOrCarriageReturn) {
    std::vector<std::string> lines;
    ChildJob job;
    // stdout and stderr arrive through the same pipe, in the order written.
    job.arguments = {"sh", "-c", "printf 'one\\rtwo\\n\\nthree\\r\\n'; printf 'four' >&2"};
    job.onLine = [&](std::string_view line) { lines.emplace_back(line); };
    ASSERT_TRUE(runChildProcess(job).succeeded());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "four"}));
}

TEST(ChildProcessTest, RedirectsFilesAndSetsTheChildEnvironmentOnly) {
    test::TemporaryFolder folder;
    std::ofstream(folder / "in.txt") << "through cat\n";
    std::vector<std::string> lines;
    ChildJob job;
    job.arguments = {"sh", "-c", "cat; echo \"$VELMORA_PROBE\" >&2"};
    job.input = folder / "in.txt";
    job.output = folder / "out.txt";
    job.environment = {{"VELMORA_PROBE", "set for the child"}};
    job.onLine = [&](std::string_view line) { lines.emplace_back(line); };
    ASSERT_TRUE(runChildProcess(job).succeeded());
    EXPECT_EQ(test::fileText(folder / "out.txt"), "through cat\n");
    EXPECT_EQ(lines, std::vector<std::string>{"set for the child"});
    EXPECT_EQ(std::getenv("VELMORA_PROBE"), nullptr);
}

TEST(ChildProcessTest, CancelEndsTheChildAndReapsIt) {
    test::TemporaryFolder folder;
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        bool cancelBeforeStart;
    };
    const Case cases[] = {
        {"silent child", {"sh", "-c", "echo ready; exec sleep 30"}, false},
        // SIGTERM ignored: SIGKILL after the grace
        {"stubborn child", {"sh", "-c", "trap '' TERM; echo ready; exec sleep 30"}, false},
        {"cancelled before start", {"touch", (folder / "ran").string()}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Event cancel;
        if (c.cancelBeforeStart) cancel.set();
        ChildJob job;
        job.arguments = c.arguments;
        job.cancelEvent = &cancel;
        job.terminateGrace = std::chrono::milliseconds(300);
        job.onLine = [&](std::string_view line) {
            if (line == "ready") cancel.set();
        };
        const auto start = std::chrono::steady_clock::now();
        const ChildResult result = runChildProcess(job);
        EXPECT_EQ(result.ending, Ending::Cancelled);
        EXPECT_EQ(childResultCode(result), 2);
        // Well before the child's own 30 seconds.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_TRUE(test::noChildProcessLeft());
    }
    EXPECT_FALSE(fs::exists(folder / "ran"));
}

TEST(ChildProcessTest, ChildIsEndedWhenTheLineHandlerThrows) {
    ChildJob job;
    job.arguments = {"sh", "-c", "echo ready; exec sleep 30"};
    job.onLine = [](std::string_view) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(runChildProcess(job), std::runtime_error);
    EXPECT_TRUE(test::noChildProcessLeft());
}

}  // namespace
}  // namespace velmora
