// OpenGLRainbows: the 2D renderer and owner of the game window's OpenGL
// context. Exactly one instance exists, held by pRbow.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/opengl_surface.h"
#include "gfx/particle_ring.h"
#include "gfx/renderer_timer.h"
#include "gfx/renderer_window.h"
#include "gfx/sprite_slots.h"
#include "gl/batch2d.h"
#include "gl/gl_state_shadow.h"
#include "platform/platform.h"

struct BmpPicture;   // gfx/bmp_reader.h
struct PictureFile;  // gfx/picture_reader.h

// How DrawSpriteFX draws a sprite: turned, resized and tinted.
struct OPENGL_SPRITEFX {
    float angle;            // degrees, counter-clockwise on screen
    std::int16_t width;     // drawn width; 0 or less = the picture's width
    std::int16_t height;    // drawn height; 0 or less = the picture's height
    std::uint32_t color;    // tint in RGB() packing; 0 = no tint
};

// Colour key of sprites loaded from files: red 255, green 0, blue 128.
constexpr std::uint32_t kSpriteColorKey = 0x8000FF;

// Texture slot of the polygon being built; -1 = untextured.
extern std::int32_t g_nTexture;

class OpenGLRainbows {
public:
    OpenGLRainbows();
    virtual ~OpenGLRainbows();

    // ---- Window and context ------------------------------------------------
    bool Init(platform::Window* gameWindow, int width, int height, int colorBits, unsigned short maxFps);
    void SetDCPixelFormat();
    bool DoFullscreen();
    bool DoWindowed();
    bool HideWindow();
    void ChangeSize(int width, int height);
    void ResizeAuto();
    bool WinMessages();
    bool IsActive() const { return window.active; }
    void FreeAll();
    void FreeSprite(int slot);
    void FreeSurface(int surface);

    // ---- Presentation and timing -------------------------------------------
    void Make2DViewport();
    void SetupAccurateTimer();
    double AccurateTime() const;
    void SetMaxFPS(int fps);
    double FlipScreens();
    // Perspective projection and the 3D render state (fov: vertical, degrees).
    void Make3DViewport(double nearPlane, double farPlane, double fov);

    // ---- Bitmaps and textures ----------------------------------------------
    // Magnitudes of a picture file's width and height (a BMP's from its
    // header alone, any other format's from its decoded picture); (0, 0)
    // when the file is unreadable or not one this renderer can use.
    void GetBMPSize(const char* file, std::int32_t& w, std::int32_t& h);
    // Texture of the rectangle (x0, y0, w, h) of a picture file (w or h 0 =
    // whole picture) and, with mipmapTexture, its hand-made mip chain.
    bool MakeBMPTexture(const char* file, int x0, int y0, int w, int h, GLuint* texture,
                        GLuint* mipmapTexture, std::uint32_t colorKey, bool useKey, bool bump);
    // The same from a picture already in memory (a surface reads its file once).
    void MakePictureTexture(const BmpPicture& picture, int x0, int y0, int w, int h, GLuint* texture,
                            GLuint* mipmapTexture, std::uint32_t colorKey, bool useKey, bool bump);
    void MakePictureTexture(const PictureFile& picture, int x0, int y0, int w, int h, GLuint* texture,
                            GLuint* mipmapTexture, std::uint32_t colorKey, bool useKey, bool bump);
    // Uploads RGBA texels (tw x th; with bump, turned into the normal map
    // first) into a new texture and, with mipmapTexture, its mip chain.
    void UploadSpriteTexels(std::vector<std::uint8_t>& texels, int tw, int th, GLuint* texture,
                            GLuint* mipmapTexture, bool bump);
    static void build_detail_normalmap(unsigned char* image, int width, int height);
    bool LoadSprite(unsigned slot, const char* file, std::uint32_t colorKey, bool bump);
    bool LoadFont(int font, const char* file);
    // Renders a TrueType or OpenType font file at pixelSize (clamped to
    // kSmallestTrueTypeSize .. kLargestTrueTypeSize, lowered further until
    // its texture fits) into font slot `font`, in the layout the text
    // drawing reads (gfx/truetype_font_layout.h). False, with *why said,
    // when the file cannot be read or rendered; the slot is then empty.
    bool LoadTrueTypeFont(int font, const char* file, int pixelSize, std::string* why);
    void SetTexture3D(int first, int second, int mipmapped);
    bool LoadSurface(int surface, const char* file, bool unused = false);
    bool GrabSprite(std::int16_t slot, int x, int y, int w, int h);
    void GrabSurface(int surface);
    bool SaveBMPFile(const char* file);

