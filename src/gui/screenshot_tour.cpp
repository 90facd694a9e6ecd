#include "gui/screenshot_tour.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QMouseEvent>
#include <QPixmap>
#include <QSettings>
#include <QTabWidget>
#include <cstdio>
#include <utility>
#include <vector>

#include "gui/about_dialog.h"
#include "gui/desktop_settings.h"
#include "gui/file_dialogs.h"
#include "gui/import_dialog.h"
#include "gui/main_window.h"
#include "gui/menu_canvas_widget.h"
#include "gui/menu_preview_dialog.h"
#include "gui/music_list_view.h"
#include "disc/disc_space.h"
#include "gui/pages/burn_tab.h"
#include "gui/pages/effects_tab.h"
#include "gui/pages/menu_tab.h"
#include "gui/pages/music_tab.h"
#include "gui/pages/photos_tab.h"
#include "gui/picture_editor_dialog.h"
#include "gui/picture_strip_widget.h"
#include "gui/picture_view.h"
#include "gui/preview_pane.h"
#include "gui/settings_dialog.h"
#include "gui/shutdown_dialog.h"
#include "gui/tip_dialog.h"
#include "gui/transition_list_view.h"
#include "gui/transition_settings_dialog.h"
#include "menu/menu_theme.h"
#include "workspace/application.h"
#include "workspace/slideshow_commands.h"
#include "workspace/slideshow_import.h"

