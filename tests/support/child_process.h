// Runs a program of the build as a child process with its own temporary
// folder, and reads what it left in the error log. On Windows the child
// process is started by support/windows_child_process.cpp.
#pragma once

#ifdef _WIN32
#include "support/windows_posix_compat.h"
#else
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
extern char** environ;
#endif

namespace testing_support {

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

struct ChildResult {
    bool exited = false;  // ended by exit(), not by a signal
    int exitCode = -1;
    std::string stderrText;
};

// A fresh folder under the system temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        // Tests point TMPDIR into this folder; the next test must not
        // inherit a folder that is gone by then.
        if (const char* tmp = std::getenv("TMPDIR")) previousTmp_ = tmp;
        hadTmp_ = std::getenv("TMPDIR") != nullptr;
#ifdef _WIN32
        // GoogleTest's death tests on Windows run the test again from its
        // start in a new process, which must find what its parent left: its
        // n-th folder is its parent's n-th, handed on in the environment.
        static int made = 0;
        handedOn_ = "KV_TEST_SCRATCH_" + std::to_string(++made);
        if (const char* parents = std::getenv(handedOn_.c_str())) {
            path_ = parents;
            owned_ = false;
            return;
        }
#endif
        std::string pattern = (std::filesystem::temp_directory_path() / "kvtest-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        path_ = mkdtemp(buffer.data());
#ifdef _WIN32
        setenv(handedOn_.c_str(), path_.c_str(), 1);
#endif
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
#ifdef _WIN32
        if (owned_) {
            std::filesystem::remove_all(path_, ignored);
            unsetenv(handedOn_.c_str());
        }
#else
        std::filesystem::remove_all(path_, ignored);
#endif
        if (hadTmp_)
            setenv("TMPDIR", previousTmp_.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    const std::string& Path() const { return path_; }
#ifdef _WIN32
    // With Windows' separator, as the runtime's paths into the temporary
    // folder have it.
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
#else
    std::string File(const std::string& name) const { return path_ + "/" + name; }
#endif

private:
    std::string path_;
    std::string previousTmp_;
    bool hadTmp_ = false;
#ifdef _WIN32
    std::string handedOn_;
    bool owned_ = true;
#endif
};

#ifdef _WIN32

// A program started by CreateProcess. Signal(SIGINT or SIGTERM) sends it
// Ctrl+Break, which the runtime takes as SIGTERM on Linux; an ending by an
// exception (an exit code from 0xC0000000 on) counts as death by a signal.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env, const std::string& stderrFile);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Started() const { return process_ != nullptr; }
    void Signal(int signal);
    ChildResult Wait(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    ~ChildProcess();

private:
    void* process_ = nullptr;
    unsigned long id_ = 0;
    std::string stderrFile_;
};

#else

class ChildProcess {
public:
    // Starts program with args; env entries "NAME=value" are added to (or
    // override) the test's own environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env, const std::string& stderrFile)
    {
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            bool overridden = false;
            for (const std::string& mine : env)
                if (entry.substr(0, entry.find('=') + 1) == mine.substr(0, mine.find('=') + 1)) overridden = true;
            if (!overridden) environment.push_back(entry);
        }
        for (const std::string& mine : env)
            if (mine.back() != '=') environment.push_back(mine);  // "NAME=" removes NAME
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);

        std::vector<std::string> argvStrings{program};
        argvStrings.insert(argvStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argvStrings) argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        stderrFile_ = stderrFile;
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    bool Started() const { return pid_ > 0; }
    void Signal(int signal) { if (pid_ > 0) kill(pid_, signal); }

    // Waits at most timeout; a child still running then is killed.
    ChildResult Wait(std::chrono::milliseconds timeout = std::chrono::seconds(60))
    {
        ChildResult result;
        if (pid_ <= 0) return result;
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
        result.exited = WIFEXITED(status);
        result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
        result.stderrText = ReadWholeFile(stderrFile_);
        return result;
    }

    ~ChildProcess()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
    std::string stderrFile_;
};

#endif

// Splits the error log into its CR LF-terminated lines.
inline std::vector<std::string> ErrorLogLines(const std::string& folder, const std::string& name = "ErrorLog.txt")
{
    std::string text = ReadWholeFile(folder + "/" + name);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

#ifndef _WIN32
// An X display of the test's own (Xvfb), so that key presses and the
// pointer reach only the program under test, even with tests in parallel.
// Xvfb picks a free display number itself and tells it through a pipe.
class PrivateDisplay {
public:
    // screen: Xvfb's size and depth, such as "1920x1080x24".
    explicit PrivateDisplay(const std::string& screen = "1024x768x24")
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> words{"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", screen,
                                       "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        std::string number;
        char c = 0;
        // The number arrives once the server is ready, ended by a newline.
        while (pid_ > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
        close(pipeEnds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~PrivateDisplay()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Ready() const { return !name_.empty(); }
    std::string Env() const { return "DISPLAY=" + name_; }
    // Runs an xdotool command line on this display; returns its exit status.
    int Xdotool(const std::string& arguments) const
    {
        return std::system(("DISPLAY=" + name_ + " xdotool " + arguments).c_str());
    }

private:
    pid_t pid_ = -1;
    std::string name_;
};
#endif

inline bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline std::string BuildProgram(const std::string& name)
{
#ifdef _WIN32
    return std::string(KV_BUILD_DIR) + "/" + name + ".exe";
#else
    return std::string(KV_BUILD_DIR) + "/" + name;
#endif
}

}  // namespace testing_support
