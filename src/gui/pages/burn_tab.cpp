#include "gui/pages/burn_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>

#include "base/notifier.h"
#include "base/path_text.h"
#include "disc/build_job.h"
#include "disc/burn_engine.h"
#include "disc/disc_space.h"
#include "disc/dvd_output.h"
#include "disc/iso_target.h"
#include "disc/shutdown_countdown.h"
#include "gui/burn_display_relay.h"
#include "gui/file_dialogs.h"
#include "gui/page_signals.h"
#include "gui/queued_notifier.h"
#include "interfaces/disc_writer_library.h"
#include "interfaces/run_result.h"
#include "workspace/application.h"
#include "workspace/application_build.h"
#include "workspace/disc_writer_station.h"
#include "workspace/menu_preparation.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QString qtPath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

fs::path pathOf(const QString& text) {
    return fs::path(text.toStdString());
}

// Where an image goes unless the user says otherwise: the desktop's videos
// folder (the home folder when there is none), named after the disc.
fs::path suggestedImageFile(const std::string& discName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    std::string name = discName.empty() ? "My DVD" : discName;
    for (char& c : name)
        if (c == '/') c = '_';
    return pathOf(folder) / (name + ".iso");
}

}  // namespace

BurnTab::BurnTab(const PageParts& parts, const BurnTabParts& burnParts, QWidget* parent)
    : Page(parent),
      parts_(parts),
      burnParts_(burnParts),
      relay_(new BurnDisplayRelay(this)),
      notifier_(new QueuedNotifier(parts.notifier, this)) {
    build_ = std::make_unique<ApplicationBuild>(parts_.app, *relay_, notifier_);
    station_ = std::make_unique<DiscWriterStation>(
        parts_.app.log, *notifier_, *relay_, [this](int status) {
            QMetaObject::invokeMethod(
                this, [this, status] { writeFinished(status); }, Qt::QueuedConnection);
        });
    buildControls();
    volumeLabel_->setText(tr("My DVD"));
    shutdownBox_->setEnabled(burnParts_.shutdown != nullptr);
    if (burnParts_.shutdown == nullptr)
        shutdownBox_->setToolTip(tr("This computer cannot be powered off by Velmora"));
    targetChanged();
    station_->refresh();
}

// The engines stop before the widgets they paint into go.
BurnTab::~BurnTab() {
    stopForQuit();
    station_.reset();
    build_.reset();
}

void BurnTab::refreshPage() {
    outputField_->setText(qtPath(parts_.app.project.folders().output));
    if (!volumeLabel_->isModified()) volumeLabel_->setText(qt(discTitle(parts_.app)));
    if (imageField_->text().isEmpty())
        imageField_->setText(qtPath(suggestedImageFile(volumeLabel_->text().toStdString())));
    if (!isBusy()) {
        showDriveUsage();
        checkDiscSpace();
        if (writerCount_ == 0) station_->refresh();  // a drive plugged in since
    }
    updateButtons();
    if (makeButton_->isEnabled()) makeButton_->setFocus();
}

void BurnTab::useDrives(Drives& drives) {
    burnParts_.drives = &drives;
    refreshPage();
}

// Waits: the window is going, and the working folder may be removed next,
// which must not happen under a running build. The build stops within a
// frame; nothing it waits for needs this thread.
void BurnTab::stopForQuit() {
    quitting_ = true;
    if (build_) build_->job().cancelBuild();
    if (station_) {
        station_->abort();
        station_->waitUntilIdle();
    }
}

// ---- making the DVD

void BurnTab::makeOrCancel() {
    switch (activity_) {
        case Activity::Idle:
            startMaking();
            break;
        case Activity::Making:
            // Answered at once; the build stops at its next test of the
            // request and reports its end like any other.
            makeButton_->setEnabled(false);
            makeButton_->setText(tr("Stoping"));
            build_->job().requestCancel();
            break;
        case Activity::Writing:
            station_->abort();
            break;
        case Activity::CheckingMedia:
            break;
    }
}

void BurnTab::startMaking() {
    if (parts_.app.project.slideshows.empty()) return;
    emit parts_.pageSignals.audioPreviewStopRequested();
    writeAfterBuild_ = burnBox_->isChecked();
    shutdownAfter_ = shutdownAsked();
    if (writeAfterBuild_ && !imageTargetReady()) return;
    if (writeAfterBuild_ && target() == WriteTarget::Disc) {
        // The writer is asked first; nothing is deleted when it is not ready.
        setActivity(Activity::CheckingMedia);
        station_->checkMedia([this](bool ready) {
            QMetaObject::invokeMethod(
                this, [this, ready] { mediaChecked(ready); }, Qt::QueuedConnection);
        });
        return;
    }
    startBuild();
}

