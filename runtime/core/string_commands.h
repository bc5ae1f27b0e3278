// The string commands of the dialect: LEN, MID$, ASC, CHR$, FORMAT$, VAL.
#pragma once

#include "core/kvstr.h"

double LEN(KvStr s);
double LEN(double x);
KvStr MID_Str(KvStr s, double start, double count);
double ASC(KvStr s);
KvStr CHR_Str(double code);
KvStr FORMAT_Str(double width, double decimals, double value);
// The number a text begins with, as atof reads it (0 for text that is no number).
double VAL(KvStr s);
