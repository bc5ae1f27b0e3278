// The error log "ErrorLog.txt" in the temporary folder: deleted at start-up,
// then only appended to, one CR LF-terminated line at a time.
#pragma once

#include <string>

std::string ErrorLogPath();
void DeleteErrorLog();
// Appends text and CR LF. A log that cannot be opened drops the line silently.
void AppendErrorLog(const char* text);
