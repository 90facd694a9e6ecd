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
#include <vector>

#include "support/run_program.h"
#include "support/temporary_folder.h"

extern char** environ;

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kVelmora = VELMORA_PROGRAM;
const std::string kVelmoraCli = VELMORA_CLI_PROGRAM;

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

    // Starts velmora (with `argument`, when given) and waits until its
    // window is up (its start is logged).
    bool startFirst(const std::string& argument = {}) {
        std::vector<char*> argv{const_cast<char*>(kVelmora.c_str())};
        if (!argument.empty()) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&running_, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            return false;
        return logShows("Software start!");
    }
    // Waits until the log holds `line`.
    bool logShows(const std::string& line) {
        for (auto waited = 0ms; waited < 30s; waited += 50ms) {
            if (occurrences(fileText(log()), line) == 1) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    // A folder of `count` small pictures.
    fs::path pictureFolder(const std::string& name, int count) {
        const fs::path folder = folder_.path() / name;
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i) {
            const auto made = test::runProgram(
                {"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240",
                 "-frames:v", "1", (folder / (std::to_string(i) + ".jpg")).string()});
            EXPECT_EQ(made.exitCode, 0) << made.output;
        }
        return folder;
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

TEST_F(DesktopProgramTest, FoldersAndProjectsOnTheCommandLineReachTheOneWindow) {
    // A saved project, made by the command-line builder in a user folder of
    // its own.
    const fs::path project = folder_.path() / "trip.prg";
    {
        const fs::path builderHome = folder_.path() / "builder";
        setenv("VELMORA_HOME", builderHome.c_str(), 1);
        const auto made = test::runProgram({kVelmoraCli, "make", "--pictures",
                                            pictureFolder("trip", 2).string(), "--display-time",
                                            "1", "--output", (folder_ / "dvd").string(), "--save",
                                            project.string()});
        ASSERT_EQ(made.exitCode, 0) << made.output;
        setenv("VELMORA_HOME", user().c_str(), 1);
    }

    ASSERT_TRUE(startFirst()) << fileText(log());
    // A later start hands its project, then its folder, to the first window.
    const auto projectStart = test::runProgram({kVelmora, project.string()});
    EXPECT_EQ(projectStart.exitCode, 0) << projectStart.output;
    EXPECT_TRUE(logShows("Project " + project.string() + " opened with 1 slideshows"))
        << fileText(log());
    const auto folderStart = test::runProgram({kVelmora, pictureFolder("snow", 2).string()});
    EXPECT_EQ(folderStart.exitCode, 0) << folderStart.output;
    EXPECT_TRUE(logShows("Slideshow \"snow\" imported with 2 pictures")) << fileText(log());
    EXPECT_EQ(occurrences(fileText(log()), "Software start!"), 1u);
    EXPECT_EQ(kill(running_, 0), 0);
}

TEST_F(DesktopProgramTest, AFolderGivenAtStartIsImported) {
    ASSERT_TRUE(startFirst(pictureFolder("beach", 3).string())) << fileText(log());
    EXPECT_TRUE(logShows("Slideshow \"beach\" imported with 3 pictures")) << fileText(log());
}

}  // namespace
}  // namespace velmora
