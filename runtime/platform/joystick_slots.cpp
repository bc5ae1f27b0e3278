// Opening, hot-plugging and closing the joysticks and pads.
#include "platform/joystick_slots.h"

namespace platform::joysticks {

namespace {

constexpr int kMaxSlots = 10;
Slot g_slots[kMaxSlots];
int g_maxCount = 0;
bool g_started = false;
unsigned long g_changes = 0;

SDL_JoystickID InstanceOf(const Slot& slot) { return SDL_JoystickInstanceID(slot.joystick); }

bool Held(SDL_JoystickID id)
{
    for (const Slot& slot : g_slots)
        if (slot.joystick != nullptr && InstanceOf(slot) == id) return true;
    return false;
}

// A pad the game controller database knows is read by its standard
// buttons and axes; every other device as the plain joystick it is.
bool OpenInto(Slot& slot, int deviceIndex)
{
    if (SDL_IsGameController(deviceIndex)) {
        slot.controller = SDL_GameControllerOpen(deviceIndex);
        if (slot.controller != nullptr) {
            slot.joystick = SDL_GameControllerGetJoystick(slot.controller);
            return true;
        }
    }
    slot.controller = nullptr;
    slot.joystick = SDL_JoystickOpen(deviceIndex);
    return slot.joystick != nullptr;
}

void Release(Slot& slot)
{
    if (slot.controller != nullptr)
        SDL_GameControllerClose(slot.controller);
    else if (slot.joystick != nullptr)
        SDL_JoystickClose(slot.joystick);
    slot = Slot{};
}

// Brings the table in line with the attached devices: closes the ones that
// left, opens new ones into the lowest free numbers.
void Reconcile()
{
    if (!g_started) return;
    for (Slot& slot : g_slots) {
        if (slot.joystick == nullptr || SDL_JoystickGetAttached(slot.joystick)) continue;
        Release(slot);
        ++g_changes;
    }
    const int attached = SDL_NumJoysticks();
    for (int device = 0; device < attached; ++device) {
        if (Held(SDL_JoystickGetDeviceInstanceID(device))) continue;
        for (int n = 0; n < g_maxCount; ++n) {
            if (g_slots[n].joystick != nullptr) continue;
            if (OpenInto(g_slots[n], device)) ++g_changes;
            break;
        }
    }
}

}  // namespace

int Open(int maxCount)
{
    Close();
    // Pads report their face buttons by position, not by the letters
    // printed on them, so the bottom button is button 0 on every pad.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return 0;
    g_started = true;
    g_maxCount = maxCount < kMaxSlots ? maxCount : kMaxSlots;
    int opened = 0;
    const int attached = SDL_NumJoysticks();
    for (int device = 0; device < attached && opened < g_maxCount; ++device)
        if (OpenInto(g_slots[opened], device)) ++opened;
    return opened;
}

void Close()
{
    for (Slot& slot : g_slots) Release(slot);
    if (g_started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_started = false;
    g_maxCount = 0;
}

void FollowDeviceEvents()
{
    if (!g_started) return;
    SDL_Event events[16];
    bool any = false;
    int taken;
    while ((taken = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED)) > 0)
        any = true;
    if (any) Reconcile();
}

void NoteDeviceEvent(const SDL_Event& event)
{
    if (event.type == SDL_JOYDEVICEADDED || event.type == SDL_JOYDEVICEREMOVED) Reconcile();
}

int Count()
{
    for (int n = kMaxSlots; n > 0; --n)
        if (g_slots[n - 1].joystick != nullptr) return n;
    return 0;
}

unsigned long Changes() { return g_changes; }

const Slot* At(int index)
{
    if (index < 0 || index >= kMaxSlots || g_slots[index].joystick == nullptr) return nullptr;
    return &g_slots[index];
}

}  // namespace platform::joysticks
