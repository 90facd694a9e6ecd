// velmora-cli run as a careless or hostile user would: crafted project
// files, special files, signals and runs side by side. Each case checks that
// nothing outside Velmora's own folders changed, and that the run ends on
// its own with a clear answer.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>
#include <QImage>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <thread>

#include "cli/cli_run.h"
#include "support/dvd_reading.h"
#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// Every file under a folder with its bytes: what "left intact" compares.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        files[name] = entry.is_regular_file() ? fileText(entry.path()) : "<folder>";
    }
    return files;
}

std::vector<fs::path> workingFoldersIn(const fs::path& userFolder) {
    std::vector<fs::path> found;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(userFolder, ignored)) {
        if (entry.path().filename().string().starts_with("Project_")) found.push_back(entry.path());
    }
    return found;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

class HostileRunsTest : public ::testing::Test {
  protected:
    // Three small pictures, one second of music and a saved project of
    // them, made once for every case.
    static void SetUpTestSuite() {
        shared_ = std::make_unique<test::TemporaryFolder>();
        for (int i = 0; i < 3; ++i) {
            QImage picture(320, 240, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(i * 100, 200, 200));
            fs::create_directories(pictures());
            picture.save(
                QString::fromStdString((pictures() / ("p" + std::to_string(i) + ".jpg")).string()));
        }
        test::runProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                          "sine=frequency=440:duration=2", "-y", music().string()});
        const fs::path home = *shared_ / "home";
        test::CliRun make(
            withMusic({"make", "--pictures", pictures().string(), "--pal", "--wide", "--output",
                       (*shared_ / "out").string(), "--save", savedProject().string()}),
            home, *shared_ / "make.txt");
        ASSERT_EQ(make.wait(), 0) << make.output();
        savedWorkingFolder_ = workingFoldersIn(home).at(0);
    }
    static void TearDownTestSuite() { shared_.reset(); }

    static fs::path pictures() { return *shared_ / "pictures"; }
    static fs::path music() { return *shared_ / "tone.mp3"; }
    static fs::path savedProject() { return *shared_ / "saved.prg"; }
    // Short menu and slideshow music keep every build to seconds.
    static std::vector<std::string> withMusic(std::vector<std::string> arguments) {
        for (const char* option : {"--music", "--menu-music"}) {
            arguments.push_back(option);
            arguments.push_back(music().string());
        }
        arguments.insert(arguments.end(), {"--display-time", "1", "--transition-time", "1"});
        return arguments;
    }

    fs::path home() const { return folder_ / "home"; }
    std::unique_ptr<test::CliRun> start(const std::vector<std::string>& arguments,
                                        const std::string& name = "run") {
        return std::make_unique<test::CliRun>(arguments, home(), folder_ / (name + ".txt"));
    }
    // The saved project with its folders' paths replaced.
    fs::path craftedProject(const std::map<std::string, std::string>& replacements) {
        std::string text = fileText(savedProject());
        for (const auto& [from, to] : replacements)
            replaceAll(text, from, to);
        const fs::path file = folder_ / "crafted.prg";
        writeText(file, text);
        return file;
    }

    static inline std::unique_ptr<test::TemporaryFolder> shared_;
    static inline fs::path savedWorkingFolder_;
    test::TemporaryFolder folder_;
};

// The format of a disc as a player reads it: PAL or NTSC, and 16:9.
std::pair<bool, bool> discFormat(const fs::path& folder) {
    test::DvdReader dvd(DVDOpen(folder.c_str()));
    if (!dvd) return {};
    test::DvdIfo vts(ifoOpen(dvd.get(), 1));
    if (!vts) return {};
    const video_attr_t& video = vts->vtsi_mat->vts_video_attr;
    return {video.video_format == 1, video.display_aspect_ratio == 3};
}

// A project made PAL 16:9 is built PAL 16:9 by another account whose
// settings are NTSC 4:3; told otherwise, build makes that disc instead.
TEST_F(HostileRunsTest, ASavedProjectIsBuiltInItsOwnFormatElsewhere) {
    const struct {
        std::vector<std::string> options;
        std::pair<bool, bool> palAndWide;
    } cases[] = {
        {{}, {true, true}},
        {{"--ntsc", "--narrow"}, {false, false}},
    };
    for (const auto& c : cases) {
        const fs::path output = folder_ / ("out" + std::to_string(c.options.size()));
        std::vector<std::string> arguments = {"build", savedProject().string(), "--output",
                                              output.string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto build = start(arguments);
        ASSERT_EQ(build->wait(), 0) << build->output();
        EXPECT_EQ(discFormat(output), c.palAndWide) << build->output();
    }
}

// The volume identifier of an ISO image: 32 characters of its primary
// volume descriptor (sector 16), padded with spaces.
std::string isoVolumeIdentifier(const fs::path& image) {
    std::ifstream in(image, std::ios::binary);
    in.seekg(16 * 2048 + 40);
    std::string id(32, ' ');
    in.read(id.data(), 32);
    return id.substr(0, id.find_last_not_of(' ') + 1);
}

// The disc is named after its menu title; --label still names it.
TEST_F(HostileRunsTest, TheDiscIsNamedAfterItsTitle) {
    const struct {
        std::vector<std::string> options;
        const char* volume;
    } cases[] = {
        {{"--title", "Summer 2026"}, "SUMMER_2026"},
        {{"--title", "Summer 2026", "--label", "Holidays"}, "HOLIDAYS"},
    };
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.options.size());
        std::vector<std::string> arguments = {"make",
                                              "--pictures",
                                              pictures().string(),
                                              "--output",
                                              (folder_ / ("out" + name)).string(),
                                              "--iso",
                                              (folder_ / (name + ".iso")).string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto make = start(withMusic(arguments), "make" + name);
        ASSERT_EQ(make->wait(), 0) << make->output();
        EXPECT_EQ(isoVolumeIdentifier(folder_ / (name + ".iso")), c.volume);
    }
}

