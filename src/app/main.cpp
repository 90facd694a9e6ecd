// velmora: the desktop program. One copy runs per user; a second start
// leaves the first alone and ends quietly.

#include <QApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <string>

#include "base/app_folders.h"
#include "gui/desktop_settings.h"
#include "gui/file_dialogs.h"
#include "gui/main_window.h"
#include "gui/message_box_notifier.h"
#include "gui/page_signals.h"
#include "gui/screenshot_tour.h"
#include "gui/shutdown_dialog.h"
#include "outside/ffmpeg_audio_player.h"
#include "outside/logind_shutdown.h"
#include "workspace/application.h"
#include "workspace/recovery_file.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    QString screenshotFolder;    // --screenshots DIR: save every page and dialog, then quit
    bool quitWhenShown = false;  // --quit-when-shown: for measuring the start
};

Options readOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--screenshots") && i + 1 < arguments.size())
            options.screenshotFolder = arguments[++i];
        else if (arguments[i] == QLatin1String("--quit-when-shown"))
            options.quitWhenShown = true;
    }
    return options;
}

int runWindow(const velmora::AppFolders& folders, const Options& options) {
    using namespace velmora;
    MessageBoxNotifier notifier;
    PageSignals pageSignals;
    Application app(folders, notifier, pageSignals);
    std::string reason;
    if (!app.start(&reason)) {
        QMessageBox::critical(nullptr, QStringLiteral("Velmora"), QString::fromStdString(reason));
        return 1;
    }
    QSettings settings;
    const DesktopSettings desktop(settings);
    app.log.writeLog("software version:" + desktop.version().toStdString());
    app.log.writeLog("Software start!");

    DesktopFileDialogs fileDialogs;
    RecoveryFile recovery(app);
    FfmpegAudioPlayer audioPlayer;
    LogindShutdown powerOff(app.log);
    DialogShutdown shutdown(powerOff);
    MainWindow window({app, notifier, fileDialogs, pageSignals, settings, recovery, audioPlayer,
                       nullptr, &shutdown});
    notifier.setParentWindow(&window);
    fileDialogs.setParentWindow(&window);
    shutdown.setParentWindow(&window);
    window.show();
    if (!options.screenshotFolder.isEmpty()) {
        ScreenshotTour tour(window, app, notifier,
                            fs::path(options.screenshotFolder.toStdString()));
        return tour.run();
    }
    if (options.quitWhenShown) {
        // Ends once the window is really on the screen (exposed), not
        // merely asked to show.
        QTimer exposed;
        QObject::connect(&exposed, &QTimer::timeout, &window, [&window] {
            if (window.windowHandle() != nullptr && window.windowHandle()->isExposed())
                QApplication::exit(0);
        });
        exposed.start(1);
        return QApplication::exec();
    }
    QTimer::singleShot(0, &window, &MainWindow::greetUser);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    const Options options = readOptions(QApplication::arguments());

    const velmora::AppFolders folders =
        velmora::AppFolders::fromEnvironment(fs::read_symlink("/proc/self/exe"));
    std::error_code ignored;
    fs::create_directories(folders.userFolder, ignored);
    // One window per user folder: a second copy would share the working
    // folders, the preferences and the recovery file.
    QLockFile instance(QString::fromStdString((folders.userFolder / "velmora.lock").string()));
    instance.setStaleLockTime(0);  // a crashed run's lock is stale by its process, not its age
    if (!instance.tryLock(0)) return 0;
    return runWindow(folders, options);
}
