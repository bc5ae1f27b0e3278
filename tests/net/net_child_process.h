// Peers as separate processes: the test program starts copies of itself
// that each run one disabled test (a peer's script). They inherit the
// environment, so they meet on this test's port.
#pragma once

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace nettest {

inline std::string ChildCommand(const std::string& test, const std::string& prefix = "")
{
    return prefix + "'" + platform::ModulePath() + "' --gtest_also_run_disabled_tests --gtest_filter=" + test +
           " > /dev/null 2>&1";
}

// A shell command run to its end on a thread of its own; Result() waits
// for it and gives its exit status.
class BackgroundCommand {
public:
    explicit BackgroundCommand(const std::string& command)
        : m_thread([this, command] { m_status = std::system(command.c_str()); })
    {
    }
    ~BackgroundCommand()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    bool Done() const { return m_status.load() != -1; }
    int Result()
    {
        if (m_thread.joinable()) m_thread.join();
        return m_status.load();
    }

private:
    std::atomic<int> m_status{-1};
    std::thread m_thread;
};

// A copy of the test program running one disabled test (a peer's script);
// its exit status is 0 when that test passed.
class ChildProcess : public BackgroundCommand {
public:
    explicit ChildProcess(const std::string& test, const std::string& prefix = "")
        : BackgroundCommand(ChildCommand(test, prefix))
    {
    }
};

// A child started in the background whose process id is known, so that a
// test can kill it without a word.
inline std::string StartKillableChild(const std::string& test, const std::string& pidFile)
{
    const std::string command = ChildCommand(test) + " & echo $! > '" + pidFile + "'";
    if (std::system(command.c_str()) != 0) return "";
    std::ifstream in(pidFile);
    std::string pid;
    in >> pid;
    return pid;
}

inline bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

inline std::string PrivateTempPath(const std::string& name)
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && folder[0] != 0 ? folder : "/tmp") + "/" + name;
}

}  // namespace nettest
