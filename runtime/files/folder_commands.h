// The file system as the program sees it: existence of files, the working
// directory and its listing.
#pragma once

#include "core/arrays.h"
#include "core/kvstr.h"

// 1 when the file can be opened for reading (folders, pipes and devices
// cannot); the archive is not consulted.
double DOESFILEEXIST(KvStr fileName);
// Makes the file, empty, when nothing has its name yet, so that PUTFILE
// can write to it; an existing file stays as it is. 1 when the file is
// there afterwards; 0 (and why on stderr) when it cannot be.
double CREATEFILE(KvStr fileName);
// The working directory, ending in "/".
KvStr GETCURRENTDIR_Str();
// 1 when the working directory is now the given one, else 0.
double SETCURRENTDIR(KvStr directory);
// Fills names (DIM to the count) with every folder of the working directory
// ("." and ".." too), then every file matching the pattern; returns
// folders * 65536 + files.
double GETFILELIST(KvStr pattern, KvStrArray& names);
