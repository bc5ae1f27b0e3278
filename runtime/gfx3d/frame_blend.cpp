// Frame animation: choosing the frame pair and blending the two frames.
#include "gfx3d/frame_blend.h"

#include <cmath>

namespace {

int Clamp(int frame, int last) { return frame < 0 ? 0 : (frame > last ? last : frame); }

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

FramePair ChooseFrames(int frameCount, int frameA, int frameB, float t, bool interpolate)
{
    const int last = frameCount - 1;
    FramePair pair{Clamp(frameA, last), Clamp(frameB, last), t};
    if (!std::isfinite(pair.t)) pair.t = 0;
    if (!interpolate) return pair;

    const double f = pair.a + static_cast<double>(pair.b - pair.a) * pair.t;
    // Keeps the truncation below inside int range for any t.
    const double bounded = f < -1.0 ? -1.0 : (f > last + 1.0 ? last + 1.0 : f);
    const int i = static_cast<int>(bounded);
    const double fraction = bounded - i;
    if (pair.b > pair.a) {
        pair.a = i;
        pair.b = i + 1;
        pair.t = static_cast<float>(1.0 - fraction);
    } else {
        pair.a = i + 1;
        pair.b = i;
        pair.t = static_cast<float>(fraction);
    }
    // Derived frames can land one past either end: they mean the end frame.
    pair.a = Clamp(pair.a, last);
    pair.b = Clamp(pair.b, last);
    return pair;
}

std::int32_t BlendFrames(MeshObjectX& mesh, const FramePair& pair, const float* lightInObject)
{
    const Queue<POLY_NODE>& from = mesh.frames[pair.a].triangles;
    const Queue<POLY_NODE>& to = mesh.frames[pair.b].triangles;
    std::int32_t count = mesh.vertices.Count();
    if (from.Count() < count) count = from.Count();
    if (to.Count() < count) count = to.Count();
    const float t = pair.t;
    for (std::int32_t k = 0; k < count; ++k) {
        const POLY_NODE& A = from[k];
        const POLY_NODE& B = to[k];
        POLY_NODE& out = mesh.vertices[k];
        out = A;
        if (t != 0) {
            // The blended normal is not renormalised: between two frames
            // it is a little short, which dims the light slightly.
            for (int c = 0; c < 3; ++c) {
                out.position[c] = (A.position[c] - B.position[c]) * t + B.position[c];
                out.normal[c] = (A.normal[c] - B.normal[c]) * t + B.normal[c];
            }
        }
        if (lightInObject != nullptr) {
            float L[3] = {lightInObject[0] - out.position[0], lightInObject[1] - out.position[1],
                          lightInObject[2] - out.position[2]};
            const float length = std::sqrt(Dot(L, L));
            if (length != 0)
                for (float& c : L) c /= length;
            out.light[0] = Dot(B.tangent, L) * 0.5f + 0.5f;
            out.light[1] = Dot(B.binormal, L) * 0.5f + 0.5f;
            out.light[2] = Dot(out.normal, L) * 0.5f + 0.5f;
        }
    }
    return count;
}
