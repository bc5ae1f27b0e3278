// What every test program sets up for itself, linked into each of them.
//
// The software GL driver draws on the calling thread and keeps no shader
// cache on disk, so it starts no threads of its own (a caller may still
// choose otherwise in the environment; child processes inherit the choice).
// Then every test program must end with its main thread alone: the leak
// checker stops and inspects all threads when the process exits, and a
// thread of the runtime, the driver or the sound library that is still
// running, or still being torn down, has crashed the checker itself and
// failed a test that had passed. A leftover thread is a failure of its own
// here, with the threads' names.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const bool driverWithoutThreads = [] {
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    return true;
}();

// "<id> <name>" of every thread of this process, the main thread included.
std::vector<std::string> ThreadsOfThisProcess()
{
    std::vector<std::string> threads;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        std::getline(comm, name);
        threads.push_back(entry.path().filename().string() + " " + name);
    }
    return threads;
}

class MainThreadAloneAtExit : public ::testing::Environment {
public:
    void TearDown() override
    {
        // A thread that was told to end may take a moment to be gone.
        std::vector<std::string> threads = ThreadsOfThisProcess();
        for (int wait = 0; wait < 40 && threads.size() > 1; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            threads = ThreadsOfThisProcess();
        }
        std::string list;
        for (const std::string& thread : threads) list += "  " + thread + "\n";
        EXPECT_EQ(threads.size(), 1u) << "threads still running at exit:\n" << list;
    }
};

const ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new MainThreadAloneAtExit);

}  // namespace
