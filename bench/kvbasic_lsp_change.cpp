// How fast the language server answers a change: a program of 10 000
// lines (the game's source with its SUBs repeated under new names) is open
// in the server, and one line of it is edited (textDocument/didChange with
// a range, as editors send while typing); the answer is the document's
// diagnostics, written out. The baseline is the translator's parser and
// checker alone on the same text (what the server must do at least), the
// two in turn in the same process (one warm-up round, then repetitions:
// minimum and median of wall and main-thread CPU time). The goal is under
// 50 ms for the answer, judged on the median wall time. Prints RESULT rows
// (see bench/support/measure.h).
#include <algorithm>
#include <cstdio>
#include <string>

#include "checker.h"
#include "lsp/json.h"
#include "lsp/server.h"
#include "parser.h"
#include "support/measure.h"
#include "support/ten_thousand_lines.h"

namespace {

using kvlsp::Json;

std::string Message(const char* method, Json params, int id = 0)
{
    Json message = Json::Object().Set("jsonrpc", "2.0");
    if (id) message.Set("id", id);
    return message.Set("method", method).Set("params", std::move(params)).Dump();
}

}  // namespace

int main()
{
    const std::string source = bench::TenThousandLines();
    const long lines = std::count(source.begin(), source.end(), '\n');
    const char* uri = "file:///ten_thousand.bas";
    std::ostringstream out, log;
    const kvlsp::CommandReference reference(kvlsp::CommandReference::BuiltInMarkdown());
    kvlsp::Server server(out, log, reference);
    server.Handle(Message("initialize", Json::Object(), 1));
    server.Handle(Message("textDocument/didOpen",
                          Json::Object().Set("textDocument", Json::Object()
                                                                 .Set("uri", uri)
                                                                 .Set("languageId", "kvbasic")
                                                                 .Set("version", 1)
                                                                 .Set("text", source))));
    server.AnalyseStale();
    if (out.str().find("\"diagnostics\":[]") == std::string::npos) {
        std::fprintf(stderr, "the program of %ld lines has errors or no diagnostics came\n", lines);
        return 1;
    }

    // Each change makes line 5000 "n = 1", "n = 2", ... (a new text each time).
    int version = 1;
    auto change = [&] {
        ++version;
        const Json range = Json::Object()
                               .Set("start", Json::Object().Set("line", 5000).Set("character", 0))
                               .Set("end", Json::Object().Set("line", 5001).Set("character", 0));
        out.str("");
        server.Handle(Message("textDocument/didChange",
                              Json::Object()
                                  .Set("textDocument", Json::Object().Set("uri", uri).Set("version", version))
                                  .Set("contentChanges", Json::Array().Push(Json::Object()
                                                                                .Set("range", range)
                                                                                .Set("text", "n = " + std::to_string(version) + "\n")))));
        server.AnalyseStale();
        return out.str().size();
    };
    auto parseAndCheck = [&] {
        kvbasic::Diagnostics diagnostics;
        kvbasic::Program program = kvbasic::Parse(source, diagnostics);
        return kvbasic::Check(program, diagnostics).variables.size();
    };
    if (change() == 0 || out.str().find("publishDiagnostics") == std::string::npos) {
        std::fprintf(stderr, "a change was not answered with diagnostics\n");
        return 1;
    }

    volatile std::size_t sink = 0;
    bench::Samples answer, frontEnd;
    bench::Interleave(1, 21, {&answer, &frontEnd}, [&] { sink = change(); }, [&] { sink = parseAndCheck(); });
    std::printf("%ld lines\nchange answered %s\nparse and check %s\n", lines, bench::Summary(answer).c_str(),
                bench::Summary(frontEnd).c_str());

    const double goal = 0.05;
    bench::Result("kvbasic lsp: one-line change of a " + std::to_string(lines) +
                      "-line file answered with its diagnostics (min / median wall; min / median main-thread cpu); "
                      "ratio: parse and check alone over the answer",
                  bench::Duration(answer.minWall()) + " / " + bench::Duration(answer.medianWall()) + "; " +
                      bench::Duration(answer.minCpu()) + " / " + bench::Duration(answer.medianCpu()) + " cpu",
                  bench::Duration(frontEnd.minWall()) + " / " + bench::Duration(frontEnd.medianWall()) + "; " +
                      bench::Duration(frontEnd.minCpu()) + " / " + bench::Duration(frontEnd.medianCpu()) +
                      " cpu (parse and check only)",
                  bench::Number(frontEnd.medianWall() / answer.medianWall(), "%.3g"),
                  "< " + bench::Duration(goal) + " (median wall)", bench::Met(answer.medianWall() < goal));
    return 0;
}
