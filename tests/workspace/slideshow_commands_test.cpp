#include "workspace/slideshow_commands.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <string>
#include <vector>

#include "image/picture_loader.h"
#include "workspace/engine_fixture.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class SlideshowCommandsTest : public ::testing::Test, protected test::EngineFixture {
  protected:
    // A picture file of its own colour, wider than high.
    fs::path picture(const fs::path& file, QColor colour = QColor(200, 40, 40)) {
        fs::create_directories(file.parent_path());
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        // A marker in the top left corner shows which way the picture turned.
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixel(x, y, qRgb(0, 0, 255));
        image.save(QString::fromStdString(file.string()));
        return file;
    }
    fs::path photos() const { return temporary_.path() / "photos"; }
    // A slideshow of pictures named 0.png, 1.png ...
    Slideshow& slideshowOf(int count) {
        std::vector<fs::path> files;
        for (int i = 0; i < count; ++i)
            files.push_back(picture(photos() / (std::to_string(i) + ".png")));
        return *app_.project.slideshows.at(size_t(addSlideshowOf(files)));
    }
};

TEST_F(SlideshowCommandsTest, DraggedPicturesLandWhereTheLineWasInTheirOrder) {
    ASSERT_TRUE(started_);
    struct Case {
        std::vector<int> dragged;
        int position;  // before this picture; 6 = the end
        const char* expected;
        int firstMoved;
    };
    const Case cases[] = {
        {{0}, 3, "120345", 2},     // forward: the gap closes behind it
        {{4}, 1, "041235", 1},     // backward
        {{1, 4}, 0, "140235", 0},  // two, in their order, to the front
        {{0, 2}, 6, "134502", 4},  // to the end
        {{5}, 6, "012345", 5},     // the last picture after itself: nothing moves
        {{2, 3}, 3, "012345", 2},  // onto their own place
        {{3, 1}, 5, "024135", 3},  // the drag's order does not matter
    };
    Slideshow& slideshow = slideshowOf(6);
    for (const Case& c : cases) {
        commands_.sortPictures(Slideshow::SortKey::FileName, Slideshow::SortOrder::Ascending);
        ASSERT_EQ(order(slideshow), "012345");
        EXPECT_EQ(commands_.movePicturesTo(c.dragged, c.position), c.firstMoved) << c.expected;
        EXPECT_EQ(order(slideshow), c.expected);
    }
    EXPECT_EQ(commands_.movePicturesTo({9}, 0), -1);
}

TEST_F(SlideshowCommandsTest, PictureMovesFollowTheSelectionRules) {
    ASSERT_TRUE(started_);
    Slideshow& slideshow = slideshowOf(4);
    EXPECT_EQ(commands_.movePictureDown({1, 2}), -1);  // down needs exactly one
    EXPECT_EQ(order(slideshow), "0123");
    EXPECT_EQ(commands_.movePictureDown({1}), 2);
    EXPECT_EQ(order(slideshow), "0213");
    EXPECT_EQ(commands_.movePictureUp({3, 2}), 1);  // up moves the first selected
    EXPECT_EQ(order(slideshow), "0123");
}

TEST_F(SlideshowCommandsTest, DeletingTheLastPicturesRemovesTheSlideshow) {
    ASSERT_TRUE(started_);
    slideshowOf(2);
    EXPECT_FALSE(commands_.deletePictures({0}));
    EXPECT_EQ(app_.project.slideshows.size(), 1u);
    EXPECT_TRUE(commands_.deletePictures({0}));
    EXPECT_TRUE(app_.project.slideshows.empty());
    EXPECT_EQ(app_.project.currentSlideshow, -1);
    EXPECT_EQ(app_.project.sizeEstimate, 0.0f);
}

