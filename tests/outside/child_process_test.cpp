#include "outside/child_process.h"

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "base/event.h"
#include "outside/dvd_tool_fixtures.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Ending = ChildResult::Ending;
using namespace std::chrono_literals;

// The process group of a process, from /proc; -1 when it is not there.
pid_t groupOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    // pid (comm) state ppid pgrp ...; comm may hold blanks, so count from ')'.
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    char state = 0;
    pid_t parent = 0;
    pid_t group = -1;
    fields >> state >> parent >> group;
    return fields ? group : -1;
}

// Gone, or a zombie nobody has reaped yet: either way it runs no more.
bool hasEnded(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    return text.empty() || text.substr(text.rfind(')') + 2, 1) == "Z";
}

std::string commandOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

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

// A Ctrl-C at a terminal signals the terminal's whole process group. The
// child must not be in ours, so that only a cancel ends it; the test looks
// rather than sending a SIGINT to the group that runs it.
TEST(ChildProcessTest, ChildLeadsAProcessGroupOfItsOwn) {
    pid_t child = 0;
    pid_t childGroup = 0;
    ChildJob job;
    job.arguments = {"sh", "-c", "echo $$; sleep 0.2"};
    job.onLine = [&](std::string_view line) {
        child = std::stoi(std::string(line));
        childGroup = groupOf(child);  // looked at while the child runs
    };
    ASSERT_TRUE(runChildProcess(job).succeeded());
    ASSERT_GT(child, 0);
    EXPECT_EQ(childGroup, child);
    EXPECT_NE(childGroup, ::getpgrp());
}

// A cancel ends the programs the child started as well: the whole group
// goes, also when it shrugs off SIGTERM.
TEST(ChildProcessTest, CancelEndsTheChildAndWhatItStarted) {
    struct Case {
        const char* what;
        const char* script;
    };
    const Case cases[] = {
        {"child and grandchild", "sleep 30 & echo $!; wait"},
        // the ignored SIGTERM is inherited by the grandchild: SIGKILL ends both
        {"both ignore SIGTERM", "trap '' TERM; sleep 30 & echo $!; wait"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Event cancel;
        pid_t grandchild = 0;
        std::string grandchildCommand;
        std::chrono::steady_clock::time_point cancelled;
        ChildJob job;
        job.arguments = {"sh", "-c", c.script};
        job.cancelEvent = &cancel;
        job.terminateGrace = 300ms;
        job.onLine = [&](std::string_view line) {
            grandchild = std::stoi(std::string(line));
            // Cancelled once the grandchild has become the sleep.
            for (const auto patience = std::chrono::steady_clock::now() + 5s;
                 (grandchildCommand = commandOf(grandchild)) != "sleep" &&
                 std::chrono::steady_clock::now() < patience;)
                std::this_thread::sleep_for(5ms);
            cancelled = std::chrono::steady_clock::now();
            cancel.set();
        };
        const ChildResult result = runChildProcess(job);
        EXPECT_EQ(result.ending, Ending::Cancelled);
        ASSERT_GT(grandchild, 0);
        EXPECT_EQ(grandchildCommand, "sleep");
        // The grandchild is not ours to reap: once its parent has gone,
        // the system's reaper takes it.
        while (!hasEnded(grandchild) && std::chrono::steady_clock::now() < cancelled + 1s)
            std::this_thread::sleep_for(10ms);
        EXPECT_TRUE(hasEnded(grandchild));
        EXPECT_TRUE(test::noChildProcessLeft());
    }
}

// Once the cancel event is set, the run is cancelled however the child
// ended meanwhile: a failure or a signal then is the cancel's doing.
TEST(ChildProcessTest, ChildEndingAsItIsCancelledCountsAsCancelled) {
    const char* const scripts[] = {"echo last; exit 3", "echo last; kill -INT $$", "echo last"};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        Event cancel;
        ChildJob job;
        job.arguments = {"sh", "-c", script};
        job.cancelEvent = &cancel;
        job.onLine = [&](std::string_view) {
            cancel.set();
            // The child ends meanwhile, so its end is seen before the cancel.
            std::this_thread::sleep_for(200ms);
        };
        const ChildResult result = runChildProcess(job);
        EXPECT_EQ(result.ending, Ending::Cancelled) << childEndingText(result);
        EXPECT_EQ(childResultCode(result), 2);
        EXPECT_TRUE(test::noChildProcessLeft());
    }
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
