' sound_check: the browser test's sound program. Silent until Space is
' held, then plays one sound effect once at the volume given as the first
' word of the command line (1 when none is given), and shows frames until
' Escape.
LOADSOUND "einsammeln.wav", 0, 1
volume = 1
IF GETCOMMANDLINE$ <> "" THEN volume = VAL(GETCOMMANDLINE$)
played = 0
WHILE 1
  IF played = 0 AND KEY(57) = 1
    PLAYSOUND 0, 0, volume
    played = 1
  ENDIF
  PRINT "Space plays a sound: " + GETCOMMANDLINE$, 10, 10
  IF played = 1 THEN PRINT "played", 10, 30
  SHOWSCREEN
WEND
