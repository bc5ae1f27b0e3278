// The scripted input source: a text file of frame-numbered input states that
// replaces the devices, so an automated run is reproducible frame by frame.
//
//   <frame> key <dik> down|up [<character>]
//   <frame> layout <name> [<variant>]
//   <frame> seed <n>
//   <frame> mouse <dx> <dy>
//   <frame> button left|right|middle down|up
//   <frame> joy <n> axis x|y|z <value>
//   <frame> joy <n> hat <hundredths of a degree, -1 centred>
//   <frame> joy <n> button <0..31> down|up
//   <frame> screenshot <file.bmp>
//   <frame> quit
//
// Relative paths (of the script and of its screenshots) count from the
// folder the program was started in, not from the program's own folder that
// start-up changes into.
//
// Frame 0 is the start-up frame; an entry for frame N is in force while the
// program draws frame N (after N frames were presented or wait passes made:
// a pass of KEYWAIT or MOUSEWAIT counts as a frame). A screenshot of frame N
// is the picture presented as frame N. Lines starting with '#' and blank
// lines are ignored; a malformed line is reported on stderr and skipped.
//
// Typed characters: a key pressed down types what the layout (default "us",
// compiled in-process) gives it with the modifier keys then held (Shift,
// Ctrl, Alt, AltGr = DIK 184) and the locks (Caps Lock 58 and Num Lock 69
// toggle on each press; Num Lock starts on, Caps Lock off). A character
// code after "down" overrides the layout for that press (0: types nothing);
// recordings write it, so they replay the same on any layout.
#include "platform/input_script.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/keymap.h"
#include "platform/screenshot.h"

namespace platform::script {

namespace {

constexpr int kMaxJoysticks = 10;

struct Entry {
    long frame = 0;
    std::string verb;
    std::vector<std::string> words;
    int line = 0;
};

struct ScriptState {
    bool loaded = false;
    bool active = false;
    std::vector<Entry> entries;
    std::size_t next = 0;      // first entry not yet applied
    long frame = 0;            // the input frame now being drawn
    unsigned char keys[256] = {};
    unsigned char typed[256] = {};  // character of each key's current press
    bool capsLock = false;
    bool numLock = true;
    std::string layout = "us", variant;
    bool layoutTried = false;
    KeymapTranslator keymap;
    bool hasSeed = false;
    unsigned long seed = 0;
    int pendingDx = 0, pendingDy = 0;
    bool buttons[3] = {};
    JoystickSample joysticks[kMaxJoysticks];
    int joystickCount = 0;
    bool quit = false;
};

ScriptState& State()
{
    static ScriptState state;
    return state;
}

bool ParseInt(const std::string& text, long* value)
{
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != 0 || errno == ERANGE) return false;
    *value = parsed;
    return true;
}

// For values past 2^31, such as seeds: long has only 32 bits on Windows.
bool ParseInt(const std::string& text, long long* value)
{
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != 0 || errno == ERANGE) return false;
    *value = parsed;
    return true;
}

bool ParseDown(const std::string& text, bool* down)
{
    if (text == "down") { *down = true; return true; }
    if (text == "up") { *down = false; return true; }
    return false;
}

void Complain(const Entry& entry, const char* what)
{
    std::fprintf(stderr, "input script line %d: %s\n", entry.line, what);
}

// Which joystick numbers the script uses decides how many joysticks exist.
void CountJoystick(ScriptState& state, const Entry& entry)
{
    long n = 0;
    if (entry.verb == "joy" && !entry.words.empty() && ParseInt(entry.words[0], &n) && n >= 0 &&
        n < kMaxJoysticks && n + 1 > state.joystickCount)
        state.joystickCount = static_cast<int>(n) + 1;
}

// Sums of motion stay within int, however much a script moves the mouse.
int SaturatedSum(int a, long b)
{
    const long long sum = static_cast<long long>(a) + b;
    if (sum > INT_MAX) return INT_MAX;
    if (sum < INT_MIN) return INT_MIN;
    return static_cast<int>(sum);
}

unsigned char LayoutCharacter(ScriptState& state, int dik)
{
    if (!state.layoutTried) {
        state.layoutTried = true;
        std::string why;
        if (!state.keymap.Load(state.layout, state.variant, &why))
            std::fprintf(stderr, "input script: %s; keys type nothing\n", why.c_str());
    }
    const unsigned int c = state.keymap.Character(dik, state.keys, state.capsLock, state.numLock);
    return c < 0x80 ? static_cast<unsigned char>(c) : 0;
}

