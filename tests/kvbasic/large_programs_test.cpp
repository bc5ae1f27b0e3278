// Programs larger than one C++ function or file should be: a long main
// program becomes several functions, a large program several files, and
// what the compiler could not build is refused with its limit.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "build_size.h"
#include "support/child_process.h"
#include "support/large_basic_program.h"
#include "translator.h"

namespace {

using namespace testing_support;

kvbasic::TranslateResult TranslateText(const std::string& source, int partStatements = 0)
{
    kvbasic::TranslateRequest request;
    request.source = source;
    request.sourceName = "large.bas";
    request.programName = "large";
    request.partStatements = partStatements;
    request.partHeaderName = "program.h";
    return kvbasic::Translate(request);
}

std::string Errors(const kvbasic::TranslateResult& result)
{
    std::string text;
    for (const kvbasic::Diagnostic& error : result.errors) text += kvbasic::FormatDiagnostic("large.bas", error) + "\n";
    return text;
}

std::string Repeated(const std::string& line, int times)
{
    std::string text;
    for (int k = 0; k < times; ++k) text += line + "\n";
    return text;
}

TEST(KvBasicLargeProgramsTest, LongMainProgramBuiltInPiecesAndPartsRunsAsWrittenAndNamesItsLines)
{
    // 24,000 lines, one of them of 3,000 statements: more than one file of
    // the build holds.
    const LargeBasicProgram large = MakeLargeBasicProgram(24000, 3000);
    const kvbasic::TranslateResult translated = TranslateText(large.source, 20000);
    ASSERT_TRUE(translated.ok) << Errors(translated);
    EXPECT_GE(translated.code.parts.size(), 2u);
    EXPECT_NE(translated.code.header.find("void __MainGameSub_30();"), std::string::npos);
    EXPECT_NE(translated.code.parts[0].find("#include \"commands.h\"\n#include \"program.h\""), std::string::npos);

    ScratchFolder folder;
    std::ofstream(folder.File("large.bas")) << large.source;
    const std::string program = folder.File("large");
    {
        ChildProcess kvbasic(BuildProgram("kvbasic"), {"build", folder.File("large.bas"), "-O0", "-o", program},
                             {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache")}, folder.File("kvbasic.txt"));
        const ChildResult result = kvbasic.Wait(std::chrono::seconds(280));
        ASSERT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
    }
    ChildProcess child(program, {}, {"TMPDIR=" + folder.Path(), "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy"},
                       folder.File("stderr.txt"));
    const ChildResult result = child.Wait();
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("large.bas:" + std::to_string(large.errorLine) +
                                     ": runtime error 9: array index out of bounds\n" + large.errorLineText + "\n"),
              std::string::npos)
        << result.stderrText;
}

TEST(KvBasicLargeProgramsTest, WhatTheCompilerCouldNotBuildIsRefusedWithItsLimit)
{
    const int over = kvbasic::kMaxPieceStatements + 1;
    {
        const auto result = TranslateText("Grow\nEND\nSUB Grow\n" + Repeated("x = x + 1", over) + "ENDSUB\n");
        ASSERT_EQ(result.errors.size(), 1u) << Errors(result);
        EXPECT_EQ(Errors(result), "large.bas:3:1: error: SUB Grow is too long to build: 20,003 statements, at most "
                                  "20,000 in one SUB or FUNCTION; split it into several\n");
    }
    {
        const auto result = TranslateText("y = 1\nWHILE y < 2\n" + Repeated("  y = y + 1", over) + "WEND\nEND\n");
        ASSERT_EQ(result.errors.size(), 1u) << Errors(result);
        EXPECT_EQ(Errors(result), "large.bas:2:1: error: the main program is too long to build here: one block of "
                                  "20,003 statements (up to line 20004), at most 20,000 in one piece; move parts of it "
                                  "into SUBs\n");
    }
    {
        const auto result = TranslateText("GOTO done\n" + Repeated("x = x + 1", over) + "done:\nEND\n");
        ASSERT_EQ(result.errors.size(), 1u) << Errors(result);
        EXPECT_NE(Errors(result).find("large.bas:1:6: error: the main program is too long to build here: a stretch "
                                      "that GOTO jumps across of 20,00"),
                  std::string::npos)
            << Errors(result);
    }
    {
        const auto result = TranslateText(Repeated("' comment", kvbasic::kMaxProgramLines) + "END\n");
        EXPECT_EQ(Errors(result), "large.bas:1:1: error: the program is too large to build: 250,001 lines, at most "
                                  "250,000 (all its files together)\n");
    }
    {
        std::string line = "x = 1";
        for (int k = 0; k < kvbasic::kMaxProgramStatements; ++k) line += ": x = x + 1";
        const auto result = TranslateText(line + "\nEND\n");
        EXPECT_EQ(Errors(result), "large.bas:1:1: error: the program is too large to build: 250,002 statements, at "
                                  "most 250,000 (all its files together)\n");
    }
    // Just as long, the same in the main program is no block: it is cut
    // into functions, also within one line.
    {
        std::string line = "x = 1";
        for (int k = 0; k < over; ++k) line += ": x = x + 1";
        const auto result = TranslateText(Repeated("x = x + 1", over) + line + "\nEND\n");
        ASSERT_TRUE(result.ok) << Errors(result);
        EXPECT_NE(result.code.program.find("void __MainGameSub_22()\n{\n    __dLn(0, 20001);  x = x + 1;\n"),
                  std::string::npos);
    }
}

}  // namespace
