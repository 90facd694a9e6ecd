#include "outside/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <thread>

#include "base/event.h"
#include "base/path_text.h"
#include "interfaces/run_result.h"

extern char** environ;

namespace velmora {

namespace {

using namespace std::chrono_literals;

constexpr int kPollMilliseconds = 50;       // how long a silent child goes between cancel tests
constexpr size_t kLongestLine = 64 * 1024;  // a longer line is handed over in pieces

class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

class SpawnActions {
  public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    // The fds carry FD_CLOEXEC; dup2 onto 0..2 clears it for the copies.
    void redirect(int fd, int target) { posix_spawn_file_actions_adddup2(&actions_, fd, target); }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

// The child starts with no blocked signals and with the default action for
// the signals a parent commonly ignores or handles, so SIGTERM ends it. It
// leads a process group of its own: a Ctrl-C at the terminal goes to the
// terminal's group only, so Velmora alone decides when a child ends, and a
// cancel reaches the child's own children through the group.
class SpawnAttributes {
  public:
    SpawnAttributes() {
        posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes_, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE})
            sigaddset(&defaults, signal);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setpgroup(&attributes_, 0);  // the child's pid becomes its group's id
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    const posix_spawnattr_t* get() const { return &attributes_; }

  private:
    posix_spawnattr_t attributes_;
};

// A started child that is reaped whatever happens: a child still running
// when the guard goes out of scope is killed with its group and waited for.
// Signals go to the group only while the child is unreaped: until then its
// pid, which names the group, cannot be given to another process.
class ChildGuard {
  public:
    explicit ChildGuard(pid_t pid) : pid_(pid) {}
    ~ChildGuard() {
        if (!status_) {
            signalGroup(SIGKILL);
            reap();
        }
    }
    ChildGuard(const ChildGuard&) = delete;
    ChildGuard& operator=(const ChildGuard&) = delete;

    // True once the child has ended; it stays unreaped (a zombie) until
    // reap() or terminate().
    bool hasEnded() const {
        if (status_) return true;
        siginfo_t info{};
        int done = 0;
        do {
            done = ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
        } while (done < 0 && errno == EINTR);
        return done < 0 || info.si_pid == pid_;
    }

    // Waits for the child to end and takes its status.
    void reap() {
        if (status_) return;
        int status = 0;
        pid_t done = 0;
        do {
            done = ::waitpid(pid_, &status, 0);
        } while (done < 0 && errno == EINTR);
        status_ = status;
    }

