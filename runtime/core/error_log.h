// The error log "ErrorLog.txt" in the temporary folder: deleted at start-up,
// then only appended to, one CR LF-terminated line at a time. When this user
// cannot have that file, the log goes elsewhere in the temporary folder and
// the user is told once on stderr (error_log.cpp lists the places).
#pragma once

#include <string>

// The file the log is written to now; empty when there is none.
std::string ErrorLogPath();
void DeleteErrorLog();
// Appends text and CR LF. A log that cannot be written moves on to the next
// place; only with no place left is the line dropped (said once).
void AppendErrorLog(const char* text);
