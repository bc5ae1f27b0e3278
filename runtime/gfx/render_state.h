// The fixed-function state a 2D frame and a 3D pass start from.
#pragma once

enum class PassKind {
    Flat2D,   // textured, no depth test, flat shading, fastest hints
    Scene3D,  // depth-tested, smooth shading, dithered, colour material, nicest hints
};

// Sets the render state a pass of the given kind starts from: culling of
// clockwise faces, the alpha test at 0.5, an opaque white colour and black
// clear colour, and every smoothing, fog, stencil and lighting switch off,
// with the few switches the kinds differ in set as each wants them.
void SetPassRenderState(PassKind kind);
