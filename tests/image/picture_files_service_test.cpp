#include "image/picture_files_service.h"

#include <gtest/gtest.h>

#include "image/picture_fixtures.h"
#include "image/picture_loader.h"
#include "model/slide_image.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(PictureFilesService, TellsPicturesAndRendersCovers) {
    test::TemporaryFolder folder;
    test::writeWithQt(folder / "a.png", test::quadrants(40, 30), "png");
    test::writeBytes(folder / "fake.jpg", {'n', 'o'});
    PictureFilesService service;
    std::string refusal;
    EXPECT_TRUE(service.canLoad(folder / "a.png", &refusal)) << refusal;
    EXPECT_FALSE(service.canLoad(folder / "fake.jpg", &refusal));
    EXPECT_NE(refusal.find("cannot be loaded: "), std::string::npos) << refusal;
    EXPECT_FALSE(service.canLoad(folder / "notes.txt", &refusal));
    EXPECT_EQ(refusal, "does not exist");
    EXPECT_EQ(service.renderThumbnail(folder / "a.png", QSize(76, 95)).size(), QSize(76, 95));
    EXPECT_TRUE(service.renderThumbnail(folder / "fake.jpg", QSize(76, 95)).isNull());
    ASSERT_TRUE(service.renderCover(folder / "a.png", folder / "cover_a.bmp"));
    std::string reason;
    EXPECT_EQ(loadPicture(folder / "cover_a.bmp", &reason).size(), QSize(80, 60));
}

TEST(PictureFilesService, EditedCopiesGoToTheTemporaryFolder) {
    test::TemporaryFolder folder;
    fs::create_directories(folder / "temp");
    const Picture edited(test::quadrants(40, 30));
    struct Case {
        const char* fileName;
        const char* copyName;
    };
    for (const Case& c : {Case{"beach.jpg", "~beach.jpg"}, Case{"beach.bmp", "~beach.bmp"},
                          Case{"scan.tif", "~scan.tif.png"}, Case{"old.pcx", "~old.pcx.png"}}) {
        SlideImage picture;
        picture.fileName = c.fileName;
        picture.sourcePath = folder / c.fileName;
        picture.workingPath = picture.sourcePath;
        ASSERT_EQ(saveEditedPictureCopy(picture, edited, folder.path()), 0) << c.fileName;
        EXPECT_EQ(picture.fileName, c.copyName);
        EXPECT_EQ(picture.workingPath, folder / "temp" / c.copyName);
        std::string reason;
        EXPECT_TRUE(test::showsQuadrants(loadPicture(picture.workingPath, &reason), 40)) << reason;
    }
    SlideImage nowhere;
    nowhere.fileName = "x.jpg";
    nowhere.workingPath = "/keep/x.jpg";
    EXPECT_EQ(saveEditedPictureCopy(nowhere, edited, folder / "missing"), -1);
    EXPECT_EQ(nowhere.workingPath, "/keep/x.jpg");
    EXPECT_EQ(saveEditedPictureCopy(nowhere, Picture(), folder.path()), -1);
}

TEST(PictureFilesService, EditedCopiesOfSameNamedPicturesNeverShareAFile) {
    const fs::path working = "/home/u/.velmora/run";
    const fs::path summer = editedCopyPath(working, "/photos/2019/beach.jpg", "bmp");
    const fs::path winter = editedCopyPath(working, "/photos/2020/beach.jpg", "bmp");
    EXPECT_NE(summer, winter);
    EXPECT_EQ(summer, editedCopyPath(working, "/photos/2019/beach.jpg", "bmp"));
    EXPECT_EQ(summer.parent_path(), working / "temp");
    EXPECT_TRUE(summer.filename().string().starts_with("beach-")) << summer;
    EXPECT_EQ(summer.extension(), ".bmp");
}

}  // namespace
}  // namespace velmora
