' music_and_video: PLAYMUSIC, STOPMUSIC, PLAYMOVIE, LOOPMOVIE.
' The music (first word of the command line, "musik.wav" when none is
' given) loops while frames are shown; Space plays the video (second word,
' "intro.avi" when none is given; names without spaces) once, L loops it
' until a key with a character or a mouse button ends it, M stops or
' restarts the music, Escape ends the program. Media names resolve through
' the media box: a file on disk wins, else a member of the archive appended
' to the program.
words = SPLIT(TRIM$(GETCOMMANDLINE$), " ", words$)
music$ = words$[0] : video$ = ""
IF words > 1 THEN video$ = words$[1]
IF music$ = "" THEN music$ = "musik.wav"
IF video$ = "" THEN video$ = "intro.avi"
musicstate = PLAYMUSIC(music$)
played = 0
WHILE 1
  IF musicstate = 3 THEN PRINT "Musik nicht gefunden: " + music$, 8, 8
  IF musicstate = 0 THEN PRINT "Musik: " + music$, 8, 8
  IF musicstate = 1 THEN PRINT "Musik aus", 8, 8
  PRINT "Leertaste: " + video$ + " einmal, L: in Schleife", 8, 24
  PRINT "M: Musik aus/an, Esc: Ende", 8, 40
  PRINT "Videos gespielt: " + played, 8, 56
  IF KEY(57) <> 0 AND spacewas = 0
    PLAYMOVIE video$
    played = played + 1
  ENDIF
  IF KEY(38) <> 0 AND loopwas = 0
    LOOPMOVIE video$
    played = played + 1
  ENDIF
  IF KEY(50) <> 0 AND mwas = 0
    IF musicstate = 1
      musicstate = PLAYMUSIC(music$)
    ELSE
      STOPMUSIC
      musicstate = 1
    ENDIF
  ENDIF
  spacewas = KEY(57)
  loopwas = KEY(38)
  mwas = KEY(50)
  SHOWSCREEN
WEND
