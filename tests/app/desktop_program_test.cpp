// The desktop program as a user starts it: the real `velmora` on the
// offscreen platform, in a user folder of the test's own.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "support/run_program.h"
#include "support/temporary_folder.h"

extern char** environ;

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kVelmora = VELMORA_PROGRAM;

std::string fileText(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class DesktopProgramTest : public ::testing::Test {
  protected:
    DesktopProgramTest() {
        setenv("VELMORA_HOME", user().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_.path() / "config").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ~DesktopProgramTest() override {
        if (running_ > 0) {
            kill(running_, SIGKILL);
            waitpid(running_, nullptr, 0);
        }
    }
    fs::path user() const { return folder_.path() / "home"; }
    fs::path log() const { return user() / "log.txt"; }

    // Starts velmora and waits until its window is up (its start is logged).
    bool startFirst() {
        char* argv[] = {const_cast<char*>(kVelmora.c_str()), nullptr};
        if (posix_spawn(&running_, argv[0], nullptr, nullptr, argv, environ) != 0) return false;
        for (auto waited = 0ms; waited < 20s; waited += 50ms) {
            if (occurrences(fileText(log()), "Software start!") == 1) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    test::TemporaryFolder folder_;
    pid_t running_ = -1;
};

TEST_F(DesktopProgramTest, ASecondStartEndsQuietlyAndLeavesTheFirstAlone) {
    ASSERT_TRUE(startFirst()) << fileText(log());
    const auto second = test::runProgram({kVelmora});
    EXPECT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(occurrences(fileText(log()), "Software start!"), 1u);  // never got as far
    EXPECT_EQ(kill(running_, 0), 0);                                 // the first runs on
    int status = 0;
    EXPECT_EQ(waitpid(running_, &status, WNOHANG), 0);

    // Once the first is gone (killed: its lock is left behind), a start works.
    kill(running_, SIGKILL);
    waitpid(running_, nullptr, 0);
    running_ = -1;
    const auto after = test::runProgram({kVelmora, "--quit-when-shown"});
    EXPECT_EQ(after.exitCode, 0) << after.output;
    EXPECT_EQ(occurrences(fileText(log()), "Software start!"), 2u);
}

TEST_F(DesktopProgramTest, TheScreenshotModeSavesEveryPageAndDialog) {
    const fs::path shots = folder_.path() / "shots";
    const auto run = test::runProgram({kVelmora, "--screenshots", shots.string()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* name : {"page0_photos", "page1_effects", "page2_music", "page3_menu",
                             "page4_burn", "dialog_settings", "dialog_about", "dialog_tip"})
        EXPECT_GT(fs::file_size(shots / (std::string(name) + ".png")), 1000u) << name;
}

}  // namespace
}  // namespace velmora