namespace velmora {

namespace {

// The tour presses no button that opens a file dialog.
class NoFileDialogs final : public FileDialogs {
  public:
    std::optional<std::filesystem::path> openProjectFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> saveProjectFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> chooseFolder(const std::string&,
                                                      const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> saveImageFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::vector<std::filesystem::path> openPictureFiles(const std::filesystem::path&) override {
        return {};
    }
    std::vector<std::filesystem::path> chooseImportFolders(const std::filesystem::path&) override {
        return {};
    }
    std::vector<std::filesystem::path> openAudioFiles(const std::filesystem::path&) override {
        return {};
    }
    std::optional<std::filesystem::path> openAudioFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<FontRecord> chooseFont(const FontRecord&) override { return std::nullopt; }
    std::optional<uint32_t> chooseColour(uint32_t) override { return std::nullopt; }
};

// A drive with almost no room left, for the burn page's warning.
class FullDrives final : public Drives {
  public:
    std::optional<FilesystemSpace> space(const std::filesystem::path&) override {
        return FilesystemSpace{uint64_t(64000) << 20, uint64_t(5) << 20};
    }
    bool sameDrive(const std::filesystem::path&, const std::filesystem::path&) override {
        return true;
    }
    std::string driveName(const std::filesystem::path&) override { return "/home"; }
};

const char* const kPageNames[] = {"page0_photos", "page1_effects", "page2_music", "page3_menu",
                                  "page4_burn"};

}  // namespace

ScreenshotTour::ScreenshotTour(MainWindow& window, Application& app, Notifier& notifier,
                               std::filesystem::path folder)
    : window_(window), app_(app), notifier_(notifier), folder_(std::move(folder)) {}

void ScreenshotTour::loadDemonstration() {
    importFolders(app_.project, {app_.folders.resourceFolder / "samples"}, &app_.log);
    app_.project.estimateDiscSize();
}

bool ScreenshotTour::save(QWidget& widget, const std::string& name) {
    widget.show();
    QApplication::processEvents();
    const std::filesystem::path file = folder_ / (name + ".png");
    if (widget.grab().save(QString::fromStdString(file.string()), "PNG")) return true;
    std::fprintf(stderr, "velmora: cannot save the screenshot %s\n", file.c_str());
    return false;
}

void ScreenshotTour::showPhotosTab() {
    PhotosTab& photos = *window_.photosTab();
    window_.pages()->setCurrentIndex(MainWindow::kPhotosTab);
    photos.refreshPage();
    // Thumbnails load in the background: wait for them, within reason.
    QElapsedTimer waited;
    waited.start();
    while (photos.pictureView()->isBusy() && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
}

bool ScreenshotTour::savePhotosTabViews() {
    PhotosTab& photos = *window_.photosTab();
    const auto choose = [&](const char* actionName) {
        photos.findChild<QAction*>(QString::fromLatin1(actionName))->trigger();
        showPhotosTab();
    };
    photos.pictureView()->selectPictures({1, 2});
    bool saved = true;
    choose("detailModeAction");
    saved = save(window_, "page0_photos_details") && saved;
    choose("thumbnailModeAction");
    photos.pictureView()->setThumbnailSizeClass(2);
    showPhotosTab();
    saved = save(window_, "page0_photos_large") && saved;
    photos.pictureView()->setThumbnailSizeClass(1);
    photos.pictureView()->selectPictures({});
    return saved;
}

bool ScreenshotTour::saveEditorPages() {
    Slideshow& slideshow = *app_.project.slideshows.front();
    NoFileDialogs noFiles;
    PictureEditorDialog editor({.slideshow = slideshow,
                                .index = 0,
                                .workingFolder = app_.project.folders().working,
                                .wideScreen = true,
                                .decorationFolder = app_.resources.decorationFolder,
                                .notifier = notifier_,
                                .flags = app_.project.flags()},
                               noFiles, &window_);
    PictureEditor& edits = editor.editor();
    edits.addCaption();
    edits.setCaptionText("Summer by the lake");
    const std::vector<std::string> categories = PictureEditor::decorationCategories();
    for (const std::filesystem::path& file : edits.decorationFiles(categories.front())) {
        edits.addDecoration(file);
        break;
    }
    edits.showCropRectangle();
    edits.setTvRatio(true);
    editor.showState();
    bool saved = true;
    const char* const pageNames[] = {"dialog_editor_transform", "dialog_editor_text",
                                     "dialog_editor_image"};
    for (int page = 0; page < 3; ++page) {
        editor.pages()->setCurrentIndex(page);
        saved = save(editor, pageNames[page]) && saved;
    }
    return saved;
}

// Runs the event loop until `done` holds or `limitMs` passed.
template <typename Condition>
void waitFor(Condition done, int limitMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < limitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The effects page on a slideshow of ten pictures with a range selected
// and a transition dragged over a cell; a settings dialog; three frames of
// a running preview.
bool ScreenshotTour::saveEffectsTab() {
    Project& project = app_.project;
    project.currentSlideshow = 0;
    SlideshowCommands commands(app_, notifier_);
    const auto& first = project.slideshows.front()->pictures;
    std::vector<std::filesystem::path> more;
    for (size_t i = 0; first.size() + more.size() < 10 && i < first.size(); ++i)
        more.push_back(first[i].sourcePath);
    commands.addPictures(more);
    window_.refreshProjectViews();

    EffectsTab& effects = *window_.effectsTab();
    window_.pages()->setCurrentIndex(MainWindow::kEffectsTab);
    effects.refreshPage();
    PictureStrip& strip = effects.strip();
    waitFor([&] { return !effects.thumbnailsLoading(); }, 20000);
    strip.mousePress(strip.cellRect(1).center(), {});
    strip.mouseRelease();
    strip.mousePress(strip.cellRect(3).center(), {.shift = true});
    strip.mouseRelease();
    strip.dragTransitionOver(strip.cellRect(4).center());
    effects.transitionList()->setCurrentRow(3);
    effects.stripWidget()->refresh();
    bool saved = save(window_, "page1_effects_range");
    strip.dragLeave();
    effects.stripWidget()->refresh();

    TransitionSettingsDialog blinds(app_.preferences.catalogue.entry(3), app_.random, &window_);
    saved = save(blinds, "dialog_transition_blinds") && saved;

    effects.transitionList()->setCurrentRow(4);
    effects.startPreview();
    PreviewPane& pane = *effects.previewPane();
    const int start = pane.framesShown();
    for (const int frame : {8, 20, 32}) {
        waitFor([&] { return pane.framesShown() >= start + frame; }, 5000);
        saved = save(pane, "preview_circle_frame" + std::to_string(frame)) && saved;
    }
    effects.stopPreviews();
    return saved;
}

// The music page with three tracks, one of them chosen; the page while the
// slideshow preview plays, and two of its frames a second apart.
bool ScreenshotTour::saveMusicTab() {
    app_.project.currentSlideshow = 0;
    MusicTab& music = *window_.musicTab();
    window_.pages()->setCurrentIndex(MainWindow::kMusicTab);
    const std::filesystem::path& resources = app_.folders.resourceFolder;
    music.addMusicFiles({resources / "samples" / "music" / "sunny_stroll.mp3",
                         resources / "menu_pic" / "silent.mp2"});
    music.musicList()->setCurrentItem(music.musicList()->topLevelItem(1));
    bool saved = save(window_, "page2_music_tracks");

    PreviewPane& pane = *music.previewPane();
    const int start = pane.framesShown();
    music.previewSlideshow();
    // A second of lead-in, the first picture fading in from white, then
    // the picture on its own.
    for (const int frame : {35, 60}) {
        waitFor([&] { return pane.framesShown() >= start + frame; }, 10000);
        saved = save(pane, "preview_slideshow_frame" + std::to_string(frame)) && saved;
    }
    saved = save(window_, "page2_music_previewing") && saved;
    music.stopSlideshowPreview();
    return saved;
}

// A key press, as the keyboard gives it.
static void pressKey(QWidget& widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

// The menu page on a two-page menu with a caption selected (its outline
// moving); the font dialog; the preview on page 1 with its button focused,
// then playing that button's slideshow.
bool ScreenshotTour::saveMenuTab() {
    const MenuTheme* theme = app_.catalogue.selectedTheme();
    if (theme == nullptr) return false;
    SlideshowCommands commands(app_, notifier_);
    const std::vector<SlideImage>& pictures = app_.project.slideshows.front()->pictures;
    for (size_t s = app_.project.slideshows.size(); s <= theme->buttonSlots.size(); ++s) {
        const int index = commands.startSlideshow();
        commands.fillNewSlideshow(index, {pictures[s % pictures.size()].sourcePath});
    }
    window_.refreshProjectViews();
    MenuTab& menu = *window_.menuTab();
    window_.pages()->setCurrentIndex(MainWindow::kMenuTab);
    menu.refreshPage();
    MenuCanvasWidget& canvas = *menu.canvas();
    const QRect caption = menu.editor().composer().items().at(1).box;
    const QPoint click = canvas.widgetPointOf(caption.center());
    QMouseEvent press(QEvent::MouseButtonPress, click, canvas.mapToGlobal(click), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &press);
    waitFor([] { return false; }, 200);  // a few steps of the outline
    bool saved = save(window_, "page3_menu_selected");

    QFontDialog fonts(fontForDialog(menu.editor().selectedFont()), &window_);
    saved = save(fonts, "dialog_font") && saved;

    MenuPreviewDialog preview({app_, window_.preview(), window_.audioPreview()}, &window_);
    preview.show();
    QWidget& view = *preview.menuView();
    // Forward through page 0's buttons to Next, then to page 1's button.
    for (size_t i = 0; i <= theme->buttonSlots.size(); ++i)
        pressKey(view, Qt::Key_Right);
    pressKey(view, Qt::Key_Return);
    pressKey(view, Qt::Key_Right);
    saved = save(preview, "dialog_menu_preview_page1") && saved;
    pressKey(view, Qt::Key_Return);
    PreviewPane& pane = *preview.videoView();
    const int start = pane.framesShown();
    waitFor([&] { return pane.framesShown() >= start + 60; }, 10000);
    saved = save(preview, "dialog_menu_preview_playing") && saved;
    preview.done(QDialog::Rejected);
    return saved;
}

int ScreenshotTour::run() {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    bool saved = true;
    showPhotosTab();
    saved = save(window_, "page0_photos_empty") && saved;
    loadDemonstration();
    window_.refreshProjectViews();
    showPhotosTab();
    for (int page = 0; page < MainWindow::kPageCount; ++page) {
        window_.pages()->setCurrentIndex(page);
        saved = save(window_, kPageNames[page]) && saved;
    }
    showPhotosTab();
    saved = savePhotosTabViews() && saved;
    window_.photosTab()->showFirstStartHint();
    saved = save(window_, "page0_photos_first_start") && saved;

    NoFileDialogs noFiles;
    QSettings settings;
    SettingsDialog settingsDialog({app_, noFiles, notifier_}, &window_);
    saved = save(settingsDialog, "dialog_settings") && saved;
    AboutDialog about(DesktopSettings(settings), app_.folders.resourceFolder, &window_);
    saved = save(about, "dialog_about") && saved;
    TipDialog tip(app_.folders.resourceFolder / "Tips.txt", settings, &window_);
    saved = save(tip, "dialog_tip") && saved;
    saved = saveEditorPages() && saved;
    ImportDialog import(app_.folders.resourceFolder, &window_);
    import.folders().setChecked(
        QString::fromStdString((app_.folders.resourceFolder / "samples").string()), true);
    saved = save(import, "dialog_import") && saved;
    saved = saveEffectsTab() && saved;
    saved = saveMusicTab() && saved;
    saved = saveMenuTab() && saved;
    saved = saveBurnTab() && saved;
    return saved ? 0 : 1;
}

// The burn page with too little room; a real build of a short disc, while
// it runs and once it is done, with the message it ends with; the power-off
// countdown.
bool ScreenshotTour::saveBurnTab() {
    for (const auto& slideshow : app_.project.slideshows) {
        std::vector<int> all(slideshow->pictures.size());
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = int(i);
        slideshow->setDisplayTime(all, 1);  // a short disc builds in seconds
    }
    app_.project.estimateDiscSize();
    window_.refreshProjectViews();
    BurnTab& burn = *window_.burnTab();
    window_.pages()->setCurrentIndex(MainWindow::kBurnTab);
    FullDrives full;
    burn.useDrives(full);
    bool saved = save(window_, "page4_burn_no_room");
    burn.useDrives(systemDrives());

    // The message boxes the build ends with are saved and answered.
    bool messageSaved = false;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        messageSaved = save(*box, "dialog_build_done");
        box->accept();
    });
    answerer.start(100);
    burn.makeButton()->click();
    waitFor([&] { return burn.mainBar()->value() > 20000 || !burn.isBusy(); }, 120000);
    saved = save(window_, "page4_burn_making") && saved;
    waitFor([&] { return !burn.isBusy() && messageSaved; }, 300000);
    answerer.stop();
    saved = messageSaved && save(window_, "page4_burn_done") && saved;

    CountdownDialog countdown(
        QStringLiteral("10s later will shutdown the computer!\nIf you do not want to shut down "
                       "press cancel."),
        10, &window_);
    saved = save(countdown, "dialog_shutdown_countdown") && saved;
    countdown.done(QMessageBox::Cancel);
    return saved;
}

}  // namespace velmora
