#pragma once

// Runs velmora-cli as a user would, in a user folder of the test's own:
// started in the background so a test can signal it or run two at once.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace velmora::test {

class CliRun {
  public:
    // Starts velmora-cli with `arguments`, VELMORA_HOME set to `userFolder`
    // and its output (both streams) going to `outputFile`.
    CliRun(const std::vector<std::string>& arguments, const std::filesystem::path& userFolder,
           const std::filesystem::path& outputFile)
        : outputFile_(outputFile) {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (std::strncmp(*entry, "VELMORA_HOME=", 13) != 0) environment.emplace_back(*entry);
        }
        environment.push_back("VELMORA_HOME=" + userFolder.string());
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        std::vector<std::string> argvText = {VELMORA_CLI_PROGRAM};
        argvText.insert(argvText.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : argvText)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CliRun() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    // The exit status; -1 when it did not end by itself within the time
    // (it is killed then) or ended by a signal.
    int wait(std::chrono::seconds limit = std::chrono::seconds(240)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                ended_ = true;
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void signal(int signalNumber) const { ::kill(pid_, signalNumber); }

    std::string output() const {
        std::ifstream in(outputFile_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    std::filesystem::path outputFile_;
    pid_t pid_ = -1;
    bool ended_ = false;
};

}  // namespace velmora::test
