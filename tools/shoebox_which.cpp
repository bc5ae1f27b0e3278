// shoebox_which NAME...: which file does a program load for a media name?
//
// Starts the runtime frame like every program does (so both archive boxes
// look inside this program's own file and its folder becomes the working
// directory), resolves each name of the command line through the data box
// and prints one line per name:
//   NAME -> PATH BYTES HASH      (HASH: FNV-1a 64 of the file, hexadecimal)
//   NAME -> not found
// Append an archive to a copy of it (shoebox_pack append) to see what a
// shipped program would find.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace {

// The bytes and FNV-1a 64 hash of a file; false when it cannot be read.
bool MeasureFile(const char* path, long long& size, std::uint64_t& hash)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    size = 0;
    hash = 0xcbf29ce484222325ull;
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
        ++size;
    }
    std::fclose(file);
    return true;
}

void ShowWhich(const std::string& request)
{
    KvStr name = request.c_str();
    long long size = 0;
    std::uint64_t hash = 0;
    if (g_ShoeBox_Data.Extract(name) && MeasureFile(name.GetStrData(), size, hash))
        std::printf("%s -> %s %lld %016" PRIx64 "\n", request.c_str(), name.GetStrData(), size, hash);
    else
        std::printf("%s -> not found\n", request.c_str());
    std::fflush(stdout);
}

}  // namespace

static void __MainGameSub_()
{
    std::string names = g_cmdline.GetStrData();
    std::size_t start = 0;
    while (start < names.size()) {
        std::size_t end = names.find(' ', start);
        if (end == std::string::npos) end = names.size();
        if (end > start) ShowWhich(names.substr(start, end - start));
        start = end + 1;
    }
    END();
}

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 320;
    KV_RESY = 240;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 60;
    KV_DEBUG = 0;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "shoebox_which");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
