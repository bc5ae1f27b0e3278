// libFuzzer harness for the scripted input source: a script of arbitrary
// bytes is loaded and every entry applied, then the keyboard, mouse and
// joysticks are read as the input layer reads them.
//
// The reader loads its script once per process, so each input runs in a
// child process of its own; a sanitizer report or crash there fails the
// run here.
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/input_script.h"

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/kvfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        static std::string made = pattern;
        std::atexit([] {
            std::remove((made + "/script.txt").c_str());
            std::remove((made + "/stderr.txt").c_str());
            std::remove(made.c_str());
        });
        return pattern;
    }();
    return folder;
}

void RunScript()
{
    namespace script = platform::script;
    if (!script::Active()) std::abort();
    // The entries of the first frames are applied one frame at a time, as
    // the frame loop applies them.
    for (int frame = 0; frame < 64; ++frame) script::NextFrame();
    unsigned char keys[256];
    script::Keyboard(keys);
    script::Mouse();
    platform::JoystickSample sample;
    for (int j = -1; j <= 10; ++j) script::Joystick(j, &sample);
    script::JoystickCount();
    script::QuitRequested();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string script = Folder() + "/script.txt";
    const std::string said = Folder() + "/stderr.txt";
    std::FILE* file = std::fopen(script.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        // The reader's complaints about bad lines are expected; they are
        // only shown, with any sanitizer report, when the child fails.
        if (std::freopen(said.c_str(), "w", stderr) == nullptr) _exit(3);
        setenv("KV_INPUT_SCRIPT", script.c_str(), 1);
        RunScript();
        _exit(0);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) std::abort();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "input script reader failed (status %d) on this input:\n", status);
        if (std::FILE* report = std::fopen(said.c_str(), "rb")) {
            char buffer[4096];
            std::size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, report)) > 0) std::fwrite(buffer, 1, got, stderr);
            std::fclose(report);
        }
        std::abort();
    }
    return 0;
}
