// For C++ code linked with a program that calls OpenGL itself. Between the
// two calls the program may use the context freely, and 2D commands draw
// through whatever matrices it set; outside them the runtime assumes it
// alone changes OpenGL state.
#pragma once

// Draws what the 2D layer still holds and leaves OpenGL in the state every
// 2D frame starts from (Make2DViewport): viewport and projection of the
// drawing area (origin top-left, y sent negated), identity model-view,
// texturing on, alpha test GL_GREATER 0.5, colour (1, 1, 1, 1); and alpha
// mode 0 (blending off), as SHOWSCREEN leaves it. The drawing area has a
// depth buffer in use from here on, its alpha is 1 everywhere, like an
// RGB buffer's, and its rows are in OpenGL's order (bottom row first) for
// the program's viewports, scissor boxes, reads and copies, for good.
void BeginOwnOpenGL();
// Hands OpenGL back: the runtime forgets what it believed about the state
// and sets the same 2D state and alpha mode 0 again; what the program drew
// stays in the frame.
void EndOwnOpenGL();
