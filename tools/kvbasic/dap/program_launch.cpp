#include "program_launch.h"

#include <filesystem>

namespace kvdap {

namespace fs = std::filesystem;

ProgramStarter BuildAndStart(std::string sdk)
{
    return [sdk](const LaunchRequest& request, std::string& buildOutput, std::string& error) {
        LaunchedProgram launched;
        const std::string folder = MakeTemporaryFolder(error);
        if (folder.empty()) return launched;
        const fs::path source(request.source);
        const std::string program = (fs::path(folder) / source.stem()).string();
        std::vector<std::string> build{ThisProgram(), "build", request.source, "--debug", "-o", program};
        if (!sdk.empty()) {
            build.push_back("--sdk");
            build.push_back(sdk);
        }
        const int code = RunToEnd(build, buildOutput, error);
        std::error_code ignored;
        if (code != 0) {
            if (error.empty()) error = "the program does not build";
            fs::remove_all(folder, ignored);
            return launched;
        }
        ProcessSettings settings;
        settings.executable = program;
        settings.arguments = request.arguments;
        const std::string programFolder = source.parent_path().string();
        settings.workingFolder = request.workingFolder.empty() ? programFolder : request.workingFolder;
        settings.environment.emplace_back("KV_PROGRAM_FOLDER", programFolder);
        // The launch's own variables win (a game whose media are elsewhere
        // names their folder as KV_PROGRAM_FOLDER).
        settings.environment.insert(settings.environment.end(), request.environment.begin(), request.environment.end());
        launched.process = DebuggeeProcess::Start(settings, error);
        if (!launched.process) {
            fs::remove_all(folder, ignored);
            return launched;
        }
        launched.temporaryFolder = folder;
        return launched;
    };
}

}  // namespace kvdap
