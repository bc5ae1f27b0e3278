' Included by debugged.bas: a SUB of a file of its own
SUB WriteResult(text$)
  result$ = text$
END SUB
