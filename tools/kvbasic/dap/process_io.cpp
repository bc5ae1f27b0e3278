#include "process_io.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

extern char** environ;

namespace kvdap {

namespace {

// The descriptor the program finds its channel on.
constexpr int kChannelDescriptor = 3;

void CloseIfOpen(int& fd)
{
    if (fd >= 0) close(fd);
    fd = -1;
}

// Reads what is there; false at the end (or on an error other than EINTR / EAGAIN).
bool ReadAvailable(int fd, std::string& into)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        return got < 0 && errno == EAGAIN;
    }
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The adapter's environment with `changes` applied.
std::vector<std::string> Environment(const std::vector<std::pair<std::string, std::string>>& changes)
{
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text = *entry;
        bool replaced = false;
        for (const auto& [name, value] : changes)
            if (text.compare(0, name.size() + 1, name + "=") == 0) replaced = true;
        if (!replaced) entries.push_back(text);
    }
    // A later change of the same name wins.
    for (std::size_t k = 0; k < changes.size(); ++k) {
        bool later = false;
        for (std::size_t j = k + 1; j < changes.size(); ++j) later = later || changes[j].first == changes[k].first;
        if (!later) entries.push_back(changes[k].first + "=" + changes[k].second);
    }
    return entries;
}

// In the child after fork: only calls that are safe there.
[[noreturn]] void ExecChild(char* const* argv, char* const* envp, const char* folder, int in, int out, int err, int channel)
{
    setpgid(0, 0);
    signal(SIGPIPE, SIG_DFL);
    if (in >= 0) dup2(in, 0);
    if (out >= 0) dup2(out, 1);
    if (err >= 0) dup2(err, 2);
    if (channel >= 0) {
        if (channel == kChannelDescriptor) fcntl(channel, F_SETFD, 0);
        else dup2(channel, kChannelDescriptor);
    }
    if (folder != nullptr && chdir(folder) != 0) _exit(127);
    execve(argv[0], argv, envp);
    _exit(127);
}

}  // namespace

EditorInput::EditorInput(int fd, std::function<void(int)> idle) : fd_(fd), idle_(std::move(idle)) {}

EditorInput::int_type EditorInput::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (idle_) idle_(fd_);
    for (;;) {
        const ssize_t got = read(fd_, buffer_, sizeof buffer_);
        if (got > 0) {
            setg(buffer_, buffer_, buffer_ + got);
            return traits_type::to_int_type(buffer_[0]);
        }
        if (got < 0 && errno == EINTR) continue;
        return traits_type::eof();
    }
}

std::streamsize EditorInput::showmanyc()
{
    pollfd one{fd_, POLLIN, 0};
    return poll(&one, 1, 0) > 0 && (one.revents & POLLIN) ? 1 : 0;
}

void IgnoreBrokenPipes() { signal(SIGPIPE, SIG_IGN); }

std::string MakeTemporaryFolder(std::string& error)
{
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/kvbasic-dap-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "cannot make a temporary folder: " + std::string(std::strerror(errno));
        return "";
    }
    return pattern;
}

std::string ThisProgram()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "/proc/self/exe";
    return std::string(path, static_cast<std::size_t>(length));
}

int RunToEnd(const std::vector<std::string>& argv, std::string& output, std::string& error)
{
    std::vector<std::string> args = argv;
    std::vector<char*> argPointers = Pointers(args);
    std::vector<std::string> environment = Environment({});
    std::vector<char*> envPointers = Pointers(environment);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe: " + std::string(std::strerror(errno));
        return -1;
    }
    const int empty = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t pid = fork();
    if (pid == 0) ExecChild(argPointers.data(), envPointers.data(), nullptr, empty, pipeEnds[1], pipeEnds[1], -1);
    close(pipeEnds[1]);
    if (empty >= 0) close(empty);
    if (pid < 0) {
        close(pipeEnds[0]);
        error = "cannot start " + argv[0] + ": " + std::strerror(errno);
        return -1;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0) output.append(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno == EINTR) continue;
        else break;
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        if (WEXITSTATUS(status) == 127 && output.empty()) error = "cannot start " + argv[0];
        return WEXITSTATUS(status);
    }
    error = argv[0] + " ended by signal " + std::to_string(WTERMSIG(status));
    return -1;
}

