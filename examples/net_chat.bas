' net_chat: a chat over a network session.
'   net_chat host NAME [ADDRESS]   hosts the session NAME (on ADDRESS, or on
'                                  every local address)
'   net_chat join NAME [ADDRESS]   joins it (ADDRESS empty: asks the local
'                                  network by broadcast)
' Type a line in the window and press Return: it goes to every other
' player. Lines from the others appear above it. An empty line or Escape
' ends the program. KV_NET_PORT changes the session port.
KV_RESX = 320
KV_RESY = 240
KV_FULLSCREEN = 0
'
' The first three words of the command line
line$ = GETCOMMANDLINE$
at = 0
mode$ = NextWord$()
session$ = NextWord$()
address$ = NextWord$()
'
DIM shown$[10]
IF LEN(session$) = 0 THEN WaitAndEnd "usage: net_chat host|join NAME [ADDRESS]"
IF mode$ = "host" THEN ok = NETHOSTGAME(0, session$, address$, 0) ELSE ok = NETJOINGAME(0, session$, address$, 0)
IF ok = 0 THEN WaitAndEnd "no session"
me$ = NETCREATEPLAYER$(mode$)
Show "ready, player " + me$
'
WHILE 1
  ' Every message waiting for this player
  message$ = NETGETMSG$(me$)
  WHILE LEN(message$) > 0
    Show "> " + message$
    message$ = NETGETMSG$(me$)
  WEND
  IF NETNUMPLAYERS() = 0 THEN WaitAndEnd "session ended"
  DrawLines
  typed$ = ""
  INPUT typed$, 8, 200
  IF LEN(typed$) = 0 THEN END
  count = NETNUMPLAYERS()
  FOR i = 0 TO count - 1
    other$ = NETGETPLAYERID$(i)
    IF other$ <> me$ THEN NETSENDMSG me$, other$, typed$
  NEXT
  Show typed$
WEND
'
' The word of line$ from position at on; at moves past it.
FUNCTION NextWord$()
  LOCAL word$
  WHILE at < LEN(line$) AND MID$(line$, at, 1) = " "
    at = at + 1
  WEND
  WHILE at < LEN(line$) AND MID$(line$, at, 1) <> " "
    word$ = word$ + MID$(line$, at, 1)
    at = at + 1
  WEND
  RETURN word$
END FUNCTION
'
' Adds text$ as the newest of the ten lines on the screen.
SUB Show(text$)
  LOCAL k
  FOR k = 0 TO 8
    shown$[k] = shown$[k + 1]
  NEXT
  shown$[9] = text$
END SUB
'
SUB DrawLines()
  LOCAL k
  FOR k = 0 TO 9
    PRINT shown$[k], 8, 8 + k * 16
  NEXT
END SUB
'
' Shows text$ for two seconds, then ends.
SUB WaitAndEnd(text$)
  LOCAL k
  Show text$
  FOR k = 1 TO 120
    DrawLines
    SHOWSCREEN
  NEXT
  END
END SUB
