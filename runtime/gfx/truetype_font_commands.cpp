#include "gfx/truetype_font_commands.h"

#include <string>

#include "core/runtime_state.h"
#include "core/unreadable_media.h"
#include "files/shoebox.h"
#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/text_commands.h"

double LOADTTFFONT(KvStr file, double font, double size)
{
    // As with a bitmap font, the font becomes current before anything
    // else, even when the name does not resolve.
    const int n = NumberToInt(font);
    nCurFont = n < 0 ? 0 : n > 15 ? 15 : n;
    const KvStr asked = file;  // an archive member resolves to a temporary file
    if (!g_ShoeBox_Data.Extract(file)) return 0;
    std::string why;
    if (!pRbow->LoadTrueTypeFont(nCurFont, file.GetStrData(), NumberToInt(size), &why)) {
        ReportUnreadableMedia("font", asked.GetStrData(), why);
        __FatalError(3);
    }
    return 0;
}
