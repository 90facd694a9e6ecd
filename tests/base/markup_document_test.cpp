#include "base/markup_document.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

// Every element's span and depth in document order, walked through the links.
using SpanRow = std::tuple<int, int, int, int, int>;
std::vector<SpanRow> spansInOrder(const MarkupDocument& doc) {
    std::vector<SpanRow> rows;
    const auto& e = doc.elements();
    std::vector<std::pair<int, int>> pending;  // index, depth
    if (e[0].firstChild != 0) pending.push_back({e[0].firstChild, 0});
    while (!pending.empty()) {
        const auto [index, depth] = pending.back();
        pending.pop_back();
        const ElementSpan& s = e[index];
        rows.emplace_back(s.openBegin, s.openEnd, s.closeBegin, s.closeEnd, depth);
        if (s.nextSibling != 0) pending.push_back({s.nextSibling, depth});
        if (s.firstChild != 0) pending.push_back({s.firstChild, depth + 1});
    }
    return rows;
}

// An edited document must index exactly like the same text parsed afresh.
void expectIndexMatchesReparse(const MarkupDocument& edited) {
    MarkupDocument fresh;
    ASSERT_TRUE(fresh.parseText(edited.doc())) << fresh.error() << "\n" << edited.doc();
    EXPECT_EQ(spansInOrder(edited), spansInOrder(fresh)) << edited.doc();
}

TEST(MarkupDocument, FindsForwardOnlyAndDecodesText) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText("<a><b/><c>1 &amp; 2</c></a>"));
    EXPECT_TRUE(doc.findNext("a"));
    EXPECT_TRUE(doc.enter());
    EXPECT_TRUE(doc.findNext("c"));
    EXPECT_EQ(doc.currentText(), "1 & 2");
    EXPECT_FALSE(doc.findNext("b"));  // the search never goes back
    EXPECT_EQ(doc.currentName(), "c");
}

TEST(MarkupDocument, CurrentTextCases) {
    struct Case {
        const char* document;
        const char* text;
    };
    const Case cases[] = {
        {"<a> <![CDATA[<x>]]> </a>", "<x>"},  // CDATA is returned raw
        {"<a>&lt;&amp;&gt;&apos;&quot;&nbsp;&#60; & x</a>", "<&>'\"&nbsp;&#60; & x"},
        {"<a>  keep  spaces </a>", "  keep  spaces "},
        {"<a><b>1</b></a>", ""},  // an element with children has no text
        {"<a/>", ""},
        {"<a>1 <= 2 <> 3</a>", "1 <= 2 <> 3"},  // "<" before a delimiter opens no tag
        {"<a></a>", ""},
        {"<a>caf\xC3\xA9 &amp; th\xC3\xA9</a>", "caf\xC3\xA9 & th\xC3\xA9"},
    };
    for (const Case& c : cases) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.parseText(c.document)) << c.document;
        ASSERT_TRUE(doc.findNext("a"));
        EXPECT_EQ(doc.currentText(), c.text) << c.document;
    }
}

TEST(MarkupDocument, AttributesNeedQuotes) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText("<a x='1' y=\"2\" u=3 e=\"&lt;&quot;\"/>"));
    ASSERT_TRUE(doc.findNext("a"));
    EXPECT_EQ(doc.attribute("y"), "2");
    EXPECT_EQ(doc.attribute("x"), "1");
    EXPECT_EQ(doc.attribute("z"), "");
    EXPECT_EQ(doc.attribute("u"), "");  // written without quotes: not found
    EXPECT_EQ(doc.attribute("e"), "<\"");
}

TEST(MarkupDocument, NamesMatchByLeadingWord) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText("<?xml version=\"1.0\"?><Preference File><x/></Preference>"));
    EXPECT_TRUE(doc.findNext("Preference File"));
    doc.rewind();
    EXPECT_TRUE(doc.findNext("Preference"));
    doc.rewind();
    EXPECT_FALSE(doc.findNext("Pref"));
    EXPECT_FALSE(doc.findNext("PreferenceFile"));

    EXPECT_TRUE(markupNameMatches("a", "a[1]"));
    EXPECT_TRUE(markupNameMatches("a", "a=x"));
    EXPECT_FALSE(markupNameMatches("ab", "a"));
    EXPECT_FALSE(markupNameMatches("", "a"));
}

TEST(MarkupDocument, SkipsPrologueNodesAndTrailingText) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText(
        "<?xml version=\"1.0\"?>\r\n<!-- a comment -->\r\n"
        "<!DOCTYPE r [ <!ENTITY e \"x>\"> ]>\r\n"
        "<r><!-- inside --><a/><![CDATA[ <b> ]]><c>t</c><!-- before the end tag --></r>"
        " trailing <text> that is ignored"));
    ASSERT_TRUE(doc.findNext("r"));
    ASSERT_TRUE(doc.enter());
    EXPECT_TRUE(doc.findNext("a"));
    EXPECT_TRUE(doc.findNext("c"));
    EXPECT_EQ(doc.currentText(), "t");
    EXPECT_FALSE(doc.findNext());
}

