#pragma once

// Runs an outside program for a test (ffmpeg to make fixtures, ffprobe to
// check results): arguments as a vector, no shell, output captured.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace velmora::test {

struct ProgramResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

inline ProgramResult runProgram(const std::vector<std::string>& arguments) {
    char outputName[] = "/tmp/velmora-program-XXXXXX";
    const int outputFd = mkstemp(outputName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
    posix_spawn_file_actions_adddup2(&actions, outputFd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ProgramResult result;
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(outputFd);
    std::ifstream in(outputName);
    result.output.assign(std::istreambuf_iterator<char>(in), {});
    unlink(outputName);
    return result;
}

}  // namespace velmora::test
