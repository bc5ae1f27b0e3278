#include "core/isaac.h"

IsaacContext g_ctx{};

namespace {

constexpr std::uint32_t kGoldenRatio = 0x9e3779b9;

struct MixWords {
    std::uint32_t a, b, c, d, e, f, g, h;

    void Mix()
    {
        a ^= b << 11; d += a; b += c;
        b ^= c >> 2;  e += b; c += d;
        c ^= d << 8;  f += c; d += e;
        d ^= e >> 16; g += d; e += f;
        e ^= f << 10; h += e; f += g;
        f ^= g >> 4;  a += f; g += h;
        g ^= h << 8;  b += g; h += a;
        h ^= a >> 9;  c += h; a += b;
    }
    void Add(const std::uint32_t* w)
    {
        a += w[0]; b += w[1]; c += w[2]; d += w[3];
        e += w[4]; f += w[5]; g += w[6]; h += w[7];
    }
    void Store(std::uint32_t* w) const
    {
        w[0] = a; w[1] = b; w[2] = c; w[3] = d;
        w[4] = e; w[5] = f; w[6] = g; w[7] = h;
    }
};

}  // namespace

void IsaacGenerate(IsaacContext& ctx)
{
    ctx.randc = ctx.randc + 1;
    std::uint32_t b = ctx.randb + ctx.randc;
    std::uint32_t a = ctx.randa;
    for (int m = 0; m < 256; ++m) {
        std::uint32_t shifted = 0;
        switch (m & 3) {
        case 0: shifted = a << 13; break;
        case 1: shifted = a >> 6; break;
        case 2: shifted = a << 2; break;
        case 3: shifted = a >> 16; break;
        }
        std::uint32_t x = ctx.randmem[m];
        a = (a ^ shifted) + ctx.randmem[(m + 128) & 255];
        std::uint32_t y = ctx.randmem[(x >> 2) & 255] + a + b;
        ctx.randmem[m] = y;
        b = ctx.randmem[(y >> 10) & 255] + x;
        ctx.randrsl[m] = b;
    }
    ctx.randa = a;
    ctx.randb = b;
}

std::uint32_t Tzrand()
{
    IsaacGenerate(g_ctx);
    return g_ctx.randrsl[0];
}

void IsaacInit(IsaacContext& ctx, const std::uint32_t startWords[8])
{
    ctx.randa = ctx.randb = ctx.randc = 0;
    MixWords w{startWords[0], startWords[1], startWords[2], startWords[3],
               startWords[4], startWords[5], startWords[6], startWords[7]};
    for (int i = 0; i < 4; ++i) w.Mix();
    for (int i = 0; i < 256; i += 8) {
        w.Add(&ctx.randrsl[i]);
        w.Mix();
        w.Store(&ctx.randmem[i]);
    }
    for (int i = 0; i < 256; i += 8) {
        w.Add(&ctx.randmem[i]);
        w.Mix();
        w.Store(&ctx.randmem[i]);
    }
    IsaacGenerate(ctx);
    ctx.randcnt = 256;
}

void Tzsrand(unsigned long seed)
{
    IsaacContext& ctx = g_ctx;
    ctx.randa = ctx.randb = ctx.randc = 0;
    MixWords w{kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio,
               kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio};
    const std::uint32_t seedWord = static_cast<std::uint32_t>(seed);
    // Stirring in the seed also leaves a..h in successive groups of randmem;
    // the initialisation overwrites every one of them.
    for (int i = 0; i < 32; ++i) {
        w.a += seedWord;
        w.Mix();
        w.Store(&ctx.randmem[(i * 8) & 255]);
    }
    const std::uint32_t words[8] = {w.a, w.b, w.c, w.d, w.e, w.f, w.g, w.h};
    IsaacInit(ctx, words);
}
