// Everything of the debug adapter that needs the operating system's
// processes and file descriptors (POSIX, this file's .cpp alone): the
// editor's input as a stream that waits with poll() for the program's
// output meanwhile, the build run to its end, and the program being
// debugged: started in its own process group with one end of a socket pair
// as its debug channel and pipes for its output, and ended with nothing of
// it left running.
#pragma once

#include <functional>
#include <memory>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace kvdap {

// The editor's messages on a file descriptor. Before each read that would
// wait, `idle(fd)` is called: it returns once the descriptor has bytes (or
// has ended), serving the program meanwhile.
class EditorInput : public std::streambuf {
public:
    EditorInput(int fd, std::function<void(int fd)> idle);

protected:
    int_type underflow() override;
    std::streamsize showmanyc() override;

private:
    int fd_;
    std::function<void(int)> idle_;
    char buffer_[65536];
};

// Writes that fail because the reader has gone (the editor, the program)
// fail with an error instead of ending the adapter.
void IgnoreBrokenPipes();

// A folder of its own under the system's temporary folder, or "".
std::string MakeTemporaryFolder(std::string& error);

// Runs `argv` (argv[0] a path) with standard input empty and waits for its
// end; its standard output and error, interleaved, into `output`. The exit
// code, or -1 with `error` when it could not be started or ended by a signal.
int RunToEnd(const std::vector<std::string>& argv, std::string& output, std::string& error);

// The path of the program running now (for starting it again).
std::string ThisProgram();

struct ProcessSettings {
    std::string executable;
    std::vector<std::string> arguments;
    std::string workingFolder;
    // Added to (or replacing in) the adapter's own environment.
    std::vector<std::pair<std::string, std::string>> environment;
    std::string channelVariable = "KV_DEBUG_CHANNEL";  // names the channel's descriptor
};

// What came from the program during one Wait.
struct ProgramInput {
    std::string channel, output, errors;
    bool channelEnded = false;  // the channel closed and both pipes ended
    bool editorReady = false;   // the editor's descriptor has bytes (or ended)
    bool timedOut = false;
};

class DebuggeeProcess {
public:
    // Starts the program; nullptr with `error` when it cannot be.
    static std::unique_ptr<DebuggeeProcess> Start(const ProcessSettings& settings, std::string& error);
    // Ends the process group if it still runs.
    ~DebuggeeProcess();
    DebuggeeProcess(const DebuggeeProcess&) = delete;
    DebuggeeProcess& operator=(const DebuggeeProcess&) = delete;

    // Writes a message's bytes to the channel; false when it is closed.
    bool Send(const std::string& bytes);
    // Waits up to `timeoutMs` (-1: no limit) for bytes of the program, or
    // for the editor's descriptor (`editorFd` -1: not watched), and reads
    // what is there.
    ProgramInput Wait(int editorFd, int timeoutMs);
    // Waits up to `graceMs` for the program to end, then kills its process
    // group; reaps it. The exit code (-1 when killed or by a signal).
    int End(int graceMs);
    // Whether the program itself has ended (reaped now if so): a child it
    // left may still hold its pipes and channel open.
    bool HasExited();

private:
    DebuggeeProcess() = default;
    void CloseAll();

    int pid_ = -1;
    int channel_ = -1, output_ = -1, errors_ = -1;
    bool reaped_ = false;
    int exitCode_ = -1;
};

}  // namespace kvdap
