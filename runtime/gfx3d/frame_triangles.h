// Walks a frame's packed nodes group by group and hands out the separate
// triangles they describe, as node indices. Drawing, normal generation and
// collision all see the same triangles this way.
//
// A strip alternates its winding so every triangle faces the same way:
// V0..V4 give (V0,V1,V2), (V2,V1,V3), (V2,V3,V4). A fan keeps its first
// vertex: (V0,V1,V2), (V0,V2,V3), (V0,V3,V4).
#pragma once

#include <cstdint>

#include "gfx3d/mesh_object.h"

template <typename OnTriangle>
void ForEachTriangle(const Queue<std::uint32_t>& colours, const POLY_FRAME& frame, OnTriangle&& onTriangle)
{
    enum class Kind { Triangles, Strip, Fan };
    Kind kind = Kind::Triangles;
    std::int32_t window[3] = {0, 0, 0};
    int filled = 0;
    int parity = 0;
    for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
        const std::uint8_t colourIndex = frame.nodes[i].colour;
        const std::uint32_t colour = colourIndex < colours.Count() ? colours[colourIndex] : 0;
        if (IsGroupMarker(colour)) {
            filled = 0;
            if (colour == kGroupStrip) {
                kind = Kind::Strip;
                parity = 0;
            } else if (colour == kGroupFan) {
                kind = Kind::Fan;
            } else {
                kind = Kind::Triangles;
            }
            continue;
        }
        window[filled++] = i;
        if (filled < 3) continue;
        onTriangle(window[0], window[1], window[2]);
        switch (kind) {
        case Kind::Strip:
            parity = 1 - parity;
            if (parity == 1)
                window[0] = window[2];
            else
                window[1] = window[2];
            filled = 2;
            break;
        case Kind::Triangles:
            filled = 0;
            break;
        case Kind::Fan:
            window[1] = window[2];
            filled = 2;
            break;
        }
    }
}
