#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/notifier.h"
#include "disc/disc_space.h"
#include "gui/about_dialog.h"
#include "gui/desktop_settings.h"
#include "gui/file_dialogs.h"
#include "gui/page_signals.h"
#include "gui/pages/burn_tab.h"
#include "gui/pages/effects_tab.h"
#include "gui/pages/menu_tab.h"
#include "gui/pages/music_tab.h"
#include "gui/pages/photos_tab.h"
#include "gui/settings_dialog.h"
#include "gui/theme_icons.h"
#include "gui/tip_dialog.h"
#include "model/project_file.h"
#include "outside/audio_player.h"
#include "workspace/application.h"
#include "workspace/recovery_file.h"

namespace velmora {

namespace {

// The size the window opens at; it grows with the screen.
constexpr QSize kOpeningSize(852, 582);
// The model has no change signal: the title's modified mark follows it.
constexpr int kTitleCheckMilliseconds = 500;
// How often paths handed over during a dialog look for it to be closed.
constexpr int kWaitingPathsCheckMilliseconds = 300;
// How much work a crash may cost at most.
constexpr int kRecoveryCopyMilliseconds = 2 * 60 * 1000;

// A wait cursor for as long as a command runs.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

MainWindow::MainWindow(const MainWindowParts& parts, QWidget* parent)
    : QMainWindow(parent),
      parts_(parts),
      commands_(parts.app, parts.notifier, *this),
      audioPreview_(parts.audioPlayer, audioTimer_, parts.app.log, parts.app.preferences) {
    setWindowIcon(themeIcon(QStringLiteral("velmora"), parts_.app.folders.resourceFolder));
    buildMenus();
    buildPages();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(tabs_, 1);
    layout->addWidget(buildBottomRow());
    setCentralWidget(central);
    statusBar();
    resize(kOpeningSize);
    connectSignals();
    // Escape leaves as the close box does (and asks the same questions).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* titleCheck = new QTimer(this);
    connect(titleCheck, &QTimer::timeout, this, &MainWindow::updateTitle);
    titleCheck->start(kTitleCheckMilliseconds);
    auto* recoveryCopy = new QTimer(this);
    connect(recoveryCopy, &QTimer::timeout, this, &MainWindow::saveRecoveryCopy);
    recoveryCopy->start(kRecoveryCopyMilliseconds);
    updateDiscUsage();
    updateTitle();
    waitingPathsCheck_ = new QTimer(this);
    waitingPathsCheck_->setInterval(kWaitingPathsCheckMilliseconds);
    connect(waitingPathsCheck_, &QTimer::timeout, this, [this] {
        if (QApplication::activeModalWidget() != nullptr) return;
        waitingPathsCheck_->stop();
        openPaths(std::exchange(waitingPaths_, {}));
    });
}

QAction* MainWindow::addCommand(QMenu* menu, const char* objectName, const QString& text,
                                const QString& iconName, QKeySequence shortcut) {
    QAction* command =
        menu->addAction(themeIcon(iconName, parts_.app.folders.resourceFolder), text);
    command->setObjectName(QString::fromLatin1(objectName));
    command->setShortcut(shortcut);
    return command;
}

void MainWindow::buildMenus() {
    QMenu* project = menuBar()->addMenu(tr("&Project"));
    project->setObjectName(QStringLiteral("projectMenu"));
    connect(addCommand(project, "newAction", tr("&New"), QStringLiteral("document-new"),
                       QKeySequence::New),
            &QAction::triggered, this, &MainWindow::newProject);
    connect(addCommand(project, "openAction", tr("&Open..."), QStringLiteral("document-open"),
                       QKeySequence::Open),
            &QAction::triggered, this, &MainWindow::openProject);
    connect(addCommand(project, "saveAction", tr("&Save"), QStringLiteral("document-save"),
                       QKeySequence::Save),
            &QAction::triggered, this, &MainWindow::saveProject);
    connect(
        addCommand(project, "saveAsAction", tr("Save &As..."), QStringLiteral("document-save-as"),
                   QKeySequence(QStringLiteral("Ctrl+Shift+S"))),
        &QAction::triggered, this, &MainWindow::saveProjectAs);
    project->addSeparator();
    connect(addCommand(project, "settingsAction", tr("Se&ttings..."),
                       QStringLiteral("preferences-system"), QKeySequence::Preferences),
            &QAction::triggered, this, &MainWindow::openSettings);
    project->addSeparator();
    connect(addCommand(project, "exitAction", tr("E&xit"), QStringLiteral("application-exit"),
                       QKeySequence(QStringLiteral("Ctrl+Q"))),
            &QAction::triggered, this, &MainWindow::exitProgram);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    connect(addCommand(help, "manualAction", tr("Help &Manual"), QStringLiteral("help-contents"),
                       QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &MainWindow::openManual);
    connect(addCommand(help, "tipAction", tr("&Tip Everyday"), QStringLiteral("help-faq"), {}),
            &QAction::triggered, this, &MainWindow::showTipOfTheDay);
    connect(addCommand(help, "updateAction", tr("&Update"),
                       QStringLiteral("system-software-update"), {}),
            &QAction::triggered, this, &MainWindow::openUpdatePage);
    help->addSeparator();
    connect(addCommand(help, "aboutAction", tr("&About Velmora"), QStringLiteral("help-about"), {}),
            &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::buildPages() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pages"));
    tabs_->setDocumentMode(true);
    const std::filesystem::path& resources = parts_.app.folders.resourceFolder;
    const PageParts pageParts{parts_.app,         parts_.notifier, parts_.fileDialogs,
                              parts_.pageSignals, preview_,        audioPreview_};
    tabs_->addTab(new PhotosTab(pageParts, tabs_),
                  themeIcon(QStringLiteral("velmora-photos"), resources),
                  tr("Photos && Slideshows"));
    tabs_->addTab(new EffectsTab(pageParts, tabs_),
                  themeIcon(QStringLiteral("velmora-effects"), resources), tr("Effects"));
    tabs_->addTab(new MusicTab(pageParts, tabs_),
                  themeIcon(QStringLiteral("velmora-music"), resources), tr("Music && Preview"));
    tabs_->addTab(new MenuTab(pageParts, tabs_), themeIcon(QStringLiteral("velmora-menu"), resources),
                  tr("DVD Menu"));
    const BurnTabParts burnParts{
        parts_.drives != nullptr ? parts_.drives : &systemDrives(), parts_.shutdown,
        [](const QUrl& address) { return QDesktopServices::openUrl(address); }};
    tabs_->addTab(new BurnTab(pageParts, burnParts, tabs_),
                  themeIcon(QStringLiteral("velmora-burn"), resources), tr("Burn"));
    tabs_->setCurrentIndex(kPhotosTab);
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::switchToPage);
}

QWidget* MainWindow::buildBottomRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    duration_ = new QLabel(tr("Slideshow Duration: 00:00:00"), row);
    duration_->setObjectName(QStringLiteral("durationLabel"));
    layout->addWidget(duration_);
    discUsage_ = new QProgressBar(row);
    discUsage_->setObjectName(QStringLiteral("discUsage"));
    discUsage_->setRange(0, int(Project::kDiscLimitMegabytes));
    discUsage_->setFormat(tr("%v MB of %m MB"));
    discUsage_->setAccessibleName(tr("Disc usage"));
    // The one colour of the bar that is ours, not the desktop's: a disc's green.
    QPalette green = discUsage_->palette();
    green.setColor(QPalette::Highlight, QColor(0x00, 0x80, 0x00));
    discUsage_->setPalette(green);
    layout->addWidget(discUsage_, 1);
    const auto addButton = [&](const char* objectName, const QString& iconName, const QString& tip,
                               void (MainWindow::*command)()) {
        auto* button = new QToolButton(row);
        button->setObjectName(QString::fromLatin1(objectName));
        button->setIcon(themeIcon(iconName, parts_.app.folders.resourceFolder));
        button->setIconSize(QSize(24, 24));
        button->setToolTip(tip);
        button->setAccessibleName(tip);
        connect(button, &QToolButton::clicked, this, command);
        layout->addWidget(button);
        return button;
    };
    openButton_ = addButton("openProjectButton", QStringLiteral("document-open"),
                            tr("Open Project"), &MainWindow::openProject);
    saveButton_ = addButton("saveProjectButton", QStringLiteral("document-save"),
                            tr("Save Project"), &MainWindow::saveProject);
    return row;
}

void MainWindow::connectSignals() {
    PageSignals& pageSignals = parts_.pageSignals;
    const auto queued = Qt::QueuedConnection;
    connect(
        &pageSignals, &PageSignals::menuPageRequested, this,
        [this] {
            if (tabs_->currentIndex() == kMenuTab)
                page(kMenuTab)->refreshPage();
            else
                tabs_->setCurrentIndex(kMenuTab);  // refreshed as it is shown
        },
        queued);
    connect(&pageSignals, &PageSignals::projectCommandsEnabled, this,
            &MainWindow::enableProjectCommands, queued);
    connect(
        &pageSignals, &PageSignals::tipOfTheDayRequested, this,
        [this] {
            if (DesktopSettings(parts_.settings).showTipAtStart()) showTipOfTheDay();
        },
        queued);
    connect(&pageSignals, &PageSignals::saveRequested, this, &MainWindow::saveProject, queued);
    // At once when a page asks on this thread; queued from a preview's.
    connect(&pageSignals, &PageSignals::audioPreviewStopRequested, this,
            [this] { audioPreview_.stopAudioPreview(); });
    connect(&pageSignals, &PageSignals::openRequested, this, &MainWindow::openProject, queued);
    connect(&pageSignals, &PageSignals::projectSizeChanged, this, &MainWindow::refreshProjectViews,
            queued);
    connect(
        &pageSignals, &PageSignals::statusMessage, this,
        [this](const QString& text) { statusBar()->showMessage(text, 8000); }, queued);
    connect(
        &pageSignals, &PageSignals::stripThumbnailsChanged, this,
        [this] { page(kEffectsTab)->refreshPage(); }, queued);
    connect(
        &pageSignals, &PageSignals::slideshowThumbnailsChanged, this,
        [this] { refreshCurrentPage(); }, queued);
    connect(
        &pageSignals, &PageSignals::pagesRefreshRequested, this,
        [this] {
            for (const int index : {kEffectsTab, kMusicTab, kMenuTab})
                page(index)->refreshPage();
        },
        queued);
}

Page* MainWindow::page(int index) const {
    return static_cast<Page*>(tabs_->widget(index));
}

PhotosTab* MainWindow::photosTab() const {
    return static_cast<PhotosTab*>(page(kPhotosTab));
}

EffectsTab* MainWindow::effectsTab() const {
    return static_cast<EffectsTab*>(page(kEffectsTab));
}

MusicTab* MainWindow::musicTab() const {
    return static_cast<MusicTab*>(page(kMusicTab));
}

MenuTab* MainWindow::menuTab() const {
    return static_cast<MenuTab*>(page(kMenuTab));
}

BurnTab* MainWindow::burnTab() const {
    return static_cast<BurnTab*>(page(kBurnTab));
}

QAction* MainWindow::action(const char* objectName) const {
    return findChild<QAction*>(QString::fromLatin1(objectName));
}

void MainWindow::greetUser() {
    offerRecovery();
    emit parts_.pageSignals.tipOfTheDayRequested();
    if (parts_.app.preferences.runCount < 3) photosTab()->showFirstStartHint();
}

void MainWindow::openPaths(const std::vector<std::filesystem::path>& paths) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (paths.empty()) return;
    if (QApplication::activeModalWidget() != nullptr) {
        // A dialog works on the project now (the picture editor holds one of
        // its pictures): the paths wait until it has closed.
        waitingPaths_.insert(waitingPaths_.end(), paths.begin(), paths.end());
        waitingPathsCheck_->start();
        return;
    }
    if (isBuilding()) {
        parts_.notifier.show("Velmora is making a DVD. Open the files again once it is done.",
                             "Velmora", NotifierIcon::Information);
        return;
    }
    std::optional<std::filesystem::path> project;
    std::vector<std::filesystem::path> folders;
    for (const std::filesystem::path& path : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            folders.push_back(path);
        } else if (!std::filesystem::exists(path, error)) {
            parts_.notifier.show("'" + path.string() + "' does not exist.", "Velmora",
                                 NotifierIcon::Warning);
        } else if (!project && looksLikeProjectFile(path)) {
            project = path;
        } else {
            parts_.notifier.show("'" + path.string() +
                                     "' is neither a Velmora project nor a folder of pictures.",
                                 "Velmora", NotifierIcon::Warning);
        }
    }
    if (project) openProjectFile(*project);
    if (!folders.empty()) {
        tabs_->setCurrentIndex(kPhotosTab);
        photosTab()->importFolderList(folders);
        refreshProjectViews();
    }
}

