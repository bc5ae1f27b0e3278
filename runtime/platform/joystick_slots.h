// The joysticks and pads the program reads, by number (platform-internal).
// Devices come and go while the program runs: a device that arrives takes
// the lowest free number, one that leaves frees its number and the others
// keep theirs, so a second player's pad stays number 1 while the first
// player's pad is unplugged and plugged in again.
#pragma once

#include <SDL.h>

namespace platform::joysticks {

struct Slot {
    SDL_Joystick* joystick = nullptr;          // null: the number is free
    SDL_GameController* controller = nullptr;  // set for a pad SDL's game controller database knows
};

// Starts SDL's joystick and game controller systems and opens up to
// maxCount attached devices, in SDL's order; returns how many.
int Open(int maxCount);
void Close();
// Takes SDL's device-added and device-removed events out of the queue
// (leaving every other event queued) and follows them.
void FollowDeviceEvents();
// Follows one device-added or device-removed event the pump took.
void NoteDeviceEvent(const SDL_Event& event);
// One more than the highest number in use (0 when none).
int Count();
// Grows whenever a device arrives or leaves.
unsigned long Changes();
// The device with this number, null when the number is free or out of range.
const Slot* At(int index);

}  // namespace platform::joysticks