    // SIGTERM to the whole group, then SIGKILL to whatever of it is left
    // once the child has ended or the grace has passed; then reaps it.
    void terminate(std::chrono::milliseconds grace) {
        if (status_) return;
        signalGroup(SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + grace;
        while (!hasEnded() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        signalGroup(SIGKILL);
        reap();
    }

    int status() const { return *status_; }

  private:
    void signalGroup(int signal) const { ::kill(-pid_, signal); }

    pid_t pid_;
    std::optional<int> status_;
};

// Cuts the child's output into lines at "\n" and "\r", without trailing
// blanks; empty lines are dropped.
class LineSplitter {
  public:
    explicit LineSplitter(const std::function<void(std::string_view)>& onLine) : onLine_(onLine) {}

    void feed(const char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (c == '\n' || c == '\r') {
                flush();
            } else {
                pending_ += c;
                if (pending_.size() >= kLongestLine) flush();
            }
        }
    }
    void flush() {
        while (!pending_.empty() && (pending_.back() == ' ' || pending_.back() == '\t'))
            pending_.pop_back();
        if (!pending_.empty() && onLine_) onLine_(pending_);
        pending_.clear();
    }

  private:
    const std::function<void(std::string_view)>& onLine_;
    std::string pending_;
};

ChildResult notStarted(std::string problem) {
    ChildResult result;
    result.ending = ChildResult::Ending::NotStarted;
    result.problem = std::move(problem);
    return result;
}

ChildResult cancelled() {
    ChildResult result;
    result.ending = ChildResult::Ending::Cancelled;
    return result;
}

bool cancelRequested(const ChildJob& job) {
    return job.cancelEvent != nullptr && job.cancelEvent->isSet();
}

// Our environment with the job's variables replacing or joining it.
std::vector<std::string> childEnvironment(const ChildJob& job) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::string_view name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& [jobName, value] : job.environment)
            replaced = replaced || jobName == name;
        if (!replaced) entries.emplace_back(text);
    }
    for (const auto& [name, value] : job.environment)
        entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    result.reserve(texts.size() + 1);
    for (std::string& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// Reads what is waiting in the pipe; false at its end or on an error.
bool readAvailable(int fd, LineSplitter& lines) {
    char buffer[4096];
    ssize_t count = 0;
    do {
        count = ::read(fd, buffer, sizeof buffer);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) return false;
    lines.feed(buffer, static_cast<size_t>(count));
    return true;
}

// Hands the child's lines over until it ends or the job is cancelled.
ChildResult follow(const ChildJob& job, ChildGuard& child, int readFd) {
    LineSplitter lines(job.onLine);
    bool reading = true;
    while (!child.hasEnded()) {
        if (cancelRequested(job)) {
            child.terminate(job.terminateGrace);
            return cancelled();
        }
        pollfd ready{readFd, POLLIN, 0};
        if (::poll(reading ? &ready : nullptr, reading ? 1 : 0, kPollMilliseconds) > 0)
            reading = readAvailable(readFd, lines);
    }
    // The child has ended: take what it left in the pipe, but do not wait for
    // a grandchild that may still hold the pipe open.
    for (pollfd ready{readFd, POLLIN, 0}; reading && ::poll(&ready, 1, 0) > 0;)
        reading = readAvailable(readFd, lines);
    lines.flush();
    // However it ended, a child of a cancelled job counts as cancelled: a
    // signal or a failure at that point is the cancel's doing, not a fault.
    // What is left of its group goes with it.
    if (cancelRequested(job)) {
        child.terminate(std::chrono::milliseconds(0));
        return cancelled();
    }
    child.reap();

    ChildResult result;
    if (WIFSIGNALED(child.status())) {
        result.ending = ChildResult::Ending::Signalled;
        result.code = WTERMSIG(child.status());
    } else {
        result.ending = ChildResult::Ending::Exited;
        result.code = WEXITSTATUS(child.status());
    }
    return result;
}

ChildResult runJob(const ChildJob& job) {
    if (job.arguments.empty()) return notStarted("No program was given to run.");
    if (cancelRequested(job)) return cancelled();
    const std::string& program = job.arguments.front();

    const std::filesystem::path inputPath = job.input.empty() ? "/dev/null" : job.input;
    UniqueFd input(::open(inputPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0)
        return notStarted(quotedPath(inputPath) + " cannot be read: " + std::strerror(errno));
    UniqueFd output(job.output.empty() ? -1
                                       : ::open(job.output.c_str(),
                                                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!job.output.empty() && output.get() < 0)
        return notStarted(quotedPath(job.output) + " cannot be written: " + std::strerror(errno));
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return notStarted("No pipe for " + program + ": " + std::strerror(errno));
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);

    SpawnActions actions;
    actions.redirect(input.get(), STDIN_FILENO);
    actions.redirect(output.get() >= 0 ? output.get() : writeEnd.get(), STDOUT_FILENO);
    actions.redirect(writeEnd.get(), STDERR_FILENO);
    SpawnAttributes attributes;
    std::vector<std::string> arguments = job.arguments;
    std::vector<std::string> environment = childEnvironment(job);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, program.c_str(), actions.get(), attributes.get(),
                                     pointers(arguments).data(), pointers(environment).data());
    if (error != 0) return notStarted(program + " cannot be started: " + std::strerror(error));

    ChildGuard child(pid);
    // Only the child holds these now; the pipe ends when the child closes it.
    writeEnd.reset();
    input.reset();
    output.reset();

    return follow(job, child, readEnd.get());
}

}  // namespace

ChildResult runChildProcess(const ChildJob& job) {
    const ChildResult result = runJob(job);
    // A job cancelled while it started or ended is cancelled, whatever else
    // went wrong on the way.
    return cancelRequested(job) ? cancelled() : result;
}

std::string childEndingText(const ChildResult& result) {
    switch (result.ending) {
        case ChildResult::Ending::NotStarted:
            return result.problem;
        case ChildResult::Ending::Exited:
            return "exited with code " + std::to_string(result.code);
        case ChildResult::Ending::Signalled:
            return "was ended by signal " + std::to_string(result.code) + " (" +
                   strsignal(result.code) + ")";
        case ChildResult::Ending::Cancelled:
            return "was cancelled";
    }
    return {};
}

int childResultCode(const ChildResult& result) {
    switch (result.ending) {
        case ChildResult::Ending::NotStarted:
            return kFailed;
        case ChildResult::Ending::Exited:
            return result.code == kCancelled ? kFailed : result.code;
        case ChildResult::Ending::Signalled:
            return 128 + result.code;
        case ChildResult::Ending::Cancelled:
            return kCancelled;
    }
    return kFailed;
}

}  // namespace velmora
