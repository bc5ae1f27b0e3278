' media_check: the browser test's program for the files beside BMP and WAV.
' The screen is green when the TrueType font (DejaVu Sans, shipped with
' the page) gives a cell of sensible size, else red; on it half_blue.png,
' whose left half is opaque blue and whose right half is transparent, at
' (100, 100). Space plays tone.ogg, 2 tone.mp3 and 3 tone.flac, each once.
' Shows frames until Escape.
LOADTTFFONT "DejaVuSans.ttf", 2, 32
GETFONTSIZE w, h
LOADSPRITE "half_blue.png", 0
LOADSOUND "tone.ogg", 0, 1
LOADSOUND "tone.mp3", 1, 1
LOADSOUND "tone.flac", 2, 1
background = RGB(255, 0, 0)
IF w > 10 AND w < 64 AND h > 24 AND h < 64 THEN background = RGB(0, 255, 0)
DIM played[3]
WHILE 1
  IF played[0] = 0 AND KEY(57) = 1
    PLAYSOUND 0, 0, 1
    played[0] = 1
  ENDIF
  IF played[1] = 0 AND KEY(3) = 1
    PLAYSOUND 1, 0, 1
    played[1] = 1
  ENDIF
  IF played[2] = 0 AND KEY(4) = 1
    PLAYSOUND 2, 0, 1
    played[2] = 1
  ENDIF
  FILLRECT 0, 0, 640, 480, background
  SPRITE 0, 100, 100
  SHOWSCREEN
WEND
