#pragma once

// A main window on a real engine in a temporary user folder, with the
// user's answers and file choices scripted.

#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QString>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/notifier.h"
#include "disc/disc_space.h"
#include "gui/file_dialogs.h"
#include "gui/main_window.h"
#include "gui/page_signals.h"
#include "interfaces/shutdown.h"
#include "outside/audio_player.h"
#include "support/temporary_folder.h"
#include "workspace/application.h"
#include "workspace/recovery_file.h"
#include "workspace/slideshow_commands.h"

// Qt's strings as text in GoogleTest's messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace velmora::test {

// Runs the event loop until `done` holds; false when `timeoutMs` passed
// first. (QtTest's QTRY macros report to QtTest, not to GoogleTest.)
template <typename Condition>
bool waitUntil(Condition done, int timeoutMs = 10000) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline const std::filesystem::path kResources = VELMORA_TEST_RESOURCES;

// Answers questions from a queue (No when it runs dry) and keeps what was
// asked and shown.
class ScriptedNotifier final : public Notifier {
  public:
    void show(std::string_view text, std::string_view, NotifierIcon) override {
        shown.emplace_back(text);
    }
    NotifierAnswer ask(std::string_view text, std::string_view title,
                       NotifierButtons buttons) override {
        asked.push_back({std::string(text), std::string(title), buttons});
        if (answers.empty()) return NotifierAnswer::No;
        const NotifierAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    struct Question {
        std::string text;
        std::string title;
        NotifierButtons buttons;
    };
    std::deque<NotifierAnswer> answers;
    std::vector<Question> asked;
    std::vector<std::string> shown;
};

// Answers every file dialog with the next prepared path (nothing: Cancel).
class ScriptedFileDialogs final : public FileDialogs {
  public:
    std::optional<std::filesystem::path> openProjectFile(const std::filesystem::path&) override {
        return next();
    }
    std::optional<std::filesystem::path> saveProjectFile(const std::filesystem::path&) override {
        return next();
    }
    std::optional<std::filesystem::path> chooseFolder(const std::string&,
                                                      const std::filesystem::path&) override {
        return next();
    }
    std::optional<std::filesystem::path> saveImageFile(const std::filesystem::path&) override {
        return next();
    }
    std::vector<std::filesystem::path> openPictureFiles(const std::filesystem::path&) override {
        return nextList(pictureChoices);
    }
    std::vector<std::filesystem::path> chooseImportFolders(const std::filesystem::path&) override {
        return nextList(folderChoices);
    }
    std::vector<std::filesystem::path> openAudioFiles(const std::filesystem::path&) override {
        return nextList(audioChoices);
    }
    std::optional<std::filesystem::path> openAudioFile(const std::filesystem::path&) override {
        return next();
    }
    std::optional<FontRecord> chooseFont(const FontRecord&) override { return font; }
    std::optional<uint32_t> chooseColour(uint32_t) override { return colour; }
    std::deque<std::optional<std::filesystem::path>> choices;
    std::optional<FontRecord> font;
    std::optional<uint32_t> colour;
    // The answers of the picture, import and music dialogs (empty: Cancel).
    std::deque<std::vector<std::filesystem::path>> pictureChoices;
    std::deque<std::vector<std::filesystem::path>> folderChoices;
    std::deque<std::vector<std::filesystem::path>> audioChoices;

