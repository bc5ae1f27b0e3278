// Ending a frame, the frame-rate limit, the frame timers and the background.
#pragma once

// Millisecond clock readings behind GETTIMER and GETTIMERALL.
extern double g_FirstTime, g_LastTime, g_ThisTime;

double SHOWSCREEN();
double LIMITFPS(double fps);
double GETTIMER();
double GETTIMERALL();
double BLACKSCREEN();