void BurnTab::mediaChecked(bool ready) {
    if (activity_ != Activity::CheckingMedia) return;
    if (!ready) {
        setActivity(Activity::Idle);
        return;
    }
    startBuild();
}

void BurnTab::startBuild() {
    Application& app = parts_.app;
    std::string reason;
    if (!prepareMenu(app, false, std::nullopt, &reason)) {
        parts_.notifier.show(reason, "Velmora", NotifierIcon::Warning);
        setActivity(Activity::Idle);
        return;
    }
    BuildOptions options;
    // The page itself hands the folder to the writers and offers the
    // power-off (on the window's thread); the build only keeps its success
    // message back for them.
    options.burnAfter = writeAfterBuild_;
    options.shutdownAfter = shutdownAfter_;
    madeFolder_.clear();
    madeImage_.clear();
    BuildJob& job = build_->job();
    if (!job.startBuild(options)) {
        if (!job.refusalReason().empty())
            parts_.notifier.show(job.refusalReason(), "Velmora", NotifierIcon::Warning);
        setActivity(Activity::Idle);
        return;
    }
    setActivity(Activity::Making);
    makeButton_->setText(tr("Cancel"));
    tickClock();
    clockLabel_->show();
    clock_->start();
}

void BurnTab::tickClock() {
    clockLabel_->setText(
        tr("Time left: %1").arg(qt(remainingTimeText(build_->job().remainingSeconds()))));
}

void BurnTab::buildFinished() {
    const BuildJob& job = build_->job();
    if (job.making()) return;  // a later build has started already
    clock_->stop();
    clockLabel_->hide();
    makeButton_->setText(tr("Make DVD"));
    const int result = job.result();
    const fs::path output = parts_.app.project.folders().output;
    if (result == kCancelled) {
        if (!quitting_) parts_.notifier.show("STOPED!", "Velmora", NotifierIcon::Information);
        setActivity(Activity::Idle);
        return;
    }
    if (result != kDone) {
        // A result of 1 has had the build's own message; an outside tool's
        // code would otherwise end the build without a word.
        if (result != kFailed && !quitting_)
            parts_.notifier.show("The DVD was not made (an outside program ended with " +
                                     std::to_string(result) + "). The log " +
                                     parts_.app.log.file().string() + " says why.",
                                 "Velmora", NotifierIcon::Error);
        showStatus(tr("The DVD was not made; the log says why: %1")
                       .arg(qtPath(parts_.app.log.file())));
        setActivity(Activity::Idle);
        return;
    }
    madeFolder_ = output;
    showStatus(tr("The DVD folder was made in %1").arg(qtPath(output)));
    if (writeAfterBuild_) {
        startWrite(output, !shutdownAfter_);
        return;
    }
    setActivity(Activity::Idle);
    if (shutdownAfter_) offerShutdown();
}

// ---- writing a folder

void BurnTab::burnFolder() {
    const fs::path start = parts_.app.project.folders().output;
    const auto chosen = parts_.fileDialogs.chooseFolder("Choose the DVD folder to write", start);
    if (!chosen) return;
    std::error_code error;
    if (!fs::is_directory(folderHoldingVideoTs(*chosen) / "VIDEO_TS", error)) {
        parts_.notifier.show(quotedPath(*chosen) + " holds no VIDEO_TS folder: choose the folder "
                                                   "a DVD was made in.",
                             "Warning", NotifierIcon::Warning);
        return;
    }
    if (!imageTargetReady()) return;
    shutdownAfter_ = shutdownAsked();
    madeFolder_ = folderHoldingVideoTs(*chosen);
    madeImage_.clear();
    startWrite(*chosen, !shutdownAfter_);
}

void BurnTab::startWrite(const fs::path& folder, bool announceSuccess) {
    DiscWriterStation::WriteRequest request;
    request.target = target();
    request.folder = folder;
    request.imageFile = imageFile();
    request.volumeLabel = volumeLabel_->text().toStdString();
    request.announceSuccess = announceSuccess;
    setActivity(Activity::Writing);
    makeButton_->setText(tr("Cancel"));
    station_->write(request);
}

