// The BASIC commands of the input layer; commands.h includes this header.
#pragma once

#include "core/kvstr.h"

// The mouse position MOUSESTATE keeps and SETMOUSE sets.
extern double g_mx, g_my;

double KEY(double scanCode);
KvStr INKEY_Str();
double MOUSESTATE(double& x, double& y, double& b1, double& b2);
double SETMOUSE(double x, double y);
double MOUSEWAIT();
double KEYWAIT();
double JOYSTATE(double& x, double& y, double& b1, double& b2);
double GETJOYX(double joystick);
double GETJOYY(double joystick);
double GETJOYZ(double joystick);
double GETDIGIX(double joystick);
double GETDIGIY(double joystick);
double GETJOYBUTTON(double joystick, double button);
KvStr GETJOYNAME_Str(double joystick);
double GETNUMJOYSTICKS();
double JOYRUMBLE(double joystick, double strength, double ms);
