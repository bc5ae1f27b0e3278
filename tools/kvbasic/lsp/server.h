// The language server: answers the messages of one editor, as JSON-RPC
// over the protocol's framing. One thread. A change of a document only
// takes its text and marks it, and the open documents that include it or
// are included by it, as stale; stale documents are analysed (and their
// errors published) when no message is waiting, so that a burst of changes
// costs one analysis of the latest text, and a request is answered between
// two analyses. A request about a stale document analyses that one first.
#pragma once

#include <iosfwd>
#include <map>
#include <set>
#include <string>

#include "analysis.h"
#include "command_reference.h"
#include "documents.h"
#include "json.h"
#include "language_features.h"

namespace kvlsp {

class Server {
public:
    // Answers and notifications go to `out`, notes about bad input to `log`.
    // The command reference is read once per process, not per server.
    Server(std::ostream& out, std::ostream& log, const CommandReference& reference);

    // Handles one message's bytes. False once the client has sent "exit".
    bool Handle(const std::string& body);
    // Whether a document waits for its analysis.
    bool HasStale() const { return !stale_.empty(); }
    // Analyses one stale document and publishes its errors.
    void AnalyseOneStale();
    // Analyses every stale document (for callers without a stream).
    void AnalyseStale();
    // The process's exit code: 0 after shutdown and exit, else 1.
    int ExitCode() const { return shutdown_ ? 0 : 1; }

private:
    // What a method leads to: one of the three handlers is set.
    using Feature = Json (*)(const FeatureInput& input, const Json& params);
    struct Method {
        Json (Server::*request)(const Json& params) = nullptr;
        Feature documentRequest = nullptr;  // about an open document: null when it is not open
        void (Server::*notification)(const Json& params) = nullptr;
    };
    // The methods the server knows, by name, the one list of them (exit,
    // which ends the server in any state, aside).
    static const std::map<std::string, Method>& Methods();

    void Dispatch(const std::string& method, const Json& params, const Json* id);
    Json DocumentRequest(Feature feature, const Json& params);

    // The requests and notifications.
    Json Initialize(const Json& params);
    Json Shutdown(const Json& params);
    Json Resolve(const Json& params);
    void DidOpen(const Json& params);
    void DidChange(const Json& params);
    void DidClose(const Json& params);

    void Reply(const Json& id, Json result);
    void ReplyError(const Json& id, int code, const std::string& message);
    void Send(const Json& message);
    // Analyses the document of `uri` now and publishes its errors.
    void Refresh(const std::string& uri);
    Analysis AnalyseDocument(const Document& document);
    // The program a library is checked in: an open program that includes
    // it, else one on disk; "" for none.
    std::string ProgramOf(const std::string& path);
    kvbasic::SourceReader Reader() const;
    // Marks the document of `changed` (opened, changed or closed) and the
    // open documents whose program holds its file as stale.
    void MarkStale(const std::string& changed);

    std::ostream& out_;
    std::ostream& log_;
    const CommandReference& reference_;
    DocumentStore documents_;
    std::map<std::string, Analysis> analyses_;  // by URI, of the text when last analysed
    std::set<std::string> stale_;               // URIs whose text changed since
    // The programs on disk found to include a file, by its path: searched
    // once, not on every change; forgotten when a document opens or closes.
    std::map<std::string, std::string> programOnDisk_;
    bool initialized_ = false;
    bool shutdown_ = false;
};

// Reads messages from `in` until "exit" or the end of the stream; the exit
// code for the process.
int RunLanguageServer(std::istream& in, std::ostream& out, std::ostream& log, const CommandReference& reference);

}  // namespace kvlsp
