// The generated programs (program_table.cpp, written at build time by
// integer_paths_generator): program N translated with the integer paths
// and without them. Each entry runs the program's SUBs in order and prints
// the globals after each.
#pragma once

using ProgramRun = void (*)();
extern const ProgramRun kIntegerPrograms[];
extern const ProgramRun kDoublePrograms[];
extern const int kProgramCount;
