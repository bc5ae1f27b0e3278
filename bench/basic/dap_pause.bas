' What bench_kvbasic_dap_latency pauses: with the argument keywait the
' program waits in KEYWAIT for a key that never comes, else it computes
' without end.
KV_RESX = 64
KV_RESY = 64
KV_FULLSCREEN = 0
IF GETCOMMANDLINE$ = "keywait" THEN
  WHILE 1
    KEYWAIT
  WEND
ENDIF
x = 0
WHILE 1
  x = x + 1
WEND
