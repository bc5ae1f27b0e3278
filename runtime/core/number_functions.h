// Whole-number and rounding functions of the dialect, the colour packing
// of the drawing commands, and the operators MOD's siblings: whole-number
// division and the bitwise operations. Every value is a double; the
// bitwise ones work on the number truncated to a signed 32-bit integer.
#pragma once

double INT(double x);    // the largest whole number not above x (floor)
double FIX(double x);    // x truncated toward zero
double SGN(double x);    // -1, 0 or 1
double ROUND(double x);  // the nearest whole number, halves away from zero
double MIN(double a, double b);
double MAX(double a, double b);
// Red in bits 0 to 7, green in 8 to 15, blue in 16 to 23; each part is
// truncated and kept within 0 to 255.
double RGB(double red, double green, double blue);
// a \ b: truncated a divided by truncated b, truncated; 0 when b truncates to 0.
double IDIV(double a, double b);
double BAND(double a, double b);
double BOR(double a, double b);
double BXOR(double a, double b);
double BNOT(double a);
// Shifts by 0 to 31 places (the count is taken modulo 32); SHR keeps the sign.
double SHL(double a, double places);
double SHR(double a, double places);
