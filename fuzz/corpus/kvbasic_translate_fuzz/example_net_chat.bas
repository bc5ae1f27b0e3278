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
GOSUB nextword
mode$ = word$
GOSUB nextword
session$ = word$
GOSUB nextword
address$ = word$
'
DIM shown$[10]
IF LEN(session$) = 0
  text$ = "usage: net_chat host|join NAME [ADDRESS]"
  GOSUB wait_and_end
ENDIF
IF mode$ = "host" THEN ok = NETHOSTGAME(0, session$, address$, 0) ELSE ok = NETJOINGAME(0, session$, address$, 0)
IF ok = 0
  text$ = "no session"
  GOSUB wait_and_end
ENDIF
me$ = NETCREATEPLAYER$(mode$)
text$ = "ready, player " + me$
GOSUB show
'
WHILE 1
  ' Every message waiting for this player
  message$ = NETGETMSG$(me$)
  WHILE LEN(message$) > 0
    text$ = "> " + message$
    GOSUB show
    message$ = NETGETMSG$(me$)
  WEND
  IF NETNUMPLAYERS() = 0
    text$ = "session ended"
    GOSUB wait_and_end
  ENDIF
  GOSUB draw
  typed$ = ""
  INPUT typed$, 8, 200
  IF LEN(typed$) = 0 THEN END
  count = NETNUMPLAYERS()
  FOR i = 0 TO count - 1
    other$ = NETGETPLAYERID$(i)
    IF other$ <> me$ THEN NETSENDMSG me$, other$, typed$
  NEXT
  text$ = typed$
  GOSUB show
WEND
'
SUB nextword:
  ' The word of line$ from position at on, in word$; at moves past it.
  word$ = ""
  WHILE at < LEN(line$) AND MID$(line$, at, 1) = " "
    at = at + 1
  WEND
  WHILE at < LEN(line$) AND MID$(line$, at, 1) <> " "
    word$ = word$ + MID$(line$, at, 1)
    at = at + 1
  WEND
ENDSUB
'
SUB show:
  ' Adds text$ as the newest of the ten lines on the screen.
  FOR k = 0 TO 8
    shown$[k] = shown$[k + 1]
  NEXT
  shown$[9] = text$
ENDSUB
'
SUB draw:
  FOR k = 0 TO 9
    PRINT shown$[k], 8, 8 + k * 16
  NEXT
ENDSUB
'
SUB wait_and_end:
  ' Shows text$ for two seconds, then ends.
  GOSUB show
  FOR k = 1 TO 120
    GOSUB draw
    SHOWSCREEN
  NEXT
  END
ENDSUB
