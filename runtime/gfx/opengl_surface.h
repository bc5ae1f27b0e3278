// Background surfaces: pictures cut into square tiles, so pictures larger
// than the driver's texture limit can be shown.
#pragma once

#include <GL/gl.h>

#include <cstdint>

constexpr int kSurfaceCount = 15;    // background surfaces 0..14
constexpr int kSurfaceTiles = 64;    // tiles per surface side

// One background picture cut into tiles. All zero (a value-initialised
// record) = empty.
struct OpenGLSurface {
    GLuint tile[kSurfaceTiles][kSurfaceTiles] = {};  // [column][row]
    std::int16_t tileWidth[kSurfaceTiles][kSurfaceTiles] = {};
    std::int16_t tileHeight[kSurfaceTiles][kSurfaceTiles] = {};
    std::int8_t columns = 0;
    std::int8_t rows = 0;
};
