// In the browser, the page calls this when it is hidden or left (web/pre.js):
// the line file's changed lines are written into the program's folder at
// once, so that the page can save the folder to the browser's storage
// before it goes. A program that keeps using the file reloads it from there.
#include "files/fast_file.h"

extern "C" void kv_write_back_files()
{
    g_FastFile.FillBuffer(nullptr);
}
