// Which program a library file belongs to, when the editor has no program
// open that includes it: a .bas file beside it or in a folder above it
// (at most two up) whose INCLUDE names it, and, when that file is a library
// too, the program that includes that one.
#pragma once

#include <string>

#include "include_files.h"

namespace kvlsp {

// The path of the program that includes the file at `path` (directly or
// through other libraries); "" when none is found. Files are read through
// `reader` (the editor's text of open files); only regular files of a
// bounded size are looked at.
std::string ProgramIncludingOnDisk(const std::string& path, const kvbasic::SourceReader& reader);

// Whether the source `text` of the file at `from` INCLUDEs the file at `path`.
bool Includes(const std::string& text, const std::string& from, const std::string& path);

}  // namespace kvlsp