void BurnTab::writeFinished(int status) {
    makeButton_->setText(tr("Make DVD"));
    setActivity(Activity::Idle);
    if (status != kWriteSucceeded) return;  // the engine has said why
    if (target() == WriteTarget::ImageFile) {
        madeImage_ = imageFile();
        showStatus(tr("The ISO image was written: %1").arg(qtPath(madeImage_)));
        if (!shutdownAfter_)
            parts_.notifier.show("The ISO image was written:\n" + madeImage_.string(), "Velmora",
                                 NotifierIcon::Information);
    }
    if (shutdownAfter_) offerShutdown();
}

void BurnTab::offerShutdown() {
    Application& app = parts_.app;
    runShutdownCountdown(burnParts_.shutdown,
                         [&app] { return app.session.saveProject(false); });
}

void BurnTab::setActivity(Activity activity) {
    const bool wasIdle = activity_ == Activity::Idle;
    activity_ = activity;
    const bool idle = activity == Activity::Idle;
    // The window's commands and tabs are held while anything runs.
    if (wasIdle != idle) emit parts_.pageSignals.projectCommandsEnabled(idle);
    // An idle bar shows no "0%": nothing is running.
    mainBar_->setTextVisible(!idle);
    detailBar_->setTextVisible(!idle);
    if (idle) {
        makeButton_->setText(tr("Make DVD"));
        showDriveUsage();
    }
    updateButtons();
}

// ---- the output folder and its room

void BurnTab::chooseOutputFolder() {
    Project& project = parts_.app.project;
    // The output is "<chosen>/DVD": the dialog opens on the folder chosen
    // last, or on the home folder while the DVD goes to the working folder.
    const fs::path chosenBefore = project.folders().output.parent_path();
    const fs::path start =
        chosenBefore == project.folders().working ? pathOf(QDir::homePath()) : chosenBefore;
    const auto chosen =
        parts_.fileDialogs.chooseFolder("Please select a destination folder", start);
    if (!chosen) return;
    const fs::path output = (fs::absolute(*chosen) / "DVD").lexically_normal();
    if (const std::string problem = dvdOutputProblem(output, project.folders().working);
        !problem.empty()) {
        parts_.notifier.show(problem, "Warning", NotifierIcon::Warning);
        return;
    }
    WorkingFolders folders = project.folders();
    folders.output = output;
    project.setFolders(folders);
    project.flags().modified = true;
    outputField_->setText(qtPath(output));
    showDriveUsage();
    checkDiscSpace();
    updateButtons();
}

void BurnTab::showDriveUsage() {
    const DriveUsage usage =
        velmora::showDriveUsage(parts_.app.project.folders().output, *burnParts_.drives);
    usageBar_->setRange(0, usage.barMaximum);
    usageBar_->setValue(usage.barPosition);
    freeText_->setText(qt(usage.text));
    usageBar_->setToolTip(tr("%1: %2 MB of %3 MB free")
                              .arg(qt(usage.drive))
                              .arg(usage.freeMegabytes)
                              .arg(usage.totalMegabytes));
}

// Shown on the page rather than in a message box: the page is opened often,
// and the warning stays in view until the room is there.
void BurnTab::checkDiscSpace() {
    Project& project = parts_.app.project;
    project.estimateDiscSize();
    const DiscSpaceCheck check = velmora::checkDiscSpace(
        project.sizeEstimate, project.folders().output, project.folders().temporary,
        *burnParts_.drives);
    if (check.buttons == BuildButtons::Enable) roomForDisc_ = true;
    if (check.buttons == BuildButtons::Disable) roomForDisc_ = false;
    spaceWarning_->setText(qt(check.message));
    spaceWarning_->setVisible(!check.message.empty());
    if (!check.message.empty()) showStatus(qt(check.message).trimmed());
}

// ---- the target

WriteTarget BurnTab::target() const {
    return imageTarget_->isChecked() ? WriteTarget::ImageFile : WriteTarget::Disc;
}

void BurnTab::targetChanged() {
    const bool disc = target() == WriteTarget::Disc;
    burnBox_->setText(disc ? tr("Burn to DVD Disc when authoring accomplished")
                           : tr("Write the ISO image when authoring accomplished"));
    updateButtons();
}

