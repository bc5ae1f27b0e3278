#include "gfx/drawing_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/runtime_state.h"
#include "files/shoebox.h"
#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"

double ALPHAMODE(double a)
{
    pRbow->DoAlpha(static_cast<float>(a));
    return 0;
}

double SPRITE(double slot, double x, double y)
{
    pRbow->DrawSprite(NumberToInt(slot), Low16(x), Low16(y));
    return 0;
}

double STRETCHSPRITE(double slot, double x, double y, double w, double h)
{
    pRbow->StretchSprite(NumberToInt(slot), Low16(x), Low16(y), Low16(w), Low16(h));
    return 0;
}

double ZOOMSPRITE(double slot, double x, double y, double zoomX, double zoomY)
{
    const int n = NumberToInt(slot);
    if (!ValidSlot(n)) return 0;
    // The zoom keeps the picture's centre; a negative factor does not mirror.
    const double w = pRbow->slots.imgWidth[n];
    const double h = pRbow->slots.imgHeight[n];
    const double zoomedWidth = std::fabs(w * zoomX);
    const double zoomedHeight = std::fabs(h * zoomY);
    pRbow->StretchSprite(n, Low16(x - (zoomedWidth - w) * 0.5),
                         Low16(y - (zoomedHeight - h) * 0.5), Low16(zoomedWidth),
                         Low16(zoomedHeight));
    return 0;
}

double ROTOSPRITE(double slot, double x, double y, double angle)
{
    pRbow->RotoSprite(NumberToInt(slot), Low16(x), Low16(y), Low16(angle));
    return 0;
}

double ROTOZOOMSPRITE(double slot, double x, double y, double angle, double zoom)
{
    const int n = NumberToInt(slot);
    if (!ValidSlot(n)) return 0;
    // Into 0..360 from below; fmod first, so that an angle too large for
    // adding 360 to change it cannot hang the loop.
    if (angle < 0) angle = std::fmod(angle, 360.0);
    while (angle < 0) angle += 360;
    OPENGL_SPRITEFX fx;
    fx.angle = static_cast<float>(angle);
    fx.width = Low16(pRbow->slots.imgWidth[n] * zoom);
    fx.height = Low16(pRbow->slots.imgHeight[n] * zoom);
    fx.color = 0;
    pRbow->DrawSpriteFX(n, Low16(x), Low16(y), fx);
    return 0;
}

double DRAWLINE(double x1, double y1, double x2, double y2, double color)
{
    pRbow->DrawLine(Low16(x1), Low16(y1), Low16(x2), Low16(y2), ColorArgument(color));
    return 0;
}

double FILLRECT(double x1, double y1, double x2, double y2, double color)
{
    // Corners in order, so the quad runs counter-clockwise and survives culling.
    const std::int16_t ax = Low16(x1), ay = Low16(y1), bx = Low16(x2), by = Low16(y2);
    pRbow->DrawRect(std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by), ColorArgument(color));
    return 0;
}

double SETPIXEL(double x, double y, double color)
{
    pRbow->DrawPixel(Low16(x), Low16(y), ColorArgument(color));
    return 0;
}

double STARTPOLY(double slot)
{
    pRbow->StartPoly(NumberToInt(slot));
    return 0;
}

double POLYVECTOR(double x, double y, double s, double t, double color)
{
    pRbow->PolyPoint(static_cast<float>(x), static_cast<float>(y), static_cast<float>(s), static_cast<float>(t),
                     ColorArgument(color));
    return 0;
}

double ENDPOLY()
{
    pRbow->EndPoly();
    return 0;
}

double BLENDSCREEN(KvStr file)
{
    if (!g_ShoeBox_Data.Extract(file)) return 0;
    pRbow->GrabSurface(0);
    if (!pRbow->LoadSurface(1, file.GetStrData())) __FatalError(3);
    pRbow->BlendToSurface(0, 1);
    pRbow->FreeSurface(1);
    pRbow->LoadSurface(0, file.GetStrData());
    pRbow->PasteSurface(0);
    pRbow->DoAlpha(0);
    return 0;
}

double BOXCOLL(double& result, double x1, double y1, double w1, double h1, double x2, double y2, double w2,
               double h2)
{
    // Each box covers min(p, p + size) .. max(p, p + size); touching counts.
    auto overlap = [](double p1, double s1, double p2, double s2) {
        const std::int64_t a = NumberToInt(p1), b = a + NumberToInt(s1);
        const std::int64_t c = NumberToInt(p2), d = c + NumberToInt(s2);
        return std::max(std::min(a, b), std::min(c, d)) <= std::min(std::max(a, b), std::max(c, d));
    };
    result = overlap(x1, w1, x2, w2) && overlap(y1, h1, y2, h2) ? 1 : 0;
    return 0;
}

double SPRCOLL(double slot1, double x1, double y1, double slot2, double x2, double y2)
{
    return pRbow->SpriteCollision(NumberToInt(slot1), NumberToInt(slot2), Low16(x1), Low16(y1), Low16(x2),
                                  Low16(y2))
               ? 1
               : 0;
}
