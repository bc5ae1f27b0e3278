// Rainbows3D: building meshes vertex by vertex, the cube, and loading and
// saving object files.
#include <cstdio>

#include "gfx3d/rainbows3d.h"

std::int32_t gCurObject = -1;

namespace {

std::uint32_t GroupMarker(int mode)
{
    switch (mode) {
    case 0: return kGroupTriangles;
    case 2: return kGroupFan;
    default: return kGroupStrip;
    }
}

}  // namespace

void Rainbows3D::UserObjectStart(int num, int mode)
{
    if (!ValidObject(num)) return;
    objects[num].Clear(true);
    gCurObject = num;
    objects[num].frames.Add(POLY_FRAME{});
    UserObjectNewGroup(mode);
}

void Rainbows3D::UserObjectNewGroup(int mode)
{
    if (!ValidObject(gCurObject) || objects[gCurObject].frames.Count() == 0) return;
    POLY_NODE marker{};
    marker.colour = GroupMarker(mode);
    objects[gCurObject].frames[0].raw.Add(marker);
}

void Rainbows3D::UserObjectAddVertex(float x, float y, float z, float u, float v, unsigned long colour)
{
    if (!ValidObject(gCurObject) || objects[gCurObject].frames.Count() == 0) return;
    POLY_NODE node{};
    node.position[0] = x;
    node.position[1] = y;
    node.position[2] = z;
    node.uv[0] = u;
    node.uv[1] = v;
    node.colour = static_cast<std::uint32_t>(colour);
    objects[gCurObject].frames[0].raw.Add(node);
}

void Rainbows3D::UserObjectEnd()
{
    if (!ValidObject(gCurObject)) return;
    MeshObjectX& mesh = objects[gCurObject];
    if (!mesh.Compress()) {
        // A node's colour index is one byte: the 257th colour cannot be
        // named, so the object is refused rather than drawn in wrong colours.
        std::fprintf(stderr, "3D object %d refused: more than %d different colours and group kinds\n",
                     static_cast<int>(gCurObject), kMaxColourEntries);
        mesh.Clear(true);
        gCurObject = -1;
        return;
    }
    mesh.CalcMaxRadius();
    PreRenderObject(gCurObject);
    gCurObject = -1;
}

void Rainbows3D::Cube(int num, float size)
{
    const float h = size * 0.5f;
    const float corners[8][3] = {
        {-h, -h, -h}, {h, -h, -h}, {-h, h, -h}, {h, h, -h},
        {h, h, h},    {h, -h, h},  {-h, h, h},  {-h, -h, h},
    };
    // One strip around four sides, folded over the remaining two.
    static const int order[16] = {5, 7, 4, 6, 3, 4, 1, 5, 0, 7, 2, 0, 3, 1, 2, 6};
    UserObjectStart(num, 1);
    if (gCurObject != num) return;
    for (int corner : order)
        UserObjectAddVertex(corners[corner][0], corners[corner][1], corners[corner][2], 0, 0, kWhite);
    UserObjectEnd();
}

bool Rainbows3D::LoadObject(const char* file, int num)
{
    if (!ValidObject(num)) return false;
    MeshObjectX& mesh = objects[num];
    // Loading over the object under construction ends its construction:
    // later vertices must not be packed into the loaded frames.
    if (num == gCurObject) gCurObject = -1;
    mesh.Clear(true);
    if (!mesh.Load(file)) return false;
    if (!mesh.HasNodes()) return false;
    mesh.CalcMaxRadius();
    mesh.PrepareTriangles();
    PreRenderObject(num);
    return true;
}

bool Rainbows3D::SaveObject(const char* file, int num)
{
    if (!ValidObject(num)) return true;
    objects[num].Save(file);
    return true;
}
