#include "documents.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kvlsp {

namespace {

// The bytes of the UTF-8 character starting with `first` (1 for a stray
// continuation or invalid byte, so that every byte is passed once).
std::size_t CharacterBytes(unsigned char first)
{
    return first < 0xC0 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : first < 0xF8 ? 4 : 1;
}

// The byte offset of an LSP position, clamped into the text, as
// LineIndex::Offset finds it, but reading only the lines between `mark`
// and it: an editor's changes come many a second, each needs two offsets,
// not an index of every line. `mark` moves to the position's line.
std::size_t OffsetOf(std::string_view text, int line, int utf16, LineMark& mark)
{
    if (line < 0) return 0;
    if (mark.start > text.size()) mark = {};
    while (mark.line > line) {  // back to the start of the line before
        const std::size_t previous = mark.start >= 2 ? text.rfind('\n', mark.start - 2) : std::string_view::npos;
        mark = {mark.line - 1, previous == std::string_view::npos ? 0 : previous + 1};
    }
    while (mark.line < line) {
        const std::size_t end = text.find('\n', mark.start);
        if (end == std::string_view::npos) return text.size();
        mark = {mark.line + 1, end + 1};
    }
    std::size_t end = text.find('\n', mark.start);
    if (end == std::string_view::npos) end = text.size();
    if (end > mark.start && text[end - 1] == '\r') --end;
    return mark.start + ByteOfUtf16(text.substr(mark.start, end - mark.start), utf16);
}

}  // namespace

LineIndex::LineIndex(std::string_view text)
{
    starts_.push_back(0);
    for (std::size_t at = 0; at < text.size(); ++at)
        if (text[at] == '\n') starts_.push_back(at + 1);
}

std::string_view LineIndex::Line(std::string_view text, int line) const
{
    if (line < 0 || line >= LineCount()) return {};
    const std::size_t start = std::min(starts_[line], text.size());
    std::size_t end = line + 1 < LineCount() ? starts_[line + 1] - 1 : text.size();
    end = std::max(start, std::min(end, text.size()));
    if (end > start && text[end - 1] == '\r') --end;
    return text.substr(start, end - start);
}

std::size_t LineIndex::Offset(std::string_view text, int line, int utf16) const
{
    if (line < 0) return 0;
    if (line >= LineCount()) return text.size();
    const std::size_t start = std::min(starts_[line], text.size());
    return start + ByteOfUtf16(Line(text, line), utf16);
}

std::size_t ByteOfUtf16(std::string_view line, int utf16)
{
    std::size_t at = 0;
    int units = 0;
    while (at < line.size() && units < utf16) {
        const std::size_t bytes = CharacterBytes(static_cast<unsigned char>(line[at]));
        units += bytes == 4 ? 2 : 1;
        at = std::min(line.size(), at + bytes);
    }
    return at;
}

int Utf16OfByte(std::string_view line, std::size_t byte)
{
    int units = 0;
    for (std::size_t at = 0; at < line.size() && at < byte;) {
        const std::size_t bytes = CharacterBytes(static_cast<unsigned char>(line[at]));
        units += bytes == 4 ? 2 : 1;
        at += bytes;
    }
    return units;
}

int Utf16OfColumn(std::string_view line, int column)
{
    int units = 0;
    std::size_t at = 0;
    for (int k = 1; k < column; ++k) {
        if (at >= line.size()) {
            units += column - k;  // a column past the line's end stays past it
            break;
        }
        const std::size_t bytes = CharacterBytes(static_cast<unsigned char>(line[at]));
        units += bytes == 4 ? 2 : 1;
        at += bytes;
    }
    return units;
}

void ColumnWalker::Reset(std::string_view line)
{
    line_ = line;
    column_ = 1;
    byte_ = 0;
    units_ = 0;
}

void ColumnWalker::MoveTo(int column)
{
    if (column < column_) Reset(line_);
    while (column_ < column && byte_ < line_.size()) {
        const std::size_t bytes = CharacterBytes(static_cast<unsigned char>(line_[byte_]));
        units_ += bytes == 4 ? 2 : 1;
        byte_ = std::min(line_.size(), byte_ + bytes);
        ++column_;
    }
}

int ColumnWalker::Utf16OfColumn(int column)
{
    if (column <= 1) return 0;
    MoveTo(column);
    return units_ + (column - column_);  // a column past the line's end stays past it
}

std::size_t ColumnWalker::ByteOfColumn(int column)
{
    MoveTo(std::max(column, 1));
    return byte_;
}

int ColumnWalker::Utf16Length()
{
    MoveTo(static_cast<int>(std::min<std::size_t>(line_.size() + 1, 1u << 30)));
    return units_;
}

void DocumentStore::Open(const std::string& uri, std::string text, int version)
{
    documents_[uri] = Document{uri, std::move(text), version, LineMark{}};
}

void DocumentStore::Close(const std::string& uri) { documents_.erase(uri); }

const Document* DocumentStore::Find(const std::string& uri) const
{
    const auto it = documents_.find(uri);
    return it == documents_.end() ? nullptr : &it->second;
}

Document* DocumentStore::Change(const std::string& uri, const Json& changes, int version)
{
    const auto it = documents_.find(uri);
    if (it == documents_.end()) return nullptr;
    Document& document = it->second;
    for (const Json& change : changes.Items()) {
        const Json& range = change["range"];
        if (!range.IsObject()) {
            document.text = change["text"].AsString();
            document.mark = {};
            continue;
        }
        const Json& start = range["start"];
        const Json& end = range["end"];
        LineMark& mark = document.mark;
        std::size_t to = OffsetOf(document.text, end["line"].AsInt(), end["character"].AsInt(), mark);
        std::size_t from = OffsetOf(document.text, start["line"].AsInt(), start["character"].AsInt(), mark);
        const LineMark before = mark;  // the line of `from`: a change after its start leaves it in place
        if (to < from) {
            std::swap(from, to);
            mark = {};  // a range backwards: the mark is that of the later end
        }
        document.text.replace(from, to - from, change["text"].AsString());
        if (mark.line == before.line && mark.start == before.start && before.start > from) mark = {};
    }
    document.version = version;
    return &document;
}

std::string PathOfUri(const std::string& uri)
{
    const std::string scheme = "file://";
    if (uri.rfind(scheme, 0) != 0) return "";
    std::string path;
    for (std::size_t k = scheme.size(); k < uri.size(); ++k) {
        const auto hex = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        if (uri[k] == '%' && k + 2 < uri.size() && hex(uri[k + 1]) >= 0 && hex(uri[k + 2]) >= 0) {
            path += static_cast<char>(hex(uri[k + 1]) * 16 + hex(uri[k + 2]));
            k += 2;
        } else {
            path += uri[k];
        }
    }
    // "file://host/path": only the local host's files are read.
    if (path.empty() || path[0] != '/') return "";
    return path;
}

std::string UriOfPath(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("/-._~", c) != nullptr) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri;
}

const Document* DocumentStore::FindFile(const std::string& path) const
{
    for (const auto& [uri, document] : documents_)
        if (!path.empty() && PathOfUri(uri) == path) return &document;
    return nullptr;
}

}  // namespace kvlsp
