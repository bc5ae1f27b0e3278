// The camera's view matrix.
#include "gfx3d/math3d.h"

#include "gl/gl_calls.h"

void LookAtRotation(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ,
                  float m[16])
{
    const Vec3 f = Normalised(Vec3{eyeX, eyeY, eyeZ} - Vec3{targetX, targetY, targetZ});
    // s = up x f and u = f x s with up fixed at (0, 1, 0), written out. With
    // the eye straight above the target s is (0, 0, 0) and stays so.
    const Vec3 s = Normalised(Vec3{f.z, 0, -f.x});
    const Vec3 u = Normalised(Vec3{-f.x * f.y, f.x * f.x + f.z * f.z, -f.y * f.z});
    // Rows s, u, f; column-major storage puts row r of column c at m[c*4+r].
    const Vec3 rows[3] = {s, u, f};
    for (int r = 0; r < 3; ++r) {
        m[0 * 4 + r] = rows[r].x;
        m[1 * 4 + r] = rows[r].y;
        m[2 * 4 + r] = rows[r].z;
        m[3 * 4 + r] = 0;
    }
    m[3] = m[7] = m[11] = 0;
    m[15] = 1;
}

void LookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ)
{
    float rotation[16];
    LookAtRotation(eyeX, eyeY, eyeZ, targetX, targetY, targetZ, rotation);
    gl::MultMatrixf(rotation);
    gl::Translatef(-eyeX, -eyeY, -eyeZ);
}
