// The string library beside the classic commands: LEFT$, RIGHT$, INSTR,
// UCASE$, LCASE$, TRIM$, STR$ and REPLACE$ (SPLIT, which fills an array, is
// in string_split.h). Positions count from 0, as MID$ does. A result never
// holds more than the 1022 characters of a string: REPLACE$ cuts a longer
// one there. Functions of strings alone: the debug adapter evaluates them
// too.
#pragma once

#include "core/kvstr.h"

KvStr LEFT_Str(KvStr s, double count);   // the first `count` characters
KvStr RIGHT_Str(KvStr s, double count);  // the last `count` characters
// The position of the first `find` in `s` at or after `start` (0 when left
// out), or -1; an empty `find` is found at `start` when that is within `s`.
double INSTR(KvStr s, KvStr find);
double INSTR(KvStr s, KvStr find, double start);
KvStr UCASE_Str(KvStr s);  // letters of ASCII and Latin-1 in upper case
KvStr LCASE_Str(KvStr s);
KvStr TRIM_Str(KvStr s);   // without blanks and tabs at either end
KvStr STR_Str(double x);   // the number's "%g" text
// Every `find` in `s` replaced by `with`, from left to right; `s` itself
// when `find` is empty.
KvStr REPLACE_Str(KvStr s, KvStr find, KvStr with);
