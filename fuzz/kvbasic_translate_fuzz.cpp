// Fuzzes the BASIC translator: a source goes through the lexer, parser,
// checker and, when accepted, the C++ emitter. It must never crash, hang or
// read out of bounds, a rejected source has errors on lines that exist, and
// the C++ of an accepted one compiles.
//
// An input whose first byte is below 9 is a recipe: the bytes after it
// choose the statements, expressions and commands of a program that is
// mostly valid, so most of these inputs reach the emitter; a recipe may
// also take a line of raw bytes from the input. Any other input is the
// source text itself (the seeds are real programs).
//
// Compiling is too slow for every input: the first accepted program and
// then one every KV_FUZZ_COMPILE_SECONDS (default 60) are compiled with
// the C++ compiler (-fsyntax-only, warnings as errors); KV_FUZZ_COMPILE_SECONDS=0
// compiles every accepted one (for replaying a corpus).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/command_table.h"
#include "parser.h"
#include "translator.h"

extern char** environ;

namespace {

// ---- Programs from recipes -------------------------------------------------

// The variables of a recipe's program: n0..n3 and s0$..s2$, the number
// array arr (two dimensions) and the string array texts$ (one).
class RecipeProgram {
public:
    explicit RecipeProgram(FuzzedDataProvider& bytes) : bytes_(bytes) {}

    std::string Text()
    {
        const int subs = Pick(4);
        if (Pick(4) == 0) Configuration();
        Lines(0, subs, false, 1 + Pick(24), "main");
        if (Pick(2)) lines_.push_back("END");
        for (int s = 0; s < subs; ++s) {
            if (Pick(2)) lines_.push_back("' sub " + std::to_string(s));
            lines_.push_back(std::string(Pick(2) ? "SUB" : "sub") + " sub" + std::to_string(s) + ":");
            Lines(1, subs, false, 1 + Pick(10), "sub" + std::to_string(s));
            lines_.push_back(Pick(3) ? "ENDSUB" : "END SUB");
        }
        std::string text;
        for (const std::string& line : lines_) text += line + (Pick(8) ? "\n" : "\r\n");
        return text;
    }

private:
    int Pick(int n) { return n <= 1 ? 0 : bytes_.ConsumeIntegralInRange(0, n - 1); }

    void Configuration()
    {
        static const char* const kSettings[] = {"KV_RESX = 320", "KV_RESY = 240", "KV_FULLSCREEN = 0",
                                                "KV_FRAMERATE = 30", "KV_DEBUG = 0", "KV_WANTMOUSE = 1",
                                                "KV_CAPTION = \"fuzz\""};
        for (int k = Pick(4); k >= 0; --k) lines_.push_back(kSettings[Pick(7)]);
    }

    std::string Literal()
    {
        switch (Pick(5)) {
        case 0: return std::to_string(Pick(1000));
        case 1: return "." + std::to_string(Pick(100));
        case 2: return std::to_string(Pick(10)) + "e" + std::to_string(Pick(40));
        case 3: return std::to_string(bytes_.ConsumeFloatingPointInRange<double>(0, 1e9));
        default: return std::to_string(Pick(3)) + "." + std::to_string(Pick(100));
        }
    }

