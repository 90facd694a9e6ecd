#pragma once

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "render/preview_state.h"
#include "workspace/audio_preview.h"
#include "workspace/preview_timer.h"
#include "workspace/project_commands.h"

class QAction;
class QLabel;
class QProgressBar;
class QSettings;
class QTabWidget;
class QTimer;
class QToolButton;
class QUrl;

namespace velmora {

class Application;
class AudioPlayer;
class BurnTab;
class Drives;
class Shutdown;
class FileDialogs;
class MenuTab;
class MusicTab;
class Notifier;
class Page;
class PageSignals;
class EffectsTab;
class PhotosTab;
class RecoveryFile;

// What the window is made with: the engine of the run, the ways it talks
// to the user and the sound output its music previews play on.
struct MainWindowParts {
    Application& app;
    Notifier& notifier;
    FileDialogs& fileDialogs;
    PageSignals& pageSignals;
    QSettings& settings;
    RecoveryFile& recovery;
    AudioPlayer& audioPlayer;
    Drives* drives = nullptr;      // the system's when none is given
    Shutdown* shutdown = nullptr;  // none: the burn page offers no power-off
};

// The window a user lives in: the Project and Help menus, the five work
// pages, the disc-usage bar and the open and save buttons.
class MainWindow final : public QMainWindow, private ProjectCommandHost {
    Q_OBJECT
  public:
    enum PageIndex { kPhotosTab, kEffectsTab, kMusicTab, kMenuTab, kBurnTab, kPageCount };

    explicit MainWindow(const MainWindowParts& parts, QWidget* parent = nullptr);

    // What start-up asks of the window once it shows: the work of a run
    // that ended without saving, the tip of the day and, on a user's first
    // starts, the hint of the first page.
    void greetUser();
    // What the command line or a later start asked to open: a project file
    // (opened as Open does) and picture folders (imported as slideshows),
    // once no dialog is open. The window comes to the front either way.
    void openPaths(const std::vector<std::filesystem::path>& paths);
    // Offers the safety copy a crashed or killed run left: "Restore" opens
    // it as a modified project, "Discard" removes it.
    void offerRecovery();

    QTabWidget* pages() const { return tabs_; }
    PhotosTab* photosTab() const;
    EffectsTab* effectsTab() const;
    MusicTab* musicTab() const;
    MenuTab* menuTab() const;
    BurnTab* burnTab() const;
    AudioPreview& audioPreview() { return audioPreview_; }
    PreviewState& preview() { return preview_; }
    QProgressBar* discUsageBar() const { return discUsage_; }
    QAction* action(const char* objectName) const;
    // The title, its modified mark and the disc-usage bar, after the
    // project changed.
    void refreshProjectViews();

  public slots:
    void newProject();
    void openProject();
    void saveProject();
    void saveProjectAs();
    void openSettings();
    void exitProgram();
    void showTipOfTheDay();
    void openManual();
    void openUpdatePage();
    void showAbout();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private slots:
    void saveRecoveryCopy();

  private:
    void buildMenus();
    void buildPages();
    QWidget* buildBottomRow();
    void connectSignals();
    QAction* addCommand(QMenu* menu, const char* objectName, const QString& text,
                        const QString& iconName, QKeySequence shortcut);
    void enableProjectCommands(bool enabled);
    void updateDiscUsage();
    void updateTitle();
    void switchToPage(int index);
    void openProjectFile(const std::filesystem::path& file);
    // The manual and the web pages, with a message when no browser starts.
    void openInBrowser(const QUrl& address);
    Page* page(int index) const;

    // ProjectCommandHost
    std::optional<std::filesystem::path> chooseProjectToOpen(
        const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> chooseProjectToSave(
        const std::filesystem::path& startFolder) override;
    void refreshMenu() override;
    void stopPreviews() override;
    void refreshCurrentPage() override;
    bool isBuilding() const override;
    void stopBuild() override;

    MainWindowParts parts_;
    ProjectCommands commands_;
    // The music preview steps through its tracks on this timer.
    QtPreviewTimer audioTimer_;
    AudioPreview audioPreview_;
    // Stopped and joined before the pages it draws into are destroyed:
    // members go before the window's child widgets.
    PreviewState preview_;
    QTabWidget* tabs_ = nullptr;
    QLabel* duration_ = nullptr;
    QProgressBar* discUsage_ = nullptr;
    QToolButton* openButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    int currentPage_ = kPhotosTab;
    bool leaving_ = false;  // Exit said yes: the close that follows asks nothing
    // Paths handed over while a dialog was open, and the check for its end.
    std::vector<std::filesystem::path> waitingPaths_;
    QTimer* waitingPathsCheck_ = nullptr;
};

}  // namespace velmora
