// The BASIC commands of files and the media archive; commands.h includes this header.
#pragma once

#include "files/shoebox.h"
