#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Where one element sits in the document text. All positions are byte offsets
// into the text.
struct ElementSpan {
    int32_t openBegin = 0;    // "<" that opens the start tag
    int32_t openEnd = 0;      // ">" that closes the start tag
    int32_t closeBegin = 0;   // "<" of the end tag; the "/" of "/>" for an empty element
    int32_t closeEnd = 0;     // ">" that closes the end tag (== openEnd for an empty element)
    int32_t parentIndex = 0;  // 0 for the document element
    int32_t firstChild = 0;   // 0 when none
    int32_t nextSibling = 0;  // 0 when none
};

// The one XML reader and writer of the program. It keeps the whole document
// as one text plus an index of element positions and navigates with a
// current position (parent, current, child). It is deliberately forgiving:
// only elements are indexed; text, comments, processing instructions, CDATA
// and declarations stay in the text and are skipped.
//
// Documents it writes have one element per line, no indentation and CR LF
// line ends. Text is UTF-8; every scan looks at ASCII delimiters only, so a
// multi-byte sequence is never split.
//
// Parsing uses an explicit stack, never recursion, so the nesting depth of a
// document is bounded only by memory.
class MarkupDocument {
  public:
    MarkupDocument() = default;

    // Replaces the document and rebuilds the index. True when a document
    // element was found; otherwise the index is empty and error() says why.
    bool parseText(std::string_view text);
    bool hasRoot() const { return elements_.size() > 1 && elements_[0].firstChild != 0; }
    const std::string& doc() const { return doc_; }
    const std::string& error() const { return error_; }

    // Navigation.
    void rewind();
    bool findNext(std::string_view name = {});
    bool enter();
    bool leave();

    int currentIndex() const { return current_; }
    int parentIndex() const { return parent_; }
    int childIndex() const { return child_; }
    int nodeType() const { return nodeType_; }

    std::string currentName() const;
    std::string currentText() const;
    std::string attribute(std::string_view name) const;

    // Editing.
    bool setAttribute(int index, std::string_view name, std::string_view value);
    bool appendElement(std::string_view name, std::string_view value = {});
    bool appendChild(std::string_view name, std::string_view value = {});

    // The element index, for readers that need spans directly (and tests).
    const std::vector<ElementSpan>& elements() const { return elements_; }

  private:
    bool isElement(int index) const;
    std::string tagName(int index) const;
    bool parseDocument();
    int newElement();
    bool fail(std::string message);
    bool failWithName(std::string_view pattern, int index);
    bool findAttributeValue(int index, std::string_view name, size_t* valueBegin,
                            size_t* valueEnd) const;
    bool insertElement(int parentIndex, int afterIndex, std::string_view name,
                       std::string_view value);
    void shiftPositions(size_t from, int64_t delta);

    std::string doc_;
    std::string error_;
    std::vector<ElementSpan> elements_{ElementSpan{}};
    int parent_ = 0;
    int current_ = 0;
    int child_ = 0;
    int nodeType_ = 0;
};

// Name comparison used for tags and attributes: a token matches a wanted name
// when the wanted name starts with the token and continues with nothing or
// with one of space, "=", "/", "[". A start tag "<Preference File>" has the
// token "Preference" and so matches the wanted name "Preference File".
bool markupNameMatches(std::string_view token, std::string_view wanted);

// Entity handling of element text and attribute values.
std::string decodeMarkupEntities(std::string_view text);
std::string escapeMarkupText(std::string_view text);
std::string escapeMarkupAttribute(std::string_view text);

}  // namespace velmora
