#include "base/markup_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class MarkupFileTest : public ::testing::Test {
  protected:
    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    static std::string contents(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Whether a save left a temporary file behind.
    bool temporaryLeft() const {
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path().string().ends_with(".saving")) return true;
        }
        return false;
    }

    test::TemporaryFolder temporary_;
    const fs::path folder_ = temporary_.path();
};

// "<a>é</a>" as UTF-16LE with its byte-order mark.
std::string wideDocument() {
    const char16_t text[] = u"<a>\u00e9\U0001F600</a>";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : std::u16string_view(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST_F(MarkupFileTest, ReadsNarrowAndWideFiles) {
    std::string error;
    auto narrow = readMarkupFile(write("n.xml", "<a>caf\xC3\xA9</a>"), &error);
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->text, "<a>caf\xC3\xA9</a>");
    EXPECT_FALSE(narrow->wide);
    EXPECT_FALSE(narrow->endsEarly());

    auto wide = readMarkupFile(write("w.xml", wideDocument()), &error);
    ASSERT_TRUE(wide);
    EXPECT_TRUE(wide->wide);
    EXPECT_EQ(wide->text, "<a>\xC3\xA9\xF0\x9F\x98\x80</a>");
    EXPECT_FALSE(wide->endsEarly());
}

TEST_F(MarkupFileTest, TextCutByAZeroCharacterEndsEarly) {
    std::string error;
    std::string bytes = "<a>";
    bytes += '\0';
    bytes += std::string(100, 'x') + "</a>";
    auto narrow = readMarkupFile(write("z.xml", bytes), &error);
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->text, "<a>");
    EXPECT_TRUE(narrow->endsEarly());

    // A narrow UTF-16 file without its mark reads as bytes and stops at the first zero.
    std::string wide = wideDocument().substr(2) + std::string(60, '\0');
    auto unmarked = readMarkupFile(write("u.xml", wide), &error);
    ASSERT_TRUE(unmarked);
    EXPECT_EQ(unmarked->text, "<");
    EXPECT_TRUE(unmarked->endsEarly());
}

TEST_F(MarkupFileTest, MissingFileNamesTheFileAndReason) {
    std::string error;
    EXPECT_FALSE(readMarkupFile(folder_ / "absent.xml", &error));
    EXPECT_NE(error.find("absent.xml"), std::string::npos) << error;
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
}

TEST_F(MarkupFileTest, WritesUpToTheFirstZeroAndReplacesAtomically) {
    const fs::path file = write("p.xml", "old");
    std::string error;
    ASSERT_TRUE(writeMarkupFile(file, std::string_view("<r/>\r\n\0junk", 11), &error)) << error;
    EXPECT_EQ(contents(file), "<r/>\r\n");
    EXPECT_FALSE(temporaryLeft());
}

TEST_F(MarkupFileTest, ASaveNeverWritesThroughAPlantedLink) {
    const fs::path decoy = write("decoy.txt", "precious");
    const fs::path file = folder_ / "p.xml";
    fs::create_symlink(decoy, folder_ / "p.xml.saving");
    std::string error;
    ASSERT_TRUE(writeMarkupFile(file, "<r/>", &error)) << error;
    EXPECT_EQ(contents(decoy), "precious");
    EXPECT_EQ(contents(file), "<r/>");
    EXPECT_TRUE(fs::is_symlink(folder_ / "p.xml.saving"));  // not ours: left alone
}

TEST_F(MarkupFileTest, OnlyRegularFilesOfASaneSizeAreRead) {
    ASSERT_EQ(mkfifo((folder_ / "pipe.xml").c_str(), 0644), 0);
    fs::create_symlink(folder_ / "pipe.xml", folder_ / "link.xml");
    const fs::path large = write("large.xml", std::string(4096, 'x'));
    const struct {
        fs::path file;
        const char* reason;
    } cases[] = {
        {folder_ / "pipe.xml", "FIFO"},  // would block forever in open()
        {folder_ / "link.xml", "FIFO"},
        {folder_, "folder"},
        {large, "more than"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(readMarkupFile(c.file, &error, 1024)) << c.file;
        EXPECT_NE(error.find(c.file.filename().string()), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::string error;
    EXPECT_TRUE(readMarkupFile(large, &error, 4096)) << error;
}

TEST_F(MarkupFileTest, FailedWriteKeepsThePreviousFile) {
    // The target is a folder: the rename fails and nothing is lost.
    const fs::path target = folder_ / "busy.xml";
    fs::create_directories(target / "inside");
    std::string error;
    EXPECT_FALSE(writeMarkupFile(target, "<r/>", &error));
    EXPECT_NE(error.find("busy.xml"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_FALSE(temporaryLeft());

    EXPECT_FALSE(writeMarkupFile(folder_ / "no" / "such" / "folder.xml", "<r/>", &error));
    EXPECT_NE(error.find("folder.xml"), std::string::npos) << error;
}

}  // namespace
}  // namespace velmora