void BurnTab::chooseImageFile() {
    const auto chosen = parts_.fileDialogs.saveImageFile(imageFile());
    if (!chosen) return;
    fs::path file = *chosen;
    if (file.extension().empty()) file += ".iso";
    imageField_->setText(qtPath(file));
}

fs::path BurnTab::imageFile() const {
    return fs::absolute(pathOf(imageField_->text().trimmed()));
}

bool BurnTab::imageTargetReady() {
    if (target() != WriteTarget::ImageFile) return true;
    const std::string problem = imageField_->text().trimmed().isEmpty()
                                    ? std::string("Choose the ISO image file to write.")
                                    : isoTargetProblem(imageFile(), false);
    if (problem.empty()) return true;
    parts_.notifier.show(problem, "Warning", NotifierIcon::Warning);
    return false;
}

bool BurnTab::shutdownAsked() const {
    return shutdownBox_->isEnabled() && shutdownBox_->isChecked();
}

// ---- lists and buttons

void BurnTab::writersChanged(const QStringList& names, int selected) {
    writerCount_ = int(names.size());
    writerList_->clear();
    writerList_->addItems(names);
    writerList_->setCurrentIndex(selected);
    writerList_->setPlaceholderText(tr("No DVD writer was found"));
    if (names.isEmpty()) {
        mediumText_->clear();
        speedList_->clear();
    }
    updateButtons();
}

void BurnTab::speedsChanged(const QStringList& speeds, int selected) {
    speedList_->clear();
    speedList_->addItems(speeds);
    speedList_->setCurrentIndex(selected);
}

void BurnTab::updateButtons() {
    const bool idle = activity_ == Activity::Idle;
    const bool disc = target() == WriteTarget::Disc;
    const bool hasSlideshow = !parts_.app.project.slideshows.empty();
    const bool writerKnown = !disc || writerCount_ > 0;
    const bool running = activity_ == Activity::Making || activity_ == Activity::Writing;

    makeButton_->setEnabled((idle && hasSlideshow && roomForDisc_) ||
                            (running && makeButton_->text() != tr("Stoping")));
    if (!hasSlideshow)
        makeButton_->setToolTip(tr("Add a slideshow on the first page to make a DVD"));
    else if (!roomForDisc_)
        makeButton_->setToolTip(tr("There is not enough room for the DVD: see the warning"));
    else
        makeButton_->setToolTip(
            tr("Make the DVD folder from the project, then write it when asked to"));

    burnButton_->setEnabled(idle && roomForDisc_ && writerKnown);
    if (disc && writerCount_ == 0)
        burnButton_->setToolTip(
            tr("No DVD writer was found: connect one and press Refresh, or write an ISO image "
               "file"));
    else if (!roomForDisc_)
        burnButton_->setToolTip(tr("There is not enough room: see the warning"));
    else
        burnButton_->setToolTip(disc ? tr("Write a DVD folder made before to the disc")
                                     : tr("Make an ISO image of a DVD folder made before"));

    for (QWidget* setting :
         std::initializer_list<QWidget*>{browseButton_, discTarget_, imageTarget_, burnBox_,
                                         volumeLabel_})
        setting->setEnabled(idle);
    shutdownBox_->setEnabled(idle && burnParts_.shutdown != nullptr);
    writerList_->setEnabled(idle && disc && writerCount_ > 0);
    speedList_->setEnabled(idle && disc && speedList_->count() > 0);
    refreshButton_->setEnabled(idle && disc);
    imageField_->setEnabled(idle && !disc);
    chooseImageButton_->setEnabled(idle && !disc);

    const bool made = idle && (!madeFolder_.empty() || !madeImage_.empty());
    playButton_->setVisible(made);
    openFolderButton_->setVisible(made);
}

void BurnTab::playDisc() {
    openUrl(QUrl::fromLocalFile(qtPath(madeImage_.empty() ? madeFolder_ / "VIDEO_TS"
                                                          : madeImage_)));
}

void BurnTab::openOutputFolder() {
    openUrl(QUrl::fromLocalFile(qtPath(madeImage_.empty() ? madeFolder_
                                                          : madeImage_.parent_path())));
}

void BurnTab::openUrl(const QUrl& address) {
    if (burnParts_.openUrl && burnParts_.openUrl(address)) return;
    showStatus(tr("No program of this desktop opens %1").arg(address.toLocalFile()));
}

void BurnTab::showStatus(const QString& text) {
    emit parts_.pageSignals.statusMessage(text);
}

}  // namespace velmora
