' Any name works: C++ keywords, macros of the runtime's headers and the
' C++ names of commands are renamed in the C++.
REM see out.txt: 100% done, don't worry ??/
class = 1
EIO = INT32_MAX + 1e-400
DIM alloca[2]
n = BOUNDS(alloca, 0)
LC_ALL$ = "x"
GOSUB P_tmpdir
GOSUB SHOWSCREEN_
GOSUB NumberToInt
' Labels on ELSEIF, ELSE and ENDIF lines, as jump targets
IF class = 1
  GOTO EPERM
EPERM: ELSEIF class = 2
  GOTO ENOENT
ENOENT: ELSE
  GOTO EINTR
EINTR: ENDIF
x: REM a label, then a comment
SUB P_tmpdir:
ENDSUB
SUB SHOWSCREEN_:
ENDSUB
SUB NumberToInt:
ENDSUB
