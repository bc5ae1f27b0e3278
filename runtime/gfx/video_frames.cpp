#include "gfx/video_frames.h"

#include <algorithm>

#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"

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
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    if (rgba == nullptr || place.width <= 0 || place.height <= 0) return;
    // Pixels go straight in: no texture, no blending, no alpha test.
    glPushAttrib(GL_ENABLE_BIT | GL_PIXEL_MODE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);  // texture uploads keep their settings
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    // The rows arrive top first; a zoom of -1 lays them downwards from the
    // top-left corner, which the 2D projection puts at (left, -top).
    glPixelZoom(1, -1);
    glRasterPos2i(place.left, -place.top);
    glDrawPixels(place.width, place.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopClientAttrib();
    glPopAttrib();
}

void PresentVideoFrame()
{
    glFlush();
    platform::PresentFrame(hWnd);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pRbow->WinMessages();
}
