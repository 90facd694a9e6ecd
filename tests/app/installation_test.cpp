// Velmora installed as a package installs it: into a prefix of the test's
// own, then run from there, away from the build folder.

#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/run_program.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class InstallationTest : public ::testing::Test {
  protected:
    InstallationTest() {
        setenv("VELMORA_HOME", (folder_.path() / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_.path() / "config").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The manual's screenshots make a DVD of their own: not here.
        setenv("VELMORA_SKIP_MANUAL_SCREENSHOTS", "1", 1);
    }
    fs::path prefix() const { return folder_.path() / "prefix"; }
    fs::path installed(const std::string& relative) const { return prefix() / relative; }

    test::TemporaryFolder folder_;
};

TEST_F(InstallationTest, TheInstalledProgramsRunAndTheDesktopFindsWhatTheyNeed) {
    const auto install =
        test::runProgram({VELMORA_CMAKE, "--install", VELMORA_BUILD_DIR, "--prefix", prefix()});
    ASSERT_EQ(install.exitCode, 0) << install.output;

    for (const char* file :
         {"bin/velmora", "bin/velmora-cli", "share/velmora/Tips.txt",
          "share/velmora/manual/index.html", "share/velmora/samples/01_mountain_lake.jpg",
          "share/applications/org.velmora.Velmora.desktop",
          "share/metainfo/org.velmora.Velmora.metainfo.xml", "share/mime/packages/velmora.xml",
          "share/icons/hicolor/48x48/apps/velmora.png",
          "share/icons/hicolor/256x256/apps/velmora.png"})
        EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;

    const auto launcher = test::runProgram(
        {"desktop-file-validate", installed("share/applications/org.velmora.Velmora.desktop")});
    EXPECT_EQ(launcher.exitCode, 0) << launcher.output;
    if (std::system("command -v appstreamcli >/dev/null 2>&1") == 0) {
        const auto metainfo = test::runProgram(
            {"appstreamcli", "validate", "--no-net",
             installed("share/metainfo/org.velmora.Velmora.metainfo.xml")});
        EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output;
    }

    // The project file type is told by content, whatever the file is named.
    const auto mime = test::runProgram({"update-mime-database", installed("share/mime")});
    ASSERT_EQ(mime.exitCode, 0) << mime.output;
    setenv("XDG_DATA_DIRS", (installed("share").string() + ":/usr/share").c_str(), 1);

    // The command-line builder makes the demo disc from the installed samples.
    const fs::path demo = folder_.path() / "demo";
    const auto made =
        test::runProgram({installed("bin/velmora-cli"), "demo", "--output", demo.string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_TRUE(fs::is_regular_file(demo / "VIDEO_TS" / "VIDEO_TS.IFO"));

    // A project saved by the installed builder is recognised as one.
    const fs::path pictures = folder_.path() / "pictures";
    fs::create_directories(pictures);
    fs::copy_file(installed("share/velmora/samples/01_mountain_lake.jpg"), pictures / "a.jpg");
    const fs::path project = folder_.path() / "holiday.prg";
    const auto saved = test::runProgram({installed("bin/velmora-cli"), "make", "--pictures",
                                         pictures, "--display-time", "1", "--output",
                                         folder_.path() / "dvd", "--save", project});
    ASSERT_EQ(saved.exitCode, 0) << saved.output;
    const fs::path renamed = folder_.path() / "holiday.backup";
    fs::copy_file(project, renamed);
    QMimeDatabase types;
    EXPECT_EQ(types.mimeTypeForFile(QString::fromStdString(renamed.string())).name(),
              QStringLiteral("application/x-velmora-project"));

    // The desktop program comes up to its first window.
    const auto shown = test::runProgram({installed("bin/velmora"), "--quit-when-shown"});
    EXPECT_EQ(shown.exitCode, 0) << shown.output;
}

}  // namespace
}  // namespace velmora
