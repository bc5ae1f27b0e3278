// Programs of several files: INCLUDE reads a file relative to the including
// file's folder, its lines keep their own file and line in every message
// (translation errors, __dLn, runtime errors), and what cannot be included
// is refused at the INCLUDE with an exact message.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "support/child_process.h"
#include "translator.h"

namespace {

using namespace testing_support;

// Writes the files (name, text) into the folder, subfolders included.
void WriteFiles(const ScratchFolder& folder, const std::vector<std::pair<std::string, std::string>>& files)
{
    for (const auto& [name, text] : files) {
        std::filesystem::create_directories(std::filesystem::path(folder.File(name)).parent_path());
        std::ofstream(folder.File(name)) << text;
    }
}

// The errors of translating the folder's main.bas, as kvbasic prints them
// (the folder's path left out).
std::vector<std::string> Errors(const ScratchFolder& folder)
{
    kvbasic::TranslateRequest request;
    request.source = ReadWholeFile(folder.File("main.bas"));
    request.sourceName = "main.bas";
    request.sourcePath = folder.File("main.bas");
    std::vector<std::string> errors;
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    for (const kvbasic::Diagnostic& error : result.errors) {
        std::string text = kvbasic::FormatDiagnostic("main.bas", error);
        if (text.rfind(folder.Path() + "/", 0) == 0) text = text.substr(folder.Path().size() + 1);
        errors.push_back(text);
    }
    EXPECT_EQ(result.ok, errors.empty());
    return errors;
}

TEST(KvBasicIncludeTest, WhatCannotBeIncludedIsRefusedAtTheInclude)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder.File("lib"));
    WriteFiles(folder, {
        {"main.bas",
         "INCLUDE \"missing.bas\"\n"
         "INCLUDE \"lib\"\n"
         "INCLUDE \"lib/a.bas\"\n"
         "IF x = 1\n"
         "  INCLUDE \"lib/c.bas\"\n"
         "ENDIF\n"
         "IF 1 THEN INCLUDE \"lib/c.bas\"\n"
         "SUB s:\n"
         "  INCLUDE \"lib/c.bas\"\n"
         "ENDSUB\n"
         "INCLUDE \"lib/c.bas\"\n"},
        // A cycle through two files, and the translation errors of an
        // included file named with its own path and line.
        {"lib/a.bas", "INCLUDE \"b.bas\"\ny = \"text\"\nFROBNICATE 1\n"},
        {"lib/b.bas", "INCLUDE \"a.bas\"\nINCLUDE \"../main.bas\"\nFOR i = 0 TO 3\n"},
        {"lib/c.bas", "c = 1\n"},
    });
    EXPECT_EQ(Errors(folder), (std::vector<std::string>{
        "main.bas:1:1: error: cannot include \"missing.bas\": there is no such file",
        "main.bas:2:1: error: cannot include \"lib\": it is a folder, not a file",
        "lib/b.bas:1:1: error: cannot include \"a.bas\": the files include each other "
        "(lib/a.bas includes lib/b.bas includes lib/a.bas)",
        "lib/b.bas:2:1: error: cannot include \"../main.bas\": the files include each other "
        "(main.bas includes lib/a.bas includes lib/b.bas includes main.bas)",
        "lib/b.bas:3:1: error: FOR without NEXT",
        "lib/a.bas:2:5: error: cannot assign a string to the number variable y",
        "lib/a.bas:3:1: error: unknown command FROBNICATE",
        "main.bas:5:3: error: INCLUDE cannot stand in a block",
        "main.bas:7:11: error: INCLUDE cannot stand after THEN",
        "main.bas:9:3: error: INCLUDE cannot stand in a SUB: include files in the main program",
        "main.bas:11:1: error: INCLUDE cannot stand after ENDSUB: include files in the main program, before the "
        "first SUB or FUNCTION",
    }));

    // Names defined in two files: the message names the other file's line.
    WriteFiles(folder, {
        {"main.bas", "INCLUDE \"lib/c.bas\"\nSUB tick:\nENDSUB\n"},
        {"lib/c.bas", "' helpers\nSUB tick:\nENDSUB\n"},
    });
    EXPECT_EQ(Errors(folder), (std::vector<std::string>{
        "lib/c.bas:2:1: error: SUB tick is defined twice (first on line 2)",
    }));
    WriteFiles(folder, {{"main.bas", "SUB tick:\nENDSUB\nINCLUDE \"lib/c.bas\"\n"}});
    EXPECT_EQ(Errors(folder), (std::vector<std::string>{
        "main.bas:3:1: error: INCLUDE cannot stand after ENDSUB: include files in the main program, before the "
        "first SUB or FUNCTION",
    }));

    // The same file twice, also under another spelling, is read once.
    WriteFiles(folder, {
        {"main.bas", "INCLUDE \"lib/c.bas\"\nINCLUDE \"lib/../lib/c.bas\"\nGOSUB tick\n"},
        {"lib/c.bas", "SUB tick:\nENDSUB\n"},
    });
    EXPECT_TRUE(Errors(folder).empty());

    // A translation without a file reader includes nothing.
    kvbasic::TranslateRequest request;
    request.source = "INCLUDE \"lib/c.bas\"\n";
    request.sourceName = "main.bas";
    request.sourcePath = folder.File("main.bas");
    request.readFile = nullptr;
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_EQ(kvbasic::FormatDiagnostic("main.bas", result.errors[0]),
              "main.bas:1:1: error: cannot include \"lib/c.bas\": this translation reads no files");
    // `include` without a file name is still a variable.
    request.source = "include = 3\ninclude$ = \"x\"\n";
    EXPECT_TRUE(kvbasic::Translate(request).ok);
}

