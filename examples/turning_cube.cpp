// A program in generated form for the 3D layer: builds a cube with one
// colour per face, saves it as an object file, loads it back into a second
// slot, and shows both turning under a spot light with the axis cross and
// a 2D caption. Ends after a number of frames (the first word of the
// command line, 600 when none is given) or on Escape.
#include "commands.h"

static double frames;
static double limit;
static double angle;

// One face of the unit cube as a strip of four corners.
static void Face(double x1, double y1, double z1, double x2, double y2, double z2, double x3, double y3,
                 double z3, double x4, double y4, double z4, double colour)
{
    X_OBJNEWGROUP();
    X_OBJADDVERTEX(x1, y1, z1, 0, 0, colour);
    X_OBJADDVERTEX(x2, y2, z2, 1, 0, colour);
    X_OBJADDVERTEX(x3, y3, z3, 0, 1, colour);
    X_OBJADDVERTEX(x4, y4, z4, 1, 1, colour);
}

static void __MainGameSub_()
{
    __dLn(0, 0);  // ' turning_cube: a lit, turning cube and its saved copy
    __dLn(0, 1);  limit = KvStr(g_cmdline.GetStrData());
    __dLn(0, 2);  if (limit <= 0) limit = 600;
    __dLn(0, 3);  X_OBJSTART(0);
    // Counter-clockwise seen from outside: front, back, right, left, top, bottom.
    __dLn(0, 4);  Face(-50, -50, 50, 50, -50, 50, -50, 50, 50, 50, 50, 50, 0x0000FF);
    __dLn(0, 5);  Face(50, -50, -50, -50, -50, -50, 50, 50, -50, -50, 50, -50, 0x00FF00);
    __dLn(0, 6);  Face(50, -50, 50, 50, -50, -50, 50, 50, 50, 50, 50, -50, 0xFF0000);
    __dLn(0, 7);  Face(-50, -50, -50, -50, -50, 50, -50, 50, -50, -50, 50, 50, 0x00FFFF);
    __dLn(0, 8);  Face(-50, 50, 50, 50, 50, 50, -50, 50, -50, 50, 50, -50, 0xFF00FF);
    __dLn(0, 9);  Face(-50, -50, -50, 50, -50, -50, -50, -50, 50, 50, -50, 50, 0xFFFF00);
    __dLn(0, 10); X_OBJEND();
    __dLn(0, 11); X_SAVEOBJ("turning_cube.obj", 0);
    __dLn(0, 12); X_LOADOBJ("turning_cube.obj", 1);
    __dLn(0, 13); frames = 0;
    __dLn(0, 14); while (frames < limit) {
    __dLn(0, 15);     X_MAKE3D(1, 2000, 60);
    __dLn(0, 16);     X_CAMERA(0, 150, 500, 0, 0, 0);
    __dLn(0, 17);     X_CULLMODE(-1);
    __dLn(0, 18);     X_AMBIENT_LT(0, 0x404040);
    __dLn(0, 19);     X_SPOT_LT(1, 0xFFFFFF, 0, 300, 400, 0, -300, -400, 60);
    __dLn(0, 20);     X_DRAWAXES(0, 0, 0);
    __dLn(0, 21);     angle = frames * 2;
    __dLn(0, 22);     X_MOVEMENT(-120, 0, 0);
    __dLn(0, 23);     X_ROTATION(angle, 0, 1, 0);
    __dLn(0, 24);     X_ROTATION(30, 1, 0, 0);
    __dLn(0, 25);     X_DRAWOBJ(0, 0);
    __dLn(0, 26);     X_MOVEMENT(120, 0, 0);
    __dLn(0, 27);     X_ROTATION(-angle, 1, 1, 0);
    __dLn(0, 28);     X_DRAWOBJ(1, 0);
    __dLn(0, 29);     X_MAKE2D();
    __dLn(0, 30);     PRINT("built (left) and loaded (right)", 10, 10);
    __dLn(0, 31);     SHOWSCREEN();
    __dLn(0, 32);     frames = frames + 1;
    __dLn(0, 33); }
    __dLn(0, 34); END();
}

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 60;
    KV_DEBUG = 0;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "turning_cube");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
