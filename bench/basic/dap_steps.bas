' A loop that bench_kvbasic_dap_latency steps through line by line under
' the debugger: a breakpoint stops it on its first line, then `next` goes
' from line to line (with a global array and a call in between).
KV_RESX = 64
KV_RESY = 64
KV_FULLSCREEN = 0
DIM values[100]
total = 0
FOR i = 1 TO 1000000
  values[i MOD 100] = i
  total = total + Half(i)
NEXT
END

FUNCTION Half(n)
  RETURN n / 2
END FUNCTION
