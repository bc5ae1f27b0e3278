#include "gfx/text_commands.h"

#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"

int nCurFont = 0;

double PRINT(KvStr text, double x, double y)
{
    pRbow->DrawTextA(static_cast<std::int16_t>(nCurFont), text.GetStrData(), Low16(x), Low16(y));
    return 0;
}

double PRINT(double number, double x, double y)
{
    char text[64];
    NumberToText(number, text, sizeof text);
    pRbow->DrawTextA(static_cast<std::int16_t>(nCurFont), text, Low16(x), Low16(y));
    return 0;
}

double SETFONT(double font)
{
    const int n = NumberToInt(font);
    nCurFont = n < 0 ? 0 : n > 15 ? 15 : n;
    return 0;
}

double GETFONTSIZE(double& w, double& h)
{
    int width = 0, height = 0;
    pRbow->GetFontSize(nCurFont, width, height);
    // The cell: the picture holds 16 x 8 of them.
    w = width >> 4;
    h = height >> 3;
    return 0;
}
