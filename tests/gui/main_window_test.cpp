#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QTimer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <iterator>

#include "gui/gui_fixture.h"
#include "gui/pages/photos_tab.h"
#include "gui/url_recorder.h"
#include "workspace/recovery_file.h"
#include "workspace/slideshow_import.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Answer = NotifierAnswer;

std::string fileText(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MainWindowTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(started); }

    // A slideshow of the sample pictures: the project is modified.
    void addSlideshow() {
        importFolders(app.project, {test::kResources / "samples"});
        ASSERT_FALSE(app.project.slideshows.empty());
        ASSERT_TRUE(app.project.flags().modified);
    }
    std::vector<std::string> questions() const {
        std::vector<std::string> texts;
        for (const auto& question : notifier.asked)
            texts.push_back(question.text);
        return texts;
    }
    // The close box, as the window manager sends it.
    bool closeBox() {
        window->close();
        return window->isVisible();
    }
    void trigger(const char* action) {
        QAction* command = window->action(action);
        ASSERT_NE(command, nullptr) << action;
        command->trigger();
    }
};

TEST_F(MainWindowTest, TheCloseBoxAsksToQuitOrToSaveAndCancelKeepsTheWindow) {
    const fs::path working = app.project.folders().working;
    // Unmodified: "Do you want to quit?"; No keeps the window.
    notifier.answers = {Answer::No};
    EXPECT_TRUE(closeBox());
    EXPECT_EQ(questions(), std::vector<std::string>{"Do you want to quit?"});

    // Modified: the three-answer save question instead; Cancel keeps it.
    addSlideshow();
    notifier.asked.clear();
    notifier.answers = {Answer::Cancel};
    EXPECT_TRUE(closeBox());
    ASSERT_EQ(notifier.asked.size(), 1u);
    EXPECT_EQ(notifier.asked[0].text, "Do you want to save this project?");
    EXPECT_EQ(notifier.asked[0].title, "Query");
    EXPECT_EQ(notifier.asked[0].buttons, NotifierButtons::YesNoCancel);

    // Yes with a save that fails keeps the window: the work is not lost.
    app.project.projectFilePath = user() / "no such folder" / "trip.prg";
    notifier.answers = {Answer::Yes};
    EXPECT_TRUE(closeBox());
    EXPECT_EQ(notifier.shown.size(), 1u);  // why the save failed
    EXPECT_TRUE(app.project.flags().modified);

    // No closes without saving; the never-saved working folder goes.
    notifier.answers = {Answer::No};
    EXPECT_FALSE(closeBox());
    EXPECT_FALSE(fs::exists(app.project.projectFilePath));
    EXPECT_FALSE(fs::exists(working));
    EXPECT_NE(fileText(app.log.file()).find("Quite software!"), std::string::npos);
}

TEST_F(MainWindowTest, ExitWithNoClosesUnsavedButWritesThePreferences) {
    addSlideshow();
    fs::remove(app.resources.preferencesFile);
    const fs::path working = app.project.folders().working;
    notifier.answers = {Answer::No};
    trigger("exitAction");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(questions(), std::vector<std::string>{"Do you want to save this project?"});
    EXPECT_FALSE(fs::exists(app.project.projectFilePath));
    EXPECT_TRUE(fs::exists(app.resources.preferencesFile));
    EXPECT_TRUE(fs::exists(working));  // Exit leaves the folder; the next start clears it
    EXPECT_NE(fileText(app.log.file()).find("Quit software!"), std::string::npos);
}

TEST_F(MainWindowTest, SaveAsAddsTheExtensionOnlyWhenMissing) {
    addSlideshow();
    struct Case {
        const char* typed;
        const char* stored;
    };
    for (const Case& c : {Case{"summer", "summer.prg"}, Case{"winter.prg", "winter.prg"},
                          Case{"notes.txt", "notes.txt.prg"}}) {
        SCOPED_TRACE(c.typed);
        files.choices = {user() / c.typed};
        trigger("saveAsAction");
        EXPECT_TRUE(fs::is_regular_file(user() / c.stored));
        EXPECT_EQ(app.project.projectFilePath, user() / c.stored);
        EXPECT_FALSE(app.project.flags().modified);
        EXPECT_FALSE(window->isWindowModified());
        EXPECT_TRUE(window->windowTitle().startsWith(QString::fromUtf8(c.stored)));
    }
    // Cancelled: nothing is written.
    files.choices = {std::nullopt};
    trigger("saveAsAction");
    EXPECT_EQ(app.project.projectFilePath, user() / "notes.txt.prg");
}

