// BASIC programs built by kvbasic into native programs and run under the
// test's X display: what they draw (a screenshot) and what they leave in
// the error log, whose lines name the lines of the BASIC source.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/bmp_picture.h"
#include "support/child_process.h"

namespace {

using namespace testing_support;
using game_testing::BmpPicture;
using game_testing::Colour;

const std::string kPrograms = std::string(KV_SOURCE_DIR) + "/tests/kvbasic/programs/";

// Builds the program with kvbasic; false (with kvbasic's output) on failure.
// The precompiled runtime header goes to the scratch folder's cache.
bool Build(const std::string& source, const std::string& program, const ScratchFolder& folder, std::string& output,
           std::vector<std::string> env = {})
{
    env.push_back("TMPDIR=" + folder.Path());
    env.push_back("XDG_CACHE_HOME=" + folder.File("cache"));
    ChildProcess kvbasic(BuildProgram("kvbasic"), {"build", source, "-o", program}, env, folder.File("kvbasic.txt"));
    const ChildResult result = kvbasic.Wait(std::chrono::seconds(240));
    output = result.stderrText;
    return result.exited && result.exitCode == 0;
}

TEST(KvBasicProgramsTest, StatementsRunAsWrittenAndArrayErrorsNameTheBasicLine)
{
    ScratchFolder folder;
    const std::string program = folder.File("statements");
    std::string output;
    ASSERT_TRUE(Build(kPrograms + "statements.bas", program, folder, output)) << output;

    std::ofstream(folder.File("input.txt")) << "3 screenshot " << folder.File("shot.bmp") << "\n";
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "KV_INPUT_SCRIPT=" + folder.File("input.txt"),
                                          "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy"};
    {
        ChildProcess child(program, {}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        EXPECT_EQ(result.exitCode, 0) << result.stderrText;
        EXPECT_EQ(result.stderrText.find("runtime error"), std::string::npos) << result.stderrText;
        // END on line 110 of the source (counted from 0), no error.
        const std::vector<std::string> log = ErrorLogLines(folder.Path());
        ASSERT_GE(log.size(), 5u);
        EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
                  (std::vector<std::string>{"-End On Line", "0", "110", "110", "0"}));
        // Green: every check of the program passed.
        const BmpPicture shot(folder.File("shot.bmp"));
        const Colour square = shot.At(20, 20);
        EXPECT_EQ(square.r, 0);
        EXPECT_EQ(square.g, 255);
        EXPECT_EQ(square.b, 0);
    }
    {
        // m[3][0] on line 102: index out of bounds, a fatal error 9 there.
        ChildProcess child(program, {"array"}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        // The person who started it sees the error, counted as editors count
        // lines, and the line itself; the exit code says it failed.
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.stderrText.find("statements.bas:103: runtime error 9: array index out of bounds\n"
                                         "IF GETCOMMANDLINE$ = \"array\" THEN m[3][0] = 1\n"),
                  std::string::npos)
            << result.stderrText;
        const std::vector<std::string> log = ErrorLogLines(folder.Path());
        ASSERT_GE(log.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
                  (std::vector<std::string>{"9", "102", "102", "0"}));
    }
    {
        // m[3][1] read inside an expression on line 124, in a loop between
        // comment lines (which report no line of their own): error 9 there.
        ChildProcess child(program, {"expression"}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.stderrText.find("statements.bas:125: runtime error 9: array index out of bounds\n"
                                         "    total = total + m[i][1] * 2\n"),
                  std::string::npos)
            << result.stderrText;
        const std::vector<std::string> log = ErrorLogLines(folder.Path());
        ASSERT_GE(log.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
                  (std::vector<std::string>{"9", "124", "124", "0"}));
    }
    {
        // READ past the last DATA item on line 104: a fatal error 7 there,
        // named for what happened rather than by the number's general text.
        ChildProcess child(program, {"data"}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        EXPECT_NE(result.stderrText.find("statements.bas:105: runtime error 7: READ past the last DATA item\n"),
                  std::string::npos)
            << result.stderrText;
        const std::vector<std::string> log = ErrorLogLines(folder.Path());
        ASSERT_GE(log.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
                  (std::vector<std::string>{"7", "104", "104", "0"}));
    }
}

// `kvbasic run` starts the program in the folder of its source: it reads
// its files there and what it writes stays there; --media names another
// folder. A runtime error reaches the terminal and kvbasic's exit code.
TEST(KvBasicProgramsTest, RunUsesTheSourceFolderAndReportsRuntimeErrors)
{
    ScratchFolder folder;
    const std::string game = folder.File("game"), other = folder.File("other");
    std::filesystem::create_directories(game);
    std::filesystem::create_directories(other);
    std::ofstream(game + "/probe.bas") << "GETFILE \"data.txt\", 0, t$\n"
                                          "PUTFILE \"save.txt\", 0, t$ + \" seen\"\n"
                                          "IF GETCOMMANDLINE$ = \"fail\"\n"
                                          "    DIM a[2]\n"
                                          "    a[5] = 1\n"
                                          "ENDIF\n"
                                          "END\n";
    for (const std::string& place : {game, other}) {
        std::ofstream(place + "/data.txt") << (place == game ? "beside" : "elsewhere") << "\r\n";
        std::ofstream(place + "/save.txt") << "old\r\n";
    }
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache"),
                                          "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"run", game + "/probe.bas"});
        ChildProcess kvbasic(BuildProgram("kvbasic"), args, env, folder.File("run.txt"));
        return kvbasic.Wait(std::chrono::seconds(240));
    };

