// A program built by `kvbasic build --debug` under a debugger: the test
// holds the other end of the program's debug channel (a socket pair, its
// number in KV_DEBUG_CHANNEL) and speaks docs/debug-channel.md to it. The
// program is tests/kvbasic/programs/debugged/debugged.bas; its command line
// picks what it does after its first lines (nothing more, a busy loop, KEYWAIT,
// a runtime error in a FUNCTION called by a FUNCTION).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace testing_support;

const std::string kSource = std::string(KV_SOURCE_DIR) + "/tests/kvbasic/programs/debugged/debugged.bas";

// The environment of the program and of kvbasic: the test's own temporary
// folder, a compiler cache shared by the tests of this file.
std::vector<std::string> Environment(const ScratchFolder& folder)
{
    return {"TMPDIR=" + folder.Path(), std::string("XDG_CACHE_HOME=") + KV_BUILD_DIR + "/debugger-test-cache",
            "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1", "LP_NUM_THREADS=0",
            "KV_PROGRAM_FOLDER=" + std::filesystem::path(kSource).parent_path().string()};
}

// The test's end of the channel and the program started with the other.
class DebuggedProgram {
public:
    DebuggedProgram(const std::string& program, const std::string& mode, const ScratchFolder& folder)
    {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return;
        // Only the program's end is inherited: when the test closes its
        // own, the program sees the channel end.
        fcntl(ends[0], F_SETFD, FD_CLOEXEC);
        channel_ = ends[0];
        std::vector<std::string> env = Environment(folder);
        env.push_back("KV_DEBUG_CHANNEL=" + std::to_string(ends[1]));
        child_ = std::make_unique<ChildProcess>(program, std::vector<std::string>{mode}, env, folder.File("stderr.txt"));
        close(ends[1]);
    }
    ~DebuggedProgram() { CloseChannel(); }

    // The next line from the program without its "\n"; "" after 60 s or
    // when the channel has ended.
    std::string Line()
    {
        for (;;) {
            const std::size_t end = input_.find('\n');
            if (end != std::string::npos) {
                std::string line = input_.substr(0, end);
                input_.erase(0, end + 1);
                return line;
            }
            pollfd entry{channel_, POLLIN, 0};
            if (poll(&entry, 1, 60000) <= 0) return "";
            char buffer[4096];
            const ssize_t count = read(channel_, buffer, sizeof buffer);
            if (count <= 0) return "";
            input_.append(buffer, static_cast<std::size_t>(count));
        }
    }

    // Sends a command; its reply: the data lines, then "ok" or "error\t...".
    std::vector<std::string> Command(const std::string& command)
    {
        Send(command);
        std::vector<std::string> reply;
        for (;;) {
            reply.push_back(Line());
            const std::string& last = reply.back();
            if (last.empty() || last == "ok" || last.rfind("error\t", 0) == 0) return reply;
        }
    }

    void Send(const std::string& command)
    {
        const std::string line = command + "\n";
        ASSERT_EQ(write(channel_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }

    void CloseChannel()
    {
        if (channel_ >= 0) close(channel_);
        channel_ = -1;
    }

    ChildResult Wait() { return child_->Wait(std::chrono::seconds(60)); }

private:
    int channel_ = -1;
    std::unique_ptr<ChildProcess> child_;
    std::string input_;
};

using Lines = std::vector<std::string>;

class KvBasicDebuggerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_ = folder_.File("debugged");
        ChildProcess kvbasic(BuildProgram("kvbasic"), {"build", kSource, "--debug", "-o", program_}, Environment(folder_),
                             folder_.File("kvbasic.txt"));
        const ChildResult result = kvbasic.Wait(std::chrono::seconds(240));
        ASSERT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
    }

    ScratchFolder folder_;
    std::string program_;
};

