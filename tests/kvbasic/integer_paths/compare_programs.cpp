// Runs each generated program twice, translated with the integer paths and
// without them, each run in a process of its own (forked), and compares what the two
// print on stdout and stderr and their exit codes: the integer paths must
// give exactly the results of the doubles, runtime errors 8 and 9 on the
// same line included.
//
//   integer_paths_compare --compare FIRST END SOURCES   programs FIRST..END-1
//   integer_paths_compare --run N integer|double        one program, one translation
//
// SOURCES is the folder of the programs' BASIC sources, named when a
// comparison fails. A run that ends by a signal (or by the time limit) fails
// the comparison too: every generated program ends by itself. So does a
// range of programs of which too few ran to their end or none stopped with
// a runtime error: the generator would have lost its aim.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "program_table.h"

namespace {

constexpr unsigned kSecondsPerRun = 60;

struct RunResult {
    bool exited = false;
    int status = -1;  // the exit code, or the signal
    std::string out, err;
};

// Runs the program's SUBs and ends the process as the program would: exit
// code 0, or through the runtime's fatal error (exit code 1). A program
// that never ends is stopped by the alarm's signal instead of the test's
// time limit.
[[noreturn]] void RunProgram(const ProgramRun* programs, int number)
{
    alarm(kSecondsPerRun);
    programs[number]();
    std::fflush(stdout);
    std::exit(0);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// One translation of one program, in a child process forked from this one
// (whose globals no program has touched yet): stdout and stderr to files
// of `folder`.
RunResult Run(const std::string& folder, int number, const ProgramRun* programs)
{
    const std::string out = folder + "/out", err = folder + "/err";
    RunResult result;
    std::fflush(stdout);  // nothing of ours buffered for the child to write again
    const pid_t child = fork();
    if (child < 0) {
        result.err = "could not fork";
        return result;
    }
    if (child == 0) {
        const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFile < 0 || errFile < 0 || dup2(outFile, 1) < 0 || dup2(errFile, 2) < 0) _exit(3);
        close(outFile);
        close(errFile);
        RunProgram(programs, number);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    result.exited = WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

// The first line where the two texts differ, with its number.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    std::istringstream left(a), right(b);
    std::string l, r;
    for (int line = 1;; ++line) {
        const bool hasLeft = static_cast<bool>(std::getline(left, l));
        const bool hasRight = static_cast<bool>(std::getline(right, r));
        if (!hasLeft && !hasRight) return "(the same lines)";
        if (!hasLeft) l = "(end)";
        if (!hasRight) r = "(end)";
        if (l != r || !hasLeft || !hasRight)
            return "line " + std::to_string(line) + ":\n    integer: " + l + "\n    double:  " + r;
    }
}

std::string Describe(const RunResult& run)
{
    return run.exited ? "exit code " + std::to_string(run.status) : "signal " + std::to_string(run.status);
}

int Compare(int first, int end, const std::string& sources)
{
    char folderTemplate[] = "/tmp/integer_paths_XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (folder == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    int same = 0, differ = 0, completed = 0, error8 = 0, error9 = 0, otherwise = 0;
    for (int number = first; number < end; ++number) {
        const RunResult integer = Run(folder, number, kIntegerPrograms);
        const RunResult doubles = Run(folder, number, kDoublePrograms);
        const bool agree = integer.exited && doubles.exited && integer.status == doubles.status &&
                           integer.out == doubles.out && integer.err == doubles.err;
        if (!agree) {
            ++differ;
            std::printf("program %d (%s/p%d.bas): the translations differ\n", number, sources.c_str(), number);
            std::printf("  integer paths: %s; doubles: %s\n", Describe(integer).c_str(), Describe(doubles).c_str());
            if (integer.out != doubles.out)
                std::printf("  stdout, %s\n", FirstDifference(integer.out, doubles.out).c_str());
            if (integer.err != doubles.err)
                std::printf("  stderr, %s\n", FirstDifference(integer.err, doubles.err).c_str());
            continue;
        }
        ++same;
        if (integer.status == 0) ++completed;
        else if (integer.err.find("runtime error 8:") != std::string::npos) ++error8;
        else if (integer.err.find("runtime error 9:") != std::string::npos) ++error9;
        else {
            ++otherwise;
            std::printf("program %d (%s/p%d.bas) failed alike in both translations (%s):\n%s\n", number,
                        sources.c_str(), number, Describe(integer).c_str(), integer.err.substr(0, 2000).c_str());
        }
    }
    unlink((std::string(folder) + "/out").c_str());
    unlink((std::string(folder) + "/err").c_str());
    rmdir(folder);
    const int count = end - first;
    std::printf("programs %d to %d: %d the same, %d different; ran to the end %d, runtime error 8: %d, "
                "runtime error 9: %d, other failures %d\n",
                first, end - 1, same, differ, completed, error8, error9, otherwise);
    // The programs must keep their aim: most of them run to the end, some
    // stop on each of the array errors, none ends otherwise.
    const bool aimKept = completed * 2 >= count && error9 > 0 && error8 > 0 && otherwise == 0;
    if (!aimKept) std::printf("the generated programs no longer cover what they should\n");
    std::printf("%d passed, %d failed\n", same, count - same);
    return differ == 0 && aimKept ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--run") == 0) {
        const int number = std::atoi(argv[2]);
        if (number < 0 || number >= kProgramCount) return 2;
        RunProgram(std::strcmp(argv[3], "integer") == 0 ? kIntegerPrograms : kDoublePrograms, number);
    }
    if (argc == 5 && std::strcmp(argv[1], "--compare") == 0) {
        const int first = std::atoi(argv[2]), end = std::atoi(argv[3]);
        if (first < 0 || end > kProgramCount || first >= end) return 2;
        return Compare(first, end, argv[4]);
    }
    std::fprintf(stderr, "usage: %s --compare FIRST END SOURCES | --run N integer|double\n", argv[0]);
    return 2;
}
