// Rainbows3D: the 3D scene. It owns the mesh slots, the object transform
// every mesh is drawn under, the camera matrix and the bump-map light.
// Exactly one exists, rbow3D, constructed before the program starts.
#pragma once

#include <cstdint>

#include "gfx3d/mesh_object.h"

constexpr int kMeshSlots = 4095;   // meshes 0..4094
constexpr int kMaxRotations = 16;  // queued rotations of the object transform

struct Rotation3D {
    float angle;    // degrees
    float x, y, z;  // axis
};

class Rainbows3D {
public:
    virtual ~Rainbows3D() = default;

    // ---- Camera, object transform, culling and lights ----------------------
    void SetCamera(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ);
    void SetRotation(float angle, float x, float y, float z);
    void SetScaling(float x, float y, float z);
    void SetTranslation(float x, float y, float z);
    // Multiplies translation, rotations (last given first) and scaling onto
    // the current OpenGL matrix.
    void TransformMatrix();
    void CullMode(int mode);
    void AmbientLt(int num, unsigned long colour);
    void SpotLt(int num, unsigned long colour, float x, float y, float z, float dirX, float dirY,
                float dirZ, float cutoff, int showLight);
    void DrawCoordAxis(float x, float y, float z);

    // ---- Meshes --------------------------------------------------------------
    void UserObjectStart(int num, int mode);
    void UserObjectAddVertex(float x, float y, float z, float u, float v, unsigned long colour);
    void UserObjectNewGroup(int mode);
    void UserObjectEnd();
    bool LoadObject(const char* file, int num);
    bool SaveObject(const char* file, int num);
    void Cube(int num, float size);

    // ---- Drawing -------------------------------------------------------------
    void RenderObject(int num, int frame);
    void RenderMD2(int num, int frameA, int frameB, float t, bool interpolate);
    void PreRenderObject(int num);

    // ---- Questions about the scene --------------------------------------------
    // Whether a sphere at world position (x, y, z) touches frame `frame` of
    // mesh num as it would be drawn now, under the object transform.
    bool Collision(int num, unsigned frame, float radius, float x, float y, float z);

    static bool ValidObject(int num) { return num >= 0 && num < kMeshSlots; }

    // Fields, in the order of the scene's data model.
    MeshObjectX objects[kMeshSlots];
    std::int32_t rotationCount = 0;
    Rotation3D rotations[kMaxRotations] = {};
    float scaling[3] = {0, 0, 0};
    float translation[3] = {0, 0, 0};
    float cameraMatrix[16] = {};
    bool bumpLightOn = false;
    float bumpLightPos[3] = {0, 0, 0};
};

extern Rainbows3D rbow3D;
extern std::int8_t __current_cullmode;   // the mode X_CULLMODE chose last: 0, 1 or -1
extern std::int32_t __mipmapping_state;  // the flag X_SETTEXTURE passes on
extern std::int32_t gCurObject;          // user object under construction, -1 for none
