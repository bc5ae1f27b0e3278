' A TrueType font from the system's DejaVu fonts: "ä" written in this
' UTF-8 source draws the same glyph as CHR$(228) and another than "a".
' The square at the top left turns green when GETFONTSIZE gives a cell of
' sensible size. With a file name on the command line the program loads
' that as the font instead (a damaged one ends it with runtime error 3).
KV_RESX = 320
KV_RESY = 240
KV_FULLSCREEN = 0
KV_CAPTION = "truetype_font"
file$ = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
IF GETCOMMANDLINE$ <> "" THEN file$ = GETCOMMANDLINE$
LOADTTFFONT file$, 2, 32
GETFONTSIZE w, h
FOR frame = 1 TO 5
  IF w > 10 AND w < 64 AND h > 24 AND h < 64 THEN FILLRECT 0, 0, 40, 40, 65280 ELSE FILLRECT 0, 0, 40, 40, 255
  PRINT "ä", 100, 0
  PRINT CHR$(228), 100, 80
  PRINT "a", 100, 160
  SHOWSCREEN
NEXT
END