TEST_F(HostileRunsTest, ACraftedProjectLeavesFilesOutsideVelmorasFoldersAlone) {
    // The decoy holds files with the very names a build writes and deletes,
    // carries a working folder's mark and has its temp folder lead to a
    // victim folder.
    const fs::path decoy = folder_ / "decoy";
    const fs::path victim = folder_ / "victim";
    for (const char* name : {"author.xml", "menu.mp2", "0.mpg", "slideshow.mp2", "slideshow_0.mp2",
                             "menuVideo0.MPG", "menuVideo0.xml"})
        writeText(victim / name, std::string("victim ") + name);
    writeText(decoy / ".velmora-working", "");
    writeText(decoy / "author.xml", "decoy");
    fs::create_directory_symlink(victim, decoy / "temp");
    const auto before = snapshot(folder_ / "victim");
    const auto decoyBefore = snapshot(decoy);
    const fs::path project = craftedProject({{savedWorkingFolder_.string(), decoy.string()}});

    // The user's own files beside an earlier disc in the output folder.
    const fs::path output = folder_ / "output";
    writeText(output / "VIDEO_TS" / "notes.txt", "mine");
    writeText(output / "VIDEO_TS" / "VTS_07_1.VOB", "an earlier disc");
    writeText(output / "AUDIO_TS" / "track.wav", "mine too");

    auto run = start({"build", project.string(), "--output", output.string()});
    ASSERT_EQ(run->wait(), 0) << run->output();
    EXPECT_EQ(snapshot(victim), before);
    EXPECT_EQ(snapshot(decoy), decoyBefore);
    EXPECT_TRUE(fs::exists(output / "VIDEO_TS" / "VIDEO_TS.IFO"));
    EXPECT_FALSE(fs::exists(output / "VIDEO_TS" / "VTS_07_1.VOB"));
    EXPECT_EQ(fileText(output / "VIDEO_TS" / "notes.txt"), "mine");
    EXPECT_EQ(fileText(output / "AUDIO_TS" / "track.wav"), "mine too");
    EXPECT_TRUE(workingFoldersIn(home()).empty());  // the run's own folder went with it

    // Without --output, a project naming a folder that holds the user's
    // own DVD does not get to replace it.
    const fs::path movie = folder_ / "Movies" / "Holiday";
    writeText(movie / "VIDEO_TS" / "VTS_01_1.VOB", "the user's film");
    std::string text = fileText(savedProject());
    replaceAll(text, (*shared_ / "out").string(), movie.string());
    writeText(folder_ / "movie.prg", text);
    auto build = start({"build", (folder_ / "movie.prg").string()});
    ASSERT_EQ(build->wait(), 0) << build->output();
    EXPECT_EQ(fileText(movie / "VIDEO_TS" / "VTS_01_1.VOB"), "the user's film");
    EXPECT_FALSE(fs::exists(movie / "VIDEO_TS" / "VIDEO_TS.IFO"));
}

TEST_F(HostileRunsTest, SpecialFilesAreRefusedAtOnce) {
    const fs::path fifo = folder_ / "pipe.mp3";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    fs::copy(pictures(), folder_ / "with-fifo");
    ASSERT_EQ(mkfifo((folder_ / "with-fifo" / "pipe.jpg").c_str(), 0644), 0);
    const fs::path output = (folder_ / "out").string();
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* said;
    } cases[] = {
        {{"make", "--pictures", pictures().string(), "--music", fifo.string(), "--output",
          output.string()},
         1,
         "is a FIFO"},
        {{"make", "--pictures", pictures().string(), "--menu-music", fifo.string(), "--output",
          output.string()},
         1,
         "is a FIFO"},
        {{"make", "--pictures", pictures().string(), "--music", (folder_ / "gone.mp3").string(),
          "--output", output.string()},
         1,
         "gone.mp3"},
        {{"build", fifo.string()}, 1, "pipe.mp3"},
        {{"make", "--pictures", (folder_ / "nowhere").string(), "--output", output.string()},
         1,
         "nowhere"},
    };
    for (const auto& c : cases) {
        auto run = start(c.arguments);
        EXPECT_EQ(run->wait(30s), c.status) << run->output();
        EXPECT_NE(run->output().find(c.said), std::string::npos) << run->output();
    }
    // A FIFO among the pictures, or named as a picture by a project, is left
    // out and named; the other pictures are used.
    auto run = start(withMusic(
        {"make", "--pictures", (folder_ / "with-fifo").string(), "--output", output.string()}));
    EXPECT_EQ(run->wait(), 0) << run->output();
    EXPECT_NE(run->output().find("pipe.jpg"), std::string::npos) << run->output();
    const fs::path project = craftedProject(
        {{(pictures() / "p1.jpg").string(), (folder_ / "with-fifo" / "pipe.jpg").string()}});
    auto build = start({"build", project.string(), "--output", output.string()});
    EXPECT_EQ(build->wait(), 0) << build->output();
    EXPECT_NE(fileText(home() / "log.txt").find("pipe.jpg"), std::string::npos);
    EXPECT_TRUE(workingFoldersIn(home()).empty());
}

