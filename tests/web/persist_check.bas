' persist_check: the browser test's line-file program. Reads the count in
' line 0 of persist.txt (shipped with the page as "0"), shows it as the
' colour of the whole screen (red for 0, green for 1, blue for 2, yellow
' for 3, white for more) and stores the count + 1 with PUTFILE. Then it
' selects another line file, so that the change is written back into the
' program's folder at once; with "hold" on the command line it does not,
' and only leaving the page writes the change back. Shows frames until
' Escape.
GETFILE "persist.txt", 0, count
PUTFILE "persist.txt", 0, count + 1
IF GETCOMMANDLINE$ <> "hold" THEN GETFILE "other.txt", 0, other$
colour = RGB(255, 255, 255)
IF count = 0 THEN colour = RGB(255, 0, 0)
IF count = 1 THEN colour = RGB(0, 255, 0)
IF count = 2 THEN colour = RGB(0, 0, 255)
IF count = 3 THEN colour = RGB(255, 255, 0)
WHILE 1
  FILLRECT 0, 0, 640, 480, colour
  SHOWSCREEN
WEND
