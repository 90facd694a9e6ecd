#include "base/markup_document.h"

#include <limits>

namespace velmora {

namespace {

bool isMarkupSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters that end a name token and form a token of their own.
bool isTokenDelimiter(char c) {
    return isMarkupSpace(c) || std::string_view("<>=\\/?!;").find(c) != std::string_view::npos;
}

constexpr std::string_view kCrLf = "\r\n";

// One token of the markup: a quoted string, a run of name characters, or a
// single delimiter character. [begin, end) is its value (without quotes for
// a quoted string); the next token starts at `next`.
struct Token {
    size_t begin = 0;
    size_t end = 0;
    size_t next = 0;
    bool quoted = false;

    std::string_view in(const std::string& text) const {
        return std::string_view(text).substr(begin, end - begin);
    }
    bool is(const std::string& text, char c) const {
        return !quoted && end == begin + 1 && text[begin] == c;
    }
};

bool readToken(const std::string& text, size_t from, Token* token) {
    size_t pos = from;
    while (pos < text.size() && isMarkupSpace(text[pos]))
        ++pos;
    if (pos >= text.size()) return false;
    const char first = text[pos];
    if (first == '"' || first == '\'') {
        const size_t close = text.find(first, pos + 1);
        token->quoted = true;
        token->begin = pos + 1;
        token->end = close == std::string::npos ? text.size() : close;
        token->next = close == std::string::npos ? text.size() : close + 1;
        return true;
    }
    token->quoted = false;
    token->begin = pos;
    if (isTokenDelimiter(first)) {
        token->end = pos + 1;
    } else {
        size_t end = pos;
        while (end < text.size() && !isTokenDelimiter(text[end]))
            ++end;
        token->end = end;
    }
    token->next = token->end;
    return true;
}

// Offset just past a comment, processing instruction, CDATA section or
// declaration that starts with the "<" at `lt`; npos when it never ends.
size_t skipNode(const std::string& text, size_t lt) {
    auto endOf = [&](std::string_view marker, size_t searchFrom) -> size_t {
        const size_t at = text.find(marker, searchFrom);
        return at == std::string::npos ? at : at + marker.size();
    };
    const std::string_view rest = std::string_view(text).substr(lt);
    if (rest.starts_with("<?")) return endOf("?>", lt + 2);
    if (rest.starts_with("<![")) return endOf("]]>", lt + 3);
    if (rest.starts_with("<!-")) return endOf("-->", lt + 3);
    // A declaration: ends at the first ">" outside square brackets.
    int depth = 0;
    for (size_t pos = lt + 1; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '[') {
            ++depth;
        } else if (c == ']') {
            if (depth > 0) --depth;
        } else if (c == '>' && depth == 0) {
            return pos + 1;
        }
    }
    return std::string::npos;
}

// "%s" of an error text replaced by a tag name.
std::string withName(std::string_view pattern, const std::string& name) {
    std::string message(pattern);
    const size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, name);
    return message;
}

}  // namespace

bool markupNameMatches(std::string_view token, std::string_view wanted) {
    if (token.empty() || !wanted.starts_with(token)) return false;
    if (wanted.size() == token.size()) return true;
    const char next = wanted[token.size()];
    return next == ' ' || next == '=' || next == '/' || next == '[';
}

