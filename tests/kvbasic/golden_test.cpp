// Golden translations: each program of tests/kvbasic/golden/NAME.bas
// (with the files it includes from golden/include/) translates to exactly
// NAME.cpp beside it (every number a double, but for whole_*.bas, which
// shows the loops that count in whole numbers), and all of them compile
// without a warning under -Wall -Wextra, also split into the program, its
// header and WinMain.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/child_process.h"
#include "translator.h"

namespace {

using testing_support::ReadWholeFile;

const std::string kGolden = std::string(KV_SOURCE_DIR) + "/tests/kvbasic/golden/";

// The first line where the texts differ, for the failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    std::size_t line = 1, start = 0;
    for (std::size_t k = 0; k < std::min(expected.size(), actual.size()); ++k) {
        if (expected[k] != actual[k]) break;
        if (expected[k] == '\n') {
            ++line;
            start = k + 1;
        }
    }
    auto lineAt = [&](const std::string& text) { return text.substr(start, text.find('\n', start) - start); };
    return "line " + std::to_string(line) + ":\n  expected: " + lineAt(expected) + "\n  actual:   " + lineAt(actual);
}

// Translates every golden program (for debugging or not) whole and split
// into the program, its header and WinMain, as the game is built, and
// compiles all of it with warnings as errors. Without debugging the whole
// program must equal its golden C++; with it, the checks of the line
// reports and the debugger's start must be there, and the tables of the
// globals, TYPEs and calls compile wherever the statements put them.
void TranslateAndCompileEachGoldenProgram(bool debug)
{
    testing_support::ScratchFolder folder;
    std::string compile = "c++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I" + std::string(KV_SOURCE_DIR) +
                          "/runtime -I" + folder.Path();
    int programs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kGolden)) {
        if (entry.path().extension() != ".bas") continue;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        kvbasic::TranslateRequest request;
        request.source = ReadWholeFile(entry.path().string());
        request.sourceName = name + ".bas";
        request.sourcePath = entry.path().string();  // INCLUDE reads beside it
        request.programName = name;
        request.debug = debug;
        // The golden C++ of whole_*.bas shows the loops that count in whole
        // numbers; the others show every number as a double. Each of those
        // is compiled with the whole-number loops as well.
        const bool wholeGolden = name.rfind("whole_", 0) == 0;
        request.integerPaths = wholeGolden;
        if (!wholeGolden && !debug) {
            kvbasic::TranslateRequest whole = request;
            whole.integerPaths = true;
            const kvbasic::TranslateResult withWholeLoops = kvbasic::Translate(whole);
            ASSERT_TRUE(withWholeLoops.ok);
            std::ofstream(folder.File(name + "_whole.cpp")) << withWholeLoops.code.program;
            compile += " " + folder.File(name + "_whole.cpp");
        }
        const kvbasic::TranslateResult result = kvbasic::Translate(request);
        ASSERT_TRUE(result.ok) << kvbasic::FormatDiagnostic(request.sourceName, result.errors.at(0));
        if (debug) {
            EXPECT_NE(result.code.program.find("if (--::g_debugCountdown < 0) [[unlikely]] ::__DebugTrap();"), std::string::npos);
            EXPECT_NE(result.code.program.find("::__DebugStart();"), std::string::npos);
        } else {
            const std::string expected = ReadWholeFile(kGolden + name + ".cpp");
            EXPECT_EQ(expected, result.code.program) << FirstDifference(expected, result.code.program);
        }
        std::ofstream(folder.File(name + ".cpp")) << result.code.program;
        compile += " " + folder.File(name + ".cpp");
        ++programs;
        request.headerName = name + "_split.h";
        const kvbasic::TranslateResult split = kvbasic::Translate(request);
        ASSERT_TRUE(split.ok);
        std::ofstream(folder.File(name + "_split.h")) << split.code.header;
        std::ofstream(folder.File(name + "_split.cpp")) << split.code.program;
        std::ofstream(folder.File(name + "_winmain.cpp")) << split.code.entry;
        compile += " " + folder.File(name + "_split.cpp") + " " + folder.File(name + "_winmain.cpp");
    }
    EXPECT_GE(programs, 5);
    compile += " 2> " + folder.File("errors.txt");
    EXPECT_EQ(std::system(compile.c_str()), 0) << ReadWholeFile(folder.File("errors.txt"));
}

TEST(KvBasicGoldenTest, EachStatementKindTranslatesToItsGoldenCppThatCompilesCleanly)
{
    TranslateAndCompileEachGoldenProgram(false);
}

TEST(KvBasicGoldenTest, EachProgramTranslatedForDebuggingCompilesCleanly)
{
    TranslateAndCompileEachGoldenProgram(true);
}

}  // namespace