    // Printable ASCII from the input's bytes (now and then a Latin-1
    // letter in UTF-8), never a line end: text that keeps the line valid.
    std::string Text(std::size_t most, bool quotes)
    {
        std::string text;
        for (char c : bytes_.ConsumeRandomLengthString(most)) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte == 0xFF) text += "\xC3\xA4";
            else if (byte % 95 + ' ' != '"' || quotes) text += static_cast<char>(byte % 95 + ' ');
        }
        return text;
    }

    std::string StringLiteral() { return "\"" + Text(12, false) + "\""; }

    std::string Number(int depth)
    {
        switch (depth > 3 ? Pick(3) : Pick(10)) {
        case 0: return Literal();
        case 1: return "n" + std::to_string(Pick(4));
        case 2: return "arr[" + Number(depth + 1) + "][" + Number(depth + 1) + "]";
        case 3: return Number(depth + 1) + " " + "+-*/"[Pick(4)] + " " + Number(depth + 1);
        case 4: return "(" + Number(depth + 1) + ")";
        case 5: return (Pick(2) ? "-" : "+") + Number(depth + 1);
        case 6: return "(" + Condition(depth + 1) + ")";
        case 7:
        case 8: return Call('n', depth + 1);
        default: return "LEN(" + String(depth + 1) + ")";
        }
    }

    std::string String(int depth)
    {
        switch (depth > 3 ? Pick(2) : Pick(6)) {
        case 0: return StringLiteral();
        case 1: return "s" + std::to_string(Pick(3)) + "$";
        case 2: return String(depth + 1) + " + " + (Pick(2) ? String(depth + 1) : Number(depth + 1));
        case 3: return "texts$[" + Number(depth + 1) + "]";
        case 4: return "(" + String(depth + 1) + ")";
        default: return Call('s', depth + 1);
        }
    }

    std::string Condition(int depth)
    {
        static const char* const kCompare[] = {"=", "<>", "<", ">", "<=", ">="};
        switch (depth > 3 ? 0 : Pick(5)) {
        case 0: return Number(depth + 1) + " " + kCompare[Pick(6)] + " " + Number(depth + 1);
        case 1: return String(depth + 1) + " " + kCompare[Pick(6)] + " " + String(depth + 1);
        case 2: return Condition(depth + 1) + (Pick(2) ? " AND " : " or ") + Condition(depth + 1);
        case 3: return "NOT (" + Condition(depth + 1) + ")";
        default: return Number(depth + 1);
        }
    }

    std::string Argument(char kind, int depth)
    {
        switch (kind) {
        case 'n': return Number(depth + 1);
        case 's': return String(depth + 1);
        case 'v': return Pick(2) ? Number(depth + 1) : String(depth + 1);
        case 'N': return Pick(3) ? "n" + std::to_string(Pick(4)) : "arr[0][" + Number(depth + 1) + "]";
        case 'S': return Pick(3) ? "s" + std::to_string(Pick(3)) + "$" : "texts$[" + Number(depth + 1) + "]";
        case 'V': return Pick(2) ? "n1" : "s1$";
        case 'a': return "arr";
        case 'A': return "texts$";
        default: return Pick(2) ? "arr" : "texts$";
        }
    }

    // The arguments of a command from the table, optional ones or not.
    std::string Arguments(const kvcommands::Command& command, int depth)
    {
        std::istringstream kinds(command.arguments);
        std::string list;
        int k = 0;
        for (std::string kind; kinds >> kind; ++k) {
            if (kind.size() > 1 && Pick(2)) break;
            list += (k ? ", " : "") + Argument(kind[0], depth);
        }
        return list;
    }

    // A command from the table; those spelt like a statement keyword (DIM,
    // END) have statements of their own.
    const kvcommands::Command& AnyCommand()
    {
        for (;;) {
            const kvcommands::Command& command = kvcommands::kCommands[Pick(kvcommands::kCommandCount)];
            if (!kvbasic::IsKeyword(command.name) || bytes_.remaining_bytes() == 0) return command;
        }
    }

    std::string Call(char result, int depth)
    {
        for (int tries = 0; tries < 8; ++tries) {
            const kvcommands::Command& command = AnyCommand();
            if (command.result != result) continue;
            const std::string arguments = Arguments(command, depth);
            if (arguments.empty() && Pick(2)) return command.name;
            return std::string(command.name) + "(" + arguments + ")";
        }
        return result == 'n' ? "0" : "\"\"";
    }

    void Lines(int indent, int subs, bool inLoop, int count, const std::string& block)
    {
        for (int k = 0; k < count && bytes_.remaining_bytes() > 0; ++k) Statement(indent, subs, inLoop, block);
    }

    void Statement(int indent, int subs, bool inLoop, const std::string& block)
    {
        const std::string pad(2 * static_cast<std::size_t>(indent), ' ');
        const int body = 1 + Pick(3);
        switch (indent > 4 ? Pick(5) : Pick(20)) {
        case 0: lines_.push_back(pad + "n" + std::to_string(Pick(4)) + " = " + Number(0)); break;
        case 1: lines_.push_back(pad + "s" + std::to_string(Pick(3)) + "$ = " + String(0)); break;
        case 2: lines_.push_back(pad + "arr[" + Number(1) + "][" + Number(1) + "] = " + Number(0)); break;
        case 3: lines_.push_back(pad + "texts$[" + Number(1) + "] = " + String(0)); break;
        case 4: {
            const kvcommands::Command& command = AnyCommand();
            const std::string arguments = Arguments(command, 0);
            lines_.push_back(pad + command.name + (Pick(4) ? " " + arguments : "(" + arguments + ")"));
            break;
        }
        case 5:
            lines_.push_back(pad + "IF " + Condition(0) + " THEN " +
                             (Pick(2) ? "n0 = " + Number(1) : "s0$ = " + String(1)) +
                             (Pick(2) ? " ELSE n1 = " + Number(1) : ""));
            break;
        case 6:
            if (subs > 0) lines_.push_back(pad + "GOSUB sub" + std::to_string(Pick(subs)));
            else if (inLoop) lines_.push_back(pad + (Pick(2) ? "BREAK" : "CONTINUE"));
            else if (block != "main") lines_.push_back(pad + "RETURN");
            break;
        case 7:
            lines_.push_back(pad + "IF " + Condition(0) + (Pick(2) ? " THEN" : ""));
            Lines(indent + 1, subs, inLoop, body, block);
            for (int e = Pick(3); e > 0; --e) {
                lines_.push_back(pad + "ELSEIF " + Condition(0));
                Lines(indent + 1, subs, inLoop, body, block);
            }
            if (Pick(2)) {
                lines_.push_back(pad + "ELSE");
                Lines(indent + 1, subs, inLoop, body, block);
            }
            lines_.push_back(pad + (Pick(2) ? "ENDIF" : "END IF"));
            break;
        case 8: {
            const std::string v = "n" + std::to_string(Pick(4));
            lines_.push_back(pad + "FOR " + v + " = " + Number(1) + " TO " + Number(1) +
                             (Pick(2) ? " STEP " + Number(1) : ""));
            Lines(indent + 1, subs, true, body, block);
            lines_.push_back(pad + (Pick(2) ? "NEXT " + v : "NEXT"));
            break;
        }
        case 9:
            lines_.push_back(pad + "WHILE " + Condition(0));
            Lines(indent + 1, subs, true, body, block);
            lines_.push_back(pad + "WEND");
            break;
        case 10:
            lines_.push_back(pad + "REPEAT");
            Lines(indent + 1, subs, true, body, block);
            lines_.push_back(pad + "UNTIL " + Condition(0));
            break;
        case 11: lines_.push_back(pad + "DIM arr[" + Number(1) + "][" + Number(1) + "]"); break;
        case 12: lines_.push_back(pad + "DIM texts$[" + Number(1) + "]"); break;
        case 13: lines_.push_back(pad + "PRINT " + (Pick(2) ? Number(0) : String(0)) + ", 1, 2  ' a comment"); break;
        case 14: {
            // A label of this block, and a jump to it.
            const std::string label = "L" + block + "_" + std::to_string(labels_++);
            lines_.push_back(label + ":" + (Pick(2) ? "" : " n2 = n2 + 1"));
            if (Pick(2)) lines_.push_back(pad + "IF n2 < 3 THEN GOTO " + label);
            break;
        }
        case 15: lines_.push_back(pad + (Pick(2) ? "REM " : "' ") + Text(20, true)); break;
        case 16: lines_.push_back(""); break;
        case 17:
            if (inLoop) lines_.push_back(pad + (Pick(2) ? "BREAK" : "CONTINUE"));
            else if (Pick(4) == 0) lines_.push_back(pad + "END");
            break;
        case 18:
            lines_.push_back(pad + "n3 = " + Call('n', 0));
            break;
        default:
            // Now and then a line of the input's text: syntax the recipes
            // do not know.
            if (Pick(8) == 0) lines_.push_back(pad + Text(60, true));
            else lines_.push_back(pad + "n0 = n0 + 1");
            break;
        }
    }

    FuzzedDataProvider& bytes_;
    std::vector<std::string> lines_;
    int labels_ = 0;
};

