// The game's pictures, drawn from shapes: the cat, the guard, the tiles of
// the landscape, the mountains, the sun and the four wing positions of the
// bird. Everything outside a figure is the colour key.
#pragma once

#include "picture.h"

namespace media {

Picture DrawCatFacingRight();  // 32 x 32; the left-facing cat is its mirror
Picture DrawGuard();           // 32 x 32, seen from the front
Picture DrawLandTile();        // 32 x 32 earth, fully opaque
Picture DrawSkyTile();         // 32 x 32, fully opaque
Picture DrawFlagTile();        // 32 x 32: a flag planted in the earth tile
Picture DrawMountains();       // 960 x 44: far mountains and a grass edge
Picture DrawSun();             // 96 x 120: the disc low in the picture
Picture DrawBird(int frame);   // 24 x 16, frame 0 wings up .. 3 wings down

}  // namespace media
