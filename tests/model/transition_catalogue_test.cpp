#include "model/transition_catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "base/markup_document.h"
#include "model/transition_kinds.h"

namespace velmora {
namespace {

using K = TransitionKind;

// A preference-like document whose root holds the catalogue and a marker after it.
std::string savedCatalogue(const TransitionCatalogue& catalogue) {
    MarkupDocument doc;
    doc.appendElement("reference");
    doc.enter();
    doc.appendElement("before", "1");
    catalogue.save(doc);
    doc.appendElement("after", "2");
    return doc.doc();
}

// Loads the catalogue from `text` and checks the reader can go on after it.
bool loadFrom(TransitionCatalogue& catalogue, const std::string& text) {
    MarkupDocument doc;
    EXPECT_TRUE(doc.parseText(text)) << doc.error();
    EXPECT_TRUE(doc.findNext("reference"));
    EXPECT_TRUE(doc.enter());
    const bool loaded = catalogue.load(doc);
    EXPECT_TRUE(doc.findNext("after")) << text;
    return loaded;
}

void expectDefaults(const TransitionCatalogue& catalogue) {
    for (int index = 0; index < TransitionCatalogue::kEntryCount; ++index) {
        const auto defaults = makeTransition(TransitionCatalogue::kindOfEntry(index));
        EXPECT_EQ(catalogue.entry(index).kind(), defaults->kind());
        EXPECT_EQ(catalogue.entry(index).firstParameter(), defaults->firstParameter());
        EXPECT_EQ(catalogue.entry(index).secondParameter(), defaults->secondParameter());
    }
}

TEST(TransitionCatalogue, StartsWithEveryKindAtItsDefaults) {
    TransitionCatalogue catalogue;
    EXPECT_EQ(catalogue.entry(0).kind(), K::Random);
    EXPECT_EQ(catalogue.entry(3).kind(), K::Blinds);
    EXPECT_EQ(catalogue.entry(18).kind(), K::Zoom);
    expectDefaults(catalogue);
    EXPECT_EQ(TransitionCatalogue::coverFileName(0), "random.jpg");
    EXPECT_EQ(TransitionCatalogue::coverFileName(6), "cubefly.jpg");
    EXPECT_THROW(catalogue.entry(19), std::out_of_range);
}

TEST(TransitionCatalogue, SaveAndLoadRoundTrip) {
    TransitionCatalogue written;
    written.entry(3).setParameters(1, 6);   // Blinds right to left, 6 blinds
    written.entry(11).setParameters(4, 1);  // Polygon, 4 corners, fly out
    written.entry(17).setParameters(2, 0);  // Wipe bottom to up without push

    TransitionCatalogue read;
    ASSERT_TRUE(loadFrom(read, savedCatalogue(written)));
    for (int index = 0; index < TransitionCatalogue::kEntryCount; ++index) {
        EXPECT_EQ(read.entry(index).kind(), written.entry(index).kind());
        EXPECT_EQ(read.entry(index).firstParameter(), written.entry(index).firstParameter());
        EXPECT_EQ(read.entry(index).secondParameter(), written.entry(index).secondParameter());
    }
}

// Removes the n-th TRANSITION_EFFECT_SETTING line (0-based) from a saved catalogue.
std::string withoutEntry(std::string text, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; ++i)
        at = text.find("<TRANSITION_EFFECT_SETTING ", at + 1);
    const size_t end = text.find("<TRANSITION_EFFECT_SETTING ", at + 1);
    text.erase(at, end - at);
    return text;
}

TEST(TransitionCatalogue, AnyFaultRestoresTheDefaults) {
    TransitionCatalogue source;
    const std::string good = savedCatalogue(source);

    std::string swapped = good;  // Random entry moved behind Alpha
    const std::string randomLine =
        "<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_RANDOM\"/>\r\n";
    swapped.erase(swapped.find(randomLine), randomLine.size());
    swapped.insert(swapped.find("<TRANSITION_EFFECT_SETTING NAME=\"TRANSITION_EFFECT_ACCORDION"),
                   randomLine);

    std::string unknown = good;
    unknown.replace(unknown.find("TRANSITION_EFFECT_RANDOM"), 24, "TRANSITION_EFFECT_RANDUM");

    std::string broken = good;  // Door without its parameter
    const std::string doorParameter =
        "<TRANSITION_EFFECT_DOOR_PARAM>0</TRANSITION_EFFECT_DOOR_PARAM>";
    broken.erase(broken.find(doorParameter), doorParameter.size());

    std::string nineteenPlusOne = good;
    nineteenPlusOne.insert(nineteenPlusOne.find("</EFFECT_SETS>"), randomLine);

    const std::string cases[] = {
        withoutEntry(good, 5),  // 18 children
        swapped,
        unknown,
        broken,
        nineteenPlusOne,
        "<reference><before/><after/></reference>",  // no EFFECT_SETS at all
    };
    for (const std::string& text : cases) {
        TransitionCatalogue catalogue;
        catalogue.entry(3).setParameters(1, 6);
        EXPECT_FALSE(loadFrom(catalogue, text)) << text;
        expectDefaults(catalogue);
    }
}

}  // namespace
}  // namespace velmora
