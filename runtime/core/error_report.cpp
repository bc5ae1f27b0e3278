#include "core/error_report.h"

#include <cmath>
#include <cstring>
#include <string>

#include "core/kvstr.h"

namespace {

const KvSourceFile* g_sourceFiles = nullptr;
int g_sourceFileCount = 0;
const char* g_errorReason = nullptr;  // set just before a fatal error

struct ErrorText {
    int code;
    const char* text;
};

// Every error number the runtime raises.
constexpr ErrorText kErrorTexts[] = {
    {3, "file or media missing or unreadable"},
    {7, "out of memory or value out of range"},
    {8, "array used before DIM"},
    {9, "array index out of bounds"},
    {28, "calls nested too deep"},
};

}  // namespace

const KvSourceFile* FindSourceFile(double number)
{
    for (int k = 0; k < g_sourceFileCount; ++k)
        if (g_sourceFiles[k].number == number) return &g_sourceFiles[k];
    return nullptr;
}

void __SetSourceFiles(const KvSourceFile* files, int count)
{
    g_sourceFiles = files;
    g_sourceFileCount = files == nullptr ? 0 : count;
}

void SetRuntimeErrorReason(const char* reason) { g_errorReason = reason; }

const char* RuntimeErrorText(double code)
{
    for (const ErrorText& entry : kErrorTexts)
        if (entry.code == code) return entry.text;
    return "unknown error";
}

std::string RuntimeErrorMessage(double code)
{
    char number[64];
    NumberToText(code, number, sizeof number);
    const char* text = g_errorReason != nullptr ? g_errorReason : RuntimeErrorText(code);
    return std::string("runtime error ") + number + ": " + text;
}

void ReportRuntimeError(std::FILE* out, double code, double line, double file)
{
    char lineText[64], fileText[64];
    // Editors count lines from 1; __dLn counts them from 0.
    NumberToText(line + 1, lineText, sizeof lineText);
    NumberToText(file, fileText, sizeof fileText);
    const KvSourceFile* source = FindSourceFile(file);
    const std::string message = RuntimeErrorMessage(code);
    if (source == nullptr) {
        std::fprintf(out, "file %s, line %s: %s\n", fileText, lineText, message.c_str());
        return;
    }
    std::fprintf(out, "%s:%s: %s\n", source->name, lineText, message.c_str());
    if (line >= 0 && line < source->lineCount && line == std::floor(line))
        std::fprintf(out, "%s\n", source->lines[static_cast<int>(line)]);
}

namespace {

// "game.bas:30" (lines counted from 1), or "file 0, line 30" for a file the
// program did not list.
std::string Place(double file, double line)
{
    char lineText[64], fileText[64];
    NumberToText(line + 1, lineText, sizeof lineText);
    const KvSourceFile* source = FindSourceFile(file);
    if (source != nullptr) return std::string(source->name) + ":" + lineText;
    NumberToText(file, fileText, sizeof fileText);
    return std::string("file ") + fileText + ", line " + lineText;
}

}  // namespace

void ReportCalls(std::FILE* out, const KvCallFrame* frames, int count, double line, double file)
{
    if (frames == nullptr || count <= 0) return;
    // Line k (0: innermost) of the count + 1 lines the whole stack takes.
    auto lineOf = [&](int k) {
        if (k == 0) return "  in " + std::string(frames[count - 1].callee) + " (" + Place(file, line) + ")";
        const KvCallFrame& call = frames[count - k];  // made from the line named here
        const std::string where = Place(call.callerFile, call.callerLine);
        if (k == count) return "  called from " + where;
        return "  called from " + std::string(frames[count - k - 1].callee) + " (" + where + ")";
    };
    const int total = count + 1;
    // A deeper stack shows its innermost lines and, after a line saying how
    // many are left out, its outermost three, which lead from the main program.
    constexpr int kOutermost = 3;
    const int innermost = total <= kMaxCallLines ? total : kMaxCallLines - 1 - kOutermost;
    for (int k = 0; k < innermost; ++k) std::fprintf(out, "%s\n", lineOf(k).c_str());
    if (total <= kMaxCallLines) return;
    std::fprintf(out, "  ... %d more calls ...\n", total - innermost - kOutermost);
    for (int k = total - kOutermost; k < total; ++k) std::fprintf(out, "%s\n", lineOf(k).c_str());
}
