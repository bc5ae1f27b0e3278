' count_frames: opens the window, shows frames, then ends.
' The number of frames is the first word of the command line,
' 120 when none is given.
limit = VAL(GETCOMMANDLINE$)
IF limit <= 0 THEN limit = 120
frames = 0
WHILE frames < limit
  SHOWSCREEN
  frames = frames + 1
WEND
END
