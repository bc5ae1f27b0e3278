#include "frame/error_report.h"

#include <cmath>
#include <cstring>

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

const KvSourceFile* FindSourceFile(double number)
{
    for (int k = 0; k < g_sourceFileCount; ++k)
        if (g_sourceFiles[k].number == number) return &g_sourceFiles[k];
    return nullptr;
}

}  // namespace

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

void ReportRuntimeError(std::FILE* out, double code, double line, double file)
{
    char number[64], lineText[64], fileText[64];
    NumberToText(code, number, sizeof number);
    // Editors count lines from 1; __dLn counts them from 0.
    NumberToText(line + 1, lineText, sizeof lineText);
    NumberToText(file, fileText, sizeof fileText);
    const KvSourceFile* source = FindSourceFile(file);
    const char* text = g_errorReason != nullptr ? g_errorReason : RuntimeErrorText(code);
    if (source == nullptr) {
        std::fprintf(out, "file %s, line %s: runtime error %s: %s\n", fileText, lineText, number, text);
        return;
    }
    std::fprintf(out, "%s:%s: runtime error %s: %s\n", source->name, lineText, number, text);
    if (line >= 0 && line < source->lineCount && line == std::floor(line))
        std::fprintf(out, "%s\n", source->lines[static_cast<int>(line)]);
}
