// The BASIC commands of this subsystem; commands.h includes this header.
#pragma once

#include "net/network_commands.h"