// A library of a TYPE, DIMs, CONSTs, FUNCTIONs and SUBs, and one of
// FUNCTIONs alone: their FUNCTIONs and SUBs join the program's, and the
// lines after each INCLUDE stay main program, whatever the included file
// ends with. An element of an array of records goes to a record
// parameter, and BOUNDS gives the size of an array of records.
TEST(KvBasicIncludeTest, ALibraryOfFunctionsLeavesTheLinesAfterItsIncludeInTheMainProgram)
{
    ScratchFolder folder;
    WriteFiles(folder, {
        {"game/main.bas",
         "INCLUDE \"lib/arcade.bas\"\n"
         "FOR i = 0 TO MAXSTARS - 1\n"
         "  stars[i].x = Twice(i)\n"
         "NEXT\n"
         "INCLUDE \"lib/maths.bas\"\n"
         "Nudge stars[2]\n"
         "total = Sum(stars) + Half(BOUNDS(stars, 0))\n"
         "PUTFILE \"out.txt\", 0, \"\" + total + \" \" + stars[2].x + \" \" + lives\n"
         "END\n"},
        {"game/lib/arcade.bas",
         "TYPE Star\n"
         "  x, y\n"
         "END TYPE\n"
         "CONST MAXSTARS = 4\n"
         "DIM stars[MAXSTARS] AS Star\n"
         "lives = 3\n"
         "FUNCTION Twice(n)\n"
         "  RETURN n * 2\n"
         "END FUNCTION\n"
         "FUNCTION Sum(list[] AS Star)\n"
         "  LOCAL k, s\n"
         "  FOR k = 0 TO BOUNDS(list, 0) - 1\n"
         "    s = s + list[k].x\n"
         "  NEXT\n"
         "  RETURN s\n"
         "END FUNCTION\n"
         "SUB Nudge(one AS Star)\n"
         "  one.x = one.x + 10\n"
         "END SUB\n"},
        {"game/lib/maths.bas",
         "lives = lives + 1\n"
         "FUNCTION Half(n)\n"
         "  RETURN n / 2\n"
         "END FUNCTION\n"},
        {"game/out.txt", "old\r\n"},
    });
    ChildProcess kvbasic(BuildProgram("kvbasic"), {"run", folder.File("game/main.bas")},
                         {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache"), "KV_UNPACED=1",
                          "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"},
                         folder.File("run.txt"));
    const ChildResult result = kvbasic.Wait(std::chrono::seconds(240));
    ASSERT_TRUE(result.exited);
    ASSERT_EQ(result.exitCode, 0) << result.stderrText;
    // Stars 0, 2, 4, 6, the third nudged to 14: 22 + 4 / 2; lives 3 + 1.
    EXPECT_EQ(ReadWholeFile(folder.File("game/out.txt")), "24 14 4\r\n");
}

