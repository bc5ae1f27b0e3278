// The BASIC commands of the 3D layer: scene, camera, transform, lights,
// textures and billboards, and the mesh commands.
#pragma once

#include "core/kvstr.h"

double X_MAKE3D(double nearPlane, double farPlane, double fov);
double X_MAKE2D();
double X_CAMERA(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ);
double X_MOVEMENT(double x, double y, double z);
double X_SCALING(double x, double y, double z);
double X_ROTATION(double angle, double x, double y, double z);
double X_CULLMODE(double mode);
double X_AMBIENT_LT(double num, double colour);
double X_SPOT_LT(double num, double colour, double x, double y, double z, double dirX, double dirY,
                 double dirZ, double cutoff);
double X_DRAWAXES(double x, double y, double z);
double X_MIPMAPPING(double flag);
double X_SETTEXTURE(double texture, double bumpTexture);
double X_SPRITE(double sprite, double x, double y, double z, double scale);

double X_OBJSTART(double num);
double X_OBJADDVERTEX(double x, double y, double z, double u, double v, double colour);
double X_OBJNEWGROUP();
double X_OBJEND();
double X_LOADOBJ(KvStr file, double num);
double X_SAVEOBJ(KvStr file, double num);
double X_DRAWOBJ(double num, double frame);
double X_DRAWANIM(double num, double frameA, double frameB, double t, double interpolate);
double X_COLLISION(double num, double frame, double radius, double x, double y, double z);
double X_WORLD2SCREEN(double x, double y, double z, double& sx, double& sy, double& sz);
