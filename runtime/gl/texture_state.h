// The OpenGL state every texture of the 2D renderer is made with.
#pragma once

#include <GL/gl.h>

// Pixel rows go to OpenGL tightly packed, from their first pixel.
void SetTightUnpacking();

// Repeating in both directions, linear magnification, the given minification.
void SetTextureParameters(GLint minFilter);
