// The BASIC commands of files and the media archive; commands.h includes this header.
#pragma once

#include "files/shoebox.h"

#include "files/folder_commands.h"
#include "files/line_file_commands.h"
#include "files/process_commands.h"
