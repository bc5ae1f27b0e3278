' Enemies: how many there are and what moves them.
CONST ENEMIES = 4
speed = 2

SUB spawn:
  FOR i = 0 TO count
    ex[i] = i * speed
  NEXT
ENDSUB
