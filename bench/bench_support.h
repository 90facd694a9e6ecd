#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora::bench {

// Something like a photo for decoders and encoders: smooth gradients with
// fine detail, so the JPEG is of realistic size and decoding cost. `scene`
// varies colours and detail so that photos differ.
void writePhoto(const std::filesystem::path& file, int width, int height, int scene = 0);

struct ChildResult {
    std::vector<double> values;  // what the work returned
    long peakKilobytes = 0;      // the child's peak resident size
};

// Runs `work` in a child process with a headless QGuiApplication of its own,
// so that its peak memory can be read from the kernel and nothing it leaves
// behind affects the next measurement. Exits the benchmark when it fails.
ChildResult inChild(const std::function<std::vector<double>()>& work);

// Where a benchmark keeps its inputs: the folder given as its first
// argument (made once, reused by later runs), else a new folder
// velmora-<name>-<process id> in the temporary folder. Created.
std::filesystem::path workFolder(int argc, char** argv, const std::string& name);

// Seconds since `start` on the steady clock.
double secondsSince(double start);
double now();

// Runs a program with an argument vector (no shell); its standard error is
// returned in `errors`. The exit status, or −1 when it could not run.
int runProgram(const std::vector<std::string>& arguments, std::string* errors = nullptr);

}  // namespace velmora::bench