TEST(MarkupDocument, ParseErrors) {
    struct Case {
        const char* document;
        const char* error;
    };
    const Case cases[] = {
        {"no tags at all", "Element tag not found"},
        {"</a>", "Element tag not found"},
        {"<", "Abrupt end within tag"},
        {"<  \r\n", "Abrupt end within tag"},
        {"<'a'>", "Tag starts with quote"},
        {"<!-- never closed", "Invalid node"},
        {"<?pi never closed", "Invalid node"},
        {"<![CDATA[ never closed", "Invalid node"},
        {"<!DOCTYPE [ > ", "Invalid node"},
        {"<a", "End of tag not found"},
        {"<a><b/>", "End tag of a element not found"},
        {"<a><b></b>", "End tag of a element not found"},
        {"<a></b>", "End tag does not correspond to a"},
        {"<a><b></a></b>", "End tag does not correspond to b"},
        {"<a></a", "End tag not completed for element a"},
        {"<a></", "End tag not completed for element a"},
    };
    for (const Case& c : cases) {
        MarkupDocument doc;
        EXPECT_FALSE(doc.parseText(c.document)) << c.document;
        EXPECT_EQ(doc.error(), c.error) << c.document;
        EXPECT_FALSE(doc.hasRoot());
        EXPECT_EQ(doc.elements().size(), 1u);
        EXPECT_FALSE(doc.findNext());
        EXPECT_EQ(doc.currentText(), "");
    }
}

TEST(MarkupDocument, ReparsingAfterFailureClearsTheError) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.parseText("<a>"));
    EXPECT_TRUE(doc.parseText("<a/>"));
    EXPECT_EQ(doc.error(), "");
    EXPECT_FALSE(doc.parseText(""));
    EXPECT_FALSE(doc.hasRoot());
}

TEST(MarkupDocument, NavigationAtTheEdges) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.enter());
    EXPECT_FALSE(doc.leave());
    ASSERT_TRUE(doc.parseText("<r><a/><b/></r>"));
    EXPECT_FALSE(doc.leave());
    ASSERT_TRUE(doc.findNext());
    EXPECT_EQ(doc.nodeType(), 1);
    ASSERT_TRUE(doc.enter());
    EXPECT_EQ(doc.nodeType(), 0);  // no current child yet
    EXPECT_FALSE(doc.enter());
    ASSERT_TRUE(doc.findNext());
    EXPECT_EQ(doc.currentName(), "a");
    ASSERT_TRUE(doc.findNext());
    EXPECT_EQ(doc.currentName(), "b");
    const int b = doc.currentIndex();
    EXPECT_FALSE(doc.findNext());
    ASSERT_TRUE(doc.leave());
    EXPECT_EQ(doc.currentName(), "r");
    EXPECT_EQ(doc.childIndex(), b);
}

TEST(MarkupDocument, DeepNestingParsesWithoutRecursion) {
    constexpr int kDepth = 200000;
    std::string text;
    for (int i = 0; i < kDepth; ++i)
        text += "<a>";
    for (int i = 0; i < kDepth; ++i)
        text += "</a>";
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText(text));
    EXPECT_EQ(doc.elements().size(), static_cast<size_t>(kDepth) + 1);
    text.resize(text.size() - 4);
    EXPECT_FALSE(doc.parseText(text));
    EXPECT_EQ(doc.error(), "End tag of a element not found");
}

TEST(MarkupDocument, WritesOneElementPerLine) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.appendElement("r"));
    ASSERT_TRUE(doc.enter());
    ASSERT_TRUE(doc.appendElement("a", "1"));
    ASSERT_TRUE(doc.appendElement("b", "x"));
    ASSERT_TRUE(doc.appendElement("g"));
    ASSERT_TRUE(doc.leave());
    EXPECT_EQ(doc.doc(), "<r>\r\n<a>1</a>\r\n<b>x</b>\r\n<g/>\r\n</r>\r\n");
    expectIndexMatchesReparse(doc);

    // A second root is refused and changes nothing.
    const std::string before = doc.doc();
    EXPECT_FALSE(doc.appendElement("second"));
    EXPECT_EQ(doc.doc(), before);
    EXPECT_EQ(doc.currentName(), "r");
}