// A quarter turn rewrites the working file, never the user's own, and keeps
// the turn in the edit list; two photos of one name from two folders keep
// their own turned copies.
TEST_F(SlideshowCommandsTest, RotationTurnsTheWorkingCopyAndKeepsTheTurn) {
    ASSERT_TRUE(started_);
    const fs::path summer = picture(photos() / "2019" / "beach.png", QColor(200, 40, 40));
    const fs::path winter = picture(photos() / "2020" / "beach.png", QColor(40, 200, 40));
    const int index = commands_.startSlideshow();
    ASSERT_TRUE(commands_.fillNewSlideshow(index, {summer, winter}));
    Slideshow& slideshow = *app_.project.slideshows[size_t(index)];

    std::string failure;
    EXPECT_EQ(commands_.rotatePictures({0, 1}, /*left=*/true, &failure).size(), 4u);
    EXPECT_TRUE(failure.empty()) << failure;
    commands_.rotatePictures({0}, /*left=*/true, &failure);
    const SlideImage& turnedTwice = slideshow.pictures[0];
    const SlideImage& turnedOnce = slideshow.pictures[1];
    EXPECT_NE(turnedTwice.workingPath, turnedOnce.workingPath);
    EXPECT_EQ(turnedTwice.workingPath.parent_path(), app_.project.folders().working / "temp");
    ASSERT_EQ(turnedTwice.edits.size(), 2u);
    EXPECT_EQ(turnedTwice.edits[1].kind, PictureEditKind::RotateLeft90);

    std::string reason;
    const Picture upsideDown = loadPicture(turnedTwice.workingPath, &reason);
    ASSERT_EQ(upsideDown.size(), QSize(64, 48)) << reason;
    EXPECT_EQ(upsideDown.pixel(60, 44), qRgb(0, 0, 255));  // the marker went round
    EXPECT_EQ(qGreen(upsideDown.pixel(30, 20)), 40);       // still the 2019 photo
    const Picture leftTurned = loadPicture(turnedOnce.workingPath, &reason);
    ASSERT_EQ(leftTurned.size(), QSize(48, 64)) << reason;
    EXPECT_EQ(leftTurned.pixel(2, 60), qRgb(0, 0, 255));  // top left went bottom left
    EXPECT_EQ(qGreen(leftTurned.pixel(30, 20)), 200);

    // The user's files are as they were.
    EXPECT_EQ(loadPicture(summer, &reason).pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(loadPicture(summer, &reason).size(), QSize(64, 48));
}

TEST_F(SlideshowCommandsTest, AddingStopsAtTheDiscLimitWithOneMessage) {
    ASSERT_TRUE(started_);
    // An hour a picture: one or two (by the TV standard) fill most of the
    // disc, the next would not fit, nor any after it.
    app_.project.defaults().effect.displayTime = 3600;
    std::vector<fs::path> files;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
        files.push_back(picture(photos() / name));
    const int index = commands_.startSlideshow();
    notifier_.messages.clear();
    AddedPictures added;
    ASSERT_TRUE(commands_.fillNewSlideshow(index, files, &added));
    EXPECT_GE(added.added, 1);
    EXPECT_TRUE(added.discLimitReached);
    ASSERT_EQ(added.refused.size(), files.size() - size_t(added.added));
    EXPECT_EQ(added.refused[0].file, files[size_t(added.added)]);
    EXPECT_FALSE(app_.project.isOverDiscLimit());
    // The estimate's own warning for the picture taken back, then ours;
    // the pictures after it are not tried.
    ASSERT_EQ(notifier_.messages.size(), 2u);
    EXPECT_EQ(notifier_.messages[1], "Add too many images then output disk can contain!");
}

// Photos dropped from the file manager: folders give their pictures in name
// order, loose files follow, other files are passed over; with no
// slideshow yet, the drop makes one.
TEST_F(SlideshowCommandsTest, DroppedFilesAndFoldersBecomePictures) {
    ASSERT_TRUE(started_);
    picture(photos() / "trip" / "2.png");
    picture(photos() / "trip" / "1.png");
    const fs::path loose = picture(photos() / "0.png");
    test::writeFile(photos() / "notes.txt");
    const AddedPictures added =
        commands_.dropPictures({photos() / "trip", loose, photos() / "notes.txt"});
    EXPECT_EQ(added.added, 3);
    ASSERT_EQ(app_.project.slideshows.size(), 1u);
    EXPECT_EQ(order(*app_.project.slideshows[0]), "120");

    const ImportResult slideshows = commands_.dropSlideshows({photos() / "trip", loose});
    EXPECT_EQ(slideshows.slideshowsAdded, 2);
    ASSERT_EQ(app_.project.slideshows.size(), 3u);
    EXPECT_EQ(app_.project.slideshows[1]->name, "trip");
    EXPECT_EQ(order(*app_.project.slideshows[2]), "0");
}

}  // namespace
}  // namespace velmora
