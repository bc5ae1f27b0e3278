// What `launch` starts: the .bas program built for debugging by this same
// kvbasic (`build PROG --debug`) into a temporary folder, then started
// with its debug channel, in its folder (or the editor's cwd), with its
// media found in the .bas file's folder.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "process_io.h"

namespace kvdap {

struct LaunchRequest {
    std::string source;  // the .bas file, absolute
    std::vector<std::string> arguments;
    std::string workingFolder;  // "" : the folder of the .bas file
    std::vector<std::pair<std::string, std::string>> environment;
};

// A program started for debugging, with the folder it was built into
// (removed when the program is done with).
struct LaunchedProgram {
    std::unique_ptr<DebuggeeProcess> process;
    std::string temporaryFolder;
};

// Builds and starts; on failure no process, with `error` (and the build's
// messages in `buildOutput`).
using ProgramStarter = std::function<LaunchedProgram(const LaunchRequest& request, std::string& buildOutput, std::string& error)>;

// The starter of `kvbasic dap`: builds with this program (against `sdk`
// when it is not "").
ProgramStarter BuildAndStart(std::string sdk);

}  // namespace kvdap
