// Text in the current bitmap font.
#pragma once

#include "core/kvstr.h"

// The font the text commands use (SETFONT, LOADFONT).
extern int nCurFont;

double PRINT(KvStr text, double x, double y);
double PRINT(double number, double x, double y);
double SETFONT(double font);
// Sets w and h to the cell size of the current font in pixels.
double GETFONTSIZE(double& w, double& h);
