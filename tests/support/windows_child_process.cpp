// Child processes of the tests on Windows: CreateProcess with the test's
// environment plus the given entries, standard error into a file, and the
// exit code from GetExitCodeProcess. Kept out of the header so that no test
// source sees windows.h and its macros. (The native build compiles this
// folder's sources into an empty program: nothing of it is Linux's.)
#ifdef _WIN32
#include "support/child_process.h"

#include "platform/windows/command_line.h"

#include <windows.h>

#include <algorithm>
#include <csignal>
#include <cwctype>

namespace testing_support {

namespace {

// The runtime's strings are Latin-1: each byte is the character of that code.
std::wstring Wide(const std::string& text)
{
    std::wstring wide;
    for (unsigned char c : text) wide += static_cast<wchar_t>(c);
    return wide;
}

std::wstring NameOf(const std::wstring& entry)
{
    // Entries such as "=C:=C:\folder" have a name that starts with '='.
    const std::size_t equals = entry.find(L'=', 1);
    std::wstring name = entry.substr(0, equals);
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    return name;
}

// The test's environment with the entries of `changes`: "NAME=value" sets
// NAME (names are case-insensitive on Windows), "NAME=" removes it. TMPDIR,
// by which the tests name the temporary folder, sets TMP and TEMP too,
// which Windows' GetTempPath reads.
std::wstring EnvironmentBlock(const std::vector<std::string>& changes)
{
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) entries.push_back(entry);
        FreeEnvironmentStringsW(block);
    }
    std::vector<std::wstring> wanted;
    for (const std::string& change : changes) {
        wanted.push_back(Wide(change));
        if (change.rfind("TMPDIR=", 0) == 0 && change.size() > 7) {
            wanted.push_back(L"TMP=" + Wide(change.substr(7)));
            wanted.push_back(L"TEMP=" + Wide(change.substr(7)));
        }
    }
    for (const std::wstring& change : wanted) {
        const std::wstring name = NameOf(change);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::wstring& entry) { return NameOf(entry) == name; }),
                      entries.end());
        if (change.back() != L'=') entries.push_back(change);
    }
    // CreateProcess wants the block sorted by name, without regard to case.
    std::sort(entries.begin(), entries.end(),
              [](const std::wstring& a, const std::wstring& b) { return NameOf(a) < NameOf(b); });
    std::wstring block;
    for (const std::wstring& entry : entries) block += entry + L'\0';
    block += L'\0';
    return block;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env, const std::string& stderrFile)
    : stderrFile_(stderrFile)
{
    std::wstring programPath = Wide(program);
    std::replace(programPath.begin(), programPath.end(), L'/', L'\\');
    std::wstring line;
    platform::windows::AppendCommandLineWord(&line, programPath);
    for (const std::string& arg : args) platform::windows::AppendCommandLineWord(&line, Wide(arg));

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE errors = CreateFileW(Wide(stderrFile).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (errors == INVALID_HANDLE_VALUE) return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = platform::windows::InheritableCopy(GetStdHandle(STD_INPUT_HANDLE));
    startup.hStdOutput = platform::windows::InheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE));
    startup.hStdError = errors;
    std::wstring environment = EnvironmentBlock(env);
    PROCESS_INFORMATION started{};
    // A process group of its own, so that Ctrl+Break reaches the child alone.
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NEW_PROCESS_GROUP, environment.data(), nullptr,
                       &startup, &started)) {
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        id_ = started.dwProcessId;
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        if (handle != nullptr) CloseHandle(handle);
}

void ChildProcess::Signal(int signal)
{
    if (process_ == nullptr) return;
    if (signal == SIGINT || signal == SIGTERM)
        GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, id_);
    else
        TerminateProcess(process_, 1);
}

ChildResult ChildProcess::Wait(std::chrono::milliseconds timeout)
{
    ChildResult result;
    if (process_ == nullptr) return result;
    bool killed = false;
    if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
        killed = true;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    result.exited = !killed && code < 0xC0000000u;
    result.exitCode = result.exited ? static_cast<int>(code) : -1;
    // The C runtime writes standard error in text mode, each line ended by
    // CR LF; the tests read the lines as on Linux.
    for (char c : ReadWholeFile(stderrFile_)) {
        if (c == '\n' && !result.stderrText.empty() && result.stderrText.back() == '\r') result.stderrText.pop_back();
        result.stderrText += c;
    }
    return result;
}

ChildProcess::~ChildProcess()
{
    if (process_ != nullptr) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
        CloseHandle(process_);
    }
}

}  // namespace testing_support

#endif