void PressKey(ScriptState& state, const Entry& entry, int dik, bool down)
{
    const bool wasDown = state.keys[dik] != 0;
    if (down && !wasDown) {
        if (dik == 0x3A) state.capsLock = !state.capsLock;
        if (dik == 0x45) state.numLock = !state.numLock;
        long given = 0;
        if (entry.words.size() == 3) {
            if (ParseInt(entry.words[2], &given) && given >= 0 && given < 0x80)
                state.typed[dik] = static_cast<unsigned char>(given);
            else
                Complain(entry, "the typed character must be a code 0..127");
        } else {
            state.typed[dik] = LayoutCharacter(state, dik);
        }
    }
    if (!down) state.typed[dik] = 0;
    state.keys[dik] = down ? 0x80 : 0;
}

void Apply(ScriptState& state, const Entry& entry)
{
    const std::vector<std::string>& w = entry.words;
    long a = 0, b = 0;
    bool down = false;
    if (entry.verb == "key") {
        if ((w.size() == 2 || (w.size() == 3 && w[1] == "down")) && ParseInt(w[0], &a) && a >= 0 &&
            a < 256 && ParseDown(w[1], &down))
            PressKey(state, entry, static_cast<int>(a), down);
        else
            Complain(entry, "expected: key <0..255> down [<character>] | up");
    } else if (entry.verb == "layout") {
        if (w.size() == 1 || w.size() == 2) {
            state.layout = w[0];
            state.variant = w.size() == 2 ? w[1] : std::string();
            state.layoutTried = false;
        } else {
            Complain(entry, "expected: layout <name> [<variant>]");
        }
    } else if (entry.verb == "mouse") {
        // Motion beyond the int range is refused; sums saturate.
        if (w.size() == 2 && ParseInt(w[0], &a) && ParseInt(w[1], &b) && a >= INT_MIN && a <= INT_MAX &&
            b >= INT_MIN && b <= INT_MAX) {
            state.pendingDx = SaturatedSum(state.pendingDx, a);
            state.pendingDy = SaturatedSum(state.pendingDy, b);
        } else {
            Complain(entry, "expected: mouse <dx> <dy>, each within -2147483648..2147483647");
        }
    } else if (entry.verb == "button") {
        int index = w.empty() ? -1 : w[0] == "left" ? 0 : w[0] == "right" ? 1 : w[0] == "middle" ? 2 : -1;
        if (w.size() == 2 && index >= 0 && ParseDown(w[1], &down))
            state.buttons[index] = down;
        else
            Complain(entry, "expected: button left|right|middle down|up");
    } else if (entry.verb == "joy") {
        if (w.size() < 3 || !ParseInt(w[0], &a) || a < 0 || a >= kMaxJoysticks) {
            Complain(entry, "expected: joy <0..9> axis|hat|button ...");
            return;
        }
        JoystickSample& joy = state.joysticks[a];
        if (w[1] == "axis" && w.size() == 4 && ParseInt(w[3], &b)) {
            if (w[2] == "x") joy.x = b < 0 ? -1 : b > 0 ? 1 : 0;
            else if (w[2] == "y") joy.y = b < 0 ? -1 : b > 0 ? 1 : 0;
            else if (w[2] == "z") joy.z = static_cast<int>(b < 0 ? 0 : b > 65535 ? 65535 : b);
            else Complain(entry, "axis must be x, y or z");
        } else if (w[1] == "hat" && w.size() == 3 && ParseInt(w[2], &b)) {
            joy.pov = b < 0 || b > 35999 ? 0xFFFFFFFFu : static_cast<unsigned int>(b);
        } else if (w[1] == "button" && w.size() == 4 && ParseInt(w[2], &b) && b >= 0 && b < 32 &&
                   ParseDown(w[3], &down)) {
            joy.buttons[b] = down ? 128 : 0;
        } else {
            Complain(entry, "expected: joy <n> axis x|y|z <v> | hat <pov> | button <0..31> down|up");
        }
    } else if (entry.verb == "quit") {
        state.quit = true;
    } else if (entry.verb != "screenshot" && entry.verb != "seed") {
        Complain(entry, "unknown entry");
    }
}

