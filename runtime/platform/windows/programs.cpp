// Starting other programs on Windows (CreateProcess): no shell, the words
// quoted so that the program's own command-line parsing gets them back as
// they were, and the program's exit code (GetExitCodeProcess).
#include "platform/platform.h"
#include "platform/windows/command_line.h"
#include "platform/windows/windows_text.h"

#include <windows.h>

#include <string>
#include <vector>

namespace platform {

namespace {

// Programs started without waiting: their handles are closed once they
// have ended, at the next start.
std::vector<HANDLE> g_unwaitedChildren;

void ForgetFinishedChildren()
{
    for (std::size_t i = 0; i < g_unwaitedChildren.size();) {
        if (WaitForSingleObject(g_unwaitedChildren[i], 0) == WAIT_TIMEOUT) {
            ++i;
            continue;
        }
        CloseHandle(g_unwaitedChildren[i]);
        g_unwaitedChildren.erase(g_unwaitedChildren.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// Starts argv with the runtime's standard input and error, and standard
// output to `output` (the runtime's own when null). The child inherits
// those three handles and nothing else.
bool Spawn(const std::vector<std::string>& argv, HANDLE output, HANDLE* child)
{
    if (argv.empty() || argv[0].empty()) return false;
    ForgetFinishedChildren();
    std::wstring line;
    for (const std::string& word : argv) windows::AppendCommandLineWord(&line, windows::WideFromLatin1(word));

    HANDLE standard[3] = {windows::InheritableCopy(GetStdHandle(STD_INPUT_HANDLE)),
                          output != nullptr ? output : windows::InheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE)),
                          windows::InheritableCopy(GetStdHandle(STD_ERROR_HANDLE))};
    std::vector<HANDLE> inherited;
    for (HANDLE handle : standard)
        if (handle != nullptr) inherited.push_back(handle);

    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> attributeBytes(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBytes.data());
    bool listed = InitializeProcThreadAttributeList(attributes, 1, 0, &size);
    if (listed && !inherited.empty())
        listed = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited.data(),
                                           inherited.size() * sizeof(HANDLE), nullptr, nullptr);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = standard[0];
    startup.StartupInfo.hStdOutput = standard[1];
    startup.StartupInfo.hStdError = standard[2];
    startup.lpAttributeList = listed ? attributes : nullptr;
    PROCESS_INFORMATION process{};
    // With no application name the system looks for the program as a
    // command line does: the program's folder, the working directory, the
    // system folders, then PATH, and adds ".exe" to a name without one.
    const bool started =
        listed && CreateProcessW(nullptr, line.data(), nullptr, nullptr, !inherited.empty(),
                                 EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo,
                                 &process);
    if (listed) DeleteProcThreadAttributeList(attributes);
    for (HANDLE handle : standard)
        if (handle != nullptr && handle != output) CloseHandle(handle);
    if (!started) return false;
    CloseHandle(process.hThread);
    *child = process.hProcess;
    return true;
}

int WaitForExitCode(HANDLE child)
{
    for (;;) {
        if (WaitForSingleObject(child, 5) != WAIT_TIMEOUT) break;
        // A termination request ends the wait at once: the caller takes the
        // close path, the child runs on.
        if (TerminationRequested()) {
            g_unwaitedChildren.push_back(child);
            return 0;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    return static_cast<int>(code);
}

}  // namespace

bool StartProgram(const std::vector<std::string>& argv, bool wait, int* exitCode)
{
    HANDLE child = nullptr;
    if (!Spawn(argv, nullptr, &child)) return false;
    if (wait) {
        *exitCode = WaitForExitCode(child);
    } else {
        g_unwaitedChildren.push_back(child);
    }
    return true;
}

bool RunProgramForOutput(const std::vector<std::string>& argv, std::string* output,
                         int* exitCode)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return false;
    // Only the child's end is inherited.
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE child = nullptr;
    const bool started = Spawn(argv, writeEnd, &child);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output->append(buffer, got);
        *exitCode = WaitForExitCode(child);
    }
    CloseHandle(readEnd);
    return started;
}

}  // namespace platform
