// INPUT: a modal one-line editor drawn into the game's own screen. The
// picture behind the line is kept in background surface 3 while it runs.
#include <cstring>

#include "frame/input_line.h"
#include "core/kvstr.h"
#include "frame/present_commands.h"
#include "gfx/command_numbers.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/text_commands.h"
#include "input/dx_input.h"

namespace {

constexpr int kScratchSurface = 3;
constexpr int kBlinkPasses = 20;  // the cursor toggles after 21 idle passes

void DrawLine(const KvStr& text, bool cursor, std::int16_t x, std::int16_t y)
{
    pRbow->PasteSurface(kScratchSurface);
    KvStr shown = text;
    if (cursor) shown += "_";  // left off when it would not fit
    pRbow->DrawTextA(static_cast<std::int16_t>(nCurFont), shown.GetStrData(), x, y);
    SHOWSCREEN();
}

}  // namespace

double INPUT(KvStr& text, double x, double y)
{
    if (pRbow == nullptr || pDXin == nullptr) return 0;
    const std::int16_t px = Low16(x);
    const std::int16_t py = Low16(y);
    pRbow->GrabSurface(kScratchSurface);
    DrawLine(text, false, px, py);

    int idlePasses = 0;
    bool cursor = false;
    for (;;) {
        const signed char c = pDXin->GetKeyChar();
        if (c == 0) {
            if (++idlePasses > kBlinkPasses) {
                idlePasses = 0;
                cursor = !cursor;
            }
        } else if (c == 10) {
            pRbow->FreeSurface(kScratchSurface);
            return 0;
        } else if (c == 8) {
            const int length = text.Length();
            if (length > 0) text.Left(length - 1);
        } else {
            const char typed[2] = {c, 0};
            text += typed;  // ignored when the text would pass 1022 characters
        }
        DrawLine(text, cursor, px, py);
    }
}

double INPUT(double& number, double x, double y)
{
    KvStr text;
    INPUT(text, x, y);
    number = static_cast<double>(text);
    return 0;
}
