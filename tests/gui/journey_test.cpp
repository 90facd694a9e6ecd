// A new user's whole way through the window: photos in, edited, given
// effects, music and a menu, written as an ISO image, saved, and found
// again in the next run.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "gui/disc_tree_view.h"
#include "gui/gui_fixture.h"
#include "gui/menu_canvas_widget.h"
#include "gui/pages/burn_tab.h"
#include "gui/pages/effects_tab.h"
#include "gui/pages/menu_tab.h"
#include "gui/pages/music_tab.h"
#include "gui/pages/photos_tab.h"
#include "gui/picture_editor_dialog.h"
#include "gui/picture_strip_widget.h"
#include "gui/picture_view.h"
#include "gui/theme_list_view.h"
#include "gui/transition_list_view.h"
#include "model/transition_catalogue.h"
#include "support/dvd_reading.h"
#include "support/tone_files.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Answer = NotifierAnswer;

constexpr int kBuildMs = 600000;  // the sanitizer build encodes slowly

// A playback time in frames at the frame rate it is flagged with.
int framesOf(const dvd_time_t& time) {
    const auto bcd = [](uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); };
    const int fps = (time.frame_u >> 6) == 1 ? 25 : 30;
    return ((bcd(time.hour) * 60 + bcd(time.minute)) * 60 + bcd(time.second)) * fps +
           bcd(time.frame_u & 0x3F);
}

// What a player finds on an image: every title's length and the buttons
// of every menu page.
struct DiscFacts {
    int titles = -1;
    std::vector<int> titleFrames;
    std::vector<int> buttonsPerMenuPage;
};

DiscFacts readDisc(const fs::path& image) {
    DiscFacts facts;
    facts.titles = test::titleCount(image);
    test::DvdReader dvd(DVDOpen(image.c_str()));
    if (!dvd) return facts;
    test::DvdIfo vmg(ifoOpen(dvd.get(), 0));
    if (!vmg) return facts;
    for (int set = 1; set <= vmg->vmgi_mat->vmg_nr_of_title_sets; ++set) {
        test::DvdIfo vts(ifoOpen(dvd.get(), set));
        if (!vts) continue;
        for (int i = 0; i < vts->vts_pgcit->nr_of_pgci_srp; ++i)
            facts.titleFrames.push_back(framesOf(vts->vts_pgcit->pgci_srp[i].pgc->playback_time));
    }
    for (const hli_t& highlights : test::menuHighlights(dvd.get(), *vmg))
        facts.buttonsPerMenuPage.push_back(highlights.hl_gi.btn_ns);
    return facts;
}

// The size a picture file has on disk.
QSize fileImageSize(const fs::path& file) {
    return QImageReader(QString::fromStdString(file.string())).size();
}

class JourneyTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        window->resize(1000, 720);
        window->greetUser();
    }

    // A photo-like JPEG: a sky-to-ground gradient with a sun, `size` big.
    static void writePhoto(const fs::path& file, QSize size, int hue) {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient sky(0, 0, 0, size.height());
        sky.setColorAt(0, QColor::fromHsv(hue, 120, 240));
        sky.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 200, 90));
        painter.fillRect(image.rect(), sky);
        painter.setBrush(QColor(250, 220, 80));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(size.width() / 3, size.height() / 4), size.width() / 10,
                            size.width() / 10);
        painter.end();
        ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "JPG", 90));
    }
    fs::path folderOf(const std::string& name, const std::vector<QSize>& sizes) {
        const fs::path folder = temporary.path() / "Pictures" / name;
        fs::create_directories(folder);
        for (size_t i = 0; i < sizes.size(); ++i)
            writePhoto(folder / ("photo" + std::to_string(i + 1) + ".jpg"), sizes[i],
                       int(i) * 70 + int(name.size()) * 13);
        return folder;
    }

    void click(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // The events a desktop sends for a double click (QTest's alone has no
    // press before it).
    static void doubleClick(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }
    // A page chosen by its tab, as the user does.
    void openPage(MainWindow::PageIndex index) {
        QTabBar* tabs = window->pages()->tabBar();
        click(tabs, tabs->tabRect(index).center());
        ASSERT_EQ(window->pages()->currentIndex(), index);
        QCoreApplication::processEvents();
    }
    // Runs `inside` on the modal dialog or popup menu that `open` opens (at
    // once or, as a double click, once the events are delivered), and closes
    // it when `inside` left it open.
    static void whileOpen(const std::function<void()>& open,
                          const std::function<void(QWidget&)>& inside) {
        bool handled = false;
        int looks = 0;
        QObject lookout;  // no look is left pending once this returns
        std::function<void()> look = [&] {
            QWidget* shown = QApplication::activePopupWidget();
            if (shown == nullptr) shown = QApplication::activeModalWidget();
            if (shown == nullptr) {
                if (++looks < 500) QTimer::singleShot(10, &lookout, look);
                return;
            }
            inside(*shown);
            if (shown->isVisible()) shown->close();
            handled = true;
        };
        QTimer::singleShot(0, &lookout, look);
        open();
        EXPECT_TRUE(test::waitUntil([&] { return handled || looks >= 500; }));
        EXPECT_TRUE(handled) << "nothing opened";
    }
    static void press(QWidget& dialog, const char* buttonName) {
        auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(buttonName));
        ASSERT_NE(button, nullptr) << buttonName;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // "Apply to ..." and the menu's "all" command, both clicked.
    void applyToAll(EffectsTab& tab, const char* buttonName) {
        auto* button = tab.findChild<QPushButton*>(QString::fromLatin1(buttonName));
        ASSERT_NE(button, nullptr) << buttonName;
        whileOpen([&] { click(button, button->rect().center()); },
                  [](QWidget& popup) {
                      auto* menu = qobject_cast<QMenu*>(&popup);
                      ASSERT_NE(menu, nullptr);
                      QAction* all = menu->findChild<QAction*>(QStringLiteral("allAction"));
                      ASSERT_NE(all, nullptr);
                      QTest::mouseClick(menu, Qt::LeftButton, {},
                                        menu->actionGeometry(all).center());
                  });
    }
    void clickTreeItem(DiscTreeView* tree, int slideshow) {
        click(tree->viewport(), tree->visualItemRect(tree->slideshowItem(slideshow)).center());
    }
    void clickMenuItem(MenuTab& tab, int item) {
        const QRect box = tab.editor().composer().items().at(size_t(item)).box;
        click(tab.canvas(), tab.canvas()->widgetPointOf(box.center()));
    }
    // Keys pressed in the window. The offscreen platform leaves the focus
    // with a popup menu that has closed (a desktop gives it back), so the
    // window is activated by hand first.
    void pressKeys(QWidget* target, QKeySequence keys) {
        window->windowHandle()->requestActivate();
        ASSERT_TRUE(test::waitUntil([&] { return QApplication::activeWindow() == window.get(); }));
        QTest::keySequence(target, keys);
    }
    bool wasShown(const std::string& text) const {
        return std::find(notifier.shown.begin(), notifier.shown.end(), text) !=
               notifier.shown.end();
    }
    // The first theme other than the current one with room for `buttons`.
    int otherThemeFor(int buttons) const {
        for (int i = 0; i < app.catalogue.themeCount(); ++i)
            if (i != app.catalogue.selectedIndex() &&
                int(app.catalogue.themes()[size_t(i)].buttonSlots.size()) >= buttons)
                return i;
        return -1;
    }
};