    ChildResult result = run({});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_EQ(ReadWholeFile(game + "/save.txt"), "beside seen\r\n");

    result = run({"--media", other, "--", "fail"});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("probe.bas:5: runtime error 9: array index out of bounds\n    a[5] = 1\n"),
              std::string::npos)
        << result.stderrText;
    // The line files are written back however the program ends.
    EXPECT_EQ(ReadWholeFile(other + "/save.txt"), "elsewhere seen\r\n");
    EXPECT_EQ(ReadWholeFile(game + "/save.txt"), "beside seen\r\n");

    // The runtime header was precompiled once, into the user's cache.
    int precompiled = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.File("cache/kvbasic")))
        precompiled += entry.path().filename() == "commands.h.gch";
    EXPECT_GE(precompiled, 1);
}

// FUNCTIONs and SUBs with parameters and LOCALs, run through `kvbasic run`:
// recursion, locals of one call, arrays by reference, strings by value. A
// recursion without end is runtime error 28 on the line of the call, with
// the error log complete, not a crash.
TEST(KvBasicProgramsTest, FunctionsRecurseWithTheirOwnLocalsAndTooDeepIsAnError)
{
    ScratchFolder folder;
    const std::string source = folder.File("functions.bas");
    std::filesystem::copy_file(kPrograms + "functions.bas", source);
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache"),
                                          "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"};
    auto run = [&](std::vector<std::string> args) {
        std::ofstream(folder.File("results.txt")) << "";
        args.insert(args.begin(), {"run", source});
        ChildProcess kvbasic(BuildProgram("kvbasic"), args, env, folder.File("run.txt"));
        return kvbasic.Wait(std::chrono::seconds(240));
    };

    ChildResult result = run({});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_EQ(ReadWholeFile(folder.File("results.txt")),
              "fact 362880\r\n"
              "fib 6765\r\n"
              "expr 25 1\r\n"
              "loop 4 30\r\n"
              "flood 50 2 0\r\n"
              ":\r\n"
              "string keep keep!\r\n"
              "digits 9051\r\n"
              "bumps 2\r\n");

    result = run({"--", "deep"});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("functions.bas:73: runtime error 28: calls nested too deep\n"
                                     "  RETURN Forever(k + 1)\n"
                                     "  in FUNCTION Forever (functions.bas:73)\n"
                                     "  called from FUNCTION Forever (functions.bas:73)\n"),
              std::string::npos)
        << result.stderrText;
    // Thousands of calls in 20 lines: the innermost, how many are left out,
    // and the outermost, which lead back to the main program's line.
    const std::size_t trace = result.stderrText.find("  in FUNCTION Forever");
    const std::size_t end = result.stderrText.find("  called from functions.bas:8\n", trace);
    ASSERT_NE(end, std::string::npos) << result.stderrText;
    const std::string calls = result.stderrText.substr(trace, end - trace);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), 19) << calls;
    EXPECT_NE(calls.find(" more calls ...\n"), std::string::npos) << calls;
    const std::vector<std::string> log = ErrorLogLines(folder.Path());
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
              (std::vector<std::string>{"-End On Line", "28", "72", "72", "0"}));
}

