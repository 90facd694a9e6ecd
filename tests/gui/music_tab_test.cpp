#include "gui/pages/music_tab.h"

#include <gtest/gtest.h>

#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include "gui/disc_tree_view.h"
#include "gui/gui_fixture.h"
#include "gui/music_list_view.h"
#include "gui/preview_pane.h"
#include "render/preview_state.h"
#include "support/tone_files.h"
#include "workspace/slideshow_commands.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class MusicTabTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        tab = window->musicTab();
    }

    // A slideshow of `count` small photos shown `seconds` each; its index.
    int addSlideshow(int count, int seconds = 5) { return addPhotoSlideshow(count, seconds); }
    fs::path tone(const std::string& name) {
        const fs::path file = temporary.path() / "music" / name;
        fs::create_directories(file.parent_path());
        test::makeTone(file, 1, {"-c:a", "pcm_s16le"});
        return file;
    }
    void enterPage() {
        window->pages()->setCurrentIndex(MainWindow::kMusicTab);
        QCoreApplication::processEvents();
    }
    QPushButton* button(const char* name) const {
        auto* found = tab->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void chooseSlideshow(int index) {
        DiscTreeView* tree = tab->discTree();
        const QRect place = tree->visualItemRect(tree->slideshowItem(index));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, place.center());
    }
    void chooseRow(int row) {
        MusicListView* list = tab->musicList();
        const QRect place = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    // The file names in the list as shown, one letter each.
    std::string shownOrder() const {
        std::string order;
        MusicListView* list = tab->musicList();
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            order += list->topLevelItem(row)->text(1).toStdString().front();
        return order;
    }
    std::string firstSlideshowOrder() const {
        std::string order;
        for (const AudioTrack& track : app.project.slideshows.front()->audioTracks)
            order += track.fileName.front();
        return order;
    }
    bool playing() const { return window->audioPreview().isPlaying(); }

    MusicTab* tab = nullptr;
};

TEST_F(MusicTabTest, TheListIsTheFirstSlideshowsMusicWhicheverSlideshowIsPicked) {
    addSlideshow(2);
    addSlideshow(2);
    enterPage();
    // New slideshows start with the default music.
    ASSERT_EQ(shownOrder(), "d");

    chooseSlideshow(1);
    EXPECT_EQ(app.project.currentSlideshow, 1);
    files.audioChoices.push_back({tone("a.wav"), tone("b.wav"), temporary.path() / "notes.txt"});
    click("addMusicButton");
    EXPECT_EQ(shownOrder(), "dab");
    EXPECT_EQ(firstSlideshowOrder(), "dab");
    EXPECT_EQ(app.project.slideshows[1]->audioTracks.size(), 1u);
    EXPECT_EQ(tab->musicList()->topLevelItem(2)->text(2), QStringLiteral("00:01:01"));

    // Files dropped from the file manager join the end like "Add".
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(tone("c.wav").string()))});
    QWidget* target = tab->musicList()->viewport();
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_EQ(shownOrder(), "dabc");

    // Moves stop at the ends; a moved track stays chosen.
    chooseRow(0);
    click("musicUpButton");
    EXPECT_EQ(shownOrder(), "dabc");
    chooseRow(3);
    click("musicDownButton");
    EXPECT_EQ(shownOrder(), "dabc");
    chooseRow(1);
    click("musicDownButton");
    EXPECT_EQ(shownOrder(), "dbac");
    EXPECT_EQ(tab->musicList()->selectedRow(), 2);
    EXPECT_EQ(firstSlideshowOrder(), "dbac");

    // Deleting down to one track; the last one stays, with the message.
    for (int i = 0; i < 3; ++i) {
        chooseRow(0);
        click("deleteMusicButton");
    }
    EXPECT_EQ(shownOrder(), "c");
    EXPECT_TRUE(notifier.shown.empty());
    chooseRow(0);
    click("deleteMusicButton");
    EXPECT_EQ(shownOrder(), "c");
    EXPECT_EQ(notifier.shown,
              (std::vector<std::string>{"This is last audio, you can not delete it!"}));
}

TEST_F(MusicTabTest, PreviewAndMusicHoldTheCommandsUntilStoppedOrEnded) {
    addSlideshow(3);
    addSlideshow(1, 1);
    app.project.slideshows.front()->addAudioTrack(tone("a.wav"), app.project.folders().working);
    enterPage();
    const fs::path discMusic = app.project.slideshows.front()->audioTracks.front().sourcePath;

    // The second slideshow plays with the first one's music.
    chooseSlideshow(1);
    click("previewSlideshowButton");
    EXPECT_FALSE(tab->controlsEnabled());
    EXPECT_FALSE(button("addMusicButton")->isEnabled());
    EXPECT_FALSE(button("previewSlideshowButton")->isEnabled());
    EXPECT_TRUE(button("stopPreviewButton")->isEnabled());
    EXPECT_TRUE(playing());
    ASSERT_FALSE(audio.opened.empty());
    EXPECT_EQ(audio.opened.back(), discMusic);
    PreviewPane* pane = tab->previewPane();
    const int framesBefore = pane->framesShown();
    EXPECT_TRUE(test::waitUntil([&] { return pane->framesShown() > framesBefore + 3; }));

    click("stopPreviewButton");
    EXPECT_TRUE(tab->controlsEnabled());
    EXPECT_TRUE(button("addMusicButton")->isEnabled());
    EXPECT_FALSE(button("stopPreviewButton")->isEnabled());
    EXPECT_FALSE(window->preview().isPreviewRunning());
    EXPECT_FALSE(playing());

    // One track to hear, until "Stop Music Play".
    chooseRow(1);
    click("playMusicButton");
    EXPECT_FALSE(tab->controlsEnabled());
    EXPECT_EQ(audio.opened.back().filename(), "a.wav");
    EXPECT_TRUE(audio.playing);
    click("stopMusicButton");
    EXPECT_TRUE(tab->controlsEnabled());
    EXPECT_FALSE(audio.playing);

    // A preview that plays to its end stops its music and gives the
    // commands back by itself.
    click("previewSlideshowButton");
    EXPECT_TRUE(playing());
    EXPECT_TRUE(test::waitUntil([&] { return tab->controlsEnabled(); }, 20000));
    EXPECT_FALSE(playing());
    EXPECT_FALSE(audio.playing);

    // The end of a stopped preview arrives late; it must not silence the
    // preview started after it.
    click("previewSlideshowButton");
    click("stopPreviewButton");
    click("previewSlideshowButton");
    QTest::qWait(50);
    EXPECT_TRUE(playing());

    // Leaving the page stops both.
    window->pages()->setCurrentIndex(MainWindow::kPhotosTab);
    EXPECT_FALSE(window->preview().isPreviewRunning());
    EXPECT_FALSE(playing());
}

TEST_F(MusicTabTest, NoSoundOutputGivesTheCommandsBackWithTheReason) {
    addSlideshow(1);
    audio.hasOutput = false;
    enterPage();
    chooseRow(0);
    click("playMusicButton");
    const QString reason = QStringLiteral("The music cannot be played: no sound output");
    EXPECT_TRUE(test::waitUntil(
        [&] { return tab->controlsEnabled() && window->statusBar()->currentMessage() == reason; },
        3000));
}

}  // namespace
}  // namespace velmora
