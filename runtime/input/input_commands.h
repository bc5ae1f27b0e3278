// The BASIC commands of the input layer; commands.h includes this header.
#pragma once

#include "core/kvstr.h"

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
// A one-line editor at (x, y) in the current font; Return ends it.
double INPUT(KvStr& text, double x, double y);
double INPUT(double& number, double x, double y);
