// Records (TYPE) in a program built and run by kvbasic: an array of
// records moved frame by frame, its fields read and written, a record
// copied whole, and the
// bounds of the array and of an array field checked with runtime error 9
// on the line of the access.
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

}  // namespace
