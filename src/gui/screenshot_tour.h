#pragma once

#include <filesystem>
#include <string>

class QWidget;

namespace velmora {

class Application;
class MainWindow;
class Notifier;

// The screenshot mode: the main window on the demonstration pictures,
// every page and every dialog saved as a PNG file into a folder, for
// looking at what the window shows.
class ScreenshotTour {
  public:
    ScreenshotTour(MainWindow& window, Application& app, Notifier& notifier,
                   std::filesystem::path folder);

    // 0 when every picture was saved, 1 otherwise (the reasons on stderr).
    int run();

  private:
    void loadDemonstration();
    // The photos page shown with every thumbnail in.
    void showPhotosTab();
    bool savePhotosTabViews();
    // The picture editor on each page, with a caption, clip art and the
    // crop rectangle shown.
    bool saveEditorPages();
    bool saveEffectsTab();
    bool saveMusicTab();
    bool saveMenuTab();
    bool saveBurnTab();
    bool save(QWidget& widget, const std::string& name);

    MainWindow& window_;
    Application& app_;
    Notifier& notifier_;
    std::filesystem::path folder_;
};

}  // namespace velmora
