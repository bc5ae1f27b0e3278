// The BASIC commands of the program frame: END, SHOWSCREEN and the frame
// timers, and the commands that run frames of their own or make way for a
// dialog (INPUT, FILEREQUEST$); commands.h includes this header.
#pragma once

#include "frame/file_request.h"
#include "frame/frame.h"
#include "frame/input_line.h"
#include "frame/present_commands.h"