TEST(MarkupDocument, OpensAnEmptyParent) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText("<r>\r\n<p x=\"1\"/>\r\n<q/>\r\n</r>\r\n"));
    ASSERT_TRUE(doc.findNext("r"));
    ASSERT_TRUE(doc.enter());
    ASSERT_TRUE(doc.findNext("p"));
    ASSERT_TRUE(doc.appendChild("c", "v"));
    ASSERT_TRUE(doc.appendChild("d"));
    EXPECT_EQ(doc.doc(), "<r>\r\n<p x=\"1\">\r\n<c>v</c>\r\n<d/>\r\n</p>\r\n<q/>\r\n</r>\r\n");
    expectIndexMatchesReparse(doc);

    ASSERT_TRUE(doc.enter());  // into p, at its child d
    EXPECT_EQ(doc.currentName(), "d");
    ASSERT_TRUE(doc.appendElement("e", "after d"));
    ASSERT_TRUE(doc.leave());
    ASSERT_TRUE(doc.findNext("q"));
    ASSERT_TRUE(doc.enter());  // q is empty and has no child: the element goes inside
    ASSERT_TRUE(doc.appendElement("inner"));
    EXPECT_EQ(doc.doc(),
              "<r>\r\n<p x=\"1\">\r\n<c>v</c>\r\n<d/>\r\n<e>after d</e>\r\n</p>\r\n"
              "<q>\r\n<inner/>\r\n</q>\r\n</r>\r\n");
    expectIndexMatchesReparse(doc);

    // Doubled slashes close the start tag as one: all of them give way.
    ASSERT_TRUE(doc.parseText("<p x='/'//>"));
    ASSERT_TRUE(doc.findNext("p"));
    ASSERT_TRUE(doc.appendChild("c"));
    EXPECT_EQ(doc.doc(), "<p x='/'>\r\n<c/>\r\n</p>");
    expectIndexMatchesReparse(doc);
}

TEST(MarkupDocument, InsertsBeforeTheNextTag) {
    struct Case {
        const char* document;
        const char* expected;
    };
    // A child appended to p after its last child (or to an empty content).
    const Case cases[] = {
        {"<p></p>", "<p>\r\n<n>1</n>\r\n</p>"},
        {"<p>\r\n</p>", "<p>\r\n<n>1</n>\r\n</p>"},
        {"<p>\r\n<a/>\r\n\r\n</p>", "<p>\r\n<a/>\r\n\r\n<n>1</n>\r\n</p>"},
    };
    for (const Case& c : cases) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.parseText(c.document));
        ASSERT_TRUE(doc.findNext("p"));
        ASSERT_TRUE(doc.enter());
        while (doc.findNext()) {
        }
        doc.leave();  // child is now p's last child (or 0)
        ASSERT_TRUE(doc.appendChild("n", "1"));
        EXPECT_EQ(doc.doc(), c.expected) << c.document;
        expectIndexMatchesReparse(doc);
    }
}

TEST(MarkupDocument, SetAttributeInsertsOrReplaces) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.parseText("<r><a/><b y='old'>t</b><c/></r>"));
    ASSERT_TRUE(doc.findNext("r"));
    ASSERT_TRUE(doc.enter());
    ASSERT_TRUE(doc.findNext("a"));
    ASSERT_TRUE(doc.setAttribute(doc.currentIndex(), "n", "1<2"));
    EXPECT_EQ(doc.doc(), "<r><a n=\"1&lt;2\"/><b y='old'>t</b><c/></r>");
    EXPECT_EQ(doc.attribute("n"), "1<2");

    ASSERT_TRUE(doc.findNext("b"));
    ASSERT_TRUE(doc.setAttribute(doc.currentIndex(), "y", "a \"new\" 'value'"));
    ASSERT_TRUE(doc.setAttribute(doc.currentIndex(), "z", "2"));
    EXPECT_EQ(doc.doc(),
              "<r><a n=\"1&lt;2\"/><b y='a &quot;new&quot; &apos;value&apos;' z=\"2\">t</b>"
              "<c/></r>");
    EXPECT_EQ(doc.attribute("y"), "a \"new\" 'value'");
    EXPECT_EQ(doc.currentText(), "t");
    expectIndexMatchesReparse(doc);

    EXPECT_FALSE(doc.setAttribute(0, "x", "1"));
    EXPECT_FALSE(doc.setAttribute(99, "x", "1"));
}

TEST(MarkupDocument, EscapesWrittenText) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.appendElement("t", "a<b&c>'\""));
    EXPECT_EQ(doc.doc(), "<t>a&lt;b&amp;c&gt;'\"</t>\r\n");
    EXPECT_EQ(doc.currentText(), "a<b&c>'\"");
}

TEST(MarkupDocument, NamesWithSpacesAreWrittenAsGiven) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.appendElement("root"));
    ASSERT_TRUE(doc.appendChild("Two Words", "v"));
    EXPECT_EQ(doc.doc(), "<root>\r\n<Two Words>v</Two Words>\r\n</root>\r\n");
    expectIndexMatchesReparse(doc);
    MarkupDocument read;
    ASSERT_TRUE(read.parseText(doc.doc()));
    ASSERT_TRUE(read.findNext("root"));
    ASSERT_TRUE(read.enter());
    ASSERT_TRUE(read.findNext("Two Words"));
    EXPECT_EQ(read.currentText(), "v");
}

TEST(MarkupDocument, AppendChildNeedsACurrentElement) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.appendChild("x"));
    EXPECT_FALSE(doc.appendElement(""));
    EXPECT_EQ(doc.doc(), "");
}

}  // namespace
}  // namespace velmora
