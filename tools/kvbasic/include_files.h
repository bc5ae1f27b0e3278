// Programs of several files: the main file and the files its INCLUDE
// statements name, read relative to the including file's folder, parsed
// and laid out as one program (see Program). A file included a second time
// is skipped: its lines already belong to the program. An include cycle, a
// missing file or a folder is an error at the INCLUDE.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "diagnostics.h"
#include "syntax_tree.h"

namespace kvbasic {

// Reads the file at `path` into `text`; on failure false, with the reason
// in `problem` ("there is no such file").
using SourceReader = std::function<bool(const std::string& path, std::string& text, std::string& problem)>;

// The most a source file (the main file or an included one) may hold.
constexpr std::uintmax_t kMaxSourceFileBytes = std::uintmax_t{64} << 20;

// The reader of the file system: a regular file (or a link to one) of at
// most kMaxSourceFileBytes; a folder, a pipe, a device or a larger file is
// refused with its reason, and nothing that could block is opened.
bool ReadSourceFile(const std::string& path, std::string& text, std::string& problem);

// Parses the main file's `source` and every file it includes, then builds
// the program's block tree over all their lines. `name` is the
// main file's name for the runtime's messages, `path` where it was read
// from (its folder is where INCLUDE looks). Errors carry their line in the
// program's numbering (Line::index + 1); LocateDiagnostics maps them back.
// Without a reader every INCLUDE is refused.
Program ParseProgram(const std::string& source, const std::string& name, const std::string& path,
                     const SourceReader& reader, Diagnostics& diagnostics);

// Turns the line of each error from the program's numbering into the line
// of its file and names the file when it is an included one.
void LocateDiagnostics(const Program& program, std::vector<Diagnostic>& errors);

// "line 7", or "line 7 of lib/enemies.bas" for a line of an included file:
// how a message names another line of the program (`number` counted from 1
// in the program's numbering).
std::string LineReference(const Program& program, int number);

}  // namespace kvbasic