// Breakpoints in a SUB and in an INCLUDEd file, stepping over a call, into
// a FUNCTION and out again, the stack, the variables of calls and globals,
// records and arrays, and values set that the program then works with.
TEST_F(KvBasicDebuggerTest, StopsStepsShowsAndSetsVariables)
{
    DebuggedProgram debugged(program_, "plain", folder_);
    EXPECT_EQ(debugged.Line(), "event\tready");
    EXPECT_EQ(debugged.Command("break\t0\t19\t29"), Lines{"ok"});
    EXPECT_EQ(debugged.Command("break\t1\t2"), Lines{"ok"});
    EXPECT_EQ(debugged.Command("start\tentry"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tentry\t0\t1");

    EXPECT_EQ(debugged.Command("continue"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tbreakpoint\t0\t19");
    // Over the call of Tally, up to the breakpoint in it.
    EXPECT_EQ(debugged.Command("next"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tbreakpoint\t0\t29");
    EXPECT_EQ(debugged.Command("stack"), (Lines{"frame\tSUB Tally\t0\t29", "frame\tmain program\t0\t19", "ok"}));
    EXPECT_EQ(debugged.Command("vars\tL0"),
              (Lines{"child\tk\tnumber\t0\t", "child\tn\tnumber\t3\t", "child\tword$\tstring\t\t", "ok"}));
    EXPECT_EQ(debugged.Command("get\tF0:level$"), (Lines{"value\tstring\tcave\t", "ok"}));
    EXPECT_EQ(debugged.Command("get\tL0:level$"), (Lines{"error\tno variable level$ in this call"}));
    // Tally now adds 1 and 2 only.
    EXPECT_EQ(debugged.Command("set\tL0:n\t2"), (Lines{"value\tnumber\t2\t", "ok"}));

    EXPECT_EQ(debugged.Command("stepout"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tstep\t0\t20");
    EXPECT_EQ(debugged.Command("get\tG:total"), (Lines{"value\tnumber\t3\t", "ok"}));
    // Over the call of Twice; then into it on the next line, and out.
    EXPECT_EQ(debugged.Command("next"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tstep\t0\t21");
    EXPECT_EQ(debugged.Command("get\tG:total"), (Lines{"value\tnumber\t11\t", "ok"}));
    EXPECT_EQ(debugged.Command("stepin"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tstep\t0\t34");
    EXPECT_EQ(debugged.Command("stack"), (Lines{"frame\tFUNCTION Twice\t0\t34", "frame\tmain program\t0\t21", "ok"}));
    EXPECT_EQ(debugged.Command("get\tL0:v"), (Lines{"value\tnumber\t11\t", "ok"}));
    EXPECT_EQ(debugged.Command("next"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tstep\t0\t35");
    EXPECT_EQ(debugged.Command("stepout"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tstep\t0\t22");

    EXPECT_EQ(debugged.Command("vars\tG"),
              (Lines{"child\tfoes\trecords\t\tEnemy 3", "child\tgrid\tarray\t\tn 2 3", "child\tlevel$\tstring\tcave\t",
                     "child\tmode$\tstring\tplain\t", "child\tplayer\trecord\t\tEnemy", "child\tresult$\tstring\t\t",
                     "child\tseen\tnumber\t11\t", "child\tspin\tnumber\t0\t", "child\ttotal\tnumber\t11\t", "ok"}));
    EXPECT_EQ(debugged.Command("children\tG:foes\t1\t5"),
              (Lines{"child\t(1)\trecord\t\tEnemy", "child\t(2)\trecord\t\tEnemy", "ok"}));
    EXPECT_EQ(debugged.Command("children\tG:foes(1)\t0\t0"),
              (Lines{"child\tx\tnumber\t7\t", "child\thp\tnumber\t0\t", "child\tname$\tstring\tbat\t",
                     "child\thist\tarray\t\tn 4", "ok"}));
    EXPECT_EQ(debugged.Command("children\tG:player.hist\t0\t4"),
              (Lines{"child\t(0)\tnumber\t0\t", "child\t(1)\tnumber\t0\t", "child\t(2)\tnumber\t5\t",
                     "child\t(3)\tnumber\t0\t", "ok"}));
    EXPECT_EQ(debugged.Command("children\tG:grid\t4\t2"),
              (Lines{"child\t(0,2)\tnumber\t0\t", "child\t(1,2)\tnumber\t12\t", "ok"}));
    EXPECT_EQ(debugged.Command("get\tG:grid(1,2)"), (Lines{"value\tnumber\t12\t", "ok"}));
    EXPECT_EQ(debugged.Command("get\tG:grid(2,0)").back().rfind("error\t", 0), 0u);
    EXPECT_EQ(debugged.Command("get\tG:nme"), (Lines{"error\tno global variable nme"}));
    EXPECT_EQ(debugged.Command("get\tG:player.hist(2)"), (Lines{"value\tnumber\t5\t", "ok"}));
    EXPECT_EQ(debugged.Command("set\tG:spin\t-2.5e-7"), (Lines{"value\tnumber\t-2.5e-07\t", "ok"}));
    EXPECT_EQ(debugged.Command("set\tG:player.hist(3)\t0.1"), (Lines{"value\tnumber\t0.1\t", "ok"}));
    EXPECT_EQ(debugged.Command("set\tG:foes(1).x\t9"), (Lines{"value\tnumber\t9\t", "ok"}));
    EXPECT_EQ(debugged.Command("set\tG:level$\tdeep\\tdown"), (Lines{"value\tstring\tdeep\\tdown\t", "ok"}));
    EXPECT_EQ(debugged.Command("set\tG:foes(1)\t1").back().rfind("error\t", 0), 0u);

    // The SUB of the included file sees what was set.
    EXPECT_EQ(debugged.Command("continue"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\tbreakpoint\t1\t2");
    EXPECT_EQ(debugged.Command("stack"), (Lines{"frame\tSUB WriteResult\t1\t2", "frame\tmain program\t0\t25", "ok"}));
    EXPECT_EQ(debugged.Command("get\tL0:text$"), (Lines{"value\tstring\tseen 11 level deep\\tdown x 9\t", "ok"}));
    EXPECT_EQ(debugged.Command("continue"), Lines{"ok"});
    const ChildResult result = debugged.Wait();
    EXPECT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
}

// Pause in a loop that never waits, a value set that ends the loop; pause
// inside KEYWAIT; a channel that ends ends the program.
TEST_F(KvBasicDebuggerTest, PausesBusyLoopsAndWaitsAndEndsWithTheChannel)
{
    {
        DebuggedProgram debugged(program_, "busy", folder_);
        EXPECT_EQ(debugged.Line(), "event\tready");
        EXPECT_EQ(debugged.Command("start\trun"), Lines{"ok"});
        EXPECT_EQ(debugged.Command("stack"), (Lines{"error\tthe program is running"}));
        EXPECT_EQ(debugged.Command("pause"), Lines{"ok"});
        const std::string stopped = debugged.Line();
        EXPECT_TRUE(stopped == "event\tstopped\tpause\t0\t46" || stopped == "event\tstopped\tpause\t0\t47" ||
                    stopped == "event\tstopped\tpause\t0\t48")
            << stopped;
        EXPECT_EQ(debugged.Command("stack").front().rfind("frame\tSUB Busy\t0\t4", 0), 0u);
        EXPECT_EQ(debugged.Command("set\tG:spin\t-5"), (Lines{"value\tnumber\t-5\t", "ok"}));
        EXPECT_EQ(debugged.Command("continue"), Lines{"ok"});
        const ChildResult result = debugged.Wait();
        EXPECT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
    }
    {
        DebuggedProgram debugged(program_, "wait", folder_);
        EXPECT_EQ(debugged.Line(), "event\tready");
        EXPECT_EQ(debugged.Command("start\trun"), Lines{"ok"});
        EXPECT_EQ(debugged.Command("pause"), Lines{"ok"});
        EXPECT_EQ(debugged.Line(), "event\tstopped\tpause\t0\t23");
        EXPECT_EQ(debugged.Command("get\tG:seen"), (Lines{"value\tnumber\t14\t", "ok"}));
        debugged.Send("exit");
        const ChildResult result = debugged.Wait();
        EXPECT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
    }
    {
        DebuggedProgram debugged(program_, "busy", folder_);
        EXPECT_EQ(debugged.Line(), "event\tready");
        EXPECT_EQ(debugged.Command("start\trun"), Lines{"ok"});
        debugged.CloseChannel();
        const ChildResult result = debugged.Wait();
        // As when its window is closed: no report of an error.
        EXPECT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
        EXPECT_EQ(result.stderrText.find("runtime error"), std::string::npos) << result.stderrText;
    }
}

// A runtime error in a FUNCTION called by a FUNCTION stops the program with
// its number and text while the calls' variables are still there; after
// continue the program ends as it does without the debugger.
TEST_F(KvBasicDebuggerTest, RuntimeErrorsStopWithTheirVariables)
{
    ChildProcess alone(program_, {"error"}, Environment(folder_), folder_.File("alone.txt"));
    const ChildResult without = alone.Wait(std::chrono::seconds(60));
    ASSERT_TRUE(without.exited);
    EXPECT_EQ(without.exitCode, 1);
    EXPECT_NE(without.stderrText.find("debugged.bas:44: runtime error 9: array index out of bounds"), std::string::npos)
        << without.stderrText;

    DebuggedProgram debugged(program_, "error", folder_);
    EXPECT_EQ(debugged.Line(), "event\tready");
    EXPECT_EQ(debugged.Command("errors\tfatal"), Lines{"ok"});
    EXPECT_EQ(debugged.Command("start\trun"), Lines{"ok"});
    EXPECT_EQ(debugged.Line(), "event\tstopped\texception\t0\t43\t9\t1\truntime error 9: array index out of bounds");
    EXPECT_EQ(debugged.Command("stack"), (Lines{"frame\tFUNCTION Inner\t0\t43", "frame\tFUNCTION Outer\t0\t38",
                                                "frame\tmain program\t0\t24", "ok"}));
    EXPECT_EQ(debugged.Command("vars\tL0"), (Lines{"child\tb\tnumber\t3\t", "child\tcells\tarray\t\tn 3", "ok"}));
    EXPECT_EQ(debugged.Command("get\tL1:a"), (Lines{"value\tnumber\t2\t", "ok"}));
    EXPECT_EQ(debugged.Command("get\tF2:total"), (Lines{"value\tnumber\t14\t", "ok"}));
    EXPECT_EQ(debugged.Command("get\tL3:a"), (Lines{"error\tno call 3: 3 calls run"}));
    EXPECT_EQ(debugged.Command("continue"), Lines{"ok"});
    const ChildResult result = debugged.Wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, without.exitCode);
    EXPECT_NE(result.stderrText.find("debugged.bas:44: runtime error 9: array index out of bounds"), std::string::npos)
        << result.stderrText;
}

}  // namespace
