#include "workspace/recovery_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/working_folder_claim.h"
#include "image/picture.h"
#include "image/picture_files_service.h"
#include "model/model_fakes.h"
#include "support/temporary_folder.h"
#include "workspace/application.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kEditedColour = 0xFF2080C0;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One run of the desktop program's engine on a user folder.
struct EngineRun {
    explicit EngineRun(const AppFolders& folders) : app(folders, notifier, events), recovery(app) {
        std::string reason;
        started = app.start(&reason);
    }
    Project& project() { return app.project; }
    std::vector<std::string> slideshowNames() const {
        std::vector<std::string> names;
        for (const auto& slideshow : app.project.slideshows)
            names.push_back(slideshow->name);
        return names;
    }

    test::RecordingNotifier notifier;
    test::RecordingEvents events;
    Application app;
    RecoveryFile recovery;
    bool started = false;
};

class RecoveryFileTest : public ::testing::Test {
  protected:
    RecoveryFileTest() {
        fs::create_directories(resources());
        for (const char* name : {"a.png", "b.bmp", "c.png", "d.png"}) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor(200, 40, 40));
            image.save(QString::fromStdString((pictures() / name).string()));
        }
    }
    fs::path user() const { return temporary_.path() / "home"; }
    fs::path resources() const { return temporary_.path() / "share"; }
    fs::path pictures() const { return temporary_.path(); }
    AppFolders folders() const { return {user(), resources()}; }
    fs::path recoveryFolder() const { return user() / RecoveryFile::kFolderName; }

    // Adds a slideshow of pictures made by the fixture; false when one is refused.
    bool addSlideshow(Project& project, const std::string& name,
                      const std::vector<std::string>& files) {
        if (project.addSlideshow(name) != 0) return false;
        Slideshow& slideshow = *project.slideshows.back();
        for (const std::string& file : files) {
            if (slideshow.addPicture(pictures() / file, project.defaults()) != 0) return false;
        }
        return true;
    }

    test::TemporaryFolder temporary_;
};

// A run that changed its project, wrote its copy and was killed, and the
// next start on the same user folder.
class KilledRunTest : public RecoveryFileTest {
  protected:
    // What the child does before it is killed; false on any failure.
    bool workAndWriteCopy(EngineRun& run, bool savedBefore) {
        if (!run.started || !addSlideshow(run.project(), "trip", {"a.png", "b.bmp"}) ||
            !addSlideshow(run.project(), "home", {"c.png"}))
            return false;
        // What the picture editor leaves: an edited copy in the temp folder.
        SlideImage& edited = run.project().slideshows[0]->pictures[0];
        if (saveEditedPictureCopy(edited, Picture::filled({64, 48}, kEditedColour),
                                  run.project().folders().working) != 0)
            return false;
        if (savedBefore) {
            if (!run.app.session.saveProjectAs(user() / "mine.prg", false) ||
                !addSlideshow(run.project(), "afterSave", {"d.png"}))
                return false;
        }
        return run.recovery.saveIfModified();
    }

    // Runs the child until it has written its copy, then kills it.
    void runAndKill(bool savedBefore) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            bool written = false;
            {
                EngineRun run(folders());
                written = workAndWriteCopy(run, savedBefore);
                const char answer = written ? '1' : '0';
                if (::write(ready[1], &answer, 1) == 1 && written) {
                    for (;;)
                        ::pause();  // until killed, the run still alive
                }
            }
            ::_exit(written ? 0 : 1);
        }
        ::close(ready[1]);
        char answer = 0;
        const ssize_t got = ::read(ready[0], &answer, 1);
        ::close(ready[0]);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_EQ(got, 1);
        ASSERT_EQ(answer, '1') << "the child could not write its copy";
        ASSERT_TRUE(WIFSIGNALED(status));
    }
};

