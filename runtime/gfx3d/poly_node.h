// The vertex records of meshes: POLY_NODE, the unpacked vertex whose layout
// is also the vertex-array layout handed to OpenGL, and PACKED_NODE, the
// seven-byte vertex a frame stores (files keep five of its bytes).
#pragma once

#include <cstddef>
#include <cstdint>

// Colour values that are no colours: a node carrying one starts a group.
constexpr std::uint32_t kGroupTriangles = 0xFFFFFFFFu;
constexpr std::uint32_t kGroupStrip = 0xFFFFFFFEu;
constexpr std::uint32_t kGroupFan = 0xFFFFFFFDu;
// Anything from here up counts as a marker when tested.
constexpr std::uint32_t kFirstGroupMarker = 0xFFFFFFFCu;

inline bool IsGroupMarker(std::uint32_t colour) { return colour >= kFirstGroupMarker; }

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

struct POLY_NODE {
    float position[3];
    float normal[3];
    float uv[2];
    float light[3];     // tangent-space light vector scaled to 0..1
    float tangent[3];
    float binormal[3];
    std::uint32_t colour;  // packed RGB, red in the lowest byte, or a group marker
};
static_assert(sizeof(POLY_NODE) == 72, "POLY_NODE is the 72-byte vertex-array record");
static_assert(offsetof(POLY_NODE, position) == 0);
static_assert(offsetof(POLY_NODE, normal) == 12);
static_assert(offsetof(POLY_NODE, uv) == 24);
static_assert(offsetof(POLY_NODE, light) == 32);
static_assert(offsetof(POLY_NODE, tangent) == 44);
static_assert(offsetof(POLY_NODE, binormal) == 56);
static_assert(offsetof(POLY_NODE, colour) == 68);

struct PACKED_NODE {
    std::uint8_t x, y, z;        // steps inside the frame's bounding box
    std::uint8_t normal;         // index into gAvertexnormals
    std::uint8_t tangent;        // index into gAvertexnormals, 0 until generated
    std::uint8_t binormal;       // index into gAvertexnormals, 0 until generated
    std::uint8_t colour;         // index into the mesh's colour table
};
static_assert(sizeof(PACKED_NODE) == 7);