std::string decodeMarkupEntities(std::string_view text) {
    static constexpr struct {
        std::string_view entity;
        char replacement;
    } kEntities[] = {
        {"&lt;", '<'}, {"&amp;", '&'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        if (text[pos] == '&') {
            bool replaced = false;
            for (const auto& e : kEntities) {
                if (text.substr(pos).starts_with(e.entity)) {
                    decoded += e.replacement;
                    pos += e.entity.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        decoded += text[pos++];
    }
    return decoded;
}

static std::string escape(std::string_view text, bool forAttribute) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\'':
                escaped += forAttribute ? "&apos;" : "'";
                break;
            case '"':
                escaped += forAttribute ? "&quot;" : "\"";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string escapeMarkupText(std::string_view text) {
    return escape(text, false);
}
std::string escapeMarkupAttribute(std::string_view text) {
    return escape(text, true);
}

// ---------------------------------------------------------------------------
// Parsing

bool MarkupDocument::parseText(std::string_view text) {
    // The document is a C string: anything after a zero byte is not part of it.
    doc_.assign(text.substr(0, text.find('\0')));
    error_.clear();
    elements_.assign(1, ElementSpan{});
    elements_.reserve(doc_.size() / 64 + 8);
    rewind();
    if (doc_.empty()) return false;
    if (doc_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2)) {
        return fail("Document too large");
    }
    return parseDocument();
}

int MarkupDocument::newElement() {
    elements_.emplace_back();
    return static_cast<int>(elements_.size() - 1);
}

bool MarkupDocument::fail(std::string message) {
    error_ = std::move(message);
    elements_.assign(1, ElementSpan{});
    rewind();
    return false;
}

bool MarkupDocument::failWithName(std::string_view pattern, int index) {
    return fail(withName(pattern, tagName(index)));
}

// Parses the document element and everything inside it. Elements whose
// children are still being read are kept on an explicit stack, so deeply
// nested input cannot exhaust the call stack.
bool MarkupDocument::parseDocument() {
    struct Open {
        int index;
        int lastChild;
    };
    std::vector<Open> open;
    size_t pos = 0;

    while (true) {
        const size_t lt = doc_.find('<', pos);
        if (lt == std::string::npos) {
            if (open.empty()) return fail("Element tag not found");
            return failWithName("End tag of %s element not found", open.back().index);
        }
        Token token;
        if (!readToken(doc_, lt + 1, &token)) return fail("Abrupt end within tag");
        if (token.quoted) return fail("Tag starts with quote");

        if (token.is(doc_, '!') || token.is(doc_, '?')) {
            const size_t end = skipNode(doc_, lt);
            if (end == std::string::npos) return fail("Invalid node");
            pos = end;
            continue;
        }

        if (token.is(doc_, '/')) {
            // The end tag of the innermost open element.
            if (open.empty()) return fail("Element tag not found");
            const int index = open.back().index;
            Token name;
            if (!readToken(doc_, token.next, &name)) {
                return failWithName("End tag not completed for element %s", index);
            }
            if (name.quoted || !markupNameMatches(name.in(doc_), tagName(index))) {
                return failWithName("End tag does not correspond to %s", index);
            }
            size_t next = name.next;
            Token rest;
            while (true) {
                if (!readToken(doc_, next, &rest)) {
                    return failWithName("End tag not completed for element %s", index);
                }
                if (rest.is(doc_, '>')) break;
                next = rest.next;
            }
            elements_[index].closeBegin = static_cast<int32_t>(lt);
            elements_[index].closeEnd = static_cast<int32_t>(rest.begin);
            pos = rest.begin + 1;
            open.pop_back();
            if (open.empty()) return true;
            continue;
        }

        if (!token.quoted && token.end == token.begin + 1 && isTokenDelimiter(doc_[token.begin])) {
            // "<" followed by "<", ">", "=", "\" or ";" opens no tag: it is text.
            pos = lt + 1;
            continue;
        }

        // A start tag. Attributes are not examined here.
        const size_t gt = doc_.find('>', token.begin);
        if (gt == std::string::npos) return fail("End of tag not found");
        const int index = newElement();
        ElementSpan& span = elements_[index];
        span.openBegin = static_cast<int32_t>(lt);
        span.openEnd = static_cast<int32_t>(gt);
        span.parentIndex = open.empty() ? 0 : open.back().index;
        if (open.empty()) {
            elements_[0].firstChild = index;
        } else if (open.back().lastChild == 0) {
            elements_[open.back().index].firstChild = index;
            open.back().lastChild = index;
        } else {
            elements_[open.back().lastChild].nextSibling = index;
            open.back().lastChild = index;
        }
        pos = gt + 1;
        if (doc_[gt - 1] == '/') {
            span.closeBegin = span.openEnd - 1;
            span.closeEnd = span.openEnd;
            if (open.empty()) return true;
        } else {
            open.push_back({index, 0});
        }
    }
}

// ---------------------------------------------------------------------------
// Navigation and reading

bool MarkupDocument::isElement(int index) const {
    return index > 0 && static_cast<size_t>(index) < elements_.size();
}

std::string MarkupDocument::tagName(int index) const {
    if (!isElement(index)) return {};
    Token token;
    if (!readToken(doc_, static_cast<size_t>(elements_[index].openBegin) + 1, &token)) return {};
    return std::string(token.in(doc_));
}

void MarkupDocument::rewind() {
    parent_ = current_ = child_ = 0;
    nodeType_ = 0;
}

bool MarkupDocument::findNext(std::string_view name) {
    int candidate = current_ != 0 ? elements_[current_].nextSibling : elements_[parent_].firstChild;
    for (; candidate != 0; candidate = elements_[candidate].nextSibling) {
        if (name.empty() || markupNameMatches(tagName(candidate), name)) {
            current_ = candidate;
            parent_ = elements_[candidate].parentIndex;
            child_ = 0;
            nodeType_ = 1;
            return true;
        }
    }
    return false;
}

bool MarkupDocument::enter() {
    if (!isElement(current_)) return false;
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    nodeType_ = current_ != 0 ? 1 : 0;
    return true;
}

bool MarkupDocument::leave() {
    if (parent_ == 0) return false;
    child_ = current_;
    current_ = parent_;
    parent_ = elements_[parent_].parentIndex;
    nodeType_ = 1;
    return true;
}

std::string MarkupDocument::currentName() const {
    return tagName(current_);
}

std::string MarkupDocument::currentText() const {
    if (!isElement(current_)) return {};
    const ElementSpan& span = elements_[current_];
    if (span.firstChild != 0 || span.closeEnd == span.openEnd) return {};
    const size_t begin = static_cast<size_t>(span.openEnd) + 1;
    const size_t end = static_cast<size_t>(span.closeBegin);
    const std::string_view content = std::string_view(doc_).substr(begin, end - begin);

    constexpr std::string_view kCdataOpen = "<![CDATA[";
    size_t first = 0;
    while (first < content.size() && isMarkupSpace(content[first]))
        ++first;
    if (content.substr(first).starts_with(kCdataOpen)) {
        const size_t from = first + kCdataOpen.size();
        const size_t close = content.find("]]>", from);
        return std::string(content.substr(
            from, close == std::string_view::npos ? std::string_view::npos : close - from));
    }
    return decodeMarkupEntities(content);
}

bool MarkupDocument::findAttributeValue(int index, std::string_view name, size_t* valueBegin,
                                        size_t* valueEnd) const {
    if (!isElement(index)) return false;
    Token token;
    if (!readToken(doc_, static_cast<size_t>(elements_[index].openBegin) + 1, &token)) {
        return false;  // no tag name
    }
    // The search stays inside the start tag: a stray quote must not reach
    // into the content, where an edit would break the element index.
    const size_t tagEnd = static_cast<size_t>(elements_[index].openEnd);
    auto insideTag = [&](const Token& t) { return t.end <= tagEnd && t.next <= tagEnd + 1; };
    size_t next = token.next;
    while (readToken(doc_, next, &token) && insideTag(token)) {
        next = token.next;
        if (token.quoted || token.is(doc_, '=')) continue;
        if (token.is(doc_, '/') || token.is(doc_, '>') || token.is(doc_, '?')) return false;
        if (!markupNameMatches(token.in(doc_), name)) continue;
        // The value is the quoted token two tokens after the name.
        Token equals;
        Token value;
        if (!readToken(doc_, next, &equals) || !readToken(doc_, equals.next, &value) ||
            !value.quoted || !insideTag(value)) {
            return false;
        }
        *valueBegin = value.begin;
        *valueEnd = value.end;
        return true;
    }
    return false;
}

std::string MarkupDocument::attribute(std::string_view name) const {
    size_t begin = 0;
    size_t end = 0;
    if (!findAttributeValue(current_, name, &begin, &end)) return {};
    return decodeMarkupEntities(std::string_view(doc_).substr(begin, end - begin));
}

// ---------------------------------------------------------------------------
// Editing

void MarkupDocument::shiftPositions(size_t from, int64_t delta) {
    const auto limit = static_cast<int64_t>(from);
    for (size_t i = 1; i < elements_.size(); ++i) {
        ElementSpan& span = elements_[i];
        for (int32_t* offset : {&span.openBegin, &span.openEnd, &span.closeBegin, &span.closeEnd}) {
            if (*offset >= limit) *offset = static_cast<int32_t>(*offset + delta);
        }
    }
}

bool MarkupDocument::setAttribute(int index, std::string_view name, std::string_view value) {
    if (!isElement(index)) return false;
    const std::string escaped = escapeMarkupAttribute(value);
    size_t begin = 0;
    size_t end = 0;
    if (findAttributeValue(index, name, &begin, &end)) {
        shiftPositions(end,
                       static_cast<int64_t>(escaped.size()) - static_cast<int64_t>(end - begin));
        doc_.replace(begin, end - begin, escaped);
        return true;
    }
    const ElementSpan& span = elements_[index];
    const bool empty = span.closeEnd == span.openEnd;
    const size_t at = static_cast<size_t>(empty ? span.openEnd - 1 : span.openEnd);
    std::string inserted = " ";
    inserted.append(name).append("=\"").append(escaped).append("\"");
    shiftPositions(at, static_cast<int64_t>(inserted.size()));
    doc_.insert(at, inserted);
    return true;
}

bool MarkupDocument::appendElement(std::string_view name, std::string_view value) {
    if (parent_ == 0 && hasRoot()) return false;  // a document has one root
    if (!insertElement(parent_, current_, name, value)) return false;
    current_ = static_cast<int>(elements_.size() - 1);
    child_ = 0;
    nodeType_ = 1;
    return true;
}

bool MarkupDocument::appendChild(std::string_view name, std::string_view value) {
    if (!isElement(current_)) return false;
    if (!insertElement(current_, child_, name, value)) return false;
    child_ = static_cast<int>(elements_.size() - 1);
    return true;
}

// Inserts `name` as the next sibling of `afterIndex` inside `parentIndex`, or
// as the last child when afterIndex is 0. The new element is the last entry
// of the index.
bool MarkupDocument::insertElement(int parentIndex, int afterIndex, std::string_view name,
                                   std::string_view value) {
    if (name.empty()) return false;
    if (doc_.size() + name.size() * 2 + value.size() * 6 + 16 >
        static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2)) {
        return false;
    }
    std::string text = "<";
    text.append(name);
    size_t openEndInText = 0;
    size_t closeBeginInText = 0;
    if (value.empty()) {
        text += "/>";
        openEndInText = text.size() - 1;
        closeBeginInText = openEndInText - 1;
    } else {
        text += ">";
        openEndInText = text.size() - 1;
        text += escapeMarkupText(value);
        closeBeginInText = text.size();
        text.append("</").append(name).append(">");
    }
    const size_t closeEndInText = text.size() - 1;
    text += kCrLf;

    size_t elementAt = 0;  // where the new element's "<" lands
    if (parentIndex == 0) {
        // Top level of a document without a root: the element becomes the document.
        elementAt = doc_.size();
        doc_ += text;
    } else {
        ElementSpan& parent = elements_[parentIndex];
        if (parent.closeEnd == parent.openEnd) {
            // Open up an empty parent: "<p/>" becomes "<p>", CR LF, the line, "</p>".
            // A run of slashes ("<p//>") goes as a whole, or the start tag would
            // still end in "/>" and read as empty.
            size_t slash = static_cast<size_t>(parent.openEnd) - 1;
            size_t slashCount = 1;
            while (slash > static_cast<size_t>(parent.openBegin) + 1 && doc_[slash - 1] == '/') {
                --slash;
                ++slashCount;
            }
            std::string replacement = ">";
            replacement.append(kCrLf).append(text).append("</").append(tagName(parentIndex));
            shiftPositions(slash + slashCount,
                           static_cast<int64_t>(replacement.size() - slashCount));
            doc_.replace(slash, slashCount, replacement);
            parent.openEnd = static_cast<int32_t>(slash);
            elementAt = slash + 1 + kCrLf.size();
            parent.closeBegin = static_cast<int32_t>(elementAt + text.size());
        } else {
            size_t at = static_cast<size_t>(parent.closeBegin);
            if (afterIndex != 0) {
                at = static_cast<size_t>(elements_[afterIndex].closeEnd) + 1;
                while (at < doc_.size() && isMarkupSpace(doc_[at]))
                    ++at;
            } else if (parent.closeBegin == parent.openEnd + 1) {
                text.insert(0, kCrLf);  // "<p></p>": the new line starts on a line of its own
            }
            elementAt = at + (text.starts_with(kCrLf) ? kCrLf.size() : 0);
            shiftPositions(at, static_cast<int64_t>(text.size()));
            doc_.insert(at, text);
        }
    }

    const int index = newElement();
    ElementSpan& span = elements_[index];
    span.openBegin = static_cast<int32_t>(elementAt);
    span.openEnd = static_cast<int32_t>(elementAt + openEndInText);
    span.closeBegin = static_cast<int32_t>(elementAt + closeBeginInText);
    span.closeEnd = static_cast<int32_t>(elementAt + closeEndInText);
    span.parentIndex = parentIndex;

    if (afterIndex != 0) {
        span.nextSibling = elements_[afterIndex].nextSibling;
        elements_[afterIndex].nextSibling = index;
    } else if (elements_[parentIndex].firstChild == 0) {
        elements_[parentIndex].firstChild = index;
    } else {
        int last = elements_[parentIndex].firstChild;
        while (elements_[last].nextSibling != 0)
            last = elements_[last].nextSibling;
        elements_[last].nextSibling = index;
    }
    return true;
}

}  // namespace velmora
