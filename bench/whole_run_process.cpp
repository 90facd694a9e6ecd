#include "bench/whole_run_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "bench/bench_support.h"

namespace velmora::bench {

namespace fs = std::filesystem;

void fail(const std::string& reason) {
    std::fprintf(stderr, "whole_run_bench: %s\n", reason.c_str());
    std::exit(1);
}

namespace {

// The command line as a shell would take it back.
std::string shellLine(const std::vector<std::string>& arguments) {
    std::string line = "$";
    for (const std::string& argument : arguments) {
        line += " '";
        for (const char c : argument)
            line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += "'";
    }
    return line + "\n";
}

std::vector<char*> argumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

std::string fileEnd(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    std::string messages = text.str();
    if (messages.size() > 3000) messages = "..." + messages.substr(messages.size() - 3000);
    return messages;
}

std::string statusText(int status) {
    return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

double seconds(const timeval& time) {
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

}  // namespace

Measured runMeasured(const std::vector<std::string>& arguments, const fs::path& output,
                     const Environment& environment) {
    const std::string commandLine = shellLine(arguments);
    std::vector<char*> argv = argumentVector(arguments);
    std::fflush(nullptr);
    const double start = now();
    const pid_t child = fork();
    if (child < 0) fail("cannot start " + arguments[0]);
    if (child == 0) {
        const int file = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (file < 0) _exit(126);
        if (write(file, commandLine.data(), commandLine.size()) < 0) _exit(126);
        dup2(file, STDOUT_FILENO);
        dup2(file, STDERR_FILENO);
        close(file);
        const int nothing = open("/dev/null", O_RDONLY);
        if (nothing >= 0) dup2(nothing, STDIN_FILENO);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) fail("lost " + arguments[0]);
    const Measured result{secondsSince(start), seconds(usage.ru_utime) + seconds(usage.ru_stime),
                          usage.ru_maxrss};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(arguments[0] + " failed (status " + statusText(status) + "):\n" + fileEnd(output));
    return result;
}

std::string commandOutput(const std::vector<std::string>& arguments) {
    int channel[2];
    if (pipe(channel) != 0) fail("no pipe for " + arguments[0]);
    std::vector<char*> argv = argumentVector(arguments);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) fail("cannot start " + arguments[0]);
    if (child == 0) {
        close(channel[0]);
        dup2(channel[1], STDOUT_FILENO);
        close(channel[1]);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(channel[1]);
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(shellLine(arguments) + "failed (status " + statusText(status) + ")");
    return text;
}

void prepare(const fs::path& file, const fs::path& log,
             const std::vector<std::string>& argumentsWritingPartial) {
    if (fs::exists(file)) return;
    runMeasured(argumentsWritingPartial, log);
    fs::rename(fs::path(file.string() + ".part"), file);
}

LogWatcher::LogWatcher(fs::path file) : file_(std::move(file)), start_(now()) {
    poller_ = std::thread([this] {
        while (!stopping_.load()) {
            readNewLines();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

LogWatcher::~LogWatcher() {
    finish();
    if (descriptor_ >= 0) close(descriptor_);
}

std::vector<StampedLine> LogWatcher::finish() {
    stopping_ = true;
    if (poller_.joinable()) {
        poller_.join();
        readNewLines();
    }
    return lines_;
}

// The log is only ever appended to, so the file stays open and each read
// goes on where the last stopped.
void LogWatcher::readNewLines() {
    if (descriptor_ < 0) descriptor_ = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) return;  // not written yet
    const double stamp = secondsSince(start_);
    char buffer[8192];
    ssize_t got = 0;
    while ((got = read(descriptor_, buffer, sizeof buffer)) > 0)
        partialLine_.append(buffer, size_t(got));
    size_t end = 0;
    while ((end = partialLine_.find('\n')) != std::string::npos) {
        lines_.push_back({stamp, partialLine_.substr(0, end)});
        partialLine_.erase(0, end + 1);
    }
}

}  // namespace velmora::bench
