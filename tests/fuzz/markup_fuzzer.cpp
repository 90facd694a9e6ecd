// Feeds arbitrary bytes to the markup parser, then walks the whole tree,
// reads text and attributes, edits the document and checks that the edited
// index still describes the edited text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/markup_document.h"

namespace {

using velmora::ElementSpan;
using velmora::MarkupDocument;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// Spans in document order with their depth, following the links.
std::vector<ElementSpan> spansInOrder(const MarkupDocument& doc, std::vector<int>* depths) {
    std::vector<ElementSpan> rows;
    const auto& e = doc.elements();
    std::vector<std::pair<int, int>> pending;
    if (e[0].firstChild != 0) pending.push_back({e[0].firstChild, 0});
    while (!pending.empty()) {
        const auto [index, depth] = pending.back();
        pending.pop_back();
        check(index > 0 && static_cast<size_t>(index) < e.size());
        check(rows.size() < e.size());  // no cycles
        const ElementSpan& s = e[index];
        check(s.openBegin < s.openEnd && s.openEnd <= s.closeBegin + 1 &&
              s.closeBegin <= s.closeEnd && static_cast<size_t>(s.closeEnd) < doc.doc().size());
        rows.push_back(s);
        depths->push_back(depth);
        if (s.nextSibling != 0) pending.push_back({s.nextSibling, depth});
        if (s.firstChild != 0) pending.push_back({s.firstChild, depth + 1});
    }
    return rows;
}

bool sameIndex(const MarkupDocument& a, const MarkupDocument& b) {
    std::vector<int> depthsA;
    std::vector<int> depthsB;
    const auto rowsA = spansInOrder(a, &depthsA);
    const auto rowsB = spansInOrder(b, &depthsB);
    if (rowsA.size() != rowsB.size() || depthsA != depthsB) return false;
    for (size_t i = 0; i < rowsA.size(); ++i) {
        if (rowsA[i].openBegin != rowsB[i].openBegin || rowsA[i].openEnd != rowsB[i].openEnd ||
            rowsA[i].closeBegin != rowsB[i].closeBegin || rowsA[i].closeEnd != rowsB[i].closeEnd) {
            return false;
        }
    }
    return true;
}

// Visits every element through the navigation calls; returns how many.
size_t walk(MarkupDocument& doc, std::string_view probe) {
    size_t visited = 0;
    doc.rewind();
    while (true) {
        if (doc.findNext()) {
            ++visited;
            const std::string name = doc.currentName();
            (void)doc.currentText();
            (void)doc.attribute("NAME");
            (void)doc.attribute(name);
            (void)doc.attribute(probe);
            check(doc.enter());
            continue;
        }
        if (!doc.leave()) break;
    }
    return visited;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MarkupDocument doc;
    const bool parsed = doc.parseText(text);
    check(parsed == doc.hasRoot());
    const std::string_view probe = text.substr(0, 8);
    const size_t visited = walk(doc, probe);
    check(visited + 1 == doc.elements().size());
    if (!parsed) return 0;

    // Edit the first element that has a child, and the document element.
    doc.rewind();
    check(doc.findNext());
    check(doc.setAttribute(doc.currentIndex(), "NAME", "a<b\"c'"));
    check(doc.appendChild("added", "x&y"));
    if (doc.enter() && doc.findNext()) {
        (void)doc.setAttribute(doc.currentIndex(), "n", "1");
        (void)doc.appendElement("sibling");
        (void)doc.appendChild("inner");
    }
    MarkupDocument reparsed;
    check(reparsed.parseText(doc.doc()));
    check(sameIndex(doc, reparsed));
    walk(doc, probe);
    return 0;
}
