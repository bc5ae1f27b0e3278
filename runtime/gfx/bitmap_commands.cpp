#include "gfx/bitmap_commands.h"

#include "files/shoebox.h"
#include "frame/frame.h"
#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"

namespace {

bool ValidSlot(int slot) { return slot >= 0 && slot < kSpriteSlots; }

double LoadSpriteCommand(KvStr file, double slot, bool bump)
{
    const int n = NumberToInt(slot);
    if (!g_ShoeBox_Data.Extract(file) || !ValidSlot(n)) return 0;
    pRbow->FreeSprite(n);
    // A picture that cannot be loaded leaves the slot empty; no error.
    pRbow->LoadSprite(static_cast<unsigned>(n), file.GetStrData(), kSpriteColorKey, bump);
    return 0;
}

}  // namespace

double LOADBMP(KvStr file)
{
    if (!g_ShoeBox_Data.Extract(file)) return 0;
    if (!pRbow->LoadSurface(0, file.GetStrData())) __FatalError(3);
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
    if (!g_ShoeBox_Data.Extract(file)) return 0;
    if (!pRbow->LoadFont(nCurFont, file.GetStrData())) __FatalError(3);
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
