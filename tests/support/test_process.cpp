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

#ifdef _WIN32
#include <gtest/gtest-spi.h>
#include <windows.h>
#include <tlhelp32.h>
#endif

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
#ifdef _WIN32
// Windows lists them in the Toolhelp snapshot; a thread's name, where it was
// given one, is its description.
std::vector<std::string> ThreadsOfThisProcess()
{
    std::vector<std::string> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return {"(no thread snapshot)"};
    using GetDescription = HRESULT(WINAPI*)(HANDLE, PWSTR*);
    const auto getDescription = reinterpret_cast<GetDescription>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
        std::string name;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        PWSTR description = nullptr;
        if (thread != nullptr && getDescription != nullptr && SUCCEEDED(getDescription(thread, &description))) {
            for (const wchar_t* c = description; *c; ++c) name += *c < 128 ? static_cast<char>(*c) : '?';
            LocalFree(description);
        }
        if (thread != nullptr) CloseHandle(thread);
        // Wine names the threads of its own system services (device
        // notifications and the like) "wine_...": they are the system's,
        // kept for the life of the process, not the program's.
        if (name.rfind("wine_", 0) == 0) continue;
        threads.push_back(std::to_string(entry.th32ThreadID) + " " + name);
    }
    CloseHandle(snapshot);
    return threads;
}
#else
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
#endif

class MainThreadAloneAtExit : public ::testing::Environment {
public:
#ifdef _WIN32
    // GoogleTest on Windows watches each thread that reports results with a
    // thread of its own, which stays until the process ends: it is started
    // here, before the first test, and counted with the main thread.
    void SetUp() override
    {
        {
            ::testing::TestPartResultArray ignored;
            ::testing::ScopedFakeTestPartResultReporter watched(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &ignored);
        }
        threadsAtStart_ = ThreadsOfThisProcess().size();
    }
#endif
    void TearDown() override
    {
        // A thread that was told to end may take a moment to be gone.
        std::vector<std::string> threads = ThreadsOfThisProcess();
        for (int wait = 0; wait < 40 && threads.size() > threadsAtStart_; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            threads = ThreadsOfThisProcess();
        }
        std::string list;
        for (const std::string& thread : threads) list += "  " + thread + "\n";
        EXPECT_EQ(threads.size(), threadsAtStart_) << "threads still running at exit:\n" << list;
    }

private:
    std::size_t threadsAtStart_ = 1;  // the main thread
};

const ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new MainThreadAloneAtExit);

}  // namespace
