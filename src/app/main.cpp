// velmora: the desktop program.
//
//   velmora [PROJECT.prg | PICTURE_FOLDER ...]
//
// opens the project, or imports each folder as a slideshow. One copy runs
// per user folder: a second start hands what it was asked to open to the
// first window and ends.

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <filesystem>
#include <vector>
#include <string>

#include "app/instance_channel.h"
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
    QStringList paths;           // projects and picture folders to open, absolute
};

Options readOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--screenshots") && i + 1 < arguments.size())
            options.screenshotFolder = arguments[++i];
        else if (arguments[i] == QLatin1String("--quit-when-shown"))
            options.quitWhenShown = true;
        else if (!arguments[i].startsWith(QLatin1String("--")))
            options.paths.append(QDir::cleanPath(QDir::current().absoluteFilePath(arguments[i])));
    }
    return options;
}

std::vector<fs::path> pathsOf(const QStringList& texts) {
    std::vector<fs::path> paths;
    for (const QString& text : texts)
        paths.emplace_back(text.toStdString());
    return paths;
}

int runWindow(const velmora::AppFolders& folders, const Options& options,
              velmora::InstanceChannel& channel) {
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
    QObject::connect(&channel, &InstanceChannel::pathsReceived, &window,
                     [&window](const QStringList& paths) { window.openPaths(pathsOf(paths)); });
    QTimer::singleShot(0, &window, [&window, &options] {
        window.greetUser();
        if (!options.paths.isEmpty()) window.openPaths(pathsOf(options.paths));
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
    QApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
    const Options options = readOptions(QApplication::arguments());

    const velmora::AppFolders folders =
        velmora::AppFolders::fromEnvironment(fs::read_symlink("/proc/self/exe"));
    std::error_code ignored;
    fs::create_directories(folders.userFolder, ignored);
    velmora::InstanceChannel channel(folders.userFolder);
    if (!channel.claim()) {
        if (channel.handOver(options.paths)) return 0;
        std::fprintf(stderr,
                     "velmora: Velmora is running for %s but does not answer; try again once "
                     "its window responds\n",
                     folders.userFolder.c_str());
        return 1;
    }
    return runWindow(folders, options, channel);
}
