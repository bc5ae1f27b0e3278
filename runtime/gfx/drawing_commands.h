// Drawing sprites, primitives and polygons; the alpha mode; the crossfade to
// a new background; the two collision tests.
#pragma once

#include "core/kvstr.h"

double ALPHAMODE(double a);
double SPRITE(double slot, double x, double y);
double STRETCHSPRITE(double slot, double x, double y, double w, double h);
double ZOOMSPRITE(double slot, double x, double y, double zoomX, double zoomY);
double ROTOSPRITE(double slot, double x, double y, double angle);
double ROTOZOOMSPRITE(double slot, double x, double y, double angle, double zoom);
double DRAWLINE(double x1, double y1, double x2, double y2, double color);
double FILLRECT(double x1, double y1, double x2, double y2, double color);
double SETPIXEL(double x, double y, double color);
double STARTPOLY(double slot);
double POLYVECTOR(double x, double y, double s, double t, double color);
double ENDPOLY();
double BLENDSCREEN(KvStr file);
double BOXCOLL(double& result, double x1, double y1, double w1, double h1, double x2, double y2, double w2,
               double h2);
double SPRCOLL(double slot1, double x1, double y1, double slot2, double x2, double y2);