// ---- Compiling a sample of the output --------------------------------------

std::string ScratchFolder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/kvfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        static std::string made = pattern;
        std::atexit([] {
            for (const char* name : {"/fuzz.cpp", "/fuzz.h", "/fuzz_entry.cpp", "/errors.txt"})
                std::remove((made + name).c_str());
            std::remove(made.c_str());
        });
        return pattern;
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the C++ compiler over the generated files; its messages when it fails.
bool Compiles(const kvbasic::TranslateRequest& request, const kvbasic::GeneratedCode& code, std::string* said)
{
    const std::string folder = ScratchFolder();
    const std::string errors = folder + "/errors.txt";
    std::vector<std::string> arguments = {"c++", "-std=c++20", "-fsyntax-only", "-Wall", "-Wextra", "-Werror",
                                          "-I" KV_FUZZ_RUNTIME_DIR, "-I" + folder};
    WriteFile(folder + "/fuzz.cpp", code.program);
    arguments.push_back(folder + "/fuzz.cpp");
    if (!request.headerName.empty()) {
        WriteFile(folder + "/" + request.headerName, code.header);
        WriteFile(folder + "/fuzz_entry.cpp", code.entry);
        arguments.push_back(folder + "/fuzz_entry.cpp");
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *said = "cannot start c++";
        return false;
    }
    // libFuzzer's timer signal interrupts the wait now and then.
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) {
            *said = "cannot wait for c++";
            return false;
        }
    *said = ReadFile(errors);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool TimeToCompile()
{
    using Clock = std::chrono::steady_clock;
    static const int seconds = [] {
        const char* value = std::getenv("KV_FUZZ_COMPILE_SECONDS");
        return value != nullptr ? std::atoi(value) : 60;
    }();
    static bool first = true;
    static Clock::time_point last;
    const Clock::time_point now = Clock::now();
    if (!first && now - last < std::chrono::seconds(seconds)) return false;
    first = false;
    last = now;
    return true;
}

