#include "workspace/picture_checks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/temporary_folder.h"
#include "workspace/project_stack.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Pictures named *.bad are damaged, *.throw make the check throw. Each
// check takes its file's delay and is counted, from whatever thread.
class CountingPictureFiles final : public PictureFiles {
  public:
    bool canLoad(const fs::path& file, std::string* reason) override {
        std::this_thread::sleep_for(delayOf(file));
        {
            const std::lock_guard lock(mutex_);
            ++checks_[file];
        }
        if (file.extension() == ".throw") throw std::runtime_error("cannot check " + file.string());
        if (file.extension() != ".bad") return true;
        *reason = "cannot be loaded: " + file.filename().string() + " is damaged";
        return false;
    }
    bool renderCover(const fs::path&, const fs::path&) override { return false; }
    QImage renderThumbnail(const fs::path&, QSize) override { return {}; }

    void setDelay(const fs::path& file, std::chrono::milliseconds delay) { delays_[file] = delay; }
    std::map<fs::path, int> checks() {
        const std::lock_guard lock(mutex_);
        return checks_;
    }

  private:
    std::chrono::milliseconds delayOf(const fs::path& file) const {
        const auto it = delays_.find(file);
        return it == delays_.end() ? 0ms : it->second;
    }

    std::map<fs::path, std::chrono::milliseconds> delays_;  // set before the checks start
    std::mutex mutex_;
    std::map<fs::path, int> checks_;
};

class PictureChecksTest : public ::testing::Test {
  protected:
    std::vector<fs::path> files(const std::vector<std::string>& names) {
        std::vector<fs::path> result;
        for (const std::string& name : names)
            result.push_back(test::writeFile(folder_ / name));
        return result;
    }

    test::TemporaryFolder folder_;
    CountingPictureFiles pictures_;
};

TEST_F(PictureChecksTest, ResultsComeInListOrderWhateverOrderTheChecksFinishIn) {
    const std::vector<fs::path> list =
        files({"1.jpg", "2.bad", "3.jpg", "4.throw", "5.jpg", "6.bad", "7.jpg"});
    // The earlier files take longest, so the later ones are done first.
    for (size_t i = 0; i < list.size(); ++i)
        pictures_.setDelay(list[i], std::chrono::milliseconds(10 * (list.size() - i)));
    PictureChecks checks(list, pictures_, 2);
    ASSERT_EQ(checks.workerCount(), 2);

    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(list[i].filename().string());
        const std::string extension = list[i].extension().string();
        if (extension == ".throw") {
            EXPECT_THROW(checks.take(i), std::runtime_error);
            continue;
        }
        const PictureFileCheck check = checks.take(i);
        EXPECT_EQ(check.file, list[i]);
        EXPECT_EQ(check.loads, extension == ".jpg");
        if (check.loads) {
            EXPECT_EQ(check.fileSize, fs::file_size(list[i]));
            EXPECT_TRUE(check.refusal.empty());
        } else {
            EXPECT_EQ(check.refusal,
                      "cannot be loaded: " + list[i].filename().string() + " is damaged");
        }
    }
    // Every file decoded once: never twice, none left out.
    std::map<fs::path, int> once;
    for (const fs::path& file : list)
        once[file] = 1;
    EXPECT_EQ(pictures_.checks(), once);
}

TEST_F(PictureChecksTest, NoMoreWorkersThanFilesAndAtLeastOne) {
    EXPECT_EQ(PictureChecks(files({"a.jpg"}), pictures_, 4).workerCount(), 1);
    EXPECT_EQ(PictureChecks({}, pictures_).workerCount(), 0);
    EXPECT_GE(PictureChecks(files({"b.jpg", "c.jpg"}), pictures_).workerCount(), 1);
}

TEST_F(PictureChecksTest, LeftEarlyItFinishesTheChecksUnderWayAndStartsNoMore) {
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back(std::to_string(i) + ".jpg");
    const std::vector<fs::path> list = files(names);
    for (const fs::path& file : list)
        pictures_.setDelay(file, 20ms);
    {
        PictureChecks checks(list, pictures_, 2);
        EXPECT_TRUE(checks.take(0).loads);
    }
    // Nothing runs after the checks are gone: what was counted stays.
    const std::map<fs::path, int> counted = pictures_.checks();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(pictures_.checks(), counted);
    EXPECT_LT(counted.size(), list.size());
    for (const auto& [file, count] : counted)
        EXPECT_EQ(count, 1) << file;
}

}  // namespace
}  // namespace velmora