TEST_F(KilledRunTest, TheWorkOfAKilledRunComesBackAsAModifiedProject) {
    for (const bool savedBefore : {false, true}) {
        SCOPED_TRACE(savedBefore ? "saved before" : "never saved");
        fs::remove_all(user());
        runAndKill(savedBefore);
        if (HasFatalFailure()) return;
        const fs::path deadCopy = user() / "Project_1" / "temp" / "~a.png";
        // Meanwhile another run saved the name the dead project was waiting for.
        const fs::path otherProject = user() / "project0.prg";
        if (!savedBefore) std::ofstream(otherProject) << "another run's project";

        EngineRun next(folders());
        ASSERT_TRUE(next.started);
        // A never-saved run's working folder is a leftover, removed at the start.
        EXPECT_EQ(fs::exists(deadCopy), savedBefore);
        ASSERT_TRUE(next.recovery.found());
        const fs::path copy = next.recovery.foundFile();
        EXPECT_TRUE(next.recovery.restore());

        std::vector<std::string> expected = {"trip", "home"};
        if (savedBefore) expected.push_back("afterSave");
        EXPECT_EQ(next.slideshowNames(), expected);
        ASSERT_EQ(next.project().slideshows.size(), expected.size());
        const Slideshow& trip = *next.project().slideshows[0];
        ASSERT_EQ(trip.pictures.size(), 2u);
        EXPECT_EQ(trip.pictures[0].sourcePath, pictures() / "a.png");
        EXPECT_EQ(trip.pictures[1].sourcePath, pictures() / "b.bmp");
        EXPECT_EQ(next.project().slideshows[1]->pictures.at(0).sourcePath, pictures() / "c.png");
        EXPECT_TRUE(next.project().flags().modified);
        // Save goes to the user's file, or to a name nobody's project has.
        EXPECT_EQ(next.project().projectFilePath,
                  savedBefore ? user() / "mine.prg" : user() / "project1.prg");
        if (savedBefore) {  // the copies never went into the user's file
            EXPECT_EQ(contentOf(user() / "mine.prg").find("afterSave"), std::string::npos);
        } else {
            EXPECT_EQ(contentOf(otherProject), "another run's project");
        }

        // The edited copy survives its working folder, in a folder this run uses.
        const fs::path edited = trip.pictures[0].workingPath;
        EXPECT_NE(edited, trip.pictures[0].sourcePath);
        EXPECT_EQ(edited.parent_path(), next.project().folders().temporary);
        EXPECT_EQ(QImage(QString::fromStdString(edited.string())).pixel(10, 10), kEditedColour);

        // Until the run ends the copy is this run's: no other start offers it.
        EXPECT_EQ(next.recovery.path(), copy);
        EngineRun third(folders());
        EXPECT_FALSE(third.recovery.found());
    }
}

TEST_F(RecoveryFileTest, TheCopyFollowsTheModifiedFlagAndLeavesTheProjectAlone) {
    EngineRun run(folders());
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.project().flags().modified);
    EXPECT_FALSE(run.recovery.saveIfModified());
    EXPECT_FALSE(fs::exists(recoveryFolder()));  // an unchanged project leaves nothing

    ASSERT_TRUE(addSlideshow(run.project(), "trip", {"a.png"}));
    ASSERT_TRUE(run.app.session.saveProjectAs(user() / "mine.prg", false));
    const std::string saved = contentOf(user() / "mine.prg");
    ASSERT_TRUE(addSlideshow(run.project(), "afterSave", {"c.png"}));
    EXPECT_TRUE(run.recovery.saveIfModified());
    EXPECT_TRUE(run.recovery.exists());
    EXPECT_NE(contentOf(run.recovery.path()).find("afterSave"), std::string::npos);
    EXPECT_EQ(contentOf(user() / "mine.prg"), saved);
    EXPECT_EQ(run.project().projectFilePath, user() / "mine.prg");
    EXPECT_TRUE(run.project().flags().modified);
    EXPECT_TRUE(run.notifier.messages.empty());

    // Saved: nothing is left to recover, and a crash now offers nothing.
    ASSERT_TRUE(run.app.session.saveProject(false));
    EXPECT_FALSE(run.recovery.saveIfModified());
    EXPECT_FALSE(run.recovery.exists());
}

TEST_F(RecoveryFileTest, OnlyTheCopyOfARunThatEndedIsOfferedAndDiscardRemovesIt) {
    fs::path copy;
    {
        EngineRun live(folders());
        ASSERT_TRUE(addSlideshow(live.project(), "trip", {"a.png"}));
        ASSERT_TRUE(live.recovery.saveIfModified());
        copy = live.recovery.path();

        EngineRun other(folders());
        EXPECT_FALSE(other.recovery.found());
        EXPECT_TRUE(fs::exists(copy));  // looked at, not removed
    }  // the run ends without its normal quit, as a crash would end it

    EngineRun next(folders());
    ASSERT_TRUE(next.recovery.found());
    EXPECT_EQ(next.recovery.foundFile(), copy);
    EXPECT_TRUE(next.recovery.discard());
    EXPECT_FALSE(fs::exists(copy.parent_path()));
    EXPECT_FALSE(next.recovery.found());
    EXPECT_TRUE(next.project().slideshows.empty());
}

