' turning_cube: the 3D layer. Builds a cube with one colour per face, saves
' it as an object file, loads it back into a second slot, and shows both
' turning under a spot light with the axis cross and a 2D caption. Below
' them a sheet ("wave.obj", 8 frames) waves, blended between its frames and
' lit per pixel by the bump light through a normal map ("wave_bumps.bmp");
' a ball falls onto it and rests wherever it touches the sheet, with a label
' that follows it on the screen. Ends after a number of frames (the first
' word of the command line, 600 when none is given) or on Escape.
KV_FULLSCREEN = 0
KV_DEBUG = 0
limit = VAL(GETCOMMANDLINE$)
IF limit <= 0 THEN limit = 600
'
' The cube, edge 100, one strip of four corners per face, counter-clockwise
' seen from outside: front, back, right, left, top, bottom. Each corner is
' three signs, "-" for -50 and "+" for +50.
corners$ = "--++-+-+++++" + "+-----++--+-" + "+-++--+++++-" + "-----+-+--++"
corners$ = corners$ + "-+++++-+-++-" + "---+----++-+"
DIM colour[6]
colour[0] = 255
colour[1] = 65280
colour[2] = 16711680
colour[3] = 65535
colour[4] = 16711935
colour[5] = 16776960
X_OBJSTART 0
FOR n = 0 TO 5
  X_OBJNEWGROUP
  FOR k = 0 TO 3
    at = n * 12 + k * 3
    x = 50 - 100 * (MID$(corners$, at, 1) = "-")
    y = 50 - 100 * (MID$(corners$, at + 1, 1) = "-")
    z = 50 - 100 * (MID$(corners$, at + 2, 1) = "-")
    X_OBJADDVERTEX x, y, z, MOD(k, 2), k >= 2, colour[n]
  NEXT
NEXT
X_OBJEND
X_SAVEOBJ "turning_cube.obj", 0
X_LOADOBJ "turning_cube.obj", 1
X_LOADOBJ "wave.obj", 2
LOADSPRITE "wave_bumps.bmp", 1
LOADBUMPTEXTURE "wave_bumps.bmp", 2
'
' The ball: an octahedron of radius 12 as four strips of two triangles,
' through its corners 0 (+x), 1 (+y), 2 (+z), 3 (-x), 4 (-y), 5 (-z).
order$ = "0123240543515012"
X_OBJSTART 3
FOR k = 0 TO 15
  IF MOD(k, 4) = 0 THEN X_OBJNEWGROUP
  v = VAL(MID$(order$, k, 1))
  X_OBJADDVERTEX ((v = 0) - (v = 3)) * 12, ((v = 1) - (v = 4)) * 12, ((v = 2) - (v = 5)) * 12, 0, 0, 4243711
NEXT
X_OBJEND
'
bally = 140
frames = 0
WHILE frames < limit
  X_MAKE3D 1, 2000, 60
  X_CAMERA 0, 150, 500, 0, 0, 0
  ' The waving sheet first, while lighting is still off: the bump light
  ' colours its vertices with light vectors that the normal map turns
  ' into brightness.
  phase = MOD(frames * 0.1, 8)
  framea = phase - MOD(phase, 1)
  frameb = MOD(framea + 1, 8)
  weight = 1 - (phase - framea)
  X_SETTEXTURE 1, 2
  X_SPOT_LT -1, 0, 200 * COS(frames * 3), 120, 200 * SIN(frames * 3), 0, 0, 0, 1
  X_MOVEMENT 0, -110, 0
  X_DRAWANIM 2, framea, frameb, weight, 0
  X_SPOT_LT -1, 0, 0, 0, 0, 0, 0, 0, 0
  X_SETTEXTURE -1, -1
  ' The ball falls until it touches the sheet (under the sheet's own
  ' transform), and rests there while the wave holds it up.
  IF X_COLLISION(2, framea, 12, 0, bally, 30) = 0 AND bally > -160 THEN bally = bally - 1.5
  X_MOVEMENT 0, bally, 30
  X_DRAWOBJ 3, 0
  X_CULLMODE -1
  X_AMBIENT_LT 0, 4210752
  X_SPOT_LT 1, 16777215, 0, 300, 400, 0, -300, -400, 60
  X_DRAWAXES 0, 0, 0
  angle = frames * 2
  X_MOVEMENT -120, 60, 0
  X_ROTATION angle, 0, 1, 0
  X_ROTATION 30, 1, 0, 0
  X_DRAWOBJ 0, 0
  X_MOVEMENT 120, 60, 0
  X_ROTATION -angle, 1, 1, 0
  X_DRAWOBJ 1, 0
  X_WORLD2SCREEN 0, bally + 20, 30, labelx, labely, labelz
  X_MAKE2D
  PRINT "built (left) and loaded (right)", 10, 10
  PRINT "ball", labelx - 16, labely - 16
  SHOWSCREEN
  frames = frames + 1
WEND
END