TEST_F(MainWindowTest, NewAndOpenAskBeforeReplacingAModifiedProject) {
    addSlideshow();
    // Cancel keeps everything.
    notifier.answers = {Answer::Cancel};
    trigger("newAction");
    EXPECT_EQ(questions(), std::vector<std::string>{"Do you want save this project?"});
    EXPECT_FALSE(app.project.slideshows.empty());

    // Yes saves first, then starts afresh.
    const fs::path saved = app.project.projectFilePath;
    notifier.answers = {Answer::Yes};
    trigger("newAction");
    EXPECT_TRUE(fs::is_regular_file(saved));
    EXPECT_TRUE(app.project.slideshows.empty());
    EXPECT_EQ(window->discUsageBar()->value(), 0);

    // Open the saved project from an unmodified one: no question.
    notifier.asked.clear();
    files.choices = {saved};
    trigger("openAction");
    EXPECT_TRUE(notifier.asked.empty());
    ASSERT_EQ(app.project.slideshows.size(), 1u);
    EXPECT_GT(window->discUsageBar()->value(), 0);

    // An unreadable file: an empty project and a line in the log saying why.
    const fs::path broken = user() / "broken.prg";
    std::ofstream(broken) << "\x01\x02 not a project";
    app.project.flags().modified = false;
    files.choices = {broken};
    trigger("openAction");
    EXPECT_TRUE(app.project.slideshows.empty());
    EXPECT_NE(fileText(app.log.file()).find("broken.prg"), std::string::npos);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ABuildDisablesTheProjectCommandsUntilItEnds) {
    auto* openButton = window->findChild<QToolButton*>(QStringLiteral("openProjectButton"));
    ASSERT_NE(openButton, nullptr);
    for (const bool enabled : {false, true}) {
        emit pageSignals.projectCommandsEnabled(enabled);  // queued, as from the build thread
        QCoreApplication::processEvents();
        EXPECT_EQ(window->pages()->tabBar()->isEnabled(), enabled);
        EXPECT_EQ(openButton->isEnabled(), enabled);
        EXPECT_EQ(window->action("saveAction")->isEnabled(), enabled);
        EXPECT_EQ(window->action("exitAction")->isEnabled(), enabled);
    }
}

TEST_F(MainWindowTest, PathsFromTheCommandLineOpenAProjectImportFoldersAndNameWhatIsNeither) {
    // A saved project of one slideshow, then a new, empty one.
    addSlideshow();
    const fs::path project = temporary.path() / "trip.prg";
    ASSERT_TRUE(app.session.saveProjectAs(project, false));
    trigger("newAction");
    ASSERT_TRUE(app.project.slideshows.empty());

    const fs::path notAProject = temporary.path() / "notes.prg";
    std::ofstream(notAProject) << "shopping list";
    const fs::path missing = temporary.path() / "missing.prg";
    window->openPaths({project, notAProject, missing});
    EXPECT_EQ(app.project.projectFilePath, project);
    EXPECT_EQ(app.project.slideshows.size(), 1u);
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_NE(notifier.shown[0].find("'" + notAProject.string() + "' is neither"),
              std::string::npos)
        << notifier.shown[0];
    EXPECT_EQ(notifier.shown[1], "'" + missing.string() + "' does not exist.");

    // A folder becomes one more slideshow, on the photos page, once the
    // dialog that was open when it came has closed.
    window->pages()->setCurrentIndex(MainWindow::kBurnTab);
    QDialog dialog(window.get());
    QTimer::singleShot(0, [&] {
        window->openPaths({test::kResources / "samples"});
        QTest::qWait(400);
        EXPECT_EQ(app.project.slideshows.size(), 1u);  // not under the dialog
        dialog.accept();
    });
    dialog.exec();
    ASSERT_TRUE(test::waitUntil([&] { return app.project.slideshows.size() == 2u; }));
    EXPECT_EQ(window->pages()->currentIndex(), MainWindow::kPhotosTab);
}

