#pragma once

// Running the programs whole_run_bench measures: their wall and CPU time,
// their peak memory, and the lines Velmora logs while it runs.

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace velmora::bench {

// Ends the benchmark with `reason` on standard error and status 1.
[[noreturn]] void fail(const std::string& reason);

struct Measured {
    double seconds = 0;      // wall clock
    double cpuSeconds = 0;   // user + system of the process and the children it waited for
    long peakKilobytes = 0;  // the largest resident size in the tree, as wait4 reports it
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs a program with its command line, standard output and error appended
// to `output`, and waits for it. Exits the benchmark when it fails, with the
// end of `output`.
Measured runMeasured(const std::vector<std::string>& arguments, const std::filesystem::path& output,
                     const Environment& environment = {});

// A program's standard output; exits the benchmark when it fails.
std::string commandOutput(const std::vector<std::string>& arguments);

// Runs a preparation step (not timed) that writes `file`.part and moves its
// result into place, so that an interrupted step leaves nothing that looks
// finished. Nothing happens when `file` is there.
void prepare(const std::filesystem::path& file, const std::filesystem::path& log,
             const std::vector<std::string>& argumentsWritingPartial);

struct StampedLine {
    double seconds = 0;  // since the watcher started, to 10 ms
    std::string text;    // the line as logged
};

// Reads a log every 10 ms while a run goes and stamps each new line with
// the seconds since the watcher started: Velmora's log has whole seconds
// only, too coarse for stages that take a fraction of one.
class LogWatcher {
  public:
    explicit LogWatcher(std::filesystem::path file);
    ~LogWatcher();
    LogWatcher(const LogWatcher&) = delete;
    LogWatcher& operator=(const LogWatcher&) = delete;

    // Stops watching, reads what is left and returns every line.
    std::vector<StampedLine> finish();

  private:
    void readNewLines();

    std::filesystem::path file_;
    double start_;
    int descriptor_ = -1;
    std::string partialLine_;
    std::vector<StampedLine> lines_;
    std::atomic<bool> stopping_{false};
    std::thread poller_;
};

}  // namespace velmora::bench
