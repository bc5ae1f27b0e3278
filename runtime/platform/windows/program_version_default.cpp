// The version of a program whose build names none: empty. A PE program has
// no weak undefined symbols, so the default is a definition of its own in
// this file, which the linker takes from the runtime library only when the
// program's objects do not define KV_PROGRAM_VERSION themselves (a library
// member is linked only for a symbol still undefined).
#include "platform/program_version.h"

extern "C" const char KV_PROGRAM_VERSION[] = "";
