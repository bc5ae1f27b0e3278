// Frames of a playing video: the picture fitted into the drawing area, and
// presenting it without the game's frame pacing (the video keeps its own
// clock).
#pragma once

// Where a video picture goes: as large as the drawing area allows with its
// aspect ratio kept, centred.
struct VideoPlacement {
    int left = 0, top = 0;
    int width = 0, height = 0;
};
VideoPlacement FitVideo(int videoWidth, int videoHeight, int areaWidth, int areaHeight);

// Clears the drawing area to black and draws the RGBA picture (top row
// first) at its place, pixel for pixel. A null picture leaves it black.
void DrawVideoPicture(const unsigned char* rgba, const VideoPlacement& place);
// Shows the drawing area and pumps the window messages; the drawing area
// starts cleared and in the renderer's 2D state again.
void PresentVideoFrame();