// With KV_FUZZ_STATS set, how many inputs reached the emitter is told at exit.
void Count(bool accepted)
{
    static long inputs = 0, emitted = 0;
    static const bool wanted = [] {
        if (std::getenv("KV_FUZZ_STATS") == nullptr) return false;
        std::atexit([] { std::fprintf(stderr, "kvbasic fuzz: %ld of %ld inputs accepted and emitted\n", emitted, inputs); });
        return true;
    }();
    if (!wanted) return;
    ++inputs;
    if (accepted) ++emitted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kvbasic::TranslateRequest request;
    if (size > 0 && data[0] < 9) {
        FuzzedDataProvider bytes(data + 1, size - 1);
        request.source = RecipeProgram(bytes).Text();
    } else {
        request.source.assign(reinterpret_cast<const char*>(data), size);
    }
    request.sourceName = "fuzz.bas";
    request.readFile = nullptr;  // the input alone: INCLUDE reads no files
    request.programName = "fuzz";
    request.headerName = size % 2 ? "fuzz.h" : "";
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    const long lines = std::count(request.source.begin(), request.source.end(), '\n') + 1;
    for (const kvbasic::Diagnostic& error : result.errors)
        if (error.line < 1 || error.line > lines || error.message.empty()) std::abort();
    if (result.ok == !result.errors.empty()) std::abort();

    Count(result.ok);
    std::string said;
    if (result.ok && TimeToCompile() && !Compiles(request, result.code, &said)) {
        std::fprintf(stderr, "an accepted program does not compile:\n%s\n---- the compiler said:\n%s\n",
                     request.source.c_str(), said.c_str());
        std::abort();
    }
    return 0;
}
