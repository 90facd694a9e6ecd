#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

class Event;

// One run of an outside program (spumux, dvdauthor, genisoimage): started
// with an argument vector, never through a shell.
struct ChildJob {
    // arguments[0] is the program: a path, or a name looked up in PATH.
    std::vector<std::string> arguments;
    // Standard input is read from this file; empty: /dev/null.
    std::filesystem::path input;
    // Standard output is written to this file (created or truncated); empty:
    // standard output is read as lines together with standard error.
    std::filesystem::path output;
    // Variables set for the child on top of our own environment, which
    // itself is left as it is.
    std::vector<std::pair<std::string, std::string>> environment;
    // Tested while the child runs; when set the child's process group gets
    // SIGTERM, and SIGKILL once the child has ended or terminateGrace has
    // passed. Once set, the run ends as Cancelled however the child ended.
    const Event* cancelEvent = nullptr;
    std::chrono::milliseconds terminateGrace{3000};
    // Every non-empty line the child writes to standard error (and to
    // standard output when that is not redirected), without trailing blanks.
    // Both "\n" and "\r" end a line, so progress that a program rewrites in
    // place arrives line by line. Called on the thread that runs the job.
    std::function<void(std::string_view line)> onLine;
};

struct ChildResult {
    enum class Ending {
        NotStarted,  // the program or a redirected file could not be opened: see problem
        Exited,      // code is the exit status
        Signalled,   // code is the signal that ended it
        Cancelled,   // the cancel event was set before the run returned; the child is ended
    };
    Ending ending = Ending::NotStarted;
    int code = 0;
    std::string problem;  // NotStarted only: a sentence naming the program or file

    bool succeeded() const { return ending == Ending::Exited && code == 0; }
};

// Runs the job to its end on the calling thread. The child leads a process
// group of its own, so a Ctrl-C at the terminal (which signals the
// terminal's process group) never reaches it: only the cancel event ends it
// early, together with any program it started. The child is always reaped
// before this returns, also when onLine throws.
ChildResult runChildProcess(const ChildJob& job);

// How the run ended, for the log: "exited with code 1", "was ended by
// signal 11 (Segmentation fault)", "was cancelled", or the problem.
std::string childEndingText(const ChildResult& result);

// The result code the outside-program wrappers hand to the build: 0 done;
// 1 not started, or failed with exit status 1 or 2 (2 is kept for cancel);
// 2 cancelled; the exit status for other failures; 128 + the signal for a
// child ended by a signal.
int childResultCode(const ChildResult& result);

}  // namespace velmora
