// Stand-in until the archive lands: names resolve to files on disk only.
#include "files/shoebox.h"

#include <cstdio>

TzShoeBox g_ShoeBox_Data;
TzShoeBox g_ShoeBox_Media;

void TzShoeBox::Clear()
{
    archivePath[0] = 0;
    tempFile[0] = 0;
}

bool TzShoeBox::Extract(KvStr& name)
{
    if (name.Length() == 0) return false;
    std::FILE* file = std::fopen(name.GetStrData(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

double SETSHOEBOX(KvStr, KvStr) { return 0; }
