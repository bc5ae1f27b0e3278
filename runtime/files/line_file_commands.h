// GETFILE and PUTFILE: text files addressed by line number 0 ... 255,
// through the line-file cache.
#pragma once

#include "core/kvstr.h"

// Line into text: "NO_FILE" when the name is found neither on disk nor in the
// data archive, "NO_DATA" for an empty line or a line number out of range.
double GETFILE(KvStr fileName, double line, KvStr& text);
// Line into number (atof of the text); 0 when the file is not found.
double GETFILE(KvStr fileName, double line, double& number);
// Replaces a line of an existing file on disk (never of an archive member).
double PUTFILE(KvStr fileName, double line, KvStr text);
// The number as its "%g" text.
double PUTFILE(KvStr fileName, double line, double number);
