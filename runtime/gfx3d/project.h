// Projection of a world point to window coordinates through the current
// OpenGL viewport, projection and model-view matrices.
#pragma once

// winX and winY are pixels from the window's top-left (y down, as in 2D),
// winZ the depth 0..1. False, with the outputs untouched, when the point
// lies in the eye plane (clip w = 0) and has no window position.
bool Tzglu_Project(float x, float y, float z, float* winX, float* winY, float* winZ);
