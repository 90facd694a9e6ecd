#include "workspace/tip_of_the_day.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class TipOfTheDayTest : public ::testing::Test {
  protected:
    fs::path tipsFile(const std::string& content) const {
        std::ofstream(tips_, std::ios::binary) << content;
        return tips_;
    }
    // The position a program stores after showing `count` tips of a fresh
    // reader: what it hands to the next run.
    TipPosition afterTips(int count) const {
        TipOfTheDay reader(tips_, {});
        for (int i = 0; i < count; ++i)
            reader.next();
        return reader.position();
    }
    std::vector<std::string> texts(TipPosition from, int count) const {
        TipOfTheDay reader(tips_, std::move(from));
        std::vector<std::string> result;
        for (int i = 0; i < count; ++i)
            result.push_back(reader.next().text);
        return result;
    }

    test::TemporaryFolder temporary_;
    fs::path tips_ = temporary_ / "Tips.txt";
};

struct FirstTipCase {
    const char* name;
    std::string content;
    Tip expected;
};

TEST_F(TipOfTheDayTest, PassesOverNonTipLinesAndReadsTheFields) {
    const std::vector<FirstTipCase> cases = {
        {"comment, tab, space and empty lines",
         "; comment\n\tindented\tT\n spaced\n\nFirst\n",
         {"First", "Did you know...", "", 0}},
        {"all four fields", "Text\tTitle\tSecond\t7\n", {"Text", "Title", "Second", 7}},
        {"empty title, number not a number",
         "Text\t\tSecond\tseven\n",
         {"Text", "Did you know...", "Second", 0}},
        {"a fifth field is not part of the number",
         "Text\tTitle\tSecond\t3\textra\n",
         {"Text", "Title", "Second", 3}},
        {"CR LF line ends", ";c\r\n\r\nTip\tTitle\r\n", {"Tip", "Title", "", 0}},
        {"byte-order mark before a comment",
         "\xEF\xBB\xBF; comment\nTip\n",
         {"Tip", "Did you know...", "", 0}},
        {"last line without a line end", "; c\nLast", {"Last", "Did you know...", "", 0}},
        {"UTF-8 text", "Schöne Grüße\tÜber\n", {"Schöne Grüße", "Über", "", 0}},
    };
    for (const FirstTipCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Tip tip = TipOfTheDay(tipsFile(c.content), {}).next();
        EXPECT_FALSE(tip.isProblem);
        EXPECT_EQ(tip.text, c.expected.text);
        EXPECT_EQ(tip.title, c.expected.title);
        EXPECT_EQ(tip.secondText, c.expected.secondText);
        EXPECT_EQ(tip.number, c.expected.number);
    }
}

TEST_F(TipOfTheDayTest, GoesOnFromTheStoredPositionAndWrapsAtTheEnd) {
    tipsFile("; header\nOne\n\nTwo\n; between\nThree\n; trailer\n");
    using Texts = std::vector<std::string>;
    EXPECT_EQ(texts({}, 4), (Texts{"One", "Two", "Three", "One"}));
    // The next run starts after the last tip shown, also after a wrap.
    EXPECT_EQ(texts(afterTips(1), 2), (Texts{"Two", "Three"}));
    EXPECT_EQ(texts(afterTips(3), 1), (Texts{"One"}));
    EXPECT_EQ(texts(afterTips(4), 1), (Texts{"Two"}));

    // An offset inside a line goes on with the next whole line, never half
    // a tip; one past the end starts at the top.
    TipPosition insideOne = afterTips(0);
    insideOne.filePosition = std::string("; header\nO").size();
    EXPECT_EQ(texts(insideOne, 1), (Texts{"Two"}));
    TipPosition pastTheEnd = afterTips(0);
    pastTheEnd.filePosition = 1000;
    EXPECT_EQ(texts(pastTheEnd, 1), (Texts{"One"}));
}

TEST_F(TipOfTheDayTest, AChangedFileStartsAtTheTop) {
    tipsFile("One\nTwo\nThree\n");
    const TipPosition stored = afterTips(1);
    EXPECT_EQ(texts({stored.filePosition, "an older time"}, 1), std::vector<std::string>{"One"});

    tipsFile("Alpha\nBeta\nGamma\n");
    fs::last_write_time(tips_, fs::last_write_time(tips_) - std::chrono::hours(1));
    TipOfTheDay reader(tips_, stored);
    EXPECT_EQ(reader.next().text, "Alpha");
    EXPECT_NE(reader.position().timeStamp, stored.timeStamp);
    EXPECT_EQ(texts(reader.position(), 1), std::vector<std::string>{"Beta"});
}

TEST_F(TipOfTheDayTest, AMissingFileSaysSoAndKeepsTheStoredPosition) {
    const TipPosition stored{42, "a time"};
    TipOfTheDay reader(tips_, stored);
    for (int i = 0; i < 2; ++i) {
        const Tip tip = reader.next();
        EXPECT_TRUE(tip.isProblem);
        EXPECT_EQ(tip.title, "Oops!");
        EXPECT_EQ(tip.text, "Tips file does not exist in the prescribed directory");
    }
    EXPECT_EQ(reader.position().filePosition, 42);
    EXPECT_EQ(reader.position().timeStamp, "a time");
}

TEST_F(TipOfTheDayTest, UnreadableFileOrPositionIsTroubleReading) {
    tipsFile("One\nTwo\n");
    TipPosition beforeTheStart = afterTips(0);
    beforeTheStart.filePosition = -5;
    TipOfTheDay negative(tips_, beforeTheStart);
    EXPECT_EQ(negative.next().text, "Trouble reading the tips file");
    // The next run starts at the top rather than failing again.
    EXPECT_EQ(texts(negative.position(), 1), std::vector<std::string>{"One"});

    fs::remove(tips_);
    fs::create_directory(tips_);
    const Tip tip = TipOfTheDay(tips_, {}).next();
    EXPECT_TRUE(tip.isProblem);
    EXPECT_EQ(tip.text, "Trouble reading the tips file");
}

TEST_F(TipOfTheDayTest, AFileWithoutTipLinesEnds) {
    for (const std::string content : {"", "; one\n; two\n", "\n\r\n \tx\n\ty\n"}) {
        SCOPED_TRACE(content);
        tipsFile(content);
        TipPosition midway = afterTips(0);
        midway.filePosition = std::int64_t(content.size() / 2);
        const Tip tip = TipOfTheDay(tips_, midway).next();
        EXPECT_TRUE(tip.isProblem);
        EXPECT_EQ(tip.title, "Oops!");
    }
}

}  // namespace
}  // namespace velmora
