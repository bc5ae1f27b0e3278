// Pictures and sounds that the program asked for but that cannot be read
// (a damaged or cut-off file, an unsupported format) load as nothing or
// end the program, as each command says; either way the person running it
// is told which file it was and why, once.
#pragma once

#include <string>

// Says on stderr and in the error log "<kind> <name> cannot be read: <why>"
// ("picture katze.bmp cannot be read: it is cut short: ..."). The same
// file with the same reason is said once per run, however often the
// program asks for it again.
void ReportUnreadableMedia(const char* kind, const char* name, const std::string& why);
