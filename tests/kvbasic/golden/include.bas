' A program of two files: the enemies live in a file of their own.
INCLUDE "include/enemies.bas"
INCLUDE "include/../include/enemies.bas"   ' a second time: nothing more
KV_FULLSCREEN = 0
DIM ex[ENEMIES]
count = 2
GOSUB spawn
PRINT "enemies " + count, 0, 0
END

SUB tick:
  count = count - 1
ENDSUB
