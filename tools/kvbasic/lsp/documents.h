// The open documents, by URI, with the text as the editor has it, and the
// conversion between the protocol's positions (line, UTF-16 code unit) and
// byte offsets or the translator's columns (characters, from 1).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "json.h"

namespace kvlsp {

// Byte offsets of the starts of the lines of a text.
class LineIndex {
public:
    explicit LineIndex(std::string_view text);
    int LineCount() const { return static_cast<int>(starts_.size()); }
    // Line `line` (from 0) without its line end; "" past the end.
    std::string_view Line(std::string_view text, int line) const;
    // The byte offset of an LSP position, clamped into the text.
    std::size_t Offset(std::string_view text, int line, int utf16) const;

private:
    std::vector<std::size_t> starts_;
};

// Within one line: the byte offset of a UTF-16 position and back; the
// translator's 1-based character column as a UTF-16 position.
std::size_t ByteOfUtf16(std::string_view line, int utf16);
int Utf16OfByte(std::string_view line, std::size_t byte);
int Utf16OfColumn(std::string_view line, int column);

// The same for many columns of one line asked for in increasing order (the
// errors or definitions of a line): the line is walked once, forward, not
// from its start for each column. A column before the last one asked for
// starts the walk again.
class ColumnWalker {
public:
    explicit ColumnWalker(std::string_view line = {}) { Reset(line); }
    void Reset(std::string_view line);
    std::string_view Line() const { return line_; }
    int Utf16OfColumn(int column);
    std::size_t ByteOfColumn(int column);  // at most the line's length
    int Utf16Length();                     // of the whole line

private:
    void MoveTo(int column);
    std::string_view line_;
    int column_ = 1;
    std::size_t byte_ = 0;
    int units_ = 0;
};

// The file path of a "file://" URI (percent escapes decoded); "" for other
// URIs. And the URI of a file path.
std::string PathOfUri(const std::string& uri);
std::string UriOfPath(const std::string& path);

// A place in a text known to start a line: where the last change was.
// Editors change a text near where they changed it before, so finding the
// next change's line from here reads few lines.
struct LineMark {
    int line = 0;
    std::size_t start = 0;
};

struct Document {
    std::string uri;
    std::string text;
    int version = 0;
    LineMark mark;  // of `text` as it is now
};

class DocumentStore {
public:
    void Open(const std::string& uri, std::string text, int version);
    void Close(const std::string& uri);
    // Applies textDocument/didChange's contentChanges: a change with a
    // range replaces that range, one without replaces the whole text.
    // nullptr when the document is not open.
    Document* Change(const std::string& uri, const Json& changes, int version);
    const Document* Find(const std::string& uri) const;
    // The open document of the file at `path`; nullptr when it is not open.
    const Document* FindFile(const std::string& path) const;
    const std::map<std::string, Document>& All() const { return documents_; }

private:
    std::map<std::string, Document> documents_;
};

}  // namespace kvlsp
