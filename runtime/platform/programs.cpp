// Starting other programs: no shell, the words passed as they are.
#include "platform/platform.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

extern char** environ;

namespace platform {

namespace {

// Children started without waiting; reaped at the next start so that they
// do not linger as zombies.
std::vector<pid_t> g_unwaitedChildren;

void ReapFinishedChildren()
{
    for (std::size_t i = 0; i < g_unwaitedChildren.size();) {
        int status = 0;
        pid_t result = waitpid(g_unwaitedChildren[i], &status, WNOHANG);
        if (result == 0) {
            ++i;
            continue;
        }
        // Finished (or no longer ours): forget it.
        g_unwaitedChildren.erase(g_unwaitedChildren.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

int WaitForExitCode(pid_t child)
{
    int status = 0;
    for (;;) {
        const pid_t result = waitpid(child, &status, WNOHANG);
        if (result == child) break;
        if (result < 0 && errno != EINTR) return 0;
        // A termination signal ends the wait at once: the caller takes the
        // close path, the child runs on (and is reaped if we live on).
        if (TerminationRequested()) {
            g_unwaitedChildren.push_back(child);
            return 0;
        }
        SleepMilliseconds(5);
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 0;
}

// Starts argv; with outputFd >= 0 the child's standard output goes there.
bool Spawn(const std::vector<std::string>& argv, int outputFd, pid_t* child)
{
    if (argv.empty() || argv[0].empty()) return false;
    ReapFinishedChildren();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The child inherits no open files of the runtime.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

    // The child starts with no blocked signals and default termination
    // handling, whatever the runtime has installed.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> words;
    for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);

    int result = posix_spawnp(child, argv[0].c_str(), &actions, &attributes, words.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0;
}

}  // namespace

bool StartProgram(const std::vector<std::string>& argv, bool wait, int* exitCode)
{
    pid_t child = 0;
    if (!Spawn(argv, -1, &child)) return false;
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
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    pid_t child = 0;
    bool started = Spawn(argv, pipeEnds[1], &child);
    close(pipeEnds[1]);
    if (started) {
        char buffer[4096];
        for (;;) {
            ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
            if (got < 0 && errno == EINTR && !TerminationRequested()) continue;
            if (got <= 0) break;
            output->append(buffer, static_cast<std::size_t>(got));
        }
        *exitCode = WaitForExitCode(child);
    }
    close(pipeEnds[0]);
    return started;
}

}  // namespace platform
