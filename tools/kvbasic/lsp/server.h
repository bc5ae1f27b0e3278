// The language server: answers the messages of one editor, as JSON-RPC
// over the protocol's framing. One thread: each message is handled to the
// end before the next is read; after every change of a document its
// errors are published, and those of the open documents that include it.
#pragma once

#include <iosfwd>
#include <map>
#include <string>

#include "analysis.h"
#include "command_reference.h"
#include "documents.h"
#include "json.h"

namespace kvlsp {

class Server {
public:
    // Answers and notifications go to `out`, notes about bad input to `log`.
    // The command reference is read once per process, not per server.
    Server(std::ostream& out, std::ostream& log, const CommandReference& reference);

    // Handles one message's bytes. False once the client has sent "exit".
    bool Handle(const std::string& body);
    // The process's exit code: 0 after shutdown and exit, else 1.
    int ExitCode() const { return shutdown_ ? 0 : 1; }

private:
    void Dispatch(const std::string& method, const Json& params, const Json* id);
    Json Request(const std::string& method, const Json& params);
    void Notification(const std::string& method, const Json& params);
    void Reply(const Json& id, Json result);
    void ReplyError(const Json& id, int code, const std::string& message);
    void Send(const Json& message);
    void Publish(const Document& document);
    // Publishes again the open documents that include the file of URI
    // `changed` (opened, changed or closed).
    void PublishIncluders(const std::string& changed);

    std::ostream& out_;
    std::ostream& log_;
    const CommandReference& reference_;
    DocumentStore documents_;
    std::map<std::string, Analysis> analyses_;  // by URI, of the text as it is now
    bool initialized_ = false;
    bool shutdown_ = false;
};

// Reads messages from `in` until "exit" or the end of the stream; the exit
// code for the process.
int RunLanguageServer(std::istream& in, std::ostream& out, std::ostream& log, const CommandReference& reference);

}  // namespace kvlsp
