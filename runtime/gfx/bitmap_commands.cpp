#include "gfx/bitmap_commands.h"

#include <cstdint>
#include <string>

#include "core/runtime_state.h"
#include "core/unreadable_media.h"
#include "files/shoebox.h"
#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/picture_reader.h"
#include "gfx/text_commands.h"

namespace {

// Says once why the picture the program asked for (by the name it gave)
// did not load from file, the plain file it resolved to.
void ReportUnloadedPicture(const char* asked, const char* file)
{
    std::string why = PictureFileProblem(file);
    if (why.empty()) {
        // A picture the reader takes: the size query refuses only one the
        // sprite tables cannot record.
        std::int32_t w = 0, h = 0;
        pRbow->GetBMPSize(file, w, h);
        why = w == 0 ? "it is larger than " + std::to_string(kLargestPicture) + " pixels on a side"
                     : std::string("no texture could be made of it");
    }
    ReportUnreadableMedia("picture", asked, why);
}

double LoadSpriteCommand(KvStr file, double slot, bool bump)
{
    const int n = NumberToInt(slot);
    const KvStr asked = file;  // an archive member resolves to a temporary file
    if (!g_ShoeBox_Data.Extract(file) || !ValidSlot(n)) return 0;
    pRbow->FreeSprite(n);
    // A picture that cannot be loaded leaves the slot empty (or, when only
    // its header reads, a plain quad); no error, only a word on stderr.
    if (!pRbow->LoadSprite(static_cast<unsigned>(n), file.GetStrData(), kSpriteColorKey, bump) ||
        pRbow->slots.spriteTex[n][0] == 0)
        ReportUnloadedPicture(asked.GetStrData(), file.GetStrData());
    return 0;
}

}  // namespace

double LOADBMP(KvStr file)
{
    const KvStr asked = file;
    if (!g_ShoeBox_Data.Extract(file)) return 0;
    if (!pRbow->LoadSurface(0, file.GetStrData())) {
        ReportUnloadedPicture(asked.GetStrData(), file.GetStrData());
        __FatalError(3);
    }
    pRbow->PasteSurface(0);
    return 0;
}

double LOADSPRITE(KvStr file, double slot)
{
    return LoadSpriteCommand(file, slot, false);
}

double LOADBUMPTEXTURE(KvStr file, double slot)
{
    return LoadSpriteCommand(file, slot, true);
}

double LOADFONT(KvStr file, double font)
{
    // The font becomes current before anything else, even when the name
    // does not resolve.
    int n = NumberToInt(font);
    nCurFont = n < 0 ? 0 : n > 15 ? 15 : n;
    const KvStr asked = file;
    if (!g_ShoeBox_Data.Extract(file)) return 0;
    const bool loaded = pRbow->LoadFont(nCurFont, file.GetStrData());
    if (!loaded || pRbow->slots.spriteTex[kFirstFontSlot + nCurFont][0] == 0)
        ReportUnloadedPicture(asked.GetStrData(), file.GetStrData());
    if (!loaded) __FatalError(3);
    return 0;
}

double SAVEBMP(KvStr file)
{
    pRbow->SaveBMPFile(file.GetStrData());
    return 0;
}

double GRABSPRITE(double slot, double x, double y, double w, double h)
{
    pRbow->GrabSprite(Low16(slot), Low16(x), Low16(y), Low16(w), Low16(h));
    return 0;
}

double USEASBMP()
{
    pRbow->GrabSurface(0);
    return 0;
}
