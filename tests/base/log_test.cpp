#include "base/log.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <regex>
#include <thread>
#include <vector>

#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class LogTest : public ::testing::Test {
  protected:
    test::TemporaryFolder folder_;
};

TEST_F(LogTest, LinesCarryTheLocalTimeInEnglish) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(logTimeText(1331215387), "14:03:07, Mar 08, 2012");

    const Log log(folder_ / "log.txt");
    log.writeLog("Software start!");
    log.writeLog("Quit software!\n");
    log.writeLog("Add Slideshow named trip");
    const std::vector<std::string> lines = linesOf(log.file());
    ASSERT_EQ(lines.size(), 4u);
    const std::regex shape(R"(\d\d:\d\d:\d\d, [A-Z][a-z]{2} \d\d, \d{4}: (.*))");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, shape)) << lines[0];
    EXPECT_EQ(match[1], "Software start!");
    EXPECT_TRUE(std::regex_match(lines[1], match, shape));
    EXPECT_EQ(match[1], "Quit software!");
    EXPECT_EQ(lines[2], "");  // the text's own line feed
    EXPECT_TRUE(std::regex_match(lines[3], match, shape));
    EXPECT_EQ(match[1], "Add Slideshow named trip");
}

TEST_F(LogTest, ThreadsNeverInterleaveLines) {
    const Log log(folder_ / "log.txt");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 200; ++i)
                log.writeLog("thread " + std::to_string(t) + " line " + std::to_string(i));
        });
    }
    for (auto& thread : threads)
        thread.join();
    const std::vector<std::string> lines = linesOf(log.file());
    ASSERT_EQ(lines.size(), 800u);
    const std::regex shape(R"(.*: thread \d line \d+)");
    for (const std::string& line : lines)
        ASSERT_TRUE(std::regex_match(line, shape)) << line;
}

TEST_F(LogTest, UnwritableLogLosesTheLineQuietly) {
    const Log log(folder_.path() / "missing" / "log.txt");
    log.writeLog("nobody hears this");
    EXPECT_FALSE(fs::exists(log.file()));
}

}  // namespace
}  // namespace velmora
