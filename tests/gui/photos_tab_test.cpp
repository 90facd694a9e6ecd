#include "gui/pages/photos_tab.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "gui/disc_tree_view.h"
#include "gui/gui_fixture.h"
#include "gui/import_dialog.h"
#include "gui/picture_view.h"
#include "image/picture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Answer = NotifierAnswer;

class PhotosTabTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        tab = window->photosTab();
        view = tab->pictureView();
    }

    // Small photos named 0.png, 1.png ... in `folder`, each its own colour.
    std::vector<fs::path> photos(const fs::path& folder, int count) {
        fs::create_directories(folder);
        std::vector<fs::path> written;
        for (int i = 0; i < count; ++i) {
            const fs::path file = folder / (std::to_string(i) + ".png");
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 40 % 360, 200, 200));
            image.save(QString::fromStdString(file.string()));
            written.push_back(file);
        }
        return written;
    }
    void click(const char* buttonName) {
        QToolButton* button = tab->button(buttonName);
        ASSERT_NE(button, nullptr) << buttonName;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void waitForThumbnails() {
        ASSERT_TRUE(test::waitUntil([this] { return !view->isBusy(); }));
    }
    QString name(int slideshow) const {
        return QString::fromStdString(app.project.slideshows.at(size_t(slideshow))->name);
    }
    Slideshow& current() {
        return *app.project.slideshows.at(size_t(app.project.currentSlideshow));
    }
    QStringList treeTexts() const {
        QStringList texts;
        QTreeWidget* tree = tab->discTree();
        if (QTreeWidgetItem* root = tree->topLevelItem(0)) {
            texts << root->text(0);
            for (int i = 0; i < root->childCount(); ++i)
                texts << root->child(i)->text(0);
        }
        return texts;
    }
    // Files from the file manager dropped at a point of a widget.
    static void dropFiles(QWidget* target, const std::vector<fs::path>& dropped, QPoint at) {
        QMimeData data;
        QList<QUrl> urls;
        for (const fs::path& file : dropped)
            urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
        data.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        ASSERT_TRUE(drop.isAccepted());
    }

    PhotosTab* tab = nullptr;
    PictureView* view = nullptr;
};

