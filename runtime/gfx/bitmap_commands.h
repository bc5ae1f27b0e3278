// Loading pictures into sprite slots, fonts and the background, grabbing
// the screen, and saving it as a BMP file.
#pragma once

#include "core/kvstr.h"

double LOADBMP(KvStr file);
double LOADSPRITE(KvStr file, double slot);
double LOADBUMPTEXTURE(KvStr file, double slot);
double LOADFONT(KvStr file, double font);
double SAVEBMP(KvStr file);
double GRABSPRITE(double slot, double x, double y, double w, double h);
double USEASBMP();