TEST_F(RecoveryFileTest, ANormalQuitRemovesTheCopy) {
    fs::path copy;
    {
        EngineRun run(folders());
        ASSERT_TRUE(addSlideshow(run.project(), "trip", {"a.png"}));
        ASSERT_TRUE(run.recovery.saveIfModified());
        copy = run.recovery.path();
        run.recovery.remove();
    }
    EXPECT_FALSE(fs::exists(copy.parent_path()));
    EngineRun next(folders());
    EXPECT_FALSE(next.recovery.found());
}

TEST_F(RecoveryFileTest, ACopyThatCannotBeWrittenIsLoggedAndChangesNothing) {
    EngineRun run(folders());
    std::ofstream(recoveryFolder()) << "not a folder";
    ASSERT_TRUE(addSlideshow(run.project(), "trip", {"a.png"}));
    const fs::path projectFile = run.project().projectFilePath;

    EXPECT_FALSE(run.recovery.saveIfModified());
    EXPECT_TRUE(run.project().flags().modified);
    EXPECT_EQ(run.project().projectFilePath, projectFile);
    EXPECT_FALSE(fs::exists(projectFile));
    EXPECT_EQ(run.project().slideshows.size(), 1u);
    const std::string log = contentOf(run.app.log.file());
    EXPECT_NE(log.find("Recovery copy of the project not written"), std::string::npos) << log;
    EXPECT_NE(log.find(recoveryFolder().string()), std::string::npos) << log;
}

// Copies left in the recovery folder are read back like any project file:
// a FIFO is never opened, a link is never followed or deleted, and the file
// a copy says it was saved to is taken only when it is a project file.
TEST_F(RecoveryFileTest, CraftedCopiesAreReadWithTheProjectFileChecks) {
    const fs::path photos = temporary_.path() / "photos";
    fs::create_directories(photos);
    std::ofstream(photos / "keep.txt") << "keep";
    fs::create_directories(recoveryFolder());
    fs::create_directory_symlink(photos, recoveryFolder() / "run-link");
    ASSERT_TRUE(markWorkingFolder(photos));

    const fs::path fifoRun = recoveryFolder() / "run-fifo";
    fs::create_directories(fifoRun);
    ASSERT_TRUE(markWorkingFolder(fifoRun));
    ASSERT_EQ(::mkfifo((fifoRun / RecoveryFile::kProjectFileName).c_str(), 0600), 0);

    const fs::path craftedRun = recoveryFolder() / "run-crafted";
    fs::create_directories(craftedRun);
    ASSERT_TRUE(markWorkingFolder(craftedRun));
    const std::string project =
        "<rorevav><Preference File>x</Preference File><Working Path>" + photos.string() +
        "</Working Path><Temp Path>" + (photos / "temp").string() + "</Temp Path><OutPut Path>" +
        photos.string() +
        "</OutPut Path><cuteslideshows><slideshow><name>trip</name><cover index>0</cover "
        "index><pic><strOriginalFile>" +
        (pictures() / "a.png").string() +
        "</strOriginalFile></pic></slideshow></cuteslideshows></rorevav>";
    std::ofstream(craftedRun / RecoveryFile::kProjectFileName) << project;
    std::ofstream(craftedRun / "origin.xml")
        << "<velmoraRecovery><ProjectFile>" << (photos / "keep.txt").string()
        << "</ProjectFile><Existed>1</Existed></velmoraRecovery>";

    EngineRun run(folders());
    ASSERT_TRUE(run.recovery.found());
    EXPECT_EQ(run.recovery.foundFile(), craftedRun / RecoveryFile::kProjectFileName);
    EXPECT_FALSE(fs::exists(fifoRun));  // a dead run's folder without a copy goes
    run.recovery.restore();             // the pic lacks its settings: the reading stops there
    EXPECT_EQ(run.project().projectFilePath, user() / "project0.prg");
    EXPECT_NE(run.project().folders().working, photos);
    EXPECT_TRUE(run.project().flags().modified);
    EXPECT_EQ(contentOf(photos / "keep.txt"), "keep");
    EXPECT_TRUE(fs::is_symlink(recoveryFolder() / "run-link"));
}

}  // namespace
}  // namespace velmora
