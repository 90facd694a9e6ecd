// How long `velmora` takes from its start to its first shown window, and
// out again (--quit-when-shown), against `velmora-cli help` in the same
// run: the cost of a program that merely starts, loads Qt and ends. Both
// run on the offscreen platform unless QT_QPA_PLATFORM names another (under
// xvfb-run with QT_QPA_PLATFORM=xcb the window is a real X window, which
// velmora waits to be exposed), in a fresh user folder of their own, warm
// (one untimed start of each first), alternating, seven times each;
// medians. The first start of a user folder (preferences written, themes
// read for the first time) is the one a user waits for: each timed start
// of velmora gets a fresh user folder.
//
//   startup_bench

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr int kRuns = 7;
constexpr double kGoalSeconds = 1.0;

// Sends this program's standard output (which the started programs
// inherit: velmora-cli help prints its usage) to /dev/null while it lives.
class QuietOutput {
  public:
    QuietOutput() : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDOUT_FILENO);
        close(nothing);
    }
    ~QuietOutput() {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

  private:
    int saved_;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The seconds one run of `arguments` takes; exits the benchmark on failure.
double timed(const std::vector<std::string>& arguments) {
    const double start = bench::now();
    std::string errors;
    if (bench::runProgram(arguments, &errors) != 0) {
        std::fprintf(stderr, "startup_bench: %s failed: %s\n", arguments[0].c_str(),
                     errors.c_str());
        std::exit(1);
    }
    return bench::secondsSince(start);
}

}  // namespace

int main() {
    const fs::path programs =
        fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
    const std::string velmora = (programs / "velmora").string();
    const std::string cli = (programs / "velmora-cli").string();
    const fs::path folder =
        fs::temp_directory_path() / ("velmora-startup-" + std::to_string(getpid()));
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // a real screen when one is asked for
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    std::vector<double> window, help;
    {
        const QuietOutput quiet;
        for (int run = -1; run < kRuns; ++run) {
            setenv("VELMORA_HOME", (folder / ("home" + std::to_string(run + 1))).c_str(), 1);
            const double windowSeconds = timed({velmora, "--quit-when-shown"});
            const double helpSeconds = timed({cli, "help"});
            if (run < 0) continue;  // warming up the caches
            window.push_back(windowSeconds);
            help.push_back(helpSeconds);
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);

    const double windowMedian = median(window);
    const double helpMedian = median(help);
    std::printf("velmora to its first window and out: %.3f s (median of %d)\n", windowMedian,
                kRuns);
    std::printf("velmora-cli help:                    %.3f s\n", helpMedian);
    std::printf("ratio window / help:                 %.2f\n", windowMedian / helpMedian);
    std::printf("goal: under %.1f s: %s\n", kGoalSeconds,
                windowMedian < kGoalSeconds ? "met" : "NOT met");
    return 0;
}
