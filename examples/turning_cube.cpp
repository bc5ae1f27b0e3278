// A program in generated form for the 3D layer: builds a cube with one
// colour per face, saves it as an object file, loads it back into a second
// slot, and shows both turning under a spot light with the axis cross and
// a 2D caption. Below them a sheet ("wave.obj", 8 frames) waves, blended
// between its frames and lit per pixel by the bump light through a normal
// map ("wave_bumps.bmp"); a ball falls onto it and rests wherever it
// touches the sheet, with a label that follows it on the screen. Ends after
// a number of frames (the first word of the command line, 600 when none is
// given) or on Escape.
#include "commands.h"

static double frames;
static double limit;
static double angle;
static double phase;
static double frameA;
static double frameB;
static double weight;
static double ballY;
static double labelX;
static double labelY;
static double labelZ;

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

// A ball of radius r as an octahedron: four strips of two triangles.
static void Ball(double r)
{
    X_OBJNEWGROUP();
    X_OBJADDVERTEX(r, 0, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, r, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, 0, r, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(-r, 0, 0, 0, 0, 0x40C0FF);
    X_OBJNEWGROUP();
    X_OBJADDVERTEX(0, 0, r, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, -r, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(r, 0, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, 0, -r, 0, 0, 0x40C0FF);
    X_OBJNEWGROUP();
    X_OBJADDVERTEX(0, -r, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(-r, 0, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, 0, -r, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, r, 0, 0, 0, 0x40C0FF);
    X_OBJNEWGROUP();
    X_OBJADDVERTEX(0, 0, -r, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(r, 0, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, r, 0, 0, 0, 0x40C0FF);
    X_OBJADDVERTEX(0, 0, r, 0, 0, 0x40C0FF);
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
    __dLn(0, 13); X_LOADOBJ("wave.obj", 2);
    __dLn(0, 14); LOADSPRITE("wave_bumps.bmp", 1);
    __dLn(0, 15); LOADBUMPTEXTURE("wave_bumps.bmp", 2);
    __dLn(0, 16); X_OBJSTART(3);
    __dLn(0, 17); Ball(12);
    __dLn(0, 18); X_OBJEND();
    __dLn(0, 19); ballY = 140;
    __dLn(0, 20); frames = 0;
    __dLn(0, 21); while (frames < limit) {
    __dLn(0, 22);     X_MAKE3D(1, 2000, 60);
    __dLn(0, 23);     X_CAMERA(0, 150, 500, 0, 0, 0);
    // The waving sheet first, while lighting is still off: the bump light
    // colours its vertices with light vectors that the normal map turns
    // into brightness.
    __dLn(0, 24);     phase = MOD(frames * 0.1, 8);
    __dLn(0, 25);     frameA = phase - MOD(phase, 1);
    __dLn(0, 26);     frameB = MOD(frameA + 1, 8);
    __dLn(0, 27);     weight = 1 - (phase - frameA);
    __dLn(0, 28);     X_SETTEXTURE(1, 2);
    __dLn(0, 29);     X_SPOT_LT(-1, 0, 200 * COS(frames * 3), 120, 200 * SIN(frames * 3), 0, 0, 0, 1);
    __dLn(0, 30);     X_MOVEMENT(0, -110, 0);
    __dLn(0, 31);     X_DRAWANIM(2, frameA, frameB, weight, 0);
    __dLn(0, 32);     X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
    __dLn(0, 33);     X_SETTEXTURE(-1, -1);
    // The ball falls until it touches the sheet (under the sheet's own
    // transform), and rests there while the wave holds it up.
    __dLn(0, 34);     if (X_COLLISION(2, frameA, 12, 0, ballY, 30) == 0 && ballY > -160) ballY = ballY - 1.5;
    __dLn(0, 35);     X_MOVEMENT(0, ballY, 30);
    __dLn(0, 36);     X_DRAWOBJ(3, 0);
    __dLn(0, 37);     X_CULLMODE(-1);
    __dLn(0, 38);     X_AMBIENT_LT(0, 0x404040);
    __dLn(0, 39);     X_SPOT_LT(1, 0xFFFFFF, 0, 300, 400, 0, -300, -400, 60);
    __dLn(0, 40);     X_DRAWAXES(0, 0, 0);
    __dLn(0, 41);     angle = frames * 2;
    __dLn(0, 42);     X_MOVEMENT(-120, 60, 0);
    __dLn(0, 43);     X_ROTATION(angle, 0, 1, 0);
    __dLn(0, 44);     X_ROTATION(30, 1, 0, 0);
    __dLn(0, 45);     X_DRAWOBJ(0, 0);
    __dLn(0, 46);     X_MOVEMENT(120, 60, 0);
    __dLn(0, 47);     X_ROTATION(-angle, 1, 1, 0);
    __dLn(0, 48);     X_DRAWOBJ(1, 0);
    __dLn(0, 49);     X_WORLD2SCREEN(0, ballY + 20, 30, labelX, labelY, labelZ);
    __dLn(0, 50);     X_MAKE2D();
    __dLn(0, 51);     PRINT("built (left) and loaded (right)", 10, 10);
    __dLn(0, 52);     PRINT("ball", labelX - 16, labelY - 16);
    __dLn(0, 53);     SHOWSCREEN();
    __dLn(0, 54);     frames = frames + 1;
    __dLn(0, 55); }
    __dLn(0, 56); END();
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
