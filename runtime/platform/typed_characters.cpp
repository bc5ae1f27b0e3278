// What each press of the real keyboard typed. SDL translates a key press
// through the X server's layout with the modifiers and locks in force
// (Shift, Caps Lock, AltGr, Num Lock, dead keys) and sends the result as a
// text event right after the key's own down event. A watch on the event
// queue pairs the two as they arrive, whoever takes them out of the queue
// later, and keeps the character beside the key until its next press.
#include <SDL.h>

#include "platform/platform.h"
#include "platform/real_devices.h"

namespace platform::devices {

namespace {

// What the watch has seen of the keyboard.
struct KeyWatch {
    unsigned char typed[256] = {};      // the character each key typed on its last press
    bool pressedSinceTaken[256] = {};   // went down since TakeKeysPressed
    int lastPressed = -1;               // DIK code of the latest key down, until its text
    bool watching = false;              // the watch is on the event queue
};
KeyWatch g_keyWatch;

int WatchKeyEvents(void*, SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN) {
        // (Also remembered for recordings, which sample once a frame.)
        const int dik = DikFromScancode(event->key.keysym.scancode);
        g_keyWatch.lastPressed = dik;
        if (dik != 0 && !event->key.repeat) g_keyWatch.typed[dik] = 0;
        if (dik != 0) g_keyWatch.pressedSinceTaken[dik] = true;
    } else if (event->type == SDL_KEYUP) {
        // The character stays until the key's next press: a recording that
        // samples after a short tap still learns what it typed.
        if (DikFromScancode(event->key.keysym.scancode) == g_keyWatch.lastPressed) g_keyWatch.lastPressed = -1;
    } else if (event->type == SDL_TEXTINPUT) {
        // One character of ASCII belongs to the key; longer texts (UTF-8
        // beyond 0x7F, composed input) type nothing.
        const unsigned char* text = reinterpret_cast<const unsigned char*>(event->text.text);
        if (g_keyWatch.lastPressed > 0 && text[0] != 0 && text[0] < 0x80 && text[1] == 0) g_keyWatch.typed[g_keyWatch.lastPressed] = text[0];
        g_keyWatch.lastPressed = -1;
    }
    return 1;
}

}  // namespace

void WatchTypedCharacters()
{
    if (g_keyWatch.watching) return;
    g_keyWatch.watching = true;
    SDL_AddEventWatch(WatchKeyEvents, nullptr);
    // Text events come only while text input is on.
    SDL_StartTextInput();
}

void TakeKeysPressed(bool pressed[256])
{
    for (int k = 0; k < 256; ++k) {
        pressed[k] = g_keyWatch.pressedSinceTaken[k];
        g_keyWatch.pressedSinceTaken[k] = false;
    }
}

unsigned char TypedCharacter(int dik)
{
    return dik >= 0 && dik < 256 ? g_keyWatch.typed[dik] : 0;
}

}  // namespace platform::devices
