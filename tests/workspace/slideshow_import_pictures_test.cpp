#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/app_folders.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/random_generator.h"
#include "image/picture_files_service.h"
#include "image/picture_fixtures.h"
#include "model/model_fakes.h"
#include "model/preferences.h"
#include "model/project.h"
#include "support/temporary_folder.h"
#include "workspace/slideshow_import.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Busy enough that damage lands in real scan data, not in a flat area.
QImage texture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y * 13) & 255, (x * x + y) & 255, (x ^ y) & 255));
    }
    return image;
}

// A project on the real picture loader, so that the checks of an import
// decode real files on the import's worker threads.
class ImportedPicturesTest : public ::testing::Test {
  protected:
    ImportedPicturesTest() {
        folders_.create();
        test::writeWithQt(user() / "whole.jpg", texture(320, 240), "jpeg", 90);
        whole_ = test::readBytes(user() / "whole.jpg");
    }
    fs::path user() const { return temporary_.path(); }

    // One JPEG per letter of `kinds`, named 01.jpg, 02.jpg ...: w whole,
    // c scribbled over in the middle of its scan data, t cut in half.
    fs::path folderOf(const std::string& name, const std::string& kinds) {
        const fs::path folder = user() / name;
        fs::create_directories(folder);
        for (size_t i = 0; i < kinds.size(); ++i) {
            std::vector<uint8_t> bytes = whole_;
            if (kinds[i] == 'c') {
                for (size_t at = bytes.size() / 2; at < bytes.size() / 2 + 40; at += 2)
                    bytes[at] = 0x5A;
            } else if (kinds[i] == 't') {
                bytes.resize(bytes.size() / 2);
            }
            const std::string number = std::to_string(i + 1);
            test::writeBytes(folder / ((i < 9 ? "0" : "") + number + ".jpg"), bytes);
        }
        return folder;
    }
    std::string log() const {
        std::ifstream in(log_.file());
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    test::TemporaryFolder temporary_;
    RandomGenerator random_{7};
    PictureFilesService pictures_;
    test::FakeAudio audio_;
    test::RecordingNotifier notifier_;
    test::RecordingEvents events_;
    // No music: the import's default music is no concern here.
    ProjectContext context_{{}, random_, pictures_, audio_, notifier_, events_, {}};
    Preferences preferences_ = Preferences::initial(user(), user() / "defaultImage.bmp");
    WorkingFolders folders_ = WorkingFolders::inside(user() / "Project_1");
    Project project_{context_, preferences_, folders_, ResourcePaths::under({user(), user()})};
    Log log_{user() / "log.txt"};
    std::vector<uint8_t> whole_;
};

// Damaged photos among whole ones are refused where they stand, each with
// the complaint its own decoding gives, while their neighbours decode beside
// them on the other workers.
TEST_F(ImportedPicturesTest, DamagedPicturesAreRefusedInPlaceWithTheirOwnReasons) {
    struct Case {
        const char* folder;
        const char* kinds;
    };
    const Case cases[] = {
        {"between", "wwcwtwwww"},
        {"first and last", "ctwwwwwct"},
        {"side by side", "wcctwwttw"},
        {"none whole", "ctct"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string kinds = c.kinds;
        const fs::path folder = folderOf(c.folder, kinds);
        std::vector<std::string> expectedNames;
        std::vector<RefusedPicture> expectedRefusals;
        for (const fs::path& picture : importablePictures(folder)) {
            std::string reason;
            if (pictures_.canLoad(picture, &reason)) {
                expectedNames.push_back(picture.filename().string());
            } else {
                expectedRefusals.push_back({picture, reason});
            }
        }
        ASSERT_EQ(expectedNames.size(), size_t(std::count(kinds.begin(), kinds.end(), 'w')));
        const size_t logStart = log().size();

        const ImportResult result = importFolders(project_, {folder}, &log_);

        std::vector<std::string> names;
        if (result.slideshowsAdded == 1) {
            EXPECT_EQ(project_.slideshows.back()->name, c.folder);
            for (const SlideImage& picture : project_.slideshows.back()->pictures)
                names.push_back(picture.fileName);
        } else {
            EXPECT_EQ(result.slideshowsAdded, 0);
        }
        EXPECT_EQ(names, expectedNames);
        ASSERT_EQ(result.refusedPictures.size(), expectedRefusals.size());
        const std::string lines = log().substr(logStart);
        size_t lineAt = 0;
        for (size_t i = 0; i < expectedRefusals.size(); ++i) {
            const RefusedPicture& refused = result.refusedPictures[i];
            EXPECT_EQ(refused.file, expectedRefusals[i].file);
            EXPECT_EQ(refused.reason, expectedRefusals[i].reason);
            EXPECT_NE(refused.reason.find("damaged (Corrupt JPEG data"), std::string::npos)
                << refused.reason;
            // Logged in the same order.
            lineAt = lines.find(
                "Picture not imported: " + quotedPath(refused.file) + " " + refused.reason, lineAt);
            EXPECT_NE(lineAt, std::string::npos) << lines;
        }
    }
}

}  // namespace
}  // namespace velmora