    // ---- Sprite and primitive drawing --------------------------------------
    void DoAlpha(float a);
    void DrawSprite(int slot, std::int16_t x, std::int16_t y);
    void StretchSprite(int slot, std::int16_t x, std::int16_t y, std::int16_t w, std::int16_t h);
    void RotoSprite(int slot, std::int16_t x, std::int16_t y, std::int16_t angle);
    void DrawSpriteFX(int slot, std::int16_t x, std::int16_t y, const OPENGL_SPRITEFX& fx);
    void GetSpriteSize(int slot, int& w, int& h) const;
    void PasteSurface(int surface);
    void BlendToSurface(int from, int to);
    void DrawLine(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::uint32_t color);
    void DrawRect(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::uint32_t color);
    void DrawPixel(std::int16_t x, std::int16_t y, std::uint32_t color);
    void StartPoly(int slot);
    void PolyPoint(float x, float y, float s, float t, std::uint32_t color);
    void EndPoly();
    bool SpriteCollision(int s1, int s2, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
    void Particles(OPENGL_PARTICLE& particleTemplate, std::uint32_t color);
    void DrawParticles();
    void DrawBillboard(int slot, float px, float py, float pz, float scale);

    // ---- Text ----------------------------------------------------------------
    void DrawTextA(std::int16_t font, const char* text, std::int16_t x, std::int16_t y);
    void GetFontSize(int font, int& w, int& h) const;

    int Width() const { return window.width; }
    int Height() const { return window.height; }

    // ---- The renderer's data, by part ---------------------------------------
    float alpha = 1.0f;  // colour factor of the alpha mode; 1 after every frame
    TextureSelection selection;
    SpriteSlots slots;
    RendererWindow window;
    OpenGLSurface surfaces[kSurfaceCount];
    RendererTimer timer;
    ParticleRing particleRing;

    // ---- The 2D batch --------------------------------------------------------
    // Draws the vertices the 2D commands left pending; the GL state stays as
    // the commands left it.
    void Flush2D();
    // Someone other than the 2D layer is about to use OpenGL: pending 2D
    // vertices are drawn, and the believed state is forgotten. Every
    // guarded OpenGL call of the runtime calls it (gl/gl_calls.h), and so
    // does BeginOwnOpenGL for a program's own calls.
    void FinishPending2D();
    // Something other than the 2D batch may have drawn into the picture.
    void NoteDrawing() { pictureDrawn = true; }
    // A guarded call moved the matrices or the viewport: the projection
    // Make2DViewport set up is no longer known to be in force. The batch's
    // own pixel shift, undone within its draw, does not count.
    void NoteTransformMoved()
    {
        if (!batch.Flushing()) plainProjection = false;
    }
    // A program's own OpenGL may move anything, unseen (BeginOwnOpenGL).
    void ForgetProjection() { plainProjection = false; }

private:
    // What the current command wants of texture units 0 and 1; applied
    // through the shadow when the command ends (CommitTextures).
    struct TextureRequest {
        bool setEnabled[2] = {false, false};
        bool enabled[2] = {false, false};
        bool setBound[2] = {false, false};
        GLuint bound[2] = {0, 0};
        bool colorMaterial = false;
        bool operator==(const TextureRequest&) const = default;
    };
    // The texture selection without touching OpenGL (SetTexture3D's logic).
    void SelectTextures(int first, int second, int mipmapped);
    void RequestUnit0(bool enabled, GLuint texture, bool bind);
    void CommitTextures();
    void RestoreAfterPrimitive();
    // The current colour: vertices carry it, and OpenGL keeps it for others.
    void SetColor(float r, float g, float b, float a);
    const float* CurrentColor();
    // Blending, blend function and alpha test, drawing pending vertices
    // first when they change.
    void SetBlending(bool on, GLenum source, GLenum destination);
    void SetAlphaTest(bool on);
    BatchVertex* AppendVertices(const BatchKey& key, std::size_t count, const PixelArea* area = nullptr);
    BatchKey SpriteKey(int slot, GLenum mode) const;
    // How a sprite is drawn; `ownSize`: unscaled and unturned on whole
    // pixels of the 2D projection, so nearest sampling may stand in for
    // linear, and the sprite is one quad rather than two triangles.
    BatchKey PictureKey(int slot, bool ownSize) const;
    // A sprite's quad centred on (cx, cy), turned by angle degrees.
    void DrawTurned(int slot, float cx, float cy, float angle, float u, float v, int hw, int hh, const float* rgba);
    // A sprite's corners, counter-clockwise from the bottom-left: as they
    // are for a GL_QUADS key, else as two triangles (the order OpenGL
    // splits a four-corner fan in).
    void AppendQuad(const BatchKey& key, const float (*corner)[4], const float* color, const PixelArea* area = nullptr);

    Batch2D batch;
    GlStateShadow glState;
    TextureRequest request;
    // The request CommitTextures last applied and the shadow's count of
    // texture changes right after: while the count stands still, the units
    // still hold that request and the same one again needs no work.
    TextureRequest committed;
    bool committedValid = false;
    std::uint32_t committedChanges = 0;
    bool colorKnown = false;
    float color[4] = {1, 1, 1, 1};
    bool polygonOpen = false;
    BatchKey polygonKey;
    // Nearest sampling for sprites at their own size, and leaving out
    // sprites and pixels wholly off the drawing area; both off in the
    // reference mode (KV_NO_BATCH=1), which samples everything linearly and
    // sends every primitive to OpenGL.
    bool shortcuts = true;
    // True from Make2DViewport until a matrix or the viewport moves: a 2D
    // primitive's pixel area is then where it lands on the drawing area.
    bool plainProjection = false;
    // Whether a primitive lighting at most `area` would land wholly off the
    // drawing area, where OpenGL would clip all of it away.
    bool OffDrawingArea(const PixelArea& area) const
    {
        return shortcuts && plainProjection &&
               (area.right <= 0 || area.bottom <= 0 || area.left >= window.width || area.top >= window.height);
    }
    // Whether anything may have drawn since the drawing area was last
    // cleared, and the colour it was cleared to: a frame that drew nothing
    // is shown without copying the area, and not cleared again.
    bool pictureDrawn = true;
    float clearedTo[4] = {0, 0, 0, 0};
};

// The one renderer; the frame creates it after the window.
extern OpenGLRainbows* pRbow;

// The window procedure (the frame's __WndProc_), which the frame registers
// as the program loads: the renderer hands it the window's messages each
// frame and while it waits. Without one, messages are dropped.
void SetWindowProcedure(platform::MessageHandler procedure);
void PumpWindowMessages();

// Gives every saved desktop window its placement back, twice, 500 ms apart.
void restore_desktop();