TEST_F(MainWindowTest, HelpManualAndF1OpenTheManualOfTheResourceFolder) {
    test::UrlRecorder urls;
    window->action("manualAction")->trigger();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_EQ(urls.opened.size(), 2u);
    const std::filesystem::path manual = app.folders.resourceFolder / "manual" / "index.html";
    for (const QUrl& address : urls.opened)
        EXPECT_EQ(std::filesystem::path(address.toLocalFile().toStdString()), manual);
    EXPECT_TRUE(std::filesystem::is_regular_file(manual));
}

TEST_F(MainWindowTest, TheFirstThreeStartsShowTheHint) {
    for (const int runCount : {0, 1, 2, 3}) {
        SCOPED_TRACE(runCount);
        test::WindowFixture fresh;  // a window of its own for each start
        fresh.app.preferences.runCount = runCount;
        fresh.window->greetUser();
        EXPECT_EQ(fresh.window->photosTab()->isFirstStartHintShown(), runCount < 3);
    }
}

TEST_F(MainWindowTest, KeyboardAndShortcuts) {
    // The standard shortcuts reach the commands.
    EXPECT_EQ(window->action("newAction")->shortcut(), QKeySequence(QKeySequence::New));
    EXPECT_EQ(window->action("saveAsAction")->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(window->action("exitAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(window->action("manualAction")->shortcut(), QKeySequence(Qt::Key_F1));
    // Escape leaves as the close box does, with the same question.
    notifier.answers = {Answer::No};
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(questions(), std::vector<std::string>{"Do you want to quit?"});
    EXPECT_TRUE(window->isVisible());
    // Tabs switch with the keyboard; the five pages are there in order.
    ASSERT_EQ(window->pages()->count(), 5);
    QTest::keyClick(window->pages()->tabBar(), Qt::Key_Right);
    EXPECT_EQ(window->pages()->currentIndex(), MainWindow::kEffectsTab);
}

// A run that ends without quitting (a crash, a kill) leaves its last safety
// copy; the next start offers it.
TEST(MainWindowRecoveryTest, TheNextStartRestoresOrDiscardsTheWorkOfARunThatDied) {
    test::TemporaryFolder folder;
    const fs::path home = folder.path() / "home";
    const auto dieWithWork = [&] {
        test::ScriptedNotifier quiet;
        PageSignals pageSignals;
        Application app({home, test::kResources}, quiet, pageSignals);
        std::string reason;
        ASSERT_TRUE(app.start(&reason)) << reason;
        importFolders(app.project, {test::kResources / "samples"});
        RecoveryFile recovery(app);
        ASSERT_TRUE(recovery.saveIfModified());
    };  // gone without quitting: the copy stays

    dieWithWork();
    {
        test::WindowFixture next(home);
        next.notifier.answers = {Answer::Yes};
        next.window->greetUser();
        ASSERT_EQ(next.notifier.asked.size(), 1u);
        EXPECT_EQ(next.notifier.asked[0].buttons, NotifierButtons::RestoreDiscard);
        ASSERT_EQ(next.app.project.slideshows.size(), 1u);
        EXPECT_EQ(next.app.project.slideshows[0]->pictures.size(),
                  importablePictures(test::kResources / "samples").size());
        EXPECT_TRUE(next.window->isWindowModified());
        EXPECT_GT(next.window->discUsageBar()->value(), 0);
        // The user decides not to keep it after all: a normal quit ends the copy.
        next.notifier.answers = {Answer::No};
        next.window->close();
    }
    {
        test::WindowFixture after(home);
        after.window->greetUser();
        EXPECT_TRUE(after.notifier.asked.empty());  // nothing left to offer
        after.window->close();
    }

    dieWithWork();
    {
        test::WindowFixture next(home);
        next.notifier.answers = {Answer::No};  // "Discard"
        next.window->greetUser();
        EXPECT_TRUE(next.app.project.slideshows.empty());
    }
    test::WindowFixture after(home);
    after.window->greetUser();
    EXPECT_TRUE(after.notifier.asked.empty());
}

}  // namespace
}  // namespace velmora