void ApplyUpTo(ScriptState& state, long frame)
{
    while (state.next < state.entries.size() && state.entries[state.next].frame <= frame) {
        Apply(state, state.entries[state.next]);
        ++state.next;
    }
}

void Load(ScriptState& state)
{
    state.loaded = true;
    const char* given = std::getenv("KV_INPUT_SCRIPT");
    if (given == nullptr || given[0] == 0) return;
    const std::string path = FromStartFolder(given);
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "input script %s cannot be read; using the devices\n", path.c_str());
        return;
    }
    state.active = true;
    std::string text;
    int lineNumber = 0;
    while (std::getline(in, text)) {
        ++lineNumber;
        std::istringstream words(text);
        std::string frameWord;
        if (!(words >> frameWord) || frameWord[0] == '#') continue;
        Entry entry;
        entry.line = lineNumber;
        if (!ParseInt(frameWord, &entry.frame) || entry.frame < 0 || !(words >> entry.verb)) {
            Complain(entry, "expected: <frame> <entry> ...");
            continue;
        }
        for (std::string word; words >> word;) entry.words.push_back(word);
        CountJoystick(state, entry);
        long long seed = 0;
        if (entry.verb == "seed") {
            if (entry.words.size() == 1 && ParseInt(entry.words[0], &seed) && seed >= 0 && seed <= 0xFFFFFFFFLL) {
                state.hasSeed = true;
                state.seed = static_cast<unsigned long>(seed);
            } else {
                Complain(entry, "expected: seed <0..4294967295>");
            }
        }
        // Entries keep file order within a frame; frames must not go back.
        if (!state.entries.empty() && entry.frame < state.entries.back().frame) {
            Complain(entry, "frames must not decrease; line skipped");
            continue;
        }
        state.entries.push_back(entry);
    }
    ApplyUpTo(state, 0);
}

}  // namespace

bool Active()
{
    ScriptState& state = State();
    if (!state.loaded) Load(state);
    return state.active;
}

void BeforePresent(int width, int height)
{
    if (!Active()) return;
    const long frame = State().frame;
    for (const Entry& entry : State().entries) {
        if (entry.frame != frame || entry.verb != "screenshot") continue;
        if (entry.words.size() != 1)
            Complain(entry, "expected: screenshot <file.bmp>");
        else if (const std::string path = FromStartFolder(entry.words[0].c_str());
                 !SaveDrawingArea(path.c_str(), width, height))
            std::fprintf(stderr, "input script line %d: cannot write %s\n", entry.line, path.c_str());
    }
}

void NextFrame()
{
    if (!Active()) return;
    ScriptState& state = State();
    ++state.frame;
    ApplyUpTo(state, state.frame);
}

bool Seed(unsigned long* seed)
{
    if (!Active() || !State().hasSeed) return false;
    *seed = State().seed;
    return true;
}

unsigned char TypedCharacter(int dik)
{
    if (dik < 0 || dik > 255) return 0;
    ScriptState& state = State();
    // A key not held answers what a press would type now.
    return state.keys[dik] != 0 ? state.typed[dik] : LayoutCharacter(state, dik);
}

bool QuitRequested()
{
    return Active() && State().quit;
}

void Keyboard(unsigned char keys[256])
{
    std::memcpy(keys, State().keys, 256);
}

MouseSample Mouse()
{
    ScriptState& state = State();
    MouseSample sample;
    sample.dx = state.pendingDx;
    sample.dy = state.pendingDy;
    state.pendingDx = state.pendingDy = 0;
    for (int i = 0; i < 3; ++i) sample.buttons[i] = state.buttons[i];
    return sample;
}

int JoystickCount()
{
    return State().joystickCount;
}

bool Joystick(int index, JoystickSample* sample)
{
    ScriptState& state = State();
    if (index < 0 || index >= state.joystickCount) return false;
    *sample = state.joysticks[index];
    return true;
}

void ReloadForTesting()
{
    ScriptState& state = State();
    ScriptState fresh;
    // The compiled default layout stays: compiling it takes longer than
    // reading a whole script.
    if (state.layoutTried && state.layout == "us" && state.variant.empty() && state.keymap.Loaded()) {
        fresh.keymap = std::move(state.keymap);
        fresh.layoutTried = true;
    }
    state = std::move(fresh);
}

}  // namespace platform::script
