' draw_demo: the 2D commands. A background of rectangles, lines and
' pixels grabbed as the background, the default font, and a sprite made on
' the fly, turned and zoomed. Ends after a number of frames (the first word
' of the command line, 300 when none is given); with a second word, saves
' the last frame under that name.
limit = VAL(GETCOMMANDLINE$)
IF limit <= 0 THEN limit = 300
shot$ = MID$(GETCOMMANDLINE$, LEN(limit) + 1, 1000)
FOR i = 0 TO 15
  FILLRECT i * 40, 0, i * 40 + 40, 480, i * 16 + 256 * (255 - i * 16) + 65536 * 64
NEXT
FOR i = 0 TO 472 STEP 8
  DRAWLINE 0, i, 639, 479 - i, 16777215
NEXT
FILLRECT 8, 8, 24, 24, 8388863
FILLRECT 12, 12, 20, 20, 16777215
GRABSPRITE 1, 4, 4, 24, 24
PRINT "Zorvelin 2D: SPRITE, ROTOZOOMSPRITE, PRINT !" + CHR$(34) + "#$%&'()*+,-./0123456789", 8, 440
PRINT "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ :;<=>?@[\]^_`{|}~", 8, 452
USEASBMP
frames = 0
WHILE frames < limit
  ROTOZOOMSPRITE 1, 300, 200, frames * 3, 1 + frames / 100
  PRINT frames, 300, 300
  IF frames = limit - 1 AND LEN(shot$) > 0 THEN SAVEBMP shot$
  SHOWSCREEN
  frames = frames + 1
WEND
END
