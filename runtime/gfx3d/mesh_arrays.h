// One vertex-array draw of a list of POLY_NODE triangles, streamed through
// the mesh's buffer object where the driver has buffer objects.
#pragma once

#include <cstdint>

#include "gfx3d/mesh_object.h"

// Draws count vertices of source as separate triangles. Plain: positions,
// texture coordinates and, if the mesh has colours, the packed colours.
// Bump: positions, texture coordinates on units 0 and 1 and the light
// vectors as float colours. Leaves no array enabled, no buffer bound and
// the texture stages back at plain modulation.
void DrawTriangleArrays(MeshObjectX& mesh, const POLY_NODE* source, std::int32_t count, bool bump);