std::unique_ptr<DebuggeeProcess> DebuggeeProcess::Start(const ProcessSettings& settings, std::string& error)
{
    int sockets[2], out[2], err[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        error = "cannot make the debug channel: " + std::string(std::strerror(errno));
        return nullptr;
    }
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        error = "cannot make the program's pipes: " + std::string(std::strerror(errno));
        close(sockets[0]);
        close(sockets[1]);
        return nullptr;
    }
    std::vector<std::string> args{settings.executable};
    args.insert(args.end(), settings.arguments.begin(), settings.arguments.end());
    std::vector<char*> argPointers = Pointers(args);
    auto changes = settings.environment;
    changes.emplace_back(settings.channelVariable, std::to_string(kChannelDescriptor));
    std::vector<std::string> environment = Environment(changes);
    std::vector<char*> envPointers = Pointers(environment);
    const int empty = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const char* folder = settings.workingFolder.empty() ? nullptr : settings.workingFolder.c_str();

    const pid_t pid = fork();
    if (pid == 0) ExecChild(argPointers.data(), envPointers.data(), folder, empty, out[1], err[1], sockets[1]);
    close(sockets[1]);
    close(out[1]);
    close(err[1]);
    if (empty >= 0) close(empty);
    if (pid < 0) {
        error = "cannot start the program: " + std::string(std::strerror(errno));
        close(sockets[0]);
        close(out[0]);
        close(err[0]);
        return nullptr;
    }
    // Also in the parent, so that a kill right after the fork finds the group.
    setpgid(pid, pid);
    std::unique_ptr<DebuggeeProcess> process(new DebuggeeProcess);
    process->pid_ = pid;
    process->channel_ = sockets[0];
    process->output_ = out[0];
    process->errors_ = err[0];
    for (const int fd : {out[0], err[0], sockets[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return process;
}

DebuggeeProcess::~DebuggeeProcess()
{
    End(0);
    CloseAll();
}

void DebuggeeProcess::CloseAll()
{
    CloseIfOpen(channel_);
    CloseIfOpen(output_);
    CloseIfOpen(errors_);
}

bool DebuggeeProcess::Send(const std::string& bytes)
{
    std::size_t sent = 0;
    while (channel_ >= 0 && sent < bytes.size()) {
        const ssize_t wrote = send(channel_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (wrote > 0) {
            sent += static_cast<std::size_t>(wrote);
        } else if (wrote < 0 && errno == EAGAIN) {
            pollfd one{channel_, POLLOUT, 0};
            poll(&one, 1, 1000);
        } else if (!(wrote < 0 && errno == EINTR)) {
            return false;
        }
    }
    return channel_ >= 0;
}

ProgramInput DebuggeeProcess::Wait(int editorFd, int timeoutMs)
{
    ProgramInput input;
    pollfd fds[4];
    int* owners[3] = {&channel_, &output_, &errors_};
    std::string* targets[3] = {&input.channel, &input.output, &input.errors};
    nfds_t count = 0;
    int which[4];
    for (int k = 0; k < 3; ++k)
        if (*owners[k] >= 0) {
            fds[count] = {*owners[k], POLLIN, 0};
            which[count++] = k;
        }
    if (editorFd >= 0) {
        fds[count] = {editorFd, POLLIN, 0};
        which[count++] = 3;
    }
    if (count == 0) {
        input.channelEnded = true;
        return input;
    }
    const int ready = poll(fds, count, timeoutMs);
    if (ready == 0) input.timedOut = true;
    for (nfds_t k = 0; ready > 0 && k < count; ++k) {
        if (fds[k].revents == 0) continue;
        if (which[k] == 3) {
            input.editorReady = true;
            continue;
        }
        if (!ReadAvailable(*owners[which[k]], *targets[which[k]])) CloseIfOpen(*owners[which[k]]);
    }
    input.channelEnded = channel_ < 0 && output_ < 0 && errors_ < 0;
    return input;
}

bool DebuggeeProcess::HasExited()
{
    if (reaped_ || pid_ < 0) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
    reaped_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    kill(-pid_, SIGKILL);
    return true;
}

int DebuggeeProcess::End(int graceMs)
{
    if (reaped_ || pid_ < 0) return exitCode_;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (done < 0 && errno != EINTR) {
            reaped_ = true;
            return exitCode_;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(-pid_, SIGKILL);
            kill(pid_, SIGKILL);
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        usleep(10000);
    }
    // Whatever the program started in its group goes with it.
    kill(-pid_, SIGKILL);
    reaped_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exitCode_;
}

}  // namespace kvdap
