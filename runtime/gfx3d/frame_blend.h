// Frame animation: which two frames a draw uses and with what weight, and
// the blend of the two into the mesh's drawing list.
#pragma once

#include <cstdint>

#include "gfx3d/mesh_object.h"

// Draw frame a with weight t and frame b with weight 1 - t; t = 0 means
// frame a alone (not b: a t of 0 is the unblended draw).
struct FramePair {
    int a = 0;
    int b = 0;
    float t = 0;
};

// The frames and weight of a draw of frames frameA..frameB of a mesh with
// frameCount (> 0) frames. With interpolate, t runs over the whole range
// from frameA to frameB and picks the two neighbouring frames around it;
// otherwise t is the weight of frameA against frameB. Every frame number,
// given or derived, is clamped to 0..frameCount - 1.
FramePair ChooseFrames(int frameCount, int frameA, int frameB, float t, bool interpolate);

// Fills mesh.vertices with frame a's triangles moved (position and normal)
// towards frame b's by the pair's weight. Vertices keep frame a's colours.
// With lightInObject (the bump light in object space), each vertex also
// gets its tangent-space light vector, scaled to 0..1, in light. Returns
// the number of vertices written: the smallest triangle list of the two
// frames and the drawing list.
std::int32_t BlendFrames(MeshObjectX& mesh, const FramePair& pair, const float* lightInObject);
