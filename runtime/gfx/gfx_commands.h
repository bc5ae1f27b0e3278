// The BASIC commands of the 2D renderer; commands.h includes this header.
#pragma once

#include "gfx/bitmap_commands.h"
#include "gfx/drawing_commands.h"
#include "gfx/own_opengl.h"
#include "gfx/text_commands.h"
#include "gfx/truetype_font_commands.h"
