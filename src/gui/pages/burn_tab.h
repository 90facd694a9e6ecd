#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>

#include "gui/pages/page.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace velmora {

class ApplicationBuild;
class BurnDisplayRelay;
class DiscWriterStation;
class Drives;
class QueuedNotifier;
class Shutdown;
enum class WriteTarget;

// What the burn page needs besides a page's parts: the drives it checks for
// room, the power-off (none: the shut-down box is disabled) and the
// desktop's way of opening a file or folder.
struct BurnTabParts {
    Drives* drives;
    Shutdown* shutdown = nullptr;
    std::function<bool(const QUrl&)> openUrl;
};

// The burn page: where the DVD goes and whether there is room for it, the
// writer, its medium and speeds or an ISO image file instead, "Make DVD"
// with its two bars and clock, "Burn" for a finished folder, and "Play"
// and "Open Folder" for what was made. Builds and writes run on threads of
// their own; the page hears of them through queued signals and never waits.
class BurnTab final : public Page {
    Q_OBJECT
  public:
    BurnTab(const PageParts& parts, const BurnTabParts& burnParts, QWidget* parent = nullptr);
    ~BurnTab() override;

    void refreshPage() override;

    // A build or a write runs (or a medium check before one).
    bool isBusy() const { return activity_ != Activity::Idle; }
    // The drives whose room is checked from now on (the screenshot tour
    // shows a full one).
    void useDrives(Drives& drives);
    // Quitting: stops a running build or write and waits until it has.
    void stopForQuit();

    QPushButton* makeButton() const { return makeButton_; }
    QPushButton* burnButton() const { return burnButton_; }
    QPushButton* playButton() const { return playButton_; }
    QPushButton* openFolderButton() const { return openFolderButton_; }
    QPushButton* browseButton() const { return browseButton_; }
    QPushButton* refreshButton() const { return refreshButton_; }
    QPushButton* chooseImageButton() const { return chooseImageButton_; }
    QRadioButton* discTarget() const { return discTarget_; }
    QRadioButton* imageTarget() const { return imageTarget_; }
    QCheckBox* burnBox() const { return burnBox_; }
    QCheckBox* shutdownBox() const { return shutdownBox_; }
    QComboBox* writerList() const { return writerList_; }
    QComboBox* speedList() const { return speedList_; }
    QLineEdit* volumeLabel() const { return volumeLabel_; }
    QLineEdit* outputField() const { return outputField_; }
    QLineEdit* imageField() const { return imageField_; }
    QLabel* mainLabel() const { return mainLabel_; }
    QLabel* detailLabel() const { return detailLabel_; }
    QLabel* clockLabel() const { return clockLabel_; }
    QLabel* spaceWarning() const { return spaceWarning_; }
    QLabel* freeText() const { return freeText_; }
    QLabel* mediumText() const { return mediumText_; }
    QProgressBar* mainBar() const { return mainBar_; }
    QProgressBar* detailBar() const { return detailBar_; }
    QProgressBar* usageBar() const { return usageBar_; }
    DiscWriterStation& station() { return *station_; }

  private:
    enum class Activity { Idle, CheckingMedia, Making, Writing };

    // burn_tab_controls.cpp: the page's widgets.
    void buildControls();
    QWidget* buildOutputBox();
    QWidget* buildWriterBox();
    QWidget* buildProgressBox();
    QWidget* buildButtonRow();
    void connectRelay();

    // The make and write runs.
    void makeOrCancel();
    void startMaking();
    void startBuild();
    void mediaChecked(bool ready);
    void buildFinished();
    void burnFolder();
    void startWrite(const std::filesystem::path& folder, bool announceSuccess);
    void writeFinished(int status);
    void offerShutdown();
    void setActivity(Activity activity);
    void tickClock();

    // The output and the room on its drive.
    void chooseOutputFolder();
    void showDriveUsage();
    void checkDiscSpace();

    // The target.
    WriteTarget target() const;
    void targetChanged();
    void chooseImageFile();
    std::filesystem::path imageFile() const;
    // True unless the image target's file cannot be written (then the user
    // is told why).
    bool imageTargetReady();
    bool shutdownAsked() const;

    void writersChanged(const QStringList& names, int selected);
    void speedsChanged(const QStringList& speeds, int selected);
    void updateButtons();
    void playDisc();
    void openOutputFolder();
    void openUrl(const QUrl& address);
    void showStatus(const QString& text);

    PageParts parts_;
    BurnTabParts burnParts_;
    Activity activity_ = Activity::Idle;
    bool roomForDisc_ = true;       // the last space check let the build run
    bool writeAfterBuild_ = false;  // this build's folder goes to the target
    bool shutdownAfter_ = false;    // this run powers off when it went well
    int writerCount_ = -1;          // -1 before the first look
    bool quitting_ = false;         // the window goes: no more messages
    std::filesystem::path madeFolder_;  // what the last run made, for Play
    std::filesystem::path madeImage_;

    // Declared before the engines that call them from their threads, so
    // that they outlive those threads.
    BurnDisplayRelay* relay_;
    QueuedNotifier* notifier_;
    std::unique_ptr<ApplicationBuild> build_;
    std::unique_ptr<DiscWriterStation> station_;

    QLineEdit* outputField_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QProgressBar* usageBar_ = nullptr;
    QLabel* freeText_ = nullptr;
    QLabel* spaceWarning_ = nullptr;
    QRadioButton* discTarget_ = nullptr;
    QRadioButton* imageTarget_ = nullptr;
    QLineEdit* imageField_ = nullptr;
    QPushButton* chooseImageButton_ = nullptr;
    QComboBox* writerList_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QLabel* mediumText_ = nullptr;
    QComboBox* speedList_ = nullptr;
    QLineEdit* volumeLabel_ = nullptr;
    QCheckBox* burnBox_ = nullptr;
    QCheckBox* shutdownBox_ = nullptr;
    QLabel* mainLabel_ = nullptr;
    QProgressBar* mainBar_ = nullptr;
    QLabel* detailLabel_ = nullptr;
    QProgressBar* detailBar_ = nullptr;
    QLabel* clockLabel_ = nullptr;
    QTimer* clock_ = nullptr;
    QPushButton* makeButton_ = nullptr;
    QPushButton* burnButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* openFolderButton_ = nullptr;
};

}  // namespace velmora
