// Recorded play: a session played with real key presses (xdotool on a
// private X display) is recorded with KV_RECORD_INPUT and replayed with
// KV_INPUT_SCRIPT; the pictures of the two runs agree frame by frame.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/child_process.h"

namespace {

using namespace testing_support;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(RecordedPlayTest, AReplayedRecordingShowsTheSamePicturesFrameByFrame)
{
    ScratchFolder folder;
    const std::string recording = folder.File("recording.txt");
    {
        PrivateDisplay display;
        ASSERT_TRUE(display.Ready());
        ChildProcess child(BuildProgram("game/zorvelin"), {},
                           {"TMPDIR=" + folder.Path(), display.Env(), "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1",
                            "KV_INPUT_SCRIPT=", "KV_SEED=", "SDL_AUDIODRIVER=dummy", "KV_RECORD_INPUT=" + recording,
                            "KV_FRAME_CHECKSUMS=" + folder.File("played.txt")},
                           folder.File("played-stderr.txt"));
        ASSERT_TRUE(WaitForFile(folder.File("ErrorLog.txt")));
        // The intro (1: the easy game, held while the media load), then some
        // walking on level 1 towards the first flag, a pause in which the
        // guards come near, Space for any message screen, and Escape.
        ASSERT_EQ(display.Xdotool("mousemove 300 300 sleep 0.5 keydown 1 sleep 4 keyup 1 sleep 0.3 "
                                  "keydown Up sleep 0.7 keyup Up keydown Right sleep 1 keyup Right "
                                  "keydown Left sleep 0.5 keyup Left keydown Down sleep 0.3 keyup Down sleep 3 "
                                  "keydown space sleep 0.3 keyup space sleep 0.5"),
                  0);
        ASSERT_EQ(display.Xdotool("keydown Escape sleep 0.2 keyup Escape"), 0);
        ChildResult played = child.Wait(std::chrono::seconds(60));
        ASSERT_TRUE(played.exited) << played.stderrText << ReadWholeFile(recording);
        EXPECT_EQ(played.exitCode, 0);
    }
    const std::string recorded = ReadWholeFile(recording);
    // The run's seed, the keys with what they typed, and the end.
    EXPECT_NE(recorded.find(" seed "), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 2 down 49\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 200 down 0\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 1 down 0\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" quit\n"), std::string::npos) << recorded;

    // The replay runs unpaced on the test's own display.
    ChildProcess replay(BuildProgram("game/zorvelin"), {},
                        {"TMPDIR=" + folder.Path(), "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "KV_RECORD_INPUT=",
                         "KV_SEED=", "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_INPUT_SCRIPT=" + recording,
                         "KV_FRAME_CHECKSUMS=" + folder.File("replayed.txt")},
                        folder.File("replayed-stderr.txt"));
    ChildResult replayed = replay.Wait(std::chrono::seconds(120));
    ASSERT_TRUE(replayed.exited) << replayed.stderrText;
    EXPECT_EQ(replayed.exitCode, 0) << replayed.stderrText;

    const std::vector<std::string> played = Lines(ReadWholeFile(folder.File("played.txt")));
    const std::vector<std::string> again = Lines(ReadWholeFile(folder.File("replayed.txt")));
    ASSERT_GT(played.size(), 100u) << "the session is some seconds of frames";
    ASSERT_EQ(again.size(), played.size());
    for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(again[i], played[i]) << "frame " << i;
}

}  // namespace
