// szWildMatch: the file-name pattern match of GETFILELIST.
#pragma once

// "*" matches any run of characters (also none), "?" any one character but
// '.', letters match without regard to case, everything else exactly.
bool szWildMatch(const char* pattern, const char* name);