// INCLUDE reads regular files of at most 64 MiB: a pipe is not opened (it
// would wait for a writer), a device (endless) and a larger file (also a
// sparse one) are refused at once with their reason.
TEST(KvBasicIncludeTest, OnlyRegularFilesOfAtMostTheLimitAreIncluded)
{
    ScratchFolder folder;
    WriteFiles(folder, {{"main.bas", "INCLUDE \"pipe.bas\"\nINCLUDE \"/dev/zero\"\nINCLUDE \"big.bas\"\n"
                                     "x = 1\n"}});
    ASSERT_EQ(mkfifo(folder.File("pipe.bas").c_str(), 0600), 0);
    std::ofstream(folder.File("big.bas")) << "x = 1\n";
    std::filesystem::resize_file(folder.File("big.bas"), (std::uintmax_t{64} << 20) + 1);
    ChildProcess kvbasic(BuildProgram("kvbasic"), {"translate", folder.File("main.bas"), "-o", folder.File("main.cpp")},
                         {}, folder.File("translate.txt"));
    const ChildResult result = kvbasic.Wait(std::chrono::seconds(60));
    ASSERT_TRUE(result.exited) << "kvbasic translate did not end";
    EXPECT_EQ(result.exitCode, 1);
    const std::string main = folder.File("main.bas");
    EXPECT_EQ(result.stderrText,
              main + ":1:1: error: cannot include \"pipe.bas\": it is a pipe, not a file\n" + main +
                  ":2:1: error: cannot include \"/dev/zero\": it is a device, not a file\n" + main +
                  ":3:1: error: cannot include \"big.bas\": it is larger than 64 MiB, the most a source file may hold\n"
                  "kvbasic: 3 errors in " + main + "\n");
}

// Build systems learn from --depfile which files a translation read, so
// that a change to an included file translates the program again.
TEST(KvBasicIncludeTest, TranslateNamesTheIncludedFilesInItsDepfile)
{
    ScratchFolder folder;
    WriteFiles(folder, {
        {"my game/main.bas", "INCLUDE \"lib/a.bas\"\nINCLUDE \"lib/a.bas\"\n"},
        {"my game/lib/a.bas", "INCLUDE \"b.bas\"\n"},
        {"my game/lib/b.bas", "x = 1\n"},
    });
    ChildProcess kvbasic(BuildProgram("kvbasic"),
                         {"translate", folder.File("my game/main.bas"), "-o", folder.File("main.cpp"), "--depfile",
                          folder.File("main.d")},
                         {}, folder.File("translate.txt"));
    const ChildResult result = kvbasic.Wait();
    ASSERT_TRUE(result.exited);
    ASSERT_EQ(result.exitCode, 0) << result.stderrText;
    const std::string game = folder.Path() + "/my\\ game/";
    EXPECT_EQ(ReadWholeFile(folder.File("main.d")),
              folder.File("main.cpp") + ": " + game + "main.bas " + game + "lib/a.bas " + game + "lib/b.bas\n");
}

// `kvbasic run` of a program of two files: a runtime error in the included
// file names that file, its line and its text; the error log reports its
// file number. kvbasic reads the files anew on every run, so a changed
// included file takes effect at once.
TEST(KvBasicIncludeTest, RuntimeErrorInAnIncludedFileNamesThatFile)
{
    ScratchFolder folder;
    WriteFiles(folder, {
        {"game/main.bas",
         "' Spawns count + 1 enemies into a table of four.\n"
         "INCLUDE \"lib/enemies.bas\"\n"
         "count = VAL(GETCOMMANDLINE$)\n"
         "GOSUB spawn\n"
         "PUTFILE \"out.txt\", 0, \"spawned \" + ex[count]\n"
         "END\n"},
        {"game/lib/enemies.bas",
         "DIM ex[4]\n"
         "speed = 2\n"
         "SUB spawn:\n"
         "  FOR i = 0 TO count\n"
         "    ex[i] = i * speed\n"
         "  NEXT\n"
         "ENDSUB\n"},
        {"game/out.txt", "old\r\n"},  // PUTFILE writes lines of files that exist
    });
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache"),
                                          "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"};
    auto run = [&](const std::string& argument) {
        ChildProcess kvbasic(BuildProgram("kvbasic"), {"run", folder.File("game/main.bas"), "--", argument}, env,
                             folder.File("run.txt"));
        return kvbasic.Wait(std::chrono::seconds(240));
    };

    ChildResult result = run("3");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_EQ(ReadWholeFile(folder.File("game/out.txt")), "spawned 6\r\n");

    result = run("4");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("lib/enemies.bas:5: runtime error 9: array index out of bounds\n"
                                     "    ex[i] = i * speed\n"),
              std::string::npos)
        << result.stderrText;
    const std::vector<std::string> log = ErrorLogLines(folder.Path());
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()), (std::vector<std::string>{"9", "4", "4", "1"}));

    // The included file changed: the next run has its new lines.
    WriteFiles(folder, {{"game/lib/enemies.bas", "DIM ex[8]\nspeed = 3\nSUB spawn:\n  ex[count] = count * speed\nENDSUB\n"}});
    result = run("4");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_EQ(ReadWholeFile(folder.File("game/out.txt")), "spawned 12\r\n");
}

}  // namespace
