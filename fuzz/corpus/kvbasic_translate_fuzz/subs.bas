' The main program, SUBs, labels, GOTO and GOSUB
KV_RESX = 800
KV_RESY = 600
KV_FULLSCREEN = 0
KV_FRAMERATE = 30
KV_DEBUG = 0
KV_WANTMOUSE = 1
KV_CAPTION = "Größe"
start:
GOSUB zeichnen
unused:
IF KEY(1) = 0 THEN GOTO start
'
' ----------------------------
SUB zeichnen:
  SPRITE 0, 10, 20
  IF KEY(57) THEN RETURN
  nochmal:
  SHOWSCREEN
  IF KEY(57) = 0 THEN GOTO nochmal
ENDSUB
'
SUB leer:
ENDSUB
