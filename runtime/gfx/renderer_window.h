// The renderer's window and OpenGL context: the game window, the size of
// the drawing area and the display mode.
#pragma once

#include "platform/platform.h"

struct RendererWindow {
    platform::Window* hWnd = nullptr;  // the game window
    int width = 0;                     // drawing area in pixels
    int height = 0;
    bool fullscreen = false;  // the display mode is changed for full screen
    bool active = false;      // Init has completed
    bool hRC = false;         // the context exists (the platform layer holds it)
};
