// Ending a frame, the frame-rate limit, the frame timers and the background.
#pragma once

double SHOWSCREEN();
double LIMITFPS(double fps);
double GETTIMER();
double GETTIMERALL();
double BLACKSCREEN();
