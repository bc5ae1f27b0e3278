// Recorded play. While recording, the program sees the devices as they were
// at the start of each input frame (a presented frame or a wait pass), the
// same way it sees a script, so replaying the file gives the program exactly
// the input it had. Each frame's changes are written and flushed at once: a
// crash keeps everything before it.
#include "platform/input_recorder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/input_script.h"
#include "platform/real_devices.h"

namespace platform::recorder {

namespace {

constexpr int kMaxJoysticks = 10;

struct RecorderState {
    bool opened = false;
    std::FILE* file = nullptr;
    long frame = 0;
    unsigned char keys[256] = {};
    unsigned char typed[256] = {};
    int pendingDx = 0, pendingDy = 0;
    bool buttons[3] = {};
    JoystickSample joysticks[kMaxJoysticks];
    bool joystickWritten[kMaxJoysticks] = {};
    bool joystickPresent[kMaxJoysticks] = {};
};

RecorderState& State()
{
    static RecorderState state;
    return state;
}

void Open(RecorderState& state)
{
    state.opened = true;
    const char* given = std::getenv("KV_RECORD_INPUT");
    if (given == nullptr || given[0] == 0 || script::Active()) return;
    const std::string path = FromStartFolder(given);
    state.file = std::fopen(path.c_str(), "w");
    if (state.file == nullptr) {
        std::fprintf(stderr, "input recording %s cannot be written; not recording\n", path.c_str());
        return;
    }
    std::fprintf(state.file, "# input recorded by the runtime; replay with KV_INPUT_SCRIPT\n");
    std::fflush(state.file);
}

const char* UpDown(bool down) { return down ? "down" : "up"; }

void WriteJoystick(RecorderState& state, int n, const JoystickSample& now)
{
    JoystickSample& was = state.joysticks[n];
    const bool all = !state.joystickWritten[n];
    std::FILE* f = state.file;
    const long frame = state.frame;
    if (all || now.x != was.x) std::fprintf(f, "%ld joy %d axis x %d\n", frame, n, now.x);
    if (all || now.y != was.y) std::fprintf(f, "%ld joy %d axis y %d\n", frame, n, now.y);
    if (all || now.z != was.z) std::fprintf(f, "%ld joy %d axis z %d\n", frame, n, now.z);
    if (all || now.pov != was.pov)
        std::fprintf(f, "%ld joy %d hat %ld\n", frame, n, now.pov == 0xFFFFFFFFu ? -1L : static_cast<long>(now.pov));
    for (int b = 0; b < 32; ++b)
        if ((all && now.buttons[b] != 0) || (!all && now.buttons[b] != was.buttons[b]))
            std::fprintf(f, "%ld joy %d button %d %s\n", frame, n, b, UpDown(now.buttons[b] != 0));
    was = now;
    state.joystickWritten[n] = true;
}

void Sample(RecorderState& state)
{
    std::FILE* f = state.file;
    const long frame = state.frame;
    RefreshInputState();
    unsigned char keys[256];
    devices::Keyboard(keys);
    // A tap shorter than a frame still counts: held for this one frame.
    bool pressed[256];
    devices::TakeKeysPressed(pressed);
    for (int k = 0; k < 256; ++k)
        if (pressed[k] && keys[k] == 0 && state.keys[k] == 0) keys[k] = 0x80;
    for (int k = 0; k < 256; ++k) {
        if ((keys[k] != 0) == (state.keys[k] != 0)) continue;
        if (keys[k] != 0) {
            state.typed[k] = devices::TypedCharacter(k);
            std::fprintf(f, "%ld key %d down %d\n", frame, k, state.typed[k]);
        } else {
            state.typed[k] = 0;
            std::fprintf(f, "%ld key %d up\n", frame, k);
        }
        state.keys[k] = keys[k];
    }
    const MouseSample mouse = devices::Mouse();
    state.pendingDx = mouse.dx;
    state.pendingDy = mouse.dy;
    if (mouse.dx != 0 || mouse.dy != 0) std::fprintf(f, "%ld mouse %d %d\n", frame, mouse.dx, mouse.dy);
    static const char* const kButtonNames[3] = {"left", "right", "middle"};
    for (int b = 0; b < 3; ++b) {
        if (mouse.buttons[b] == state.buttons[b]) continue;
        state.buttons[b] = mouse.buttons[b];
        std::fprintf(f, "%ld button %s %s\n", frame, kButtonNames[b], UpDown(mouse.buttons[b]));
    }
    for (int n = 0; n < kMaxJoysticks; ++n) {
        JoystickSample now;
        state.joystickPresent[n] = devices::Joystick(n, &now);
        // A device that was unplugged is written down as one at rest.
        if (state.joystickPresent[n] || state.joystickWritten[n]) WriteJoystick(state, n, now);
    }
    std::fflush(f);
}

}  // namespace

bool Active()
{
    RecorderState& state = State();
    if (!state.opened) Open(state);
    return state.file != nullptr;
}

void NextFrame()
{
    if (!Active()) return;
    RecorderState& state = State();
    ++state.frame;
    Sample(state);
}

void NoteSeed(unsigned long seed)
{
    if (!Active()) return;
    std::fprintf(State().file, "0 seed %lu\n", seed);
    std::fflush(State().file);
}

void Finish()
{
    RecorderState& state = State();
    if (state.file == nullptr) return;
    // One frame later: the replay must not end before the recorded run did.
    std::fprintf(state.file, "%ld quit\n", state.frame + 1);
    std::fclose(state.file);
    state.file = nullptr;
}

void Keyboard(unsigned char keys[256])
{
    std::memcpy(keys, State().keys, 256);
}

unsigned char TypedCharacter(int dik)
{
    return dik >= 0 && dik < 256 ? State().typed[dik] : 0;
}

MouseSample Mouse()
{
    RecorderState& state = State();
    MouseSample sample;
    sample.dx = state.pendingDx;
    sample.dy = state.pendingDy;
    state.pendingDx = state.pendingDy = 0;
    for (int i = 0; i < 3; ++i) sample.buttons[i] = state.buttons[i];
    return sample;
}

bool Joystick(int index, JoystickSample* sample)
{
    RecorderState& state = State();
    if (index < 0 || index >= kMaxJoysticks || index >= devices::JoystickCount()) return false;
    // Unplugged at the start of this frame: gone, as for the live devices.
    if (state.joystickWritten[index] && !state.joystickPresent[index]) return false;
    *sample = state.joysticks[index];
    return true;
}

}  // namespace platform::recorder