TEST_F(HostileRunsTest, AProjectLargerThanADiscIsRefusedBeforeEncoding) {
    std::string text = fileText(savedProject());
    replaceAll(text, "<SINGLE_EFFECT_TIME>1</SINGLE_EFFECT_TIME>",
               "<SINGLE_EFFECT_TIME>3600</SINGLE_EFFECT_TIME>");
    const fs::path project = folder_ / "long.prg";
    writeText(project, text);
    auto run = start({"build", project.string(), "--output", (folder_ / "out").string()});
    EXPECT_EQ(run->wait(60s), 1) << run->output();
    EXPECT_NE(run->output().find("dvdLength Is over 4500M!"), std::string::npos) << run->output();
    EXPECT_FALSE(fs::exists(folder_ / "out" / "VIDEO_TS"));
}

TEST_F(HostileRunsTest, TerminationCancelsAndLeavesNothingHalfMade) {
    const fs::path output = folder_ / "out";
    auto run = start(withMusic({"make", "--pictures", pictures().string(), "--output",
                                output.string(), "--iso", (folder_ / "disc.iso").string()}));
    // Terminated once the build is under way.
    const auto building = [&] {
        return fileText(home() / "log.txt").find("Begin make DVD process") != std::string::npos;
    };
    for (int i = 0; i < 3000 && !building(); ++i)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(building()) << run->output();
    run->signal(SIGTERM);
    EXPECT_EQ(run->wait(60s), 2) << run->output();
    EXPECT_NE(run->output().find("STOPED!"), std::string::npos) << run->output();
    EXPECT_TRUE(workingFoldersIn(home()).empty());
    EXPECT_FALSE(fs::exists(output / "VIDEO_TS"));
    EXPECT_FALSE(fs::exists(folder_ / "disc.iso"));

    // "help" and a failed command leave no working folder behind either.
    EXPECT_EQ(start({"help"})->wait(), 0);
    EXPECT_EQ(start({"build", (folder_ / "missing.prg").string()})->wait(), 1);
    EXPECT_TRUE(workingFoldersIn(home()).empty());
}

TEST_F(HostileRunsTest, RunsSideBySideKeepToTheirOwnFolders) {
    const auto make = [&](const fs::path& output, const std::string& name,
                          const char* displaySeconds = "1") {
        std::vector<std::string> arguments =
            withMusic({"make", "--pictures", pictures().string(), "--output", output.string()});
        arguments.insert(arguments.end(), {"--display-time", displaySeconds});
        return start(arguments, name);
    };
    // Two runs on one user folder: each claims a working folder of its own.
    auto first = make(folder_ / "first", "first");
    auto second = make(folder_ / "second", "second");
    EXPECT_EQ(first->wait(), 0) << first->output();
    EXPECT_EQ(second->wait(), 0) << second->output();
    for (const char* output : {"first", "second"})
        EXPECT_TRUE(fs::exists(folder_ / output / "VIDEO_TS" / "VIDEO_TS.IFO")) << output;

    // Two runs on one output folder: the second is told and leaves it alone.
    const fs::path shared = folder_ / "shared";
    auto holder = make(shared, "holder", "20");  // still building when the second one asks
    // Waits, without taking it, until the first run holds the folder's lock.
    const auto locked = [&] {
        struct stat status {};
        if (::stat(shared.c_str(), &status) != 0) return false;
        std::ifstream locks("/proc/locks");
        const std::string inode = ":" + std::to_string(status.st_ino) + " ";
        for (std::string line; std::getline(locks, line);) {
            if (line.find("FLOCK") != std::string::npos && line.find(inode) != std::string::npos)
                return true;
        }
        return false;
    };
    for (int i = 0; i < 3000 && !locked(); ++i)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(locked()) << holder->output();
    auto late = make(shared, "late");
    EXPECT_EQ(late->wait(), 1) << late->output();
    EXPECT_NE(late->output().find("in use by another run"), std::string::npos) << late->output();
    EXPECT_EQ(holder->wait(), 0) << holder->output();
    EXPECT_TRUE(fs::exists(shared / "VIDEO_TS" / "VIDEO_TS.IFO"));
}

}  // namespace
}  // namespace velmora
