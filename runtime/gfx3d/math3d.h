// Small float32 vector helpers of the 3D layer, and the camera's view matrix.
#pragma once

#include <cmath>

struct Vec3 {
    float x, y, z;
};

inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// v scaled to length 1; a vector of length 0 stays as it is.
inline Vec3 Normalised(Vec3 v)
{
    const float length = Length(v);
    if (length == 0) return v;
    return {v.x / length, v.y / length, v.z / length};
}

// The rotation of the view of a camera at eye looking at target with the
// world's y axis up, in OpenGL column-major order (no translation).
void LookAtRotation(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ,
                  float matrix[16]);

// Multiplies the view matrix onto the current OpenGL matrix.
void LookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ);