TEST_F(JourneyTest, PhotosToEditedSavedIsoImageAndBackInTheNextRun) {
    PhotosTab& photos = *window->photosTab();

    // 1. Two folders imported from the empty page; one photo stands upright.
    const fs::path beach = folderOf("Beach", {{640, 480}, {360, 480}, {800, 450}});
    const fs::path garden = folderOf("Garden", {{600, 400}, {320, 240}});
    files.folderChoices.push_back({beach, garden});
    auto* importButton = photos.findChild<QPushButton*>(QStringLiteral("emptyImportButton"));
    ASSERT_NE(importButton, nullptr);
    ASSERT_TRUE(importButton->isVisible());
    click(importButton);
    ASSERT_EQ(app.project.slideshows.size(), 2u);
    ASSERT_EQ(app.project.slideshows[0]->pictures.size(), 3u);
    ASSERT_EQ(app.project.slideshows[1]->pictures.size(), 2u);
    const std::string gardenName = app.project.slideshows[1]->name;

    // 2. The upright photo turned left and given a caption in the editor,
    // opened by a double click on its thumbnail; saved, then OK.
    clickTreeItem(photos.discTree(), 0);
    ASSERT_EQ(app.project.currentSlideshow, 0);
    PictureView& view = *photos.pictureView();
    ASSERT_TRUE(test::waitUntil([&] { return !view.isBusy(); }));
    ThumbnailListView* grid = view.thumbnailView();
    const QPoint upright = grid->visualRect(grid->model()->index(1, 0)).center();
    whileOpen([&] { doubleClick(grid->viewport(), upright); },
              [&](QWidget& open) {
                  auto* editor = qobject_cast<PictureEditorDialog*>(&open);
                  ASSERT_NE(editor, nullptr);
                  ASSERT_EQ(editor->editor().index(), 1);
                  press(*editor, "rotateLeftButton");
                  QTabBar* editorPages = editor->pages()->tabBar();
                  click(editorPages, editorPages->tabRect(1).center());
                  press(*editor, "addCaptionButton");
                  auto* caption = editor->findChild<QLineEdit*>(QStringLiteral("captionText"));
                  ASSERT_TRUE(caption->isEnabled());
                  caption->selectAll();
                  QTest::keyClicks(caption, "Lighthouse");
                  press(*editor, "saveButton");
                  press(*editor, "okButton");
                  EXPECT_FALSE(editor->isVisible());
              });
    ASSERT_EQ(app.project.slideshows[0]->pictures[1].edits.size(), 2u);

    // 3. Blinds for every picture of the first slideshow, then the third
    // picture shown 5 seconds, typed into its box in the strip.
    openPage(MainWindow::kEffectsTab);
    EffectsTab& effects = *window->effectsTab();
    clickTreeItem(effects.discTree(), 0);
    ASSERT_EQ(effects.strip().slideshow(), app.project.slideshows[0].get());
    const int blinds = int(TransitionKind::Blinds) + 1;
    TransitionListView* transitions = effects.transitionList();
    click(transitions->viewport(), transitions->visualItemRect(transitions->item(blinds)).center());
    ASSERT_EQ(transitions->selectedEntry(), blinds);
    applyToAll(effects, "applyTransitionButton");
    PictureStripWidget* strip = effects.stripWidget();
    const QPoint thirdTimeBox =
        effects.strip().cellRect(2).topLeft() + StripLayout::kDisplayTimeBox.center();
    click(strip, thirdTimeBox);
    ASSERT_NE(strip->timeEdit(), nullptr);
    QTest::keyClicks(strip->timeEdit(), "5");
    QTest::keyClick(strip->timeEdit(), Qt::Key_Return);

    // 4. A tune added to the disc's music.
    openPage(MainWindow::kMusicTab);
    const fs::path tune = temporary.path() / "Music" / "waves.wav";
    fs::create_directories(tune.parent_path());
    test::makeTone(tune, 3, {"-c:a", "pcm_s16le"});
    files.audioChoices.push_back({tune});
    click(window->musicTab()->findChild<QPushButton*>(QStringLiteral("addMusicButton")));

    // 5. Another theme with room for both buttons, and the first button's
    // caption typed over: it names the slideshow.
    openPage(MainWindow::kMenuTab);
    MenuTab& menu = *window->menuTab();
    const int theme = otherThemeFor(2);
    ASSERT_GE(theme, 0) << "only one theme with two buttons is installed";
    ThemeListView* themes = menu.themeList();
    click(themes->viewport(), themes->visualItemRect(themes->item(theme)).center());
    ASSERT_EQ(app.catalogue.selectedIndex(), theme);
    clickMenuItem(menu, 1);
    ASSERT_EQ(menu.editor().selectedCount(), 1);
    menu.textField()->selectAll();
    QTest::keyClicks(menu.textField(), "Seaside");

    // 6. An ISO image chosen with Choose..., written after making.
    openPage(MainWindow::kBurnTab);
    BurnTab& burn = *window->burnTab();
    QRadioButton* imageTarget = burn.imageTarget();
    click(imageTarget, QPoint(8, imageTarget->height() / 2));
    ASSERT_TRUE(imageTarget->isChecked());
    const fs::path image = temporary.path() / "Videos" / "holiday.iso";
    fs::create_directories(image.parent_path());
    files.choices.push_back(image);
    click(burn.chooseImageButton());
    EXPECT_EQ(burn.imageField()->text(), QString::fromStdString(image.string()));
    QCheckBox* writeAfter = burn.burnBox();
    EXPECT_EQ(writeAfter->text(),
              QStringLiteral("Write the ISO image when authoring accomplished"));
    click(writeAfter, QPoint(8, writeAfter->height() / 2));
    ASSERT_TRUE(writeAfter->isChecked());
    click(burn.makeButton());
    ASSERT_TRUE(burn.isBusy()) << (notifier.shown.empty() ? "" : notifier.shown.back());
    ASSERT_TRUE(test::waitUntil([&] { return !burn.isBusy(); }, kBuildMs));
    QCoreApplication::processEvents();
    EXPECT_TRUE(wasShown("The ISO image was written:\n" + image.string()))
        << (notifier.shown.empty() ? "" : notifier.shown.back());

    // 7. Ctrl+S, then the close box: only "quit?" is left to answer.
    pressKeys(window.get(), QKeySequence::Save);
    const fs::path saved = app.project.projectFilePath;
    ASSERT_TRUE(fs::is_regular_file(saved));
    EXPECT_FALSE(app.project.flags().modified);
    notifier.asked.clear();
    notifier.answers = {Answer::Yes};
    window->close();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(notifier.asked.size(), 1u);
    EXPECT_EQ(notifier.asked[0].text, "Do you want to quit?");

    // 8. The image as a player reads it: a title per slideshow, as long as
    // the slideshow, and one menu page with both buttons.
    const DiscFacts disc = readDisc(image);
    EXPECT_EQ(disc.titles, 2);
    ASSERT_EQ(disc.titleFrames.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_NEAR(disc.titleFrames[i], app.project.slideshows[i]->totalFrames, 2) << i;
    EXPECT_EQ(disc.buttonsPerMenuPage, std::vector<int>{2});

    // 9. The next run on the same user folder opens the saved project and
    // finds every change.
    test::WindowFixture next(user());
    ASSERT_TRUE(next.started);
    next.files.choices.push_back(saved);
    click(next.window->findChild<QToolButton*>(QStringLiteral("openProjectButton")));
    const Project& reopened = next.app.project;
    ASSERT_EQ(reopened.slideshows.size(), 2u);
    const Slideshow& first = *reopened.slideshows[0];
    ASSERT_EQ(first.pictures.size(), 3u);
    EXPECT_EQ(first.name, "Seaside");
    EXPECT_EQ(reopened.slideshows[1]->name, gardenName);

    const SlideImage& edited = first.pictures[1];
    ASSERT_EQ(edited.edits.size(), 2u);
    EXPECT_EQ(edited.edits[0].kind, PictureEditKind::RotateLeft90);
    EXPECT_EQ(edited.edits[1].kind, PictureEditKind::Text);
    EXPECT_EQ(edited.edits[1].text, "Lighthouse");
    EXPECT_NE(edited.workingPath, edited.sourcePath);
    const QSize turned = fileImageSize(edited.workingPath);
    EXPECT_GT(turned.width(), turned.height()) << "the upright photo lies down once turned";

    for (const SlideImage& picture : first.pictures)
        EXPECT_EQ(picture.settings.effect.transition->kind(), TransitionKind::Blinds);
    const int defaultSeconds = next.app.preferences.defaults.effect.displayTime;
    ASSERT_NE(defaultSeconds, 5);
    EXPECT_EQ(first.pictures[0].settings.effect.displayTime, defaultSeconds);
    EXPECT_EQ(first.pictures[2].settings.effect.displayTime, 5);

    const auto& tracks = first.audioTracks;
    EXPECT_TRUE(std::any_of(tracks.begin(), tracks.end(),
                            [](const AudioTrack& track) { return track.fileName == "waves.wav"; }));

    EXPECT_EQ(next.app.catalogue.selectedIndex(), theme);
    next.window->pages()->setCurrentIndex(MainWindow::kMenuTab);
    QCoreApplication::processEvents();
    ASSERT_EQ(next.app.menu.pageCount(), 1);
    EXPECT_EQ(next.app.menu.themeIndex, theme);
    EXPECT_EQ(next.window->menuTab()->themeList()->currentRow(), theme);
    EXPECT_EQ(next.app.menu.pages[0].texts.at(1).text, "Seaside");
}

}  // namespace
}  // namespace velmora
