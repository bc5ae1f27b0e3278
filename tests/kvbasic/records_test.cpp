// Records (TYPE) in a program built and run by kvbasic: an array of
// records moved frame by frame, its fields read and written, a record
// copied whole, and the
// bounds of the array and of an array field checked with runtime error 9
// on the line of the access; records passed to SUBs and FUNCTIONs.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace testing_support;

// A bullets list: shots fly right at their own speed and are dropped when
// they leave the screen; each keeps the last three x positions it had.
const char* const kBullets =
    "TYPE Bullet\n"
    "  x, y, speed, alive\n"
    "  name$\n"
    "  trail[3]\n"
    "END TYPE\n"
    "CONST MAXSHOTS = 8\n"
    "DIM shots[MAXSHOTS] AS Bullet\n"
    "FOR i = 0 TO 4\n"
    "  shots[i].x = i * 100 : shots[i].y = 240\n"
    "  shots[i].speed = 50 * (i + 1)\n"
    "  shots[i].alive = 1\n"
    "  shots[i].name$ = \"shot\" + i\n"
    "NEXT\n"
    "FOR frame = 0 TO 3\n"
    "  FOR i = 0 TO MAXSHOTS - 1\n"
    "    IF shots[i].alive\n"
    "      shots[i].trail[frame MOD 3] = shots[i].x\n"
    "      shots[i].x = shots[i].x + shots[i].speed\n"
    "      IF shots[i].x >= 640 THEN shots[i].alive = 0\n"
    "    ENDIF\n"
    "  NEXT\n"
    "  SHOWSCREEN\n"
    "NEXT\n"
    "shots[5] = shots[1]\n"
    "line = 0\n"
    "FOR i = 0 TO MAXSHOTS - 1\n"
    "  IF shots[i].alive\n"
    "    PUTFILE \"out.txt\", line, shots[i].name$ + \" \" + shots[i].x + \" \" + shots[i].trail[0]\n"
    "    line = line + 1\n"
    "  ENDIF\n"
    "NEXT\n"
    "IF GETCOMMANDLINE$ = \"trail\" THEN shots[0].trail[3] = 1\n"
    "IF GETCOMMANDLINE$ = \"shots\" THEN shots[MAXSHOTS].x = 1\n"
    "END\n";

TEST(KvBasicRecordsTest, ArrayOfRecordsRunsAndItsBoundsAreChecked)
{
    ScratchFolder folder;
    std::ofstream(folder.File("bullets.bas")) << kBullets;
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache"),
                                          "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"};
    auto run = [&](const std::string& argument) {
        // PUTFILE writes lines of a file that exists.
        std::ofstream(folder.File("out.txt")) << "\r\n\r\n\r\n";
        ChildProcess kvbasic(BuildProgram("kvbasic"), {"run", folder.File("bullets.bas"), "--", argument}, env,
                             folder.File("run.txt"));
        return kvbasic.Wait(std::chrono::seconds(240));
    };

    ChildResult result = run("");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    // Shot 0 flew 4 frames of 50, shot 1 four of 100 (its first trail is
    // its x of frame 3); shot 2 left at 600, shots 3 and 4 earlier. Slot 5
    // got a copy of shot 1, every field of it.
    EXPECT_EQ(ReadWholeFile(folder.File("out.txt")), "shot0 200 150\r\nshot1 500 400\r\nshot1 500 400\r\n");

    result = run("trail");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("bullets.bas:32: runtime error 9: array index out of bounds\n"
                                     "IF GETCOMMANDLINE$ = \"trail\" THEN shots[0].trail[3] = 1\n"),
              std::string::npos)
        << result.stderrText;

    result = run("shots");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("bullets.bas:33: runtime error 9: array index out of bounds\n"), std::string::npos)
        << result.stderrText;
}

// Records and arrays of records passed to SUBs and FUNCTIONs: by
// reference, so what they change the caller sees; a whole record copied
// inside; a record parameter passed on to another SUB; an element of an
// array of records passed as a record; BOUNDS of an array of records.
const char* const kSquad =
    "TYPE Soldier\n"
    "  power, name$, ranks[2]\n"
    "END TYPE\n"
    "DIM squad[3] AS Soldier\n"
    "DIM chief AS Soldier\n"
    "Enlist squad, 3\n"
    "Promote chief, \"Ada\"\n"
    "Promote squad[1], \"Bo\"\n"
    "PUTFILE \"out.txt\", 0, \"\" + Strength(squad) + \" \" + squad[2].name$ + \" \" + chief.name$ + \" \" + chief.ranks[1] +"
    " \" \" + squad[1].name$ + \" \" + squad[1].ranks[1] + \" \" + BOUNDS(squad, 0) + \" \" + Power(squad[0]) + \" \" +"
    " squad[0].ranks[0]\n"
    "END\n"
    "SUB Enlist(list[] AS Soldier, count)\n"
    "  LOCAL k\n"
    "  FOR k = 0 TO count - 1\n"
    "    list[k].power = k + 1 : list[k].name$ = \"s\" + k\n"
    "  NEXT\n"
    "  Swap list, 0, 2\n"
    "  Rank list[0], 0\n"
    "END SUB\n"
    "SUB Swap(list[] AS Soldier, a, b)\n"
    "  DIM spare AS Soldier\n"
    "  spare = list[a] : list[a] = list[b] : list[b] = spare\n"
    "END SUB\n"
    "FUNCTION Strength(list[] AS Soldier)\n"
    "  RETURN list[0].power * 100 + list[1].power * 10 + list[2].power\n"
    "END FUNCTION\n"
    "SUB Promote(who AS Soldier, name$)\n"
    "  who.name$ = name$ : Rank who, 1\n"
    "END SUB\n"
    "FUNCTION Power(one AS Soldier)\n"
    "  RETURN one.power\n"
    "END FUNCTION\n"
    "SUB Rank(who AS Soldier, k)\n"
    "  who.ranks[k] = 5\n"
    "END SUB\n";

TEST(KvBasicRecordsTest, RecordsPassByReferenceToSubsAndFunctions)
{
    ScratchFolder folder;
    std::ofstream(folder.File("squad.bas")) << kSquad;
    std::ofstream(folder.File("out.txt")) << "\r\n";
    ChildProcess kvbasic(BuildProgram("kvbasic"), {"run", folder.File("squad.bas")},
                         {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache"), "KV_UNPACED=1",
                          "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1"},
                         folder.File("run.txt"));
    const ChildResult result = kvbasic.Wait(std::chrono::seconds(240));
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    // Enlisted 1, 2, 3 as s0, s1, s2, then the first and last swapped.
    // squad[1] promoted as an element of the array, squad[0] ranked inside
    // Enlist as an element of its array parameter; BOUNDS of the array.
    EXPECT_EQ(ReadWholeFile(folder.File("out.txt")), "321 s0 Ada 5 Bo 5 3 3 5\r\n");
}

}  // namespace
