// The stack of running SUB and FUNCTION calls that the generated code
// keeps, and how a runtime error that ends the program shows it: the way
// the program got to the failing line, innermost call first.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>

#include <filesystem>
#endif
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/call_depth.h"
#include "core/error_report.h"
#include "core/runtime_state.h"

namespace {

const char* const kGameLines[] = {"DIM grid[3][3]", "x = SumAll(2)", "END"};
const char* const kGridLines[] = {"FUNCTION Cell(x, y)", "  RETURN grid[y][x]", "END FUNCTION"};
const KvSourceFile kFiles[] = {{0, "game.bas", kGameLines, 3}, {1, "lib/grid.bas", kGridLines, 3}};

// What ReportCalls writes for the stack as it is now, at the current line.
std::string CallsNow()
{
#ifdef _WIN32
    // Windows' C runtime has no stream into memory: a file read back.
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kvcalls-" + std::to_string(_getpid()) + ".txt");
    std::FILE* out = std::fopen(path.string().c_str(), "w+b");
    if (out == nullptr) return "(no file " + path.string() + ")";
    ReportCalls(out, g_callStack, g_callDepth, g_debugline, g_debugfile);
    std::string result;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) result += static_cast<char>(c);
    std::fclose(out);
    std::filesystem::remove(path);
    return result;
#else
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    ReportCalls(out, g_callStack, g_callDepth, g_debugline, g_debugfile);
    std::fclose(out);
    std::string result(text, size);
    std::free(text);
    return result;
#endif
}

std::string g_seen;  // the stack as the innermost call saw it

// A program as kvbasic writes it: a FUNCTION that calls none holds a
// __CallFrame, one that calls others a __CallDepthGuard.
double Cell()
{
    __CallFrame depth("FUNCTION Cell");
    __dLn(1, 1);
    g_seen = CallsNow();
    return 0;
}

double SumAll()
{
    __CallDepthGuard depth("FUNCTION SumAll");
    __dLn(0, 29);
    return Cell();
}

double Down(int levels)
{
    __CallDepthGuard depth("SUB Down");
    __dLn(0, 40 + levels);
    if (levels == 0) return Cell();
    return Down(levels - 1);
}

class CallStackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        __SetSourceFiles(kFiles, 2);
        g_callDepth = 0;
    }
    void TearDown() override { __SetSourceFiles(nullptr, 0); }
};

TEST_F(CallStackTest, AnErrorShowsTheCallsThatLedToItInnermostFirst)
{
    __dLn(0, 1);
    SumAll();
    EXPECT_EQ(g_seen,
              "  in FUNCTION Cell (lib/grid.bas:2)\n"
              "  called from FUNCTION SumAll (game.bas:30)\n"
              "  called from game.bas:2\n");
    // Back in the main program its own line is current again: an error
    // after the call, on the calling line, names that line.
    EXPECT_EQ(g_callDepth, 0);
    EXPECT_EQ(g_debugline, 1);
    EXPECT_EQ(g_debugfile, 0);
    // The main program itself calls nothing: no lines.
    EXPECT_EQ(CallsNow(), "");
}

TEST_F(CallStackTest, ADeepStackShowsItsEndsInTwentyLines)
{
    __dLn(0, 2);
    Down(29);  // 30 calls of Down, then Cell: 32 lines in all
    std::string expected = "  in FUNCTION Cell (lib/grid.bas:2)\n"
                           "  called from SUB Down (game.bas:41)\n";
    for (int level = 1; level <= 14; ++level)
        expected += "  called from SUB Down (game.bas:" + std::to_string(41 + level) + ")\n";
    expected += "  ... 13 more calls ...\n"
                "  called from SUB Down (game.bas:69)\n"
                "  called from SUB Down (game.bas:70)\n"
                "  called from game.bas:3\n";
    EXPECT_EQ(g_seen, expected);
    int lines = 0;
    for (char c : g_seen) lines += c == '\n';
    EXPECT_EQ(lines, kMaxCallLines);
    EXPECT_EQ(g_callDepth, 0);
}

TEST_F(CallStackTest, WithoutASourceTableTheLinesNameFileNumbers)
{
    __SetSourceFiles(nullptr, 0);
    __dLn(0, 1);
    SumAll();
    EXPECT_EQ(g_seen,
              "  in FUNCTION Cell (file 1, line 2)\n"
              "  called from FUNCTION SumAll (file 0, line 30)\n"
              "  called from file 0, line 2\n");
}

}  // namespace
