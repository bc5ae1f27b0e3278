// The X_ commands: numbers in, truncated or narrowed to float32, handed to
// the scene rbow3D or to the renderer pRbow.
#include "gfx3d/commands3d.h"

#include "core/runtime_state.h"
#include "files/shoebox.h"
#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"
#include "gfx3d/project.h"
#include "gfx3d/rainbows3d.h"

namespace {

float F(double value) { return static_cast<float>(value); }

}  // namespace

double X_MAKE3D(double nearPlane, double farPlane, double fov)
{
    pRbow->Make3DViewport(nearPlane, farPlane, fov);
    X_CULLMODE(0);
    return 0;
}

double X_MAKE2D()
{
    pRbow->Make2DViewport();
    return 0;
}

double X_CAMERA(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ)
{
    rbow3D.SetCamera(F(eyeX), F(eyeY), F(eyeZ), F(targetX), F(targetY), F(targetZ));
    return 0;
}

double X_MOVEMENT(double x, double y, double z)
{
    rbow3D.SetTranslation(F(x), F(y), F(z));
    return 0;
}

double X_SCALING(double x, double y, double z)
{
    rbow3D.SetScaling(F(x), F(y), F(z));
    return 0;
}

double X_ROTATION(double angle, double x, double y, double z)
{
    rbow3D.SetRotation(F(angle), F(x), F(y), F(z));
    return 0;
}

double X_CULLMODE(double mode)
{
    __current_cullmode = mode == 0 ? 0 : (mode > 0 ? 1 : -1);
    rbow3D.CullMode(__current_cullmode);
    return 0;
}

double X_AMBIENT_LT(double num, double colour)
{
    // The light is set before any guarded call; with lighting on, pending
    // 2D vertices must be drawn under the old light.
    if (pRbow != nullptr) pRbow->FinishPending2D();
    rbow3D.AmbientLt(NumberToInt(num), ColorArgument(colour));
    return 0;
}

double X_SPOT_LT(double num, double colour, double x, double y, double z, double dirX, double dirY,
                 double dirZ, double cutoff)
{
    rbow3D.SpotLt(NumberToInt(num), ColorArgument(colour), F(x), F(y), F(z), F(dirX), F(dirY), F(dirZ),
                  F(cutoff), KV_DEBUG);
    return 0;
}

double X_DRAWAXES(double x, double y, double z)
{
    rbow3D.DrawCoordAxis(F(x), F(y), F(z));
    return 0;
}

double X_MIPMAPPING(double flag)
{
    __mipmapping_state = NumberToInt(flag);
    return 0;
}

double X_SETTEXTURE(double texture, double bumpTexture)
{
    pRbow->SetTexture3D(NumberToInt(texture), NumberToInt(bumpTexture), __mipmapping_state);
    return 0;
}

double X_SPRITE(double sprite, double x, double y, double z, double scale)
{
    rbow3D.CullMode(-1);
    pRbow->DrawBillboard(NumberToInt(sprite), F(x), F(y), F(z), F(scale));
    rbow3D.CullMode(__current_cullmode);
    return 0;
}

double X_OBJSTART(double num)
{
    rbow3D.UserObjectStart(NumberToInt(num), 1);
    return 0;
}

double X_OBJADDVERTEX(double x, double y, double z, double u, double v, double colour)
{
    rbow3D.UserObjectAddVertex(F(x), F(y), F(z), F(u), F(v), ColorArgument(colour));
    return 0;
}

double X_OBJNEWGROUP()
{
    rbow3D.UserObjectNewGroup(1);
    return 0;
}

double X_OBJEND()
{
    // Ending the object compiles its display list: a guarded call inside
    // the compilation would put pending 2D vertices into the list.
    if (pRbow != nullptr) pRbow->FinishPending2D();
    rbow3D.UserObjectEnd();
    return 0;
}

double X_LOADOBJ(KvStr file, double num)
{
    // Loading compiles the object's display list: a guarded call inside
    // the compilation would put pending 2D vertices into the list.
    if (pRbow != nullptr) pRbow->FinishPending2D();
    if (g_ShoeBox_Data.Extract(file)) rbow3D.LoadObject(file.GetStrData(), NumberToInt(num));
    return 0;
}

double X_SAVEOBJ(KvStr file, double num)
{
    rbow3D.SaveObject(file.GetStrData(), NumberToInt(num));
    return 0;
}

double X_DRAWOBJ(double num, double frame)
{
    rbow3D.RenderObject(NumberToInt(num), NumberToInt(frame));
    return 0;
}

double X_DRAWANIM(double num, double frameA, double frameB, double t, double interpolate)
{
    rbow3D.RenderMD2(NumberToInt(num), NumberToInt(frameA), NumberToInt(frameB), F(t), interpolate != 0);
    return 0;
}

double X_COLLISION(double num, double frame, double radius, double x, double y, double z)
{
    // A negative frame becomes a huge unsigned one: past the last, no collision.
    const unsigned frameNumber = static_cast<unsigned>(NumberToInt(frame));
    return rbow3D.Collision(NumberToInt(num), frameNumber, F(radius), F(x), F(y), F(z)) ? 1 : 0;
}

double X_WORLD2SCREEN(double x, double y, double z, double& sx, double& sy, double& sz)
{
    float winX = 0, winY = 0, winZ = 0;
    if (Tzglu_Project(F(x), F(y), F(z), &winX, &winY, &winZ)) {
        sx = winX;
        sy = winY;
        sz = winZ;
    }
    return 0;
}