  private:
    static std::vector<std::filesystem::path> nextList(
        std::deque<std::vector<std::filesystem::path>>& queue) {
        if (queue.empty()) return {};
        auto choice = queue.front();
        queue.pop_front();
        return choice;
    }
    std::optional<std::filesystem::path> next() {
        if (choices.empty()) return std::nullopt;
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

// A sound output that plays nothing and keeps what it was asked to play.
class SilentAudioPlayer final : public AudioPlayer {
  public:
    bool initialise(std::string* reason) override {
        if (!hasOutput) *reason = "no sound output";
        return hasOutput;
    }
    bool open(const std::filesystem::path& file, std::string*) override {
        opened.push_back(file);
        return true;
    }
    double durationSeconds() const override { return 0; }
    void playFromStart() override { playing = true; }
    void stop() override { playing = false; }

    bool hasOutput = true;
    bool playing = false;
    std::vector<std::filesystem::path> opened;
};

// A power-off that never happens: it keeps what it was asked and answers
// the countdown as told.
class FakeShutdown final : public Shutdown {
  public:
    bool countdown(std::string_view text, int seconds) override {
        countdowns.push_back({std::string(text), seconds});
        return agree;
    }
    bool powerOff() override {
        ++powerOffs;
        return true;
    }
    bool agree = false;
    std::vector<std::pair<std::string, int>> countdowns;
    int powerOffs = 0;
};

// The machine's drives, or one with as little room as a test gives it.
class AdjustableDrives final : public Drives {
  public:
    std::optional<FilesystemSpace> space(const std::filesystem::path& path) override {
        if (!freeMegabytes) return systemDrives().space(path);
        return FilesystemSpace{uint64_t(*freeMegabytes + 100) << 20,
                               uint64_t(*freeMegabytes) << 20};
    }
    bool sameDrive(const std::filesystem::path& a, const std::filesystem::path& b) override {
        return systemDrives().sameDrive(a, b);
    }
    std::string driveName(const std::filesystem::path& path) override {
        return systemDrives().driveName(path);
    }
    std::optional<int64_t> freeMegabytes;  // nothing: the real room
};

class WindowFixture {
  public:
    // In a user folder of its own, or in `home` (a run before it left its
    // files there).
    explicit WindowFixture(const std::filesystem::path& home = {})
        : home_(home.empty() ? temporary.path() / "home" : home) {
        std::string reason;
        started = app.start(&reason);
        window = std::make_unique<MainWindow>(MainWindowParts{
            app, notifier, files, pageSignals, settings, recovery, audio, &drives, &shutdown});
        window->show();
    }
    std::filesystem::path user() const { return home_; }

    // A new slideshow of `count` small photos, each its own colour; its
    // index. With `seconds`, every picture shows that long without a
    // transition, so that a preview of it ends soon.
    int addPhotoSlideshow(int count, std::optional<int> seconds = std::nullopt) {
        const std::filesystem::path folder =
            temporary.path() / ("photos" + std::to_string(++photoFolders_));
        std::filesystem::create_directories(folder);
        std::vector<std::filesystem::path> photos;
        for (int i = 0; i < count; ++i) {
            const std::filesystem::path file = folder / (std::to_string(i) + ".png");
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 36 % 360, 200, 200));
            image.save(QString::fromStdString(file.string()));
            photos.push_back(file);
        }
        SlideshowCommands commands(app, notifier);
        const int index = commands.startSlideshow();
        EXPECT_TRUE(commands.fillNewSlideshow(index, photos));
        if (seconds && index >= 0) {
            Slideshow& slideshow = *app.project.slideshows[size_t(index)];
            std::vector<int> all(slideshow.pictures.size());
            for (size_t i = 0; i < all.size(); ++i)
                all[i] = int(i);
            slideshow.setDisplayTime(all, *seconds);
            slideshow.setTransitionTime(all, 0);
        }
        return index;
    }

    TemporaryFolder temporary;

  private:
    std::filesystem::path home_;
    int photoFolders_ = 0;

  public:
    ScriptedNotifier notifier;
    ScriptedFileDialogs files;
    PageSignals pageSignals;
    Application app{{home_, kResources}, notifier, pageSignals};
    QSettings settings{QString::fromStdString((temporary.path() / "settings.ini").string()),
                       QSettings::IniFormat};
    bool started = false;
    RecoveryFile recovery{app};
    SilentAudioPlayer audio;
    AdjustableDrives drives;
    FakeShutdown shutdown;
    std::unique_ptr<MainWindow> window;
};

}  // namespace velmora::test
