#include "gfx/video_frames.h"

#include <algorithm>

#include "core/runtime_state.h"
#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"

VideoPlacement FitVideo(int videoWidth, int videoHeight, int areaWidth, int areaHeight)
{
    VideoPlacement place;
    if (videoWidth <= 0 || videoHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return place;
    const double scale = std::min(static_cast<double>(areaWidth) / videoWidth,
                                  static_cast<double>(areaHeight) / videoHeight);
    place.width = static_cast<int>(videoWidth * scale);
    place.height = static_cast<int>(videoHeight * scale);
    place.left = (areaWidth - place.width) / 2;
    place.top = (areaHeight - place.height) / 2;
    return place;
}

void DrawVideoPicture(const unsigned char* rgba, const VideoPlacement& place)
{
    gl::ClearColor(0, 0, 0, 0);
    gl::Clear(GL_COLOR_BUFFER_BIT);
    if (rgba == nullptr || place.width <= 0 || place.height <= 0) return;
    // Pixels go straight in: no texture, no blending, no alpha test.
    gl::PushAttrib(GL_ENABLE_BIT | GL_PIXEL_MODE_BIT);
    gl::PushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);  // texture uploads keep their settings
    gl::Disable(GL_TEXTURE_2D);
    gl::Disable(GL_BLEND);
    gl::Disable(GL_ALPHA_TEST);
    gl::Disable(GL_DEPTH_TEST);
    gl::PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl::PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl::PixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    gl::PixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    // The rows arrive top first; a zoom of -1 lays them downwards from the
    // top-left corner, which the 2D projection puts at (left, -top).
    gl::PixelZoom(1, -1);
    gl::RasterPos2i(place.left, -place.top);
    gl::DrawPixels(place.width, place.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    gl::PopClientAttrib();
    gl::PopAttrib();
}

void PresentVideoFrame()
{
    gl::Flush();
    platform::PresentFrame(pRbow->window.hWnd);  // the renderer's window, the game window
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pRbow->WinMessages();
}
