#include "files/line_file_commands.h"

#include <cstdio>

#include "core/runtime_state.h"
#include "files/fast_file.h"
#include "files/shoebox.h"
#include "platform/platform.h"

namespace {

// Line numbers are truncated and then wrapped to signed 16 bits before the
// cache checks them, so 65536 addresses line 0.
short LineNumber(double line)
{
    return static_cast<short>(NumberToInt(line));
}

// SIGINT or SIGTERM stops the loading of a line file; the program then ends
// at once instead of at its next frame.
void EndIfTerminationRequested()
{
    if (platform::TerminationRequested()) __EndProgram();
}

// PUTFILE only writes to files that exist (and says so through error 3).
// The first time a program meets that, it is told once which command
// makes the file, so that a save file nobody created is not lost unseen.
void ExplainMissingFile(const char* name)
{
    static bool told = false;
    if (told || platform::StampOf(name).valid) return;
    told = true;
    std::fprintf(stderr,
                 "Zorvelin runtime: PUTFILE %s: there is no such file, and PUTFILE does not create files; "
                 "CREATEFILE \"%s\" makes an empty one\n",
                 name, name);
}

void PutLine(const KvStr& fileName, double line, const char* text)
{
    if (g_FastFile.PutFile(fileName.GetStrData(), LineNumber(line), text) == 3) ExplainMissingFile(fileName.GetStrData());
    EndIfTerminationRequested();
}

}  // namespace

double GETFILE(KvStr fileName, double line, KvStr& text)
{
    if (!g_ShoeBox_Data.Extract(fileName)) {
        text = "NO_FILE";
        return 0;
    }
    g_FastFile.GetFile(fileName.GetStrData(), LineNumber(line), text);
    EndIfTerminationRequested();
    return 0;
}

double GETFILE(KvStr fileName, double line, double& number)
{
    KvStr text;
    if (!g_ShoeBox_Data.Extract(fileName)) {
        number = 0;
        return 0;
    }
    g_FastFile.GetFile(fileName.GetStrData(), LineNumber(line), text);
    EndIfTerminationRequested();
    number = TextToNumber(text.GetStrData());
    return 0;
}

double PUTFILE(KvStr fileName, double line, KvStr text)
{
    PutLine(fileName, line, text.GetStrData());
    return 0;
}

double PUTFILE(KvStr fileName, double line, double number)
{
    char text[64];
    NumberToText(number, text, sizeof text);
    PutLine(fileName, line, text);
    return 0;
}
