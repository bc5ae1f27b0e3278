// The BASIC command library in one header: what a program in generated form
// includes. Every command is a free function named after its keyword that
// takes and returns doubles and KvStr values; a keyword ending in '$' is a
// function ending in _Str.
#pragma once

#include "core/arrays.h"
#include "core/call_depth.h"
#include "core/data_items.h"
#include "core/error_report.h"
#include "core/kvstr.h"
#include "core/maths.h"
#include "core/number_functions.h"
#include "core/records.h"
#include "core/runtime_state.h"
#include "core/string_commands.h"
#include "core/string_library.h"
#include "core/string_split.h"

// The command folders, in the runtime's order from the bottom up.
#include "files/files_commands.h"

#include "path/path_commands.h"

#include "net/net_commands.h"

#include "gfx/gfx_commands.h"

#include "gfx3d/gfx3d_commands.h"

#include "input/input_commands.h"

#include "audio/audio_commands.h"

#include "frame/frame_commands.h"
