// libFuzzer harness for the scripted input source: a script of arbitrary
// bytes is loaded and every entry applied frame by frame, then the keyboard,
// mouse and joysticks are read as the input layer reads them.
//
// Everything runs in this process, so the fuzzer sees the reader's
// coverage: the reader is told to forget the previous script before each
// input. Its complaints about bad lines go to stderr, which the harness's
// flags close (sanitizer reports still show).
#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/input_script.h"

namespace {

const std::string& ScriptPath()
{
    static const std::string path = [] {
        std::string pattern = "/tmp/kvfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        static std::string folder = pattern;
        std::atexit([] {
            std::remove((folder + "/script.txt").c_str());
            std::remove(folder.c_str());
        });
        return pattern + "/script.txt";
    }();
    return path;
}

void Expect(bool condition, const char* what)
{
    if (condition) return;
    // Through the sanitizers' report channel: the flags close stderr.
    const std::string summary = std::string("input script reader: ") + what;
    __sanitizer_report_error_summary(summary.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace script = platform::script;
    const std::string& path = ScriptPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    setenv("KV_INPUT_SCRIPT", path.c_str(), 1);

    script::ReloadForTesting();
    Expect(script::Active(), "a readable script is not active");
    unsigned long seed = 0;
    script::Seed(&seed);
    // The entries of the first frames are applied one frame at a time, as
    // the frame loop applies them; the mouse is read every frame, the rest
    // at the end.
    for (int frame = 0; frame < 64; ++frame) {
        script::Mouse();
        const platform::MouseSample again = script::Mouse();
        Expect(again.dx == 0 && again.dy == 0, "mouse motion is reported twice");
        script::QuitRequested();
        script::NextFrame();
    }
    unsigned char keys[256];
    script::Keyboard(keys);
    for (int dik = 0; dik < 256; ++dik) {
        Expect(keys[dik] == 0 || keys[dik] == 0x80, "a key is neither up (0) nor held (0x80)");
        Expect(script::TypedCharacter(dik) < 0x80, "a key types a character above 127");
    }
    const int count = script::JoystickCount();
    Expect(count >= 0 && count <= 10, "more joysticks than ten");
    platform::JoystickSample sample;
    for (int j = -1; j <= 10; ++j) {
        const bool present = script::Joystick(j, &sample);
        Expect(present == (j >= 0 && j < count), "a joystick outside the count answers");
        if (present)
            Expect(sample.x >= -1 && sample.x <= 1 && sample.y >= -1 && sample.y <= 1 && sample.z >= 0 &&
                       sample.z <= 65535,
                   "a joystick axis is out of range");
    }
    return 0;
}
