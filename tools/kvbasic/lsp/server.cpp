#include "server.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "language_features.h"
#include "message_stream.h"
#include "program_of_library.h"

namespace kvlsp {

namespace {

// JSON-RPC's and the protocol's error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kServerNotInitialized = -32002;

Json Capabilities()
{
    return Json::Object()
        .Set("textDocumentSync", Json::Object().Set("openClose", true).Set("change", 2))  // incremental
        .Set("completionProvider",
             Json::Object().Set("triggerCharacters", Json::Array().Push(".")).Set("resolveProvider", true))
        .Set("hoverProvider", true)
        .Set("signatureHelpProvider", Json::Object().Set("triggerCharacters", Json::Array().Push("(").Push(",").Push(" ")))
        .Set("definitionProvider", true)
        .Set("documentSymbolProvider", true);
}

}  // namespace

Server::Server(std::ostream& out, std::ostream& log, const CommandReference& reference)
    : out_(out), log_(log), reference_(reference)
{
}

bool Server::Handle(const std::string& body)
{
    std::string error;
    const std::optional<Json> message = Json::Parse(body, &error);
    if (!message) {
        log_ << "kvbasic lsp: a message that is no JSON: " << error << "\n";
        ReplyError(nullptr, kParseError, "the message is no JSON: " + error);
        return true;
    }
    const Json& method = (*message)["method"];
    const bool hasId = message->Has("id") && ((*message)["id"].IsNumber() || (*message)["id"].IsString());
    if (!method.IsString()) {
        // Answers to requests of ours: the server sends none.
        if (!message->Has("result") && !message->Has("error"))
            ReplyError(hasId ? (*message)["id"] : Json(), kInvalidRequest, "the message has no method");
        return true;
    }
    if (method.AsString() == "exit") return false;
    const Json id = (*message)["id"];
    Dispatch(method.AsString(), (*message)["params"], hasId ? &id : nullptr);
    return true;
}

const std::map<std::string, Server::Method>& Server::Methods()
{
    static const std::map<std::string, Method> methods = {
        {"initialize", {.request = &Server::Initialize}},
        {"shutdown", {.request = &Server::Shutdown}},
        {"completionItem/resolve", {.request = &Server::Resolve}},
        {"textDocument/completion", {.documentRequest = Complete}},
        {"textDocument/hover", {.documentRequest = HoverAt}},
        {"textDocument/signatureHelp", {.documentRequest = SignatureHelpAt}},
        {"textDocument/definition", {.documentRequest = DefinitionAt}},
        {"textDocument/documentSymbol",
         {.documentRequest = [](const FeatureInput& input, const Json&) { return DocumentSymbols(input); }}},
        {"textDocument/didOpen", {.notification = &Server::DidOpen}},
        {"textDocument/didChange", {.notification = &Server::DidChange}},
        {"textDocument/didClose", {.notification = &Server::DidClose}},
        // Other notifications (initialized, didSave, $/cancelRequest, ...) need no answer.
    };
    return methods;
}

void Server::Dispatch(const std::string& method, const Json& params, const Json* id)
{
    const auto bound = Methods().find(method);
    const Method* handler = bound == Methods().end() ? nullptr : &bound->second;
    if (id == nullptr) {
        if (initialized_ && !shutdown_ && handler != nullptr && handler->notification != nullptr)
            (this->*handler->notification)(params);
        return;
    }
    // initialize is answered once, and not after shutdown.
    const bool initialize = handler != nullptr && handler->request == &Server::Initialize;
    if (initialize && !initialized_) return Reply(*id, Initialize(params));
    if (!initialized_) return ReplyError(*id, kServerNotInitialized, "initialize comes first");
    if (shutdown_) return ReplyError(*id, kInvalidRequest, "the server is shutting down");
    if (initialize) return ReplyError(*id, kInvalidRequest, "the server is already initialized");
    if (handler != nullptr && handler->request != nullptr) return Reply(*id, (this->*handler->request)(params));
    if (handler != nullptr && handler->documentRequest != nullptr)
        return Reply(*id, DocumentRequest(handler->documentRequest, params));
    ReplyError(*id, kMethodNotFound, "unknown method " + method);
}

Json Server::DocumentRequest(Feature feature, const Json& params)
{
    const std::string& uri = params["textDocument"]["uri"].AsString();
    if (stale_.count(uri)) Refresh(uri);
    const Document* document = documents_.Find(uri);
    const auto analysis = analyses_.find(uri);
    if (document == nullptr || analysis == analyses_.end()) return nullptr;
    return feature(FeatureInput{*document, analysis->second, reference_}, params);
}

Json Server::Initialize(const Json&)
{
    initialized_ = true;
    return Json::Object().Set("capabilities", Capabilities()).Set("serverInfo", Json::Object().Set("name", "kvbasic"));
}

Json Server::Shutdown(const Json&)
{
    shutdown_ = true;
    return nullptr;
}

Json Server::Resolve(const Json& params) { return ResolveCompletion(reference_, params); }

void Server::DidOpen(const Json& params)
{
    const Json& textDocument = params["textDocument"];
    const std::string& uri = textDocument["uri"].AsString();
    documents_.Open(uri, textDocument["text"].AsString(), textDocument["version"].AsInt());
    programOnDisk_.clear();
    MarkStale(uri);
}

void Server::DidChange(const Json& params)
{
    const Json& textDocument = params["textDocument"];
    const std::string& uri = textDocument["uri"].AsString();
    if (documents_.Change(uri, params["contentChanges"], textDocument["version"].AsInt())) MarkStale(uri);
}

void Server::DidClose(const Json& params)
{
    const std::string& uri = params["textDocument"]["uri"].AsString();
    documents_.Close(uri);
    programOnDisk_.clear();
    analyses_.erase(uri);
    stale_.erase(uri);
    Send(Json::Object()
             .Set("jsonrpc", "2.0")
             .Set("method", "textDocument/publishDiagnostics")
             .Set("params", Json::Object().Set("uri", uri).Set("diagnostics", Json::Array())));
    MarkStale(uri);  // the others read the file from disk again
}

void Server::MarkStale(const std::string& changed)
{
    if (documents_.Find(changed) != nullptr) stale_.insert(changed);
    const std::string path = PathOfUri(changed);
    if (path.empty()) return;
    for (const auto& [uri, analysis] : analyses_) {
        const std::vector<std::string>& files = analysis.includedFiles;
        if (uri != changed && std::find(files.begin(), files.end(), path) != files.end()) stale_.insert(uri);
    }
}

void Server::AnalyseOneStale()
{
    if (stale_.empty()) return;
    const std::string uri = *stale_.begin();  // a copy: Refresh erases it from the set
    Refresh(uri);
}

void Server::AnalyseStale()
{
    while (!stale_.empty()) AnalyseOneStale();
}

kvbasic::SourceReader Server::Reader() const
{
    // Files are read as the editor has them when they are open.
    return [this](const std::string& path, std::string& text, std::string& problem) {
        if (const Document* open = documents_.FindFile(path)) {
            text = open->text;
            return true;
        }
        return kvbasic::ReadSourceFile(path, text, problem);
    };
}

std::string Server::ProgramOf(const std::string& path)
{
    // An open program first (a library's library leads to its program).
    std::string found;
    for (const auto& [uri, analysis] : analyses_) {
        const std::vector<std::string>& files = analysis.includedFiles;
        if (PathOfUri(uri) == path || std::find(files.begin(), files.end(), path) == files.end()) continue;
        if (analysis.partOf.empty()) return PathOfUri(uri);
        if (found.empty() && analysis.partOf != path) found = analysis.partOf;
    }
    if (!found.empty()) return found;
    const auto known = programOnDisk_.find(path);
    if (known != programOnDisk_.end()) return known->second;
    return programOnDisk_[path] = ProgramIncludingOnDisk(path, Reader());
}

Analysis Server::AnalyseDocument(const Document& document)
{
    const std::string path = PathOfUri(document.uri);
    const kvbasic::SourceReader reader = Reader();
    // A library is checked as part of the program that includes it, so
    // that the program's TYPEs, DIMs and SUBs are known in it.
    if (!path.empty()) {
        const std::string program = ProgramOf(path);
        if (!program.empty())
            if (std::optional<Analysis> library = AnalyzeAsPartOf(program, path, reader)) return std::move(*library);
    }
    return Analyze(document.text, path, reader);
}

void Server::Refresh(const std::string& uri)
{
    stale_.erase(uri);
    const Document* document = documents_.Find(uri);
    if (document == nullptr) return;
    Analysis& analysis = analyses_[uri];
    analysis = AnalyseDocument(*document);
    Send(Json::Object()
             .Set("jsonrpc", "2.0")
             .Set("method", "textDocument/publishDiagnostics")
             .Set("params", DiagnosticsOf(*document, analysis)));
}

void Server::Reply(const Json& id, Json result)
{
    Send(Json::Object().Set("jsonrpc", "2.0").Set("id", id).Set("result", std::move(result)));
}

void Server::ReplyError(const Json& id, int code, const std::string& message)
{
    Send(Json::Object()
             .Set("jsonrpc", "2.0")
             .Set("id", id)
             .Set("error", Json::Object().Set("code", code).Set("message", message)));
}

void Server::Send(const Json& message) { WriteMessage(out_, message.Dump()); }

int RunLanguageServer(std::istream& in, std::ostream& out, std::ostream& log, const CommandReference& reference)
{
    Server server(out, log, reference);
    MessageReader reader(in);
    std::string body, error;
    for (;;) {
        // Analyses wait while messages come: only the latest text counts.
        if (server.HasStale() && !reader.InputWaiting()) {
            server.AnalyseOneStale();
            continue;
        }
        const ReadStatus status = reader.Next(body, error);
        if (status == ReadStatus::End) return server.ExitCode();
        if (status == ReadStatus::Bad) {
            log << "kvbasic lsp: skipped a message: " << error << "\n";
            continue;
        }
        if (!server.Handle(body)) return server.ExitCode();
    }
}

}  // namespace kvlsp