void MainWindow::openProjectFile(const std::filesystem::path& file) {
    tabs_->setCurrentIndex(kPhotosTab);
    commands_.openProjectFile(file);
    refreshProjectViews();
}

void MainWindow::offerRecovery() {
    RecoveryFile& recovery = parts_.recovery;
    if (!recovery.found()) return;
    switch (
        parts_.notifier.ask("Velmora ended without saving your last changes. Do you want to "
                            "restore the project as it was?",
                            "Query", NotifierButtons::RestoreDiscard)) {
        case NotifierAnswer::Yes:
            recovery.restore();
            refreshCurrentPage();
            refreshProjectViews();
            statusBar()->showMessage(tr("The unsaved project was restored."), 6000);
            break;
        case NotifierAnswer::No:
            recovery.discard();
            break;
        case NotifierAnswer::Cancel:
            break;  // offered again at the next start
    }
}

void MainWindow::saveRecoveryCopy() {
    parts_.recovery.saveIfModified();
}

void MainWindow::enableProjectCommands(bool enabled) {
    for (QMenu* menu : menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        menu->menuAction()->setEnabled(enabled);
    for (QAction* command : findChildren<QAction*>())
        if (!command->objectName().isEmpty()) command->setEnabled(enabled);
    tabs_->tabBar()->setEnabled(enabled);
    openButton_->setEnabled(enabled);
    saveButton_->setEnabled(enabled);
}

void MainWindow::updateDiscUsage() {
    const Project& project = parts_.app.project;
    const float megabytes = project.sizeEstimate;
    discUsage_->setValue(std::clamp(int(megabytes), 0, discUsage_->maximum()));
    const int seconds = project.totalSeconds();
    duration_->setText(tr("Total Duration %1:%2:%3")
                           .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                           .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void MainWindow::updateTitle() {
    const Project& project = parts_.app.project;
    const QString file = QString::fromStdString(project.projectFilePath.filename().string());
    setWindowTitle(file.isEmpty() ? QStringLiteral("Velmora")
                                  : tr("%1[*] \u2014 Velmora").arg(file));
    setWindowModified(parts_.app.project.flags().modified);
}

void MainWindow::refreshProjectViews() {
    updateTitle();
    updateDiscUsage();
}

void MainWindow::switchToPage(int index) {
    const WaitCursor waiting;
    emit parts_.pageSignals.audioPreviewStopRequested();
    for (int other = 0; other < kPageCount; ++other)
        if (other != index) page(other)->stopPreviews();
    if (index != kMenuTab) refreshMenu();
    currentPage_ = index;
    page(index)->refreshPage();
}

// ---- the commands

void MainWindow::newProject() {
    if (commands_.newProject()) statusBar()->showMessage(tr("A new project was started."), 4000);
    refreshProjectViews();
}

void MainWindow::openProject() {
    commands_.openProject();
    refreshProjectViews();
}

void MainWindow::saveProject() {
    const WaitCursor waiting;
    commands_.saveProject();
    refreshProjectViews();
}

void MainWindow::saveProjectAs() {
    commands_.saveProjectAs();
    refreshProjectViews();
}

void MainWindow::openSettings() {
    SettingsDialog dialog({parts_.app, parts_.fileDialogs, parts_.notifier}, this);
    if (dialog.exec() != QDialog::Accepted) return;
    // The views, then every page that shows the defaults or the format.
    refreshCurrentPage();
    emit parts_.pageSignals.pagesRefreshRequested();
    refreshProjectViews();
}

void MainWindow::exitProgram() {
    if (!commands_.exitRequested()) return;
    leaving_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (leaving_ || commands_.closeRequested()) {
        leaving_ = true;
        // A normal end: the work is saved or the user chose to drop it.
        parts_.recovery.remove();
        event->accept();
        return;
    }
    event->ignore();
}

void MainWindow::showTipOfTheDay() {
    TipDialog dialog(parts_.app.folders.resourceFolder / "Tips.txt", parts_.settings, this);
    dialog.exec();
}

void MainWindow::openManual() {
    const std::filesystem::path manual =
        parts_.app.folders.resourceFolder / "manual" / "index.html";
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(manual.string())));
}

void MainWindow::openUpdatePage() {
    QDesktopServices::openUrl(QUrl(DesktopSettings(parts_.settings).updateAddress()));
}

void MainWindow::showAbout() {
    AboutDialog dialog(DesktopSettings(parts_.settings), parts_.app.folders.resourceFolder, this);
    dialog.exec();
}

// ---- what the project commands ask of the window

std::optional<std::filesystem::path> MainWindow::chooseProjectToOpen(
    const std::filesystem::path& startFolder) {
    return parts_.fileDialogs.openProjectFile(startFolder);
}

std::optional<std::filesystem::path> MainWindow::chooseProjectToSave(
    const std::filesystem::path& startFolder) {
    return parts_.fileDialogs.saveProjectFile(startFolder);
}

void MainWindow::refreshMenu() {
    menuTab()->refreshMenu();
}

void MainWindow::stopPreviews() {
    emit parts_.pageSignals.audioPreviewStopRequested();
    for (int index = 0; index < kPageCount; ++index)
        page(index)->stopPreviews();
}

void MainWindow::refreshCurrentPage() {
    page(currentPage_)->refreshPage();
    updateDiscUsage();
}

bool MainWindow::isBuilding() const {
    return burnTab()->isBusy();
}

// Quitting asked and the user agreed: the build or write is asked to stop,
// and the burn page waits for it as the window goes.
void MainWindow::stopBuild() {
    burnTab()->stopForQuit();
}

}  // namespace velmora
