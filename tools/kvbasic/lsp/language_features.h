// The language features, one file each. Each takes the document as the
// editor has it, its analysis and the request's params, and returns the
// result of the request (null when there is nothing to say). None trusts
// the params: missing or mistyped fields read as 0 or "".
#pragma once

#include <string>

#include "analysis.h"
#include "command_reference.h"
#include "documents.h"
#include "json.h"

namespace kvlsp {

struct FeatureInput {
    const Document& document;
    const Analysis& analysis;
    const CommandReference& reference;
};

// The params of textDocument/publishDiagnostics: every error of the file.
Json DiagnosticsOf(const Document& document, const Analysis& analysis);

// The rest answer requests with a text position (params.position).
Json Complete(const FeatureInput& input, const Json& params);
// completionItem/resolve: a command's item gets its reference text.
Json ResolveCompletion(const CommandReference& reference, const Json& item);
Json HoverAt(const FeatureInput& input, const Json& params);
Json SignatureHelpAt(const FeatureInput& input, const Json& params);
Json DefinitionAt(const FeatureInput& input, const Json& params);
Json DocumentSymbols(const FeatureInput& input);

// Where params.position is: the line's text and the cursor's byte in it.
struct Cursor {
    int line = 0;
    std::string text;
    std::size_t byte = 0;
};
Cursor CursorOf(const Document& document, const Json& params);

// The protocol's range of a symbol's name; `index` is the document's.
Json NameRange(const Document& document, const LineIndex& index, const Symbol& symbol);

}  // namespace kvlsp
