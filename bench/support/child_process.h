// Programs the benchmarks run as child processes: started with
// posix_spawn in an environment of the benchmark's own, optionally on
// pipes, and measured from the outside (the children's CPU totals, or one
// thread's CPU time read from /proc while the process runs).
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// The folder for the benchmarks' scratch files: $TMPDIR, else /tmp.
inline std::string ScratchFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
}

// This process's environment less the variables named in `drop`, plus
// `add` ("NAME=value" each; later entries win).
inline std::vector<std::string> Environment(const std::vector<std::string>& add,
                                            const std::vector<std::string>& drop = {})
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool dropped = false;
        for (const std::string& name : drop) dropped = dropped || entry.rfind(name + "=", 0) == 0;
        for (const std::string& mine : add) dropped = dropped || entry.rfind(mine.substr(0, mine.find('=') + 1), 0) == 0;
        if (!dropped) env.push_back(entry);
    }
    env.insert(env.end(), add.begin(), add.end());
    return env;
}

struct ChildOptions {
    bool pipes = false;         // standard input and output are pipes to the benchmark
    bool quietStderr = true;    // standard error goes to /dev/null
};

struct Child {
    pid_t pid = -1;
    int input = -1;   // the child's standard input (with pipes)
    int output = -1;  // the child's standard output (with pipes)
    bool started() const { return pid > 0; }
};

// Starts `argv[0]` (a path) with `argv` and `env`; pid -1 when it could not.
inline Child Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   ChildOptions options = {})
{
    Child child;
    int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
    if (options.pipes && (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)) return child;
    std::vector<std::string> args = argv, environment = env;
    std::vector<char*> argp, envp;
    for (std::string& a : args) argp.push_back(a.data());
    argp.push_back(nullptr);
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.pipes) {
        posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    }
    if (options.quietStderr) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const bool started = posix_spawn(&child.pid, args[0].c_str(), &actions, nullptr, argp.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (options.pipes) {
        close(toChild[0]);
        close(fromChild[1]);
        child.input = toChild[1];
        child.output = fromChild[0];
    }
    if (!started) {
        child.pid = -1;
        if (options.pipes) {
            close(child.input);
            close(child.output);
            child.input = child.output = -1;
        }
    }
    return child;
}

// Waits for the child's end; whether it exited with code 0.
inline bool WaitSucceeded(Child& child)
{
    int status = 0;
    if (child.pid <= 0 || waitpid(child.pid, &status, 0) != child.pid) return false;
    child.pid = -1;
    if (child.input >= 0) close(child.input);
    if (child.output >= 0) close(child.output);
    child.input = child.output = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// CPU seconds (user + system) of the ended children that were waited for.
inline double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The fields of /proc/<pid>/stat after the command's name ("S 1 ...": the
// state is field 3); empty when the process is gone.
inline std::vector<std::string> StatFields(const std::string& statPath)
{
    std::ifstream in(statPath);
    std::string stat;
    std::getline(in, stat);
    const std::size_t close = stat.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos) return fields;
    std::istringstream rest(stat.substr(close + 2));
    for (std::string field; rest >> field;) fields.push_back(field);
    return fields;
}

// The CPU time of a running process, its main thread's and all its
// threads', sampled from the outside: the last values read before the
// process ended (or became a zombie, whose thread times are gone).
class ProcessSampler {
public:
    explicit ProcessSampler(pid_t pid)
        : process_("/proc/" + std::to_string(pid) + "/stat"),
          mainThread_("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat")
    {
    }

    // Reads once more; false when the process has ended.
    bool Sample()
    {
        const std::vector<std::string> thread = StatFields(mainThread_), process = StatFields(process_);
        if (thread.size() < 13 || process.size() < 13 || thread[0] == "Z" || thread[0] == "X") return false;
        mainThreadSeconds_ = CpuSeconds(thread);
        processSeconds_ = CpuSeconds(process);
        return true;
    }
    double mainThread() const { return mainThreadSeconds_; }
    double process() const { return processSeconds_; }

private:
    // Fields 14 and 15 of the stat line (utime, stime), in clock ticks.
    static double CpuSeconds(const std::vector<std::string>& fields)
    {
        return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    std::string process_, mainThread_;
    double mainThreadSeconds_ = 0, processSeconds_ = 0;
};

// The seconds a process's main thread has spent on a CPU, from the
// scheduler's count of nanoseconds (finer than the clock ticks of
// /proc/<pid>/stat); -1 when the process is gone.
inline double MainThreadRunSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
    long long nanoseconds = -1;
    if (!(in >> nanoseconds)) return -1;
    return static_cast<double>(nanoseconds) * 1e-9;
}

// A descendant of `ancestor` whose command name is `name` (the name the
// system keeps is at most 15 characters), -1 when there is none (yet).
inline pid_t DescendantNamed(pid_t ancestor, const std::string& name)
{
    std::vector<std::pair<pid_t, pid_t>> parents;  // (pid, parent)
    std::vector<std::pair<pid_t, std::string>> names;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
            if (pid <= 0) continue;
            const std::vector<std::string> fields = StatFields("/proc/" + std::to_string(pid) + "/stat");
            if (fields.size() < 2) continue;
            parents.emplace_back(pid, static_cast<pid_t>(std::stol(fields[1])));
            std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
            std::string command;
            std::getline(comm, command);
            names.emplace_back(pid, command);
        }
        closedir(proc);
    }
    auto parentOf = [&](pid_t pid) {
        for (const auto& [child, parent] : parents)
            if (child == pid) return parent;
        return pid_t{0};
    };
    for (const auto& [pid, command] : names) {
        if (command != name.substr(0, 15)) continue;
        for (pid_t up = parentOf(pid); up > 1; up = parentOf(up))
            if (up == ancestor) return pid;
    }
    return -1;
}

}  // namespace bench
