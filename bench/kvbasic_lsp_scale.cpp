// How the language server's work grows with its input: the diagnostics of
// a one-line program of many statements (0.25, 1 and 4 MB), the
// diagnostics and the outline (documentSymbol) of programs of 10 000 and
// 100 000 SUBs, and a hover after a burst of 1 000 changes of a
// 10 000-line file. The baseline of each is the translator's parser and
// checker alone on the same text, the least the server must do (for the
// burst: one analysis of the file, what merged changes cost). The goals
// ask for linear work: the answer within a few times the front end's time,
// and 4 times (10 times) the input costing about 4 (10) times as much.
// Prints RESULT rows (see bench/support/measure.h).
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

#include "checker.h"
#include "include_files.h"
#include "lsp/json.h"
#include "lsp/server.h"
#include "parser.h"
#include "support/measure.h"
#include "support/ten_thousand_lines.h"

namespace {

using kvlsp::Json;

const char* const kUri = "file:///scale.bas";

std::string Message(const char* method, Json params, int id = 0)
{
    Json message = Json::Object().Set("jsonrpc", "2.0");
    if (id) message.Set("id", id);
    return message.Set("method", method).Set("params", std::move(params)).Dump();
}

std::string Framed(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

std::string OpenMessage(const std::string& text)
{
    return Message("textDocument/didOpen",
                   Json::Object().Set("textDocument", Json::Object()
                                                          .Set("uri", kUri)
                                                          .Set("languageId", "kvbasic")
                                                          .Set("version", 1)
                                                          .Set("text", text)));
}

const kvlsp::CommandReference& Reference()
{
    static const kvlsp::CommandReference reference(kvlsp::CommandReference::BuiltInMarkdown());
    return reference;
}

// One line of `bytes` bytes of statements: v0 = 1 : v1 = v0 + 1 : ...
std::string OneLine(std::size_t bytes)
{
    std::string line;
    for (int k = 0; line.size() < bytes; ++k)
        line += (k ? " : " : "") + std::string("v") + std::to_string(k % 5000) + " = " + std::to_string(k) + " + 1";
    return line + "\n";
}

std::string ManySubs(int count)
{
    std::string program = "GOSUB s0\nEND\n";
    for (int k = 0; k < count; ++k)
        program += "SUB s" + std::to_string(k) + ":\n  n = n + " + std::to_string(k) + "\nENDSUB\n";
    return program;
}

// What `kvbasic translate` does before it writes C++: the same reading of
// the program (its INCLUDEs, the block tree) and the checker.
std::size_t ParseAndCheck(const std::string& text)
{
    kvbasic::Diagnostics diagnostics;
    kvbasic::Program program = kvbasic::ParseProgram(text, "scale.bas", "", kvbasic::SourceReader(), diagnostics);
    return kvbasic::Check(program, diagnostics).variables.size();
}

// The server's diagnostics of `text` opened in a new server: the bytes written.
std::size_t Diagnose(const std::string& text)
{
    std::ostringstream out, log;
    kvlsp::Server server(out, log, Reference());
    server.Handle(Message("initialize", Json::Object(), 1));
    server.Handle(OpenMessage(text));
    server.AnalyseStale();
    return out.str().size();
}

volatile std::size_t sink = 0;

struct Timing {
    double ours = 0, front = 0;  // minimum wall seconds
};

Timing Measure(int repetitions, const std::function<std::size_t()>& ours, const std::string& text)
{
    bench::Samples answer, frontEnd;
    bench::Interleave(0, repetitions, {&answer, &frontEnd}, [&] { sink = ours(); }, [&] { sink = ParseAndCheck(text); });
    return {answer.minWall(), frontEnd.minWall()};
}

void Row(const std::string& figure, const Timing& timing, double goalRatio)
{
    const double ratio = timing.ours / timing.front;
    bench::Result(figure + " (min wall); ratio: the answer over parse and check alone", bench::Duration(timing.ours),
                  bench::Duration(timing.front) + " (parse and check only)", bench::Number(ratio, "%.3g"),
                  "< " + bench::Number(goalRatio, "%g") + " x parse and check", bench::Met(ratio < goalRatio));
}

void Growth(const std::string& figure, double small, double large, double inputRatio)
{
    const double growth = large / small;
    bench::Result(figure, bench::Duration(large), bench::Duration(small), bench::Number(growth, "%.3g"),
                  "< " + bench::Number(inputRatio * 1.5, "%g") + " (linear: " + bench::Number(inputRatio, "%g") + ")",
                  bench::Met(growth < inputRatio * 1.5));
}

}  // namespace

int main()
{
    // One line of many statements.
    double oneMegabyte = 0;
    for (const double megabytes : {0.25, 1.0, 4.0}) {
        const std::string text = OneLine(static_cast<std::size_t>(megabytes * (1 << 20)));
        const Timing timing = Measure(3, [&] { return Diagnose(text); }, text);
        Row("kvbasic lsp: diagnostics of a one-line program of " + bench::Number(megabytes, "%g") + " MB", timing, 3);
        if (megabytes == 1.0) oneMegabyte = timing.ours;
        if (megabytes == 4.0)
            Growth("kvbasic lsp: diagnostics of a one-line program, 4 MB over 1 MB (min wall); ratio: growth", oneMegabyte,
                   timing.ours, 4);
    }

    // Many SUBs: diagnostics and the outline.
    double diagnostics10k = 0, outline10k = 0;
    for (const int subs : {10000, 100000}) {
        const std::string text = ManySubs(subs);
        const std::string count = std::to_string(subs / 1000) + "k";
        const Timing diagnosed = Measure(3, [&] { return Diagnose(text); }, text);
        Row("kvbasic lsp: diagnostics of a program of " + count + " SUBs", diagnosed, 3);

        std::ostringstream out, log;
        kvlsp::Server server(out, log, Reference());
        server.Handle(Message("initialize", Json::Object(), 1));
        server.Handle(OpenMessage(text));
        server.AnalyseStale();
        const std::string request =
            Message("textDocument/documentSymbol", Json::Object().Set("textDocument", Json::Object().Set("uri", kUri)), 2);
        bench::Samples outline, frontEnd;
        bench::Interleave(0, 3, {&outline, &frontEnd}, [&] {
            out.str("");
            server.Handle(request);
            sink = out.str().size();
        }, [&] { sink = ParseAndCheck(text); });
        if (out.str().find("\"name\":\"s" + std::to_string(subs - 1) + "\"") == std::string::npos) {
            std::fprintf(stderr, "the outline of %d SUBs misses the last one\n", subs);
            return 1;
        }
        Row("kvbasic lsp: documentSymbol of a program of " + count + " SUBs", {outline.minWall(), frontEnd.minWall()}, 3);
        if (subs == 10000) {
            diagnostics10k = diagnosed.ours;
            outline10k = outline.minWall();
        } else {
            Growth("kvbasic lsp: diagnostics of 100k SUBs over 10k (min wall); ratio: growth", diagnostics10k,
                   diagnosed.ours, 10);
            Growth("kvbasic lsp: documentSymbol of 100k SUBs over 10k (min wall); ratio: growth", outline10k,
                   outline.minWall(), 10);
        }
    }

    // A burst of changes, then a hover: one stream, as an editor sends it
    // while the server is busy. Changes are merged: the hover waits for
    // one analysis of the latest text, not for one per change.
    const std::string& source = bench::TenThousandLines();
    std::string stream = Framed(Message("initialize", Json::Object(), 1)) + Framed(OpenMessage(source));
    for (int version = 2; version <= 1001; ++version) {
        const Json range = Json::Object()
                               .Set("start", Json::Object().Set("line", 5000).Set("character", 0))
                               .Set("end", Json::Object().Set("line", 5001).Set("character", 0));
        stream += Framed(Message("textDocument/didChange",
                                 Json::Object()
                                     .Set("textDocument", Json::Object().Set("uri", kUri).Set("version", version))
                                     .Set("contentChanges", Json::Array().Push(Json::Object().Set("range", range).Set(
                                                                "text", "n = " + std::to_string(version) + "\n")))));
    }
    stream += Framed(Message("textDocument/hover",
                             Json::Object()
                                 .Set("textDocument", Json::Object().Set("uri", kUri))
                                 .Set("position", Json::Object().Set("line", 5000).Set("character", 0)),
                             2));
    stream += Framed(Message("exit", Json::Object()));
    std::string answered;
    bench::Samples burst, once;
    bench::Interleave(0, 3, {&burst, &once}, [&] {
        std::istringstream in(stream);
        std::ostringstream out, log;
        kvlsp::RunLanguageServer(in, out, log, Reference());
        answered = out.str();
        sink = answered.size();
    }, [&] { sink = Diagnose(source); });
    if (answered.find("\"id\":2,\"result\"") == std::string::npos) {
        std::fprintf(stderr, "the hover after the burst was not answered\n");
        return 1;
    }
    const double ratio = burst.minWall() / once.minWall();
    bench::Result("kvbasic lsp: hover after 1000 changes of a 10000-line file, from the stream (min wall); "
                  "ratio: over one analysis of the file",
                  bench::Duration(burst.minWall()), bench::Duration(once.minWall()) + " (one analysis)",
                  bench::Number(ratio, "%.3g"), "< 5 x one analysis", bench::Met(ratio < 5));
    return 0;
}
