// The numeric commands. Angles are degrees; every value is a double.
#pragma once

// Degrees per radian as the dialect defines it (deliberately this decimal,
// not the full-precision 180/pi).
constexpr double kDegreesPerRadian = 57.2957795;

double SIN(double x);
double COS(double x);
double TAN(double x);
double ATAN(double y, double x);
double ASIN(double x);
double ACOS(double x);
double SQR(double x);
double ABS(double x);
double POW(double a, double b);
double MOD(double a, double b);
double RND(double x);