// The first slideshow from the button: the picture dialog's files in
// order, the tree, the window's duration and disc bar all follow; the
// picture commands wait for the thumbnails.
TEST_F(PhotosTabTest, AddingASlideshowFillsEveryViewAndCommandsWaitForThumbnails) {
    EXPECT_EQ(treeTexts(), QStringList{"VideoDisc"});
    const std::vector<fs::path> trip = photos(temporary.path() / "trip", 3);
    files.pictureChoices.push_back({trip[2], trip[0], trip[1]});
    click("addSlideshowButton");
    ASSERT_EQ(app.project.slideshows.size(), 1u);
    EXPECT_EQ(current().pictures[0].sourcePath, trip[2]);
    EXPECT_EQ(treeTexts(), (QStringList{"VideoDisc", "Menu", name(0)}));
    EXPECT_EQ(view->thumbnailView()->model()->rowCount(), 3);

    // Loading: the buttons are off and a command does nothing.
    ASSERT_TRUE(view->isBusy());
    view->selectPictures({0});
    EXPECT_FALSE(tab->button("deletePictureButton")->isEnabled());
    tab->deletePictures();
    EXPECT_EQ(current().pictures.size(), 3u);
    waitForThumbnails();
    EXPECT_FALSE(view->thumbnailView()->model()->index(0, 0).data(Qt::DecorationRole).isNull());

    QApplication::processEvents();
    const int seconds = app.project.totalSeconds();
    EXPECT_GT(seconds, 0);
    EXPECT_EQ(window->findChild<QLabel*>("durationLabel")->text(),
              QString::asprintf("Total Duration %02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                                seconds % 60));
    EXPECT_EQ(window->discUsageBar()->value(), int(app.project.sizeEstimate));
}

TEST_F(PhotosTabTest, ImportingTwoFoldersOfOneNameGivesTheSecondAPlus) {
    photos(temporary.path() / "a" / "Holiday", 2);
    photos(temporary.path() / "b" / "Holiday", 1);
    files.folderChoices.push_back(
        {temporary.path() / "a" / "Holiday", temporary.path() / "b" / "Holiday"});
    click("importButton");
    EXPECT_EQ(treeTexts(), (QStringList{"VideoDisc", "Menu", "Holiday", "Holiday+"}));
    // The tooltip sums the slideshow up.
    EXPECT_TRUE(tab->discTree()->topLevelItem(0)->child(1)->toolTip(0).contains("Image: 2"));
}

// The import dialog returns the ticked folders in path order; "Clear All
// Select" unticks them and Import waits for a tick.
TEST_F(PhotosTabTest, TheImportDialogReturnsTheTickedFolders) {
    const fs::path a = temporary.path() / "a";
    const fs::path b = temporary.path() / "b";
    photos(a, 1);
    photos(b, 1);
    ImportDialog dialog(temporary.path());
    auto* import = dialog.findChild<QPushButton*>("okButton");
    EXPECT_FALSE(import->isEnabled());
    dialog.folders().setChecked(QString::fromStdString(b.string()), true);
    dialog.folders().setChecked(QString::fromStdString(a.string()), true);
    EXPECT_EQ(dialog.checkedFolders(), (std::vector<fs::path>{a, b}));
    EXPECT_TRUE(import->isEnabled());
    QTest::mouseClick(dialog.findChild<QPushButton*>("clearAllButton"), Qt::LeftButton);
    EXPECT_TRUE(dialog.checkedFolders().empty());
    EXPECT_FALSE(import->isEnabled());
}

TEST_F(PhotosTabTest, SelectionRulesOfTheButtonsAndTheMenu) {
    files.pictureChoices.push_back(photos(temporary.path() / "p", 3));
    click("addSlideshowButton");
    waitForThumbnails();
    view->selectPictures({0, 1});
    EXPECT_FALSE(tab->button("movePictureDownButton")->isEnabled());
    EXPECT_FALSE(tab->button("editPictureButton")->isEnabled());
    EXPECT_FALSE(tab->pictureAction("menuThumbnailAction")->isEnabled());
    EXPECT_FALSE(tab->pictureAction("modifyAction")->isEnabled());
    EXPECT_TRUE(tab->pictureAction("deleteAction")->isEnabled());
    tab->movePictureDown();  // even when run, nothing moves
    EXPECT_EQ(current().pictures[0].sourcePath.stem(), "0");
    EXPECT_EQ(current().pictures[1].sourcePath.stem(), "1");
    view->selectPictures({1});
    EXPECT_TRUE(tab->pictureAction("menuThumbnailAction")->isEnabled());
    click("movePictureDownButton");
    EXPECT_EQ(current().pictures[2].sourcePath.stem(), "1");
    EXPECT_EQ(view->selectedPictures(), std::vector<int>{2});  // the selection follows
}

TEST_F(PhotosTabTest, DeletingTheLastPictureRemovesTheSlideshowAndItsItem) {
    files.pictureChoices.push_back(photos(temporary.path() / "p", 1));
    click("addSlideshowButton");
    waitForThumbnails();
    window->activateWindow();
    ASSERT_TRUE(test::waitUntil([this] { return window->isActiveWindow(); }));
    view->thumbnailView()->setFocus();
    view->selectPictures({0});
    QTest::keyClick(view->thumbnailView(), Qt::Key_Delete);
    EXPECT_TRUE(app.project.slideshows.empty());
    EXPECT_EQ(treeTexts(), QStringList{"VideoDisc"});
}

// Pictures dropped from the file manager join the slideshow in order; a
// folder dropped on the tree becomes a slideshow; pictures dragged inside
// the view go where the line was.
TEST_F(PhotosTabTest, DropsFromOutsideAndDragsInside) {
    const std::vector<fs::path> first = photos(temporary.path() / "one", 2);
    const std::vector<fs::path> more = photos(temporary.path() / "two", 2);
    files.pictureChoices.push_back(first);
    click("addSlideshowButton");
    waitForThumbnails();
    dropFiles(view->thumbnailView()->viewport(), more, QPoint(5, 5));
    ASSERT_EQ(current().pictures.size(), 4u);
    EXPECT_EQ(current().pictures[3].sourcePath, more[1]);

    dropFiles(tab->discTree()->viewport(), {temporary.path() / "two"}, QPoint(5, 5));
    EXPECT_EQ(treeTexts(), (QStringList{"VideoDisc", "Menu", name(0), "two"}));

    // Dragging the first picture after the third.
    app.project.setCurrentSlideshow(0);
    tab->refreshPage();
    waitForThumbnails();
    ThumbnailListView* grid = view->thumbnailView();
    const QRect third = grid->visualRect(grid->model()->index(2, 0));
    const QPoint afterThird(third.right() - 2, third.center().y());
    ASSERT_EQ(grid->insertionPositionAt(afterThird), 3);
    view->selectPictures({0});
    const std::unique_ptr<QMimeData> dragged(
        grid->model()->mimeData({grid->model()->index(0, 0), grid->model()->index(2, 0)}));
    EXPECT_EQ(PictureListModel::draggedPictures(dragged.get()), (std::vector<int>{0, 2}));
    emit grid->picturesMoved({0}, 3);
    EXPECT_EQ(current().pictures[2].sourcePath, first[0]);
    EXPECT_EQ(view->selectedPictures(), std::vector<int>{2});
}

TEST_F(PhotosTabTest, RenamingInPlaceTakesFifteenCharactersAndRefusesATakenName) {
    files.pictureChoices.push_back(photos(temporary.path() / "p", 1));
    click("addSlideshowButton");
    files.pictureChoices.push_back(photos(temporary.path() / "q", 1));
    click("addSlideshowButton");
    DiscTreeView* tree = tab->discTree();
    tree->editSlideshowName(0);
    auto* editor = tree->findChild<QLineEdit*>("slideshowNameEditor");
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "A very long summer name");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(test::waitUntil([this] { return name(0) == "A very long sum"; }))
        << name(0).toStdString();

    // The first editor may linger until deleted; the new one is the one shown.
    ASSERT_TRUE(test::waitUntil(
        [&] { return tree->findChildren<QLineEdit*>("slideshowNameEditor").isEmpty(); }));
    tree->editSlideshowName(1);
    editor = tree->findChild<QLineEdit*>("slideshowNameEditor");
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    const QString second = name(1);
    QTest::keyClicks(editor, "A very long sum");
    QTest::keyClick(editor, Qt::Key_Return);
    // The tree shows the name that holds once the refused edit settled.
    EXPECT_TRUE(test::waitUntil([&] { return treeTexts().last() == second; }));
    EXPECT_EQ(name(1), second);
}

}  // namespace
}  // namespace velmora
