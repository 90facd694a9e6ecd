#include "workspace/slideshow_import.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/path_text.h"
#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class SlideshowImportTest : public ::testing::Test {
  protected:
    SlideshowImportTest() {
        services_.audio.seconds = {{"default.mp3", 60}};
        test::writeFile(user() / "default.mp3");
    }
    fs::path user() const { return temporary_.path(); }
    fs::path folderWith(const fs::path& folder, std::vector<std::string> files) {
        for (const std::string& file : files)
            test::writeFile(folder / file);
        return folder;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& slideshow : stack_.project.slideshows)
            result.push_back(slideshow->name);
        return result;
    }

    test::TemporaryFolder temporary_;
    test::ProjectServices services_;
    test::ProjectStack stack_{user(), services_, 1};
};

// A folder import takes every kind of picture the program can show, not
// only the common ones: JPEG 2000, TGA, PCX, WBMP, PGX, PNM and Sun raster
// folders were passed over as holding no pictures.
TEST_F(SlideshowImportTest, EveryPictureTypeTheLoaderTakesIsImported) {
    const std::vector<std::string> pictures = {"01.jp2", "02.J2K",  "03.jpc", "04.j2c", "05.tga",
                                               "06.pcx", "07.wbmp", "08.pgx", "09.pnm", "10.pgm",
                                               "11.ppm", "12.ras",  "13.tif", "14.wmf"};
    std::vector<std::string> files = pictures;
    files.insert(files.end(), {"notes.txt", "vector.svg", "raw.nef"});
    const ImportResult result =
        importFolders(stack_.project, {folderWith(user() / "Scans", files)});
    EXPECT_EQ(result.slideshowsAdded, 1);
    ASSERT_EQ(stack_.project.slideshows.size(), 1u);
    std::vector<std::string> imported;
    for (const SlideImage& picture : stack_.project.slideshows[0]->pictures)
        imported.push_back(picture.fileName);
    EXPECT_EQ(imported, pictures);
}

TEST_F(SlideshowImportTest, OneSlideshowPerFolderWithFreeNames) {
    const std::vector<fs::path> folders = {
        folderWith(user() / "a" / "Holiday", {"b.JPG", "a.png", "notes.txt"}),
        folderWith(user() / "b" / "Holiday", {"c.jpeg"}),
        folderWith(user() / "empty", {"readme.txt"}),
        folderWith(user() / "x" / "A long folder name", {"p.jpg"}),
        folderWith(user() / "y" / "A long folder name", {"p.jpg"}),
    };
    const ImportResult result = importFolders(stack_.project, folders);
    EXPECT_EQ(result.slideshowsAdded, 4);
    EXPECT_FALSE(result.discLimitReached);
    // Names are cut to 15 characters, so "+" takes the place of the last one.
    EXPECT_EQ(names(), (std::vector<std::string>{"Holiday", "Holiday+", "A long folder n",
                                                 "A long folder +"}));
    const Slideshow& first = *stack_.project.slideshows[0];
    ASSERT_EQ(first.pictures.size(), 2u);  // pictures only, in name order
    EXPECT_EQ(first.pictures[0].fileName, "a.png");
    EXPECT_EQ(first.audioTracks.size(), 1u);  // the default music
}

TEST_F(SlideshowImportTest, TheDiscLimitStopsTheImport) {
    // An hour a picture: the third photo would take the disc past its limit.
    stack_.preferences.defaults.tvStandard = TvStandard::Pal;
    stack_.preferences.defaults.effect.displayTime = 3600;
    const std::vector<fs::path> folders = {
        folderWith(user() / "long", {"1.jpg", "2.jpg", "3.jpg"}),
        folderWith(user() / "later", {"4.jpg"}),
    };
    const ImportResult result = importFolders(stack_.project, folders);
    EXPECT_TRUE(result.discLimitReached);
    EXPECT_EQ(names(), std::vector<std::string>{"long"});
    EXPECT_EQ(stack_.project.slideshows[0]->pictures.size(), 2u);
    EXPECT_FALSE(stack_.project.isOverDiscLimit());
    EXPECT_EQ(services_.notifier.messages.back(),
              "Add too many images then output disk can contain!");
    // The photo taken back and the folder never reached are both named.
    ASSERT_EQ(result.refusedPictures.size(), 1u);
    EXPECT_EQ(result.refusedPictures[0].file, user() / "long" / "3.jpg");
    EXPECT_NE(result.refusedPictures[0].reason.find("disc"), std::string::npos);
    EXPECT_EQ(result.foldersNotImported, std::vector<fs::path>{user() / "later"});
}

TEST_F(SlideshowImportTest, NamesEveryPictureAndFolderItDidNotTake) {
    // One slideshow short of the limit: only the first folder with pictures fits.
    for (int i = 0; i < Project::kMaxSlideshows - 1; ++i)
        ASSERT_EQ(stack_.project.addSlideshow("show " + std::to_string(i)), 0);
    const fs::path mixed = folderWith(user() / "mixed", {"a.jpg"});
    fs::create_symlink(user() / "nowhere.jpg", mixed / "gone.jpg");
    ASSERT_EQ(::mkfifo((mixed / "pipe.png").c_str(), 0600), 0);
    const std::vector<fs::path> folders = {
        mixed,
        folderWith(user() / "second", {"b.jpg"}),
        folderWith(user() / "third", {"c.jpg"}),
    };
    const ImportResult result = importFolders(stack_.project, folders, &stack_.log);

    EXPECT_EQ(result.slideshowsAdded, 1);
    EXPECT_EQ(names().back(), "mixed");
    EXPECT_EQ(stack_.project.slideshows.back()->pictures.size(), 1u);
    ASSERT_EQ(result.refusedPictures.size(), 2u);
    EXPECT_EQ(result.refusedPictures[0].file, mixed / "gone.jpg");
    EXPECT_EQ(result.refusedPictures[0].reason, "does not exist");
    EXPECT_EQ(result.refusedPictures[1].file, mixed / "pipe.png");
    EXPECT_FALSE(result.refusedPictures[1].reason.empty());
    EXPECT_EQ(result.foldersNotImported, (std::vector<fs::path>{folders[1], folders[2]}));

    // The log names each of them with its reason.
    std::ifstream in(stack_.log.file());
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::string& line :
         {quotedPath(mixed / "gone.jpg") + " does not exist", quotedPath(mixed / "pipe.png"),
          quotedPath(folders[1]), quotedPath(folders[2])}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
}

}  // namespace
}  // namespace velmora
