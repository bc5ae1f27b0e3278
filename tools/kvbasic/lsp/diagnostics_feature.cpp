// textDocument/publishDiagnostics: the translator's errors, each marking
// the name, number or character it points at.
#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

Json DiagnosticsOf(const Document& document, const Analysis& analysis)
{
    const LineIndex index(document.text);
    Json list = Json::Array();
    // The errors come in the order of their lines and columns: each line
    // is walked once, however many errors it has.
    ColumnWalker columns;
    int walked = -1;
    for (const kvbasic::Diagnostic& error : analysis.errors) {
        const int line = std::max(0, error.line - 1);
        const std::string_view text = index.Line(document.text, line);
        if (line != walked) {
            columns.Reset(text);
            walked = line;
        }
        int start = columns.Utf16OfColumn(error.column);
        const std::size_t byte = columns.ByteOfColumn(error.column);
        int end = start + 1;
        const Span name = NameStartingAt(text, byte);
        if (!name.Empty()) end = start + Utf16OfByte(text.substr(byte), name.end - byte);
        else if (byte < text.size() && text[byte] == '"' && text.find('"', byte + 1) != std::string_view::npos)
            end = start + Utf16OfByte(text.substr(byte), text.find('"', byte + 1) + 1 - byte);
        // An error at the end of the line marks its last character.
        if (byte >= text.size()) {
            start = std::max(0, columns.Utf16Length() - 1);
            end = start + 1;
        }
        list.Push(Json::Object()
                      .Set("range", MakeRange(line, start, line, end))
                      .Set("severity", 1)
                      .Set("source", "kvbasic")
                      .Set("message", error.message));
    }
    return Json::Object().Set("uri", document.uri).Set("version", document.version).Set("diagnostics", std::move(list));
}

Cursor CursorOf(const Document& document, const Json& params)
{
    const LineIndex index(document.text);
    Cursor cursor;
    cursor.line = params["position"]["line"].AsInt();
    cursor.text = std::string(index.Line(document.text, cursor.line));
    cursor.byte = ByteOfUtf16(cursor.text, params["position"]["character"].AsInt());
    return cursor;
}

Json NameRange(const Document& document, const LineIndex& index, const Symbol& symbol)
{
    const std::string_view text = index.Line(document.text, symbol.line);
    const int start = Utf16OfColumn(text, symbol.column);
    const Span name = NameAt(text, ByteOfUtf16(text, start));
    const int end = name.Empty() ? start : Utf16OfByte(text, name.end);
    return MakeRange(symbol.line, start, symbol.line, end);
}

}  // namespace kvlsp
