#include "disc/iso_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "support/temporary_folder.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

// A file that starts like an ISO 9660 image: the primary volume
// descriptor's identifier in sector 16.
void writeIsoStart(const fs::path& file) {
    std::string bytes(16 * 2048 + 2048, '\0');
    bytes[16 * 2048] = '\1';  // the descriptor's type: primary
    bytes.replace(16 * 2048 + 1, 5, "CD001");
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(IsoTargetProblem, RefusesWhatIsNoImageFileOrCannotBecomeOne) {
    test::TemporaryFolder folder;
    writeIsoStart(folder / "old.iso");
    std::ofstream(folder / "photo.jpg") << std::string(40000, 'p');
    std::ofstream(folder / "short.iso") << "CD001";
    std::ofstream(folder / "empty.iso");
    // "CD001" one byte off where an image has it.
    std::string shifted(16 * 2048 + 8, '\0');
    shifted.replace(16 * 2048, 5, "CD001");
    std::ofstream(folder / "shifted.iso", std::ios::binary) << shifted;
    fs::create_directory(folder / "folder.iso");
    ASSERT_EQ(::mkfifo((folder / "fifo.iso").c_str(), 0600), 0);
    fs::create_symlink(folder / "old.iso", folder / "link.iso");
    fs::create_symlink(folder / "fifo.iso", folder / "fifo-link.iso");
    fs::create_directory(folder / "locked");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);

    struct Case {
        const char* what;
        fs::path iso;
        bool force;
        const char* refusal;  // a part of the reason; nullptr: fine
    };
    const Case cases[] = {
        {"no --iso", {}, false, nullptr},
        {"missing file", folder / "new.iso", false, nullptr},
        {"existing image", folder / "old.iso", false, nullptr},
        {"link to an image", folder / "link.iso", false, nullptr},
        {"other file", folder / "photo.jpg", false, "is not an ISO image; --force"},
        {"other file, forced", folder / "photo.jpg", true, nullptr},
        {"file shorter than sector 16", folder / "short.iso", false, "is not an ISO image"},
        {"empty file", folder / "empty.iso", false, "is not an ISO image"},
        {"identifier in the wrong place", folder / "shifted.iso", false, "is not an ISO image"},
        {"folder", folder / "folder.iso", false, "is a folder"},
        {"folder, forced", folder / "folder.iso", true, "is a folder"},
        {"folder named with a slash", folder.path().string() + "/", false, "names a folder"},
        {"FIFO, forced", folder / "fifo.iso", true, "is a FIFO"},
        {"link to a FIFO", folder / "fifo-link.iso", false, "is a FIFO"},
        {"device", "/dev/null", true, "is a device"},
        {"missing folder", folder / "nowhere" / "new.iso", false, "does not exist"},
        {"file as folder", folder / "photo.jpg" / "new.iso", false, "does not exist"},
        {"folder without write permission", folder / "locked" / "new.iso", false,
         "is not writable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Permissions do not hold back root.
        if (c.iso.parent_path() == folder / "locked" && ::geteuid() == 0) continue;
        const std::string problem = isoTargetProblem(c.iso, c.force);
        if (c.refusal == nullptr) {
            EXPECT_EQ(problem, "");
            continue;
        }
        EXPECT_NE(problem.find(c.refusal), std::string::npos) << problem;
        EXPECT_NE(problem.find("\"" + c.iso.string() + "\""), std::string::npos) << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
    }
    // Looking is all it does.
    EXPECT_EQ(fs::file_size(folder / "photo.jpg"), 40000u);
    EXPECT_FALSE(fs::exists(folder / "new.iso"));
    fs::permissions(folder / "locked", fs::perms::owner_all);
}

}  // namespace
}  // namespace velmora::cli
