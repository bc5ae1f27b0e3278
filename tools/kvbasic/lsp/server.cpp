#include "server.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "language_features.h"
#include "message_stream.h"

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
    Dispatch(method.AsString(), (*message)["params"], hasId ? &(*message)["id"] : nullptr);
    return true;
}

void Server::Dispatch(const std::string& method, const Json& params, const Json* id)
{
    if (id == nullptr) {
        if (initialized_ && !shutdown_) Notification(method, params);
        return;
    }
    if (method == "initialize") {
        initialized_ = true;
        Reply(*id, Json::Object()
                       .Set("capabilities", Capabilities())
                       .Set("serverInfo", Json::Object().Set("name", "kvbasic")));
        return;
    }
    if (!initialized_) return ReplyError(*id, kServerNotInitialized, "initialize comes first");
    if (shutdown_) return ReplyError(*id, kInvalidRequest, "the server is shutting down");
    if (method == "shutdown") {
        shutdown_ = true;
        return Reply(*id, nullptr);
    }
    if (method == "completionItem/resolve") return Reply(*id, ResolveCompletion(reference_, params));
    const bool known = method == "textDocument/completion" || method == "textDocument/hover" ||
                       method == "textDocument/signatureHelp" || method == "textDocument/definition" ||
                       method == "textDocument/documentSymbol";
    if (!known) return ReplyError(*id, kMethodNotFound, "unknown method " + method);
    Reply(*id, Request(method, params));
}

Json Server::Request(const std::string& method, const Json& params)
{
    const std::string& uri = params["textDocument"]["uri"].AsString();
    const Document* document = documents_.Find(uri);
    const auto analysis = analyses_.find(uri);
    if (document == nullptr || analysis == analyses_.end()) return nullptr;
    const FeatureInput input{*document, analysis->second, reference_};
    if (method == "textDocument/completion") return Complete(input, params);
    if (method == "textDocument/hover") return HoverAt(input, params);
    if (method == "textDocument/signatureHelp") return SignatureHelpAt(input, params);
    if (method == "textDocument/definition") return DefinitionAt(input, params);
    return DocumentSymbols(input);
}

void Server::Notification(const std::string& method, const Json& params)
{
    const Json& textDocument = params["textDocument"];
    const std::string& uri = textDocument["uri"].AsString();
    if (method == "textDocument/didOpen") {
        documents_.Open(uri, textDocument["text"].AsString(), textDocument["version"].AsInt());
        Publish(*documents_.Find(uri));
        PublishIncluders(uri);
    } else if (method == "textDocument/didChange") {
        if (const Document* document = documents_.Change(uri, params["contentChanges"], textDocument["version"].AsInt())) {
            Publish(*document);
            PublishIncluders(uri);
        }
    } else if (method == "textDocument/didClose") {
        documents_.Close(uri);
        analyses_.erase(uri);
        Send(Json::Object()
                 .Set("jsonrpc", "2.0")
                 .Set("method", "textDocument/publishDiagnostics")
                 .Set("params", Json::Object().Set("uri", uri).Set("diagnostics", Json::Array())));
        PublishIncluders(uri);  // they read the file from disk again
    }
    // Other notifications (initialized, didSave, $/cancelRequest, ...) need no answer.
}

void Server::Publish(const Document& document)
{
    // Included files are read as the editor has them when they are open.
    const kvbasic::SourceReader reader = [this](const std::string& path, std::string& text, std::string& problem) {
        if (const Document* open = documents_.FindFile(path)) {
            text = open->text;
            return true;
        }
        return kvbasic::ReadSourceFile(path, text, problem);
    };
    Analysis& analysis = analyses_[document.uri];
    analysis = Analyze(document.text, PathOfUri(document.uri), reader);
    Send(Json::Object()
             .Set("jsonrpc", "2.0")
             .Set("method", "textDocument/publishDiagnostics")
             .Set("params", DiagnosticsOf(document, analysis)));
}

void Server::PublishIncluders(const std::string& changed)
{
    const std::string path = PathOfUri(changed);
    if (path.empty()) return;
    for (const auto& [uri, document] : documents_.All()) {
        const auto analysis = analyses_.find(uri);
        if (uri == changed || analysis == analyses_.end()) continue;
        const std::vector<std::string>& files = analysis->second.includedFiles;
        if (std::find(files.begin(), files.end(), path) != files.end()) Publish(document);
    }
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
    std::string body, error;
    for (;;) {
        const ReadStatus status = ReadMessage(in, body, error);
        if (status == ReadStatus::End) return server.ExitCode();
        if (status == ReadStatus::Bad) {
            log << "kvbasic lsp: skipped a message: " << error << "\n";
            continue;
        }
        if (!server.Handle(body)) return server.ExitCode();
    }
}

}  // namespace kvlsp
