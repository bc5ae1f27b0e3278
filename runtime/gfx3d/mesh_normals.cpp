// MeshObjectX::AutoNormalsAfterCompression: smooth vertex normals, and the
// tangents and binormals the bump light needs, computed from the faces of
// each frame and stored as indices into the table of unit normals.
//
// Vertices at the same quantised position are welded: every face around a
// weld adds to its sums, so shared corners get the average of their faces.
#include <cmath>
#include <unordered_map>
#include <vector>

#include "gfx3d/frame_triangles.h"
#include "gfx3d/mesh_object.h"
#include "gfx3d/vertex_normals.h"

namespace {

struct Vec3d {
    double x = 0, y = 0, z = 0;
};

Vec3d Sub(const Vec3d& a, const Vec3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3d Cross(const Vec3d& a, const Vec3d& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(const Vec3d& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
void AddTo(Vec3d& sum, const Vec3d& v)
{
    sum.x += v.x;
    sum.y += v.y;
    sum.z += v.z;
}

// A unit vector at right angles to the unit vector v.
Vec3d AnyPerpendicular(const Vec3d& v)
{
    // Crossing with the axis v is least aligned with keeps the result long.
    const Vec3d axis = std::fabs(v.x) < 0.6 ? Vec3d{1, 0, 0} : Vec3d{0, 1, 0};
    const Vec3d p = Cross(v, axis);
    const double length = Length(p);
    return {p.x / length, p.y / length, p.z / length};
}

struct Weld {
    Vec3d normal, tangent, binormal;
};

// Table index of the direction of sum; a sum of length 0 (only degenerate
// faces around the vertex) keeps the index the vertex had.
std::uint8_t NearestIndex(const Vec3d& sum, std::uint8_t previous)
{
    const double length = Length(sum);
    if (!(length > 0) || !std::isfinite(length)) return previous;
    const float unit[3] = {static_cast<float>(sum.x / length), static_cast<float>(sum.y / length),
                           static_cast<float>(sum.z / length)};
    return static_cast<std::uint8_t>(NearestVertexNormal(unit));
}

}  // namespace

void MeshObjectX::AutoNormalsAfterCompression(bool normals, bool tangents)
{
    if (!HasNodes()) return;
    if (normalsDone != 0) normals = false;
    // Tangents exist once the first vertex has them. Markers never get
    // tangents, so the first vertex is the first node that is no marker.
    const POLY_FRAME& front = frames[0];
    std::int32_t firstVertex = 0;
    while (firstVertex < front.nodes.Count() && IsGroupMarker(colours[front.nodes[firstVertex].colour])) ++firstVertex;
    if (firstVertex == front.nodes.Count()) tangents = false;
    else if (front.nodes[firstVertex].tangent != 0 || front.nodes[firstVertex].binormal != 0) tangents = false;
    if (!normals && !tangents) return;
    normalsDone = 1;

    std::unordered_map<std::uint32_t, std::int32_t> weldAt;
    std::vector<std::int32_t> weldOf;
    std::vector<Weld> welds;
    std::vector<Vec3d> position;
    std::vector<double> u, v;
    for (std::int32_t f = 0; f < frames.Count(); ++f) {
        POLY_FRAME& frame = frames[f];
        const std::int32_t count = frame.nodes.Count();
        weldAt.clear();
        welds.clear();
        weldOf.assign(static_cast<std::size_t>(count), -1);
        position.assign(static_cast<std::size_t>(count), Vec3d{});
        u.assign(static_cast<std::size_t>(count), 0.0);
        v.assign(static_cast<std::size_t>(count), 0.0);
        for (std::int32_t i = 0; i < count; ++i) {
            const PACKED_NODE& node = frame.nodes[i];
            if (IsGroupMarker(colours[node.colour])) continue;
            const std::uint32_t key = node.x | (node.y << 8) | (node.z << 16);
            const auto [at, isNew] = weldAt.try_emplace(key, static_cast<std::int32_t>(welds.size()));
            if (isNew) welds.emplace_back();
            weldOf[static_cast<std::size_t>(i)] = at->second;
            const POLY_NODE unpacked = UnpackNode(frame, i);
            position[static_cast<std::size_t>(i)] = {unpacked.position[0], unpacked.position[1],
                                                     unpacked.position[2]};
            u[static_cast<std::size_t>(i)] = unpacked.uv[0];
            v[static_cast<std::size_t>(i)] = unpacked.uv[1];  // the drawn v
        }

        ForEachTriangle(colours, frame, [&](std::int32_t i0, std::int32_t i1, std::int32_t i2) {
            const std::size_t k[3] = {static_cast<std::size_t>(i0), static_cast<std::size_t>(i1),
                                      static_cast<std::size_t>(i2)};
            const Vec3d e1 = Sub(position[k[1]], position[k[0]]);
            const Vec3d e2 = Sub(position[k[2]], position[k[0]]);
            if (normals) {
                // A face of zero area has no direction and adds nothing.
                const Vec3d n = Cross(e1, e2);
                const double length = Length(n);
                if (length > 0) {
                    const Vec3d unit{n.x / length, n.y / length, n.z / length};
                    for (std::size_t j : k) AddTo(welds[static_cast<std::size_t>(weldOf[j])].normal, unit);
                }
            }
            if (tangents) {
                const double du1 = u[k[1]] - u[k[0]], dv1 = v[k[1]] - v[k[0]];
                const double du2 = u[k[2]] - u[k[0]], dv2 = v[k[2]] - v[k[0]];
                const double det = du1 * dv2 - dv1 * du2;
                // Texture coordinates without area give no texture direction.
                if (std::fabs(det) > 1e-05) {
                    const Vec3d t{(e1.x * dv2 - e2.x * dv1) / det, (e1.y * dv2 - e2.y * dv1) / det,
                                  (e1.z * dv2 - e2.z * dv1) / det};
                    const Vec3d b{(e2.x * du1 - e1.x * du2) / det, (e2.y * du1 - e1.y * du2) / det,
                                  (e2.z * du1 - e1.z * du2) / det};
                    for (std::size_t j : k) {
                        Weld& weld = welds[static_cast<std::size_t>(weldOf[j])];
                        AddTo(weld.tangent, t);
                        AddTo(weld.binormal, b);
                    }
                }
            }
        });

        // Every vertex, the first two of a group included, takes its own weld's sums.
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t w = weldOf[static_cast<std::size_t>(i)];
            if (w < 0) continue;
            const Weld& weld = welds[static_cast<std::size_t>(w)];
            PACKED_NODE& node = frame.nodes[i];
            if (normals) node.normal = NearestIndex(weld.normal, node.normal);
            if (tangents) {
                // Without texture directions (no texture coordinates, or
                // only degenerate ones) any frame around the normal will
                // do; it also marks the tangents as made.
                const float* n = gAvertexnormals[node.normal];
                const Vec3d normal{n[0], n[1], n[2]};
                Vec3d tangent = weld.tangent;
                if (!(Length(tangent) > 0)) tangent = AnyPerpendicular(normal);
                Vec3d binormal = weld.binormal;
                if (!(Length(binormal) > 0)) binormal = Cross(normal, tangent);
                node.tangent = NearestIndex(tangent, node.tangent);
                node.binormal = NearestIndex(binormal, node.binormal);
            }
        }
    }
    PrepareTriangles();
}
