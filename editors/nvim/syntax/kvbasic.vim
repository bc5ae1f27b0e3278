" Vim syntax file for the KV BASIC dialect (kvbasic). The command names
" are the runtime's command table; a test of the language server keeps
" them in step with it.
if exists('b:current_syntax')
  finish
endif

syn case ignore
syn iskeyword @,48-57,_,$

syn keyword kvbasicKeyword IF THEN ELSE ELSEIF ENDIF END FOR TO STEP NEXT WHILE WEND REPEAT UNTIL
syn keyword kvbasicKeyword BREAK CONTINUE RETURN GOSUB GOTO SUB ENDSUB EXIT CONST DATA READ RESTORE
syn keyword kvbasicKeyword SELECT CASE IS FUNCTION ENDFUNCTION LOCAL INCLUDE TYPE ENDTYPE AS
syn keyword kvbasicOperator AND OR NOT MOD
syn keyword kvbasicCommand LEN MID$ ASC CHR$ FORMAT$ VAL LEFT$ RIGHT$ INSTR UCASE$ LCASE$ TRIM$ STR$
syn keyword kvbasicCommand REPLACE$ SPLIT SIN COS TAN ATAN ASIN ACOS SQR ABS POW RND INT FIX SGN
syn keyword kvbasicCommand ROUND MIN MAX RGB BAND BOR BXOR BNOT SHL SHR DIM BOUNDS SHOWSCREEN
syn keyword kvbasicCommand LIMITFPS GETTIMER GETTIMERALL BLACKSCREEN SETSHOEBOX LOADSPRITE
syn keyword kvbasicCommand LOADBUMPTEXTURE LOADBMP BLENDSCREEN USEASBMP GRABSPRITE SAVEBMP SPRITE
syn keyword kvbasicCommand STRETCHSPRITE ZOOMSPRITE ROTOSPRITE ROTOZOOMSPRITE ALPHAMODE DRAWLINE
syn keyword kvbasicCommand FILLRECT SETPIXEL STARTPOLY POLYVECTOR ENDPOLY BOXCOLL SPRCOLL LOADFONT
syn keyword kvbasicCommand LOADTTFFONT
syn keyword kvbasicCommand SETFONT PRINT GETFONTSIZE KEY INKEY$ INPUT MOUSESTATE SETMOUSE MOUSEWAIT
syn keyword kvbasicCommand KEYWAIT JOYSTATE GETJOYX GETJOYY GETJOYZ GETDIGIX GETDIGIY GETJOYBUTTON
syn keyword kvbasicCommand GETJOYNAME$ GETNUMJOYSTICKS JOYRUMBLE LOADSOUND PLAYSOUND HUSH PLAYMUSIC STOPMUSIC
syn keyword kvbasicCommand PLAYMOVIE LOOPMOVIE GETFILE PUTFILE DOESFILEEXIST CREATEFILE GETCURRENTDIR$
syn keyword kvbasicCommand SETCURRENTDIR GETFILELIST FILEREQUEST$ SHELLCMD GETCOMMANDLINE$ X_MAKE3D
syn keyword kvbasicCommand X_MAKE2D X_CAMERA X_MOVEMENT X_SCALING X_ROTATION X_CULLMODE X_AMBIENT_LT
syn keyword kvbasicCommand X_SPOT_LT X_DRAWAXES X_MIPMAPPING X_SETTEXTURE X_SPRITE X_OBJSTART
syn keyword kvbasicCommand X_OBJADDVERTEX X_OBJNEWGROUP X_OBJEND X_LOADOBJ X_SAVEOBJ X_DRAWOBJ
syn keyword kvbasicCommand X_DRAWANIM X_COLLISION X_WORLD2SCREEN FINDPATH NETHOSTGAME NETJOINGAME
syn keyword kvbasicCommand NETCREATEPLAYER$ NETDESTROYPLAYER NETSENDMSG NETGETMSG$ NETPLAYERNAME$
syn keyword kvbasicCommand NETNUMPLAYERS NETGETPLAYERID$
syn match kvbasicConfiguration "\<KV_\w\+"
syn match kvbasicNumber "\<\d\+\(\.\d*\)\=\([eE][-+]\=\d\+\)\="
syn match kvbasicNumber "\.\d\+\([eE][-+]\=\d\+\)\="
syn region kvbasicString start=+"+ end=+"\|$+ oneline
syn match kvbasicFunctionName "\(\<\(SUB\|FUNCTION\)\s\+\)\@<=\a\w*"
syn match kvbasicTypeName "\(\<\(TYPE\|AS\)\s\+\)\@<=\a\w*"
syn match kvbasicLabel "^\s*\a\w*:"me=e-1
syn match kvbasicComment "'.*$" contains=@Spell
syn match kvbasicComment "\(^\s*\|^\s*\a\w*:\s*\|:\s*\)\<REM\>.*$" contains=@Spell

hi def link kvbasicKeyword Statement
hi def link kvbasicOperator Operator
hi def link kvbasicCommand Function
hi def link kvbasicConfiguration PreProc
hi def link kvbasicNumber Number
hi def link kvbasicString String
hi def link kvbasicLabel Label
hi def link kvbasicFunctionName Function
hi def link kvbasicTypeName Type
hi def link kvbasicComment Comment

let b:current_syntax = 'kvbasic'
