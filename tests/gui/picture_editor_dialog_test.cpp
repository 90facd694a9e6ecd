#include "gui/picture_editor_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "gui/editor_canvas_widget.h"
#include "gui/gui_fixture.h"
#include "gui/pages/photos_tab.h"
#include "gui/picture_view.h"
#include "image/picture_loader.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Answer = NotifierAnswer;

constexpr QRgb kMarker = qRgb(0, 0, 255);

class PictureEditorDialogTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        tab = window->photosTab();
    }

    // A slideshow of `count` photos, each grey with a blue top-left corner.
    void addPhotos(int count) {
        fs::create_directories(temporary.path() / "photos");
        std::vector<fs::path> chosen;
        for (int i = 0; i < count; ++i) {
            const fs::path file = temporary.path() / "photos" / (std::to_string(i) + ".png");
            QImage image(400, 300, QImage::Format_RGB32);
            image.fill(qRgb(128, 128, 128));
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    image.setPixel(x, y, kMarker);
            image.save(QString::fromStdString(file.string()));
            chosen.push_back(file);
        }
        files.pictureChoices.push_back(chosen);
        QTest::mouseClick(tab->button("addSlideshowButton"), Qt::LeftButton);
        ASSERT_TRUE(test::waitUntil([this] { return !tab->pictureView()->isBusy(); }));
    }
    // Opens the editor on `picture` and runs `inside` while it is shown.
    void editPicture(int picture, std::function<void(PictureEditorDialog&)> inside) {
        tab->pictureView()->selectPictures({picture});
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<PictureEditorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            inside(*dialog);
            ran = true;
            if (dialog->isVisible()) dialog->reject();
        });
        QTest::mouseClick(tab->button("editPictureButton"), Qt::LeftButton);
        EXPECT_TRUE(ran);
    }
    static void press(PictureEditorDialog& dialog, const char* buttonName) {
        auto* button = dialog.findChild<QPushButton*>(buttonName);
        ASSERT_NE(button, nullptr) << buttonName;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    SlideImage& picture(int index) {
        return app.project.slideshows.at(size_t(app.project.currentSlideshow))
            ->pictures.at(size_t(index));
    }

    PhotosTab* tab = nullptr;
};

// Two left turns on the page, then the editor: it rebuilds the picture
// from the user's file and the two stored turns, so it shows it upside down.
TEST_F(PictureEditorDialogTest, TurnsMadeOnThePageShowInTheEditor) {
    addPhotos(1);
    tab->pictureView()->selectPictures({0});
    QTest::mouseClick(tab->button("rotateLeftButton"), Qt::LeftButton);
    ASSERT_TRUE(test::waitUntil([this] { return !tab->pictureView()->isBusy(); }));
    QTest::mouseClick(tab->button("rotateLeftButton"), Qt::LeftButton);
    ASSERT_TRUE(test::waitUntil([this] { return !tab->pictureView()->isBusy(); }));
    ASSERT_EQ(picture(0).edits.size(), 2u);
    editPicture(0, [](PictureEditorDialog& dialog) {
        const Picture& shown = dialog.editor().canvas().screenImage();
        ASSERT_EQ(shown.size(), QSize(640, 480));
        EXPECT_EQ(shown.pixel(630, 470), kMarker);
        EXPECT_NE(shown.pixel(10, 10), kMarker);
    });
}

// A caption typed in the editor and saved becomes part of the picture the
// disc is made from; stepping past the ends says so and stays.
TEST_F(PictureEditorDialogTest, ASavedCaptionGoesIntoTheWorkingFile) {
    addPhotos(2);
    const fs::path source = picture(1).sourcePath;
    editPicture(1, [&](PictureEditorDialog& dialog) {
        press(dialog, "nextButton");
        EXPECT_EQ(notifier.shown.back(), "This is the last Picture!");
        press(dialog, "addCaptionButton");
        auto* text = dialog.findChild<QLineEdit*>("captionText");
        ASSERT_TRUE(text->isEnabled());
        text->selectAll();
        QTest::keyClicks(text, "Summer");
        EXPECT_EQ(dialog.editor().canvas().selectedCaptionText(), "Summer");
        files.colour = 0x0000FF;  // red, as the project keeps colours
        press(dialog, "colourButton");
        press(dialog, "saveButton");
    });
    EXPECT_NE(picture(1).workingPath, source);
    ASSERT_FALSE(picture(1).edits.empty());
    EXPECT_EQ(picture(1).edits.back().text, "Summer");
    std::string reason;
    const Picture saved = loadPicture(picture(1).workingPath, &reason);
    ASSERT_EQ(saved.size(), QSize(400, 300)) << reason;
    int red = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x)
            if (qRed(saved.pixel(x, y)) > 200 && qGreen(saved.pixel(x, y)) < 60) ++red;
    EXPECT_GT(red, 20);  // the caption's letters
    EXPECT_TRUE(app.project.flags().modified);
}

// Leaving with unsaved changes asks; Cancel keeps the editor open, No
// leaves the picture as it was.
TEST_F(PictureEditorDialogTest, UnsavedChangesAreAskedAbout) {
    addPhotos(1);
    const fs::path source = picture(0).sourcePath;
    editPicture(0, [&](PictureEditorDialog& dialog) {
        press(dialog, "rotate180Button");
        notifier.answers = {Answer::Cancel};
        dialog.close();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(notifier.asked.back().text, "Do you want to save the pic modify?");
        notifier.answers = {Answer::No};
        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(picture(0).workingPath, source);
    EXPECT_TRUE(picture(0).edits.empty());
}

}  // namespace
}  // namespace velmora