// A runtime error in a FUNCTION of an included library shows, under the
// failing line, the calls that led there, innermost first; an error on a
// line after a call returned names that line, not one of the call's.
TEST(KvBasicProgramsTest, RuntimeErrorShowsTheCallsThatLedToIt)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder.File("lib"));
    std::ofstream(folder.File("game.bas")) << "DIM grid[3][3]\n"
                                              "IF GETCOMMANDLINE$ = \"inside\" THEN total = SumAll(5)\n"
                                              "IF GETCOMMANDLINE$ = \"after\" THEN total = SumAll(1) + grid[7][0]\n"
                                              "END\n"
                                              "INCLUDE \"lib/grid.bas\"\n"
                                              "FUNCTION SumAll(n)\n"
                                              "  LOCAL s\n"
                                              "  FOR i = 0 TO n\n"
                                              "    s = s + Cell(i, i)\n"
                                              "  NEXT\n"
                                              "  RETURN s\n"
                                              "END FUNCTION\n";
    std::ofstream(folder.File("lib/grid.bas")) << "' Reading the grid\n"
                                                  "FUNCTION Cell(x, y)\n"
                                                  "  RETURN grid[y][x]\n"
                                                  "END FUNCTION\n";
    const std::string program = folder.File("game");
    std::string output;
    ASSERT_TRUE(Build(folder.File("game.bas"), program, folder, output)) << output;
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy",
                                          "KV_WINDOWED=1"};
    {
        ChildProcess child(program, {"inside"}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.stderrText.find("lib/grid.bas:3: runtime error 9: array index out of bounds\n"
                                         "  RETURN grid[y][x]\n"
                                         "  in FUNCTION Cell (lib/grid.bas:3)\n"
                                         "  called from FUNCTION SumAll (game.bas:9)\n"
                                         "  called from game.bas:2\n"),
                  std::string::npos)
            << result.stderrText;
        // The error log keeps its five lines: line 2 of lib/grid.bas (from 0), file 1.
        const std::vector<std::string> log = ErrorLogLines(folder.Path());
        ASSERT_GE(log.size(), 5u);
        EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
                  (std::vector<std::string>{"-End On Line", "9", "2", "2", "1"}));
    }
    {
        ChildProcess child(program, {"after"}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.stderrText.find("game.bas:3: runtime error 9: array index out of bounds\n"
                                         "IF GETCOMMANDLINE$ = \"after\" THEN total = SumAll(1) + grid[7][0]\n"),
                  std::string::npos)
            << result.stderrText;
        EXPECT_EQ(result.stderrText.find("  in "), std::string::npos) << result.stderrText;
        const std::vector<std::string> log = ErrorLogLines(folder.Path());
        ASSERT_GE(log.size(), 5u);
        EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
                  (std::vector<std::string>{"-End On Line", "9", "2", "2", "0"}));
    }
}

// Without a faster linker on PATH and without a cache folder for the
// precompiled header, a build still succeeds, only slower.
TEST(KvBasicProgramsTest, BuildFallsBackToThePlainToolchain)
{
    ScratchFolder folder;
    const std::string bin = folder.File("bin");
    std::filesystem::create_directories(bin);
    for (const char* tool : {"c++", "as", "ld"}) std::filesystem::create_symlink(std::string("/usr/bin/") + tool, bin + "/" + tool);
    std::ofstream(folder.File("cache")) << "a file where the cache folder would be\n";
    std::ofstream(folder.File("hello.bas")) << "x = 1\nEND\n";
    std::string output;
    ASSERT_TRUE(Build(folder.File("hello.bas"), folder.File("hello"), folder, output, {"PATH=" + bin})) << output;
    ChildProcess child(folder.File("hello"), {}, {"TMPDIR=" + folder.Path(), "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"},
                       folder.File("stderr.txt"));
    const ChildResult result = child.Wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
}

TEST(KvBasicProgramsTest, CommandLineReportsEveryErrorAndBuildsNothing)
{
    ScratchFolder folder;
    std::ofstream(folder.File("bad.bas")) << "LOADSPRITE \"a.bmp\"\nx = \"a\"\nNEXT\n";
    std::string output;
    EXPECT_FALSE(Build(folder.File("bad.bas"), folder.File("bad"), folder, output));
    EXPECT_NE(output.find(folder.File("bad.bas") + ":1:1: error: LOADSPRITE expects 2 arguments, got 1\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find(":2:5: error: cannot assign a string to the number variable x\n"), std::string::npos) << output;
    EXPECT_NE(output.find(":3:1: error: NEXT without FOR\n"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(folder.File("bad")));

    // A folder is no program (it once translated as an empty one).
    std::filesystem::create_directory(folder.File("folder.bas"));
    ChildProcess translateFolder(BuildProgram("kvbasic"), {"translate", folder.File("folder.bas"), "-o", folder.File("f.cpp")},
                                 {}, folder.File("folder.txt"));
    const ChildResult folderResult = translateFolder.Wait();
    EXPECT_EQ(folderResult.exitCode, 1);
    EXPECT_NE(folderResult.stderrText.find("cannot read " + folder.File("folder.bas")), std::string::npos)
        << folderResult.stderrText;
    EXPECT_FALSE(std::filesystem::exists(folder.File("f.cpp")));

    ChildProcess help(BuildProgram("kvbasic"), {"--version"}, {}, folder.File("version.txt"));
    EXPECT_EQ(help.Wait().exitCode, 0);
    ChildProcess unknown(BuildProgram("kvbasic"), {"compile", "x.bas"}, {}, folder.File("unknown.txt"));
    const ChildResult result = unknown.Wait();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("unknown command compile"), std::string::npos) << result.stderrText;
}

}  // namespace
