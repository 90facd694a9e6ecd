#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(TextEncoding, FirstCharactersNeverSplitASequence) {
    struct Case {
        std::string text;
        size_t count;
        std::string expected;
    };
    const Case cases[] = {
        {"Summer holidays 2026", 15, "Summer holidays"},
        {"short", 15, "short"},
        {"", 15, ""},
        {"\xC3\xA9t\xC3\xA9 \xC3\xA0 Paris, vacances", 15, "\xC3\xA9t\xC3\xA9 \xC3\xA0 Paris, va"},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE5\xA4\x8F", 2, "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"a\xF0\x9F\x98\x80"
         "bc",
         2, "a\xF0\x9F\x98\x80"},
        {"\xE6\x97", 1, "\xE6"},          // a cut sequence counts byte by byte
        {"\x80\x80\x80", 2, "\x80\x80"},  // stray continuation bytes likewise
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstCharacters(c.text, c.count), c.expected) << c.text;
}

TEST(TextEncoding, WideTextToUtf8) {
    const std::string wide("<\0a\0\xE9\0=\xD8\0\xDE\0\0z\0", 14);
    EXPECT_EQ(utf16leToUtf8(wide), "<a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16leToUtf8(std::string("\x00\xD8x\0", 4)), "\xEF\xBF\xBDx");  // lone surrogate
}

}  // namespace
}  // namespace velmora
