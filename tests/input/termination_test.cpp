// SIGTERM and SIGINT end a program at once while it waits inside the
// runtime (for a mouse click, a key, or a program it started), by the close
// path: exit code 0 and the final error state in the log.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <thread>

#include "support/child_process.h"

namespace {

using namespace testing_support;

struct WaitCase {
    const char* mode;
    int signal;
};

class TerminationTest : public ::testing::TestWithParam<WaitCase> {
protected:
    ScratchFolder folder;
    PrivateDisplay display;
};

TEST_P(TerminationTest, ASignalEndsTheWaitAtOnceByTheClosePath)
{
    ASSERT_TRUE(display.Ready());
    ChildProcess child(BuildProgram("input_probe"), {GetParam().mode},
                       {"TMPDIR=" + folder.Path(), display.Env(), "SDL_AUDIODRIVER=dummy"}, folder.File("stderr.txt"));
    ASSERT_TRUE(WaitForFile(folder.File("input-probe.txt")));  // "ready": the wait is next
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    child.Signal(GetParam().signal);
    // A program that only noticed the signal at its next frame would not
    // end here (the started program sleeps a minute): no frame comes during
    // these waits. The time allows for a slow exit on a busy machine.
    ChildResult result = child.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(result.exited) << "still waiting after the signal";
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    const std::vector<std::string> log = ErrorLogLines(folder.Path());
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[log.size() - 5], "-End On Line");
}

INSTANTIATE_TEST_SUITE_P(Waits, TerminationTest,
                         ::testing::Values(WaitCase{"mousewait", SIGTERM}, WaitCase{"keywait", SIGINT},
                                           WaitCase{"shell", SIGTERM}),
                         [](const ::testing::TestParamInfo<WaitCase>& info) {
                             return std::string(info.param.mode) + (info.param.signal == SIGTERM ? "Sigterm" : "Sigint");
                         });

}  // namespace
