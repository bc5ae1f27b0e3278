// A BASIC program of a chosen length for the tests and benchmarks of large
// programs: a main program of every kind of block (FOR, IF, SELECT CASE,
// GOTO over a few lines and one GOTO over a long stretch), DATA and READ,
// texts, a CONST, calls of a SUB, and one line of many statements. Its last
// statement line raises runtime error 9 (an index out of bounds) only when
// every statement before it ran exactly once, in order: the error and the
// line it names show that the program ran as written.
#pragma once

#include <string>

namespace testing_support {

struct LargeBasicProgram {
    std::string source;
    int errorLine = 0;  // 1-based, the line that raises the error when all went right
    std::string errorLineText;
};

// About `lines` lines (at least some 200); `longLineStatements` statements
// on one line of the main program.
inline LargeBasicProgram MakeLargeBasicProgram(int lines, int longLineStatements = 1000)
{
    LargeBasicProgram program;
    std::string& out = program.source;
    int line = 0;
    auto put = [&](const std::string& text) {
        out += text;
        out += '\n';
        ++line;
    };
    long total = 0, count = 0;
    put("' A long program, generated: its last line fails when every line ran once, in order.");
    put("KV_RESX = 64");
    put("KV_RESY = 64");
    put("KV_FULLSCREEN = 0");
    put("CONST stepSize = 2");
    put("total = 0");
    put("count = 0");
    put("DIM a[10]");
    // One jump over a long stretch: all of it stays in one function.
    put("GOTO over");
    for (int k = 0; k < 1500; ++k) put("total = total + 1000000");
    put("over:");
    put("DATA 5, 7, \"seven\"");
    for (int block = 0; line < lines - 12; ++block) {
        put("FOR i = 1 TO 3");
        put("    total = total + i");
        put("NEXT");
        total += 6;
        put("IF total > 0 THEN total = total + stepSize ELSE total = total - 1");
        total += 2;
        put("SELECT CASE count MOD 3");
        put("CASE 0");
        put("    total = total + 2");
        put("CASE ELSE");
        put("    total = total + 3");
        put("END SELECT");
        total += count % 3 == 0 ? 2 : 3;
        put("count = count + 1");
        ++count;
        put("GOTO skip" + std::to_string(block));
        put("total = total + 1000000");
        put("skip" + std::to_string(block) + ":");
        put("AddOne");
        ++total;
        put("s$ = \"t" + std::to_string(block) + "\"");
        if (block == 100) {
            std::string many = "total = total + 1";
            for (int k = 1; k < longLineStatements; ++k) many += ": total = total + 1";
            put(many);
            total += longLineStatements;
        }
    }
    put("RESTORE over");
    put("READ x, y, t$");
    put("total = total + x + y");
    total += 12;
    put("IF s$ = \"\" THEN total = 0");
    program.errorLineText = "IF total = " + std::to_string(total) + " AND t$ = \"seven\" THEN a[100] = 1";
    put(program.errorLineText);
    program.errorLine = line;
    put("END");
    put("SUB AddOne");
    put("    total = total + 1");
    put("ENDSUB");
    return program;
}

}  // namespace testing_support
