// Random programs from the grammar of the language (records included),
// some of them damaged:
// the translator never fails silently (a rejected program has errors on
// lines that exist), and every program it accepts compiles as C++ without a
// warning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/command_table.h"
#include "support/child_process.h"
#include "translator.h"

namespace {

class ProgramGenerator {
public:
    explicit ProgramGenerator(unsigned seed) : random_(seed) {}

    std::string Program()
    {
        lines_.clear();
        lines_.push_back("CONST LOG_ERR = 2 ^ 3 : CONST stdout$ = \"out\" + LOG_ERR");
        // A record type whose names are C++ words and macros.
        lines_.push_back("TYPE EOF");
        lines_.push_back("  int, errno$, INT_MAX[3][2]");
        lines_.push_back("END TYPE");
        lines_.push_back("DIM rec AS EOF : DIM recs[4] AS EOF");
        const int subs = Pick(3);
        functions_ = Pick(3) != 0;
        labels_ = 0;
        for (int k = 0; k < 12 + Pick(12); ++k) Statement(0, subs, false);
        lines_.push_back("END");
        for (int s = 0; s < subs; ++s) {
            lines_.push_back("' ----");
            lines_.push_back("SUB " + SubName(s) + ":");
            for (int k = 0; k < 3 + Pick(6); ++k) Statement(1, subs, false);
            if (Pick(2)) lines_.push_back("  RETURN");
            lines_.push_back("ENDSUB");
        }
        if (functions_) Functions(subs);
        std::string text;
        for (const std::string& line : lines_) text += line + "\n";
        return text;
    }

    // Deletes, doubles or changes a few characters.
    std::string Damage(std::string text)
    {
        for (int k = 0; k < 1 + Pick(3); ++k) {
            const std::size_t at = Pick(static_cast<int>(text.size()));
            const int how = Pick(3);
            if (how == 0) text.erase(at, 1);
            if (how == 1) text.insert(at, 1, text[at]);
            if (how == 2) text[at] = "([]),=\"'$:+<x1 \n"[Pick(16)];
        }
        return text;
    }

private:
    int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<unsigned>(n)); }

    std::string Number(int depth)
    {
        switch (depth > 2 ? Pick(3) : Pick(10)) {
        case 0: return std::to_string(Pick(100));
        case 1: return NumberVar(Pick(4));
        case 2: return "alloca[" + std::to_string(Pick(3)) + "][" + Number(depth + 1) + "]";
        case 3: {
            static const char* const kOperators[] = {"+", "-", "*", "/", "MOD", "^", "\\"};
            return Number(depth + 1) + " " + kOperators[Pick(7)] + " " + Number(depth + 1);
        }
        case 4: return "(" + Number(depth + 1) + ")";
        case 5: return "-" + Number(depth + 1);
        case 6: return Condition(depth + 1);
        case 7: return Call('n', depth + 1);
        case 8: return Pick(2) ? "rec.int" : "recs[" + Number(depth + 1) + "].INT_MAX[" + Number(depth + 1) + "][1]";
        default:
            // A FUNCTION of the program, called before its definition.
            if (functions_ && Pick(2))
                return "Calc(" + Number(depth + 1) + ", " + String(depth + 1) + ", alloca)";
            return "LEN(" + String(depth + 1) + ")";
        }
    }

    // A FUNCTION and a SUB with parameters and LOCALs whose names are
    // those of globals (and of C++ keywords and macros): inside, they hide
    // the globals.
    void Functions(int subs)
    {
        lines_.push_back("FUNCTION Calc(class, int$, arr[])");
        lines_.push_back("  LOCAL EIO, s0$, buf[]");
        lines_.push_back("  DIM buf[2] : buf[1] = class + arr[0][0] : EIO = LEN(int$)");
        for (int k = 0; k < 2 + Pick(4); ++k) Statement(1, subs, false);
        lines_.push_back("  IF class > 100 THEN EXIT FUNCTION");
        lines_.push_back("  RETURN " + Number(1) + " + buf[1]");
        lines_.push_back("END FUNCTION");
        lines_.push_back("SUB Show(n0, LC_ALL$)");
        lines_.push_back("  LOCAL INT32_MAX");
        for (int k = 0; k < 2 + Pick(4); ++k) Statement(1, subs, false);
        lines_.push_back("  IF n0 > 3 THEN EXIT SUB");
        lines_.push_back("END SUB");
    }

    std::string String(int depth)
    {
        switch (depth > 2 ? Pick(2) : Pick(6)) {
        case 0: return "\"t" + std::to_string(Pick(10)) + (Pick(4) ? "" : " \xC3\xA4") + "\"";
        case 1: return Pick(4) ? StringVar(Pick(3)) : "stdout$";
        case 2: return String(depth + 1) + " + " + (Pick(2) ? String(depth + 1) : Number(depth + 1));
        case 3: return "texts$[" + Number(depth + 1) + "]";
        case 4: return Pick(2) ? "rec.errno$" : "recs[" + Number(depth + 1) + "].errno$";
        default: return Call('s', depth + 1);
        }
    }

    std::string Condition(int depth)
    {
        static const char* const kCompare[] = {"=", "<>", "<", ">", "<=", ">="};
        switch (depth > 2 ? 0 : Pick(4)) {
        case 0: return Number(depth + 1) + " " + kCompare[Pick(6)] + " " + Number(depth + 1);
        case 1: return String(depth + 1) + " " + kCompare[Pick(6)] + " " + String(depth + 1);
        case 2: return Condition(depth + 1) + (Pick(2) ? " AND " : " OR ") + Condition(depth + 1);
        default: return "NOT " + Condition(depth + 1);
        }
    }

    // A call of a command whose result is of this kind, arguments of the
    // listed kinds (commands that wait or end the program are left out).
    std::string Call(char result, int depth)
    {
        for (;;) {
            const kvcommands::Command& command = kvcommands::kCommands[Pick(kvcommands::kCommandCount)];
            const std::string name = command.name;
            if (command.result != result || name == "END" || name == "DIM" || name.find("WAIT") != std::string::npos ||
                name == "INPUT" || name.find("MOVIE") != std::string::npos || name == "FILEREQUEST$")
                continue;
            std::istringstream kinds(command.arguments);
            std::string call = name + "(";
            int k = 0;
            for (std::string kind; kinds >> kind; ++k) {
                if (kind.size() > 1) break;
                std::string argument;
                switch (kind[0]) {
                case 'n': argument = Number(depth + 1); break;
                case 's': argument = String(depth + 1); break;
                case 'v': argument = Pick(2) ? Number(depth + 1) : String(depth + 1); break;
                case 'N': argument = NumberVar(Pick(4)); break;
                case 'S': argument = StringVar(0); break;
                case 'V': argument = Pick(2) ? NumberVar(1) : StringVar(1); break;
                case 'a': argument = "alloca"; break;
                default: argument = "texts$"; break;
                }
                call += (k ? ", " : "") + argument;
            }
            return call + ")";
        }
    }

    void Statement(int indent, int subs, bool inLoop)
    {
        const std::string pad(2 * indent, ' ');
        const int kind = indent > 3 ? Pick(4) : Pick(17);
        switch (kind) {
        case 0:
            lines_.push_back(pad + NumberVar(Pick(4)) + " = " + Number(0) +
                             (Pick(3) ? "" : " : " + NumberVar(Pick(4)) + " = " + Number(0)));
            break;
        case 1: lines_.push_back(pad + StringVar(Pick(3)) + " = " + String(0)); break;
        case 16: lines_.push_back(pad + "recs[" + Number(1) + "].int = " + Number(0) + " : rec.errno$ = " + String(0)); break;
        case 2:
            lines_.push_back(pad + "IF " + Condition(0) + " THEN n0 = " + Number(1) +
                             (Pick(2) ? "" : " : EIO = 1 ELSE class = 2 : n0 = 3"));
            break;
        case 3:
            if (subs > 0) lines_.push_back(pad + "GOSUB " + SubName(Pick(subs)));
            else if (inLoop) lines_.push_back(pad + (Pick(2) ? "BREAK" : "CONTINUE"));
            break;
        case 4:
            // Jumps to labels on the ELSEIF, ELSE and ENDIF lines.
            lines_.push_back(pad + "IF " + Condition(0));
            Statement(indent + 1, subs, inLoop);
            if (Pick(2)) {
                lines_.push_back(pad + "  IF " + Condition(0) + " THEN GOTO " + NextLabel());
                lines_.push_back(pad + Label() + "ELSEIF " + Condition(0));
                Statement(indent + 1, subs, inLoop);
            }
            if (Pick(2)) {
                lines_.push_back(pad + "  GOTO " + NextLabel());
                lines_.push_back(pad + Label() + "ELSE");
                Statement(indent + 1, subs, inLoop);
            }
            lines_.push_back(pad + "  GOTO " + NextLabel());
            lines_.push_back(pad + Label() + "ENDIF");
            break;
        case 5:
            lines_.push_back(pad + "FOR n3 = " + Number(1) + " TO " + Number(1) + (Pick(2) ? " STEP " + Number(1) : ""));
            Statement(indent + 1, subs, true);
            lines_.push_back(pad + "NEXT");
            break;
        case 6:
            lines_.push_back(pad + "WHILE " + Condition(0));
            Statement(indent + 1, subs, true);
            lines_.push_back(pad + (Pick(2) ? "  BREAK" : "  EXIT WHILE"));
            lines_.push_back(pad + "WEND");
            break;
        case 7:
            lines_.push_back(pad + "REPEAT");
            Statement(indent + 1, subs, true);
            lines_.push_back(pad + "UNTIL " + Condition(0));
            break;
        case 8: lines_.push_back(pad + "DIM arr[3][" + Number(1) + "]"); break;
        case 9: lines_.push_back(pad + "DIM texts$[" + Number(1) + "]"); break;
        case 10: lines_.push_back(pad + "PRINT " + (Pick(2) ? Number(0) : String(0)) + ", 1, 2  ' a comment?\?/"); break;
        case 15:
            lines_.push_back(pad + "SELECT CASE " + (Pick(2) ? Number(0) + "\n" + pad + "CASE 1, 2 TO 3, IS > " + Number(1)
                                                             : String(0) + "\n" + pad + "CASE \"a\", \"b\" TO \"c\""));
            Statement(indent + 1, subs, inLoop);
            lines_.push_back(pad + "CASE ELSE");
            Statement(indent + 1, subs, inLoop);
            lines_.push_back(pad + "END SELECT");
            break;
        case 14:
            lines_.push_back(pad + "DATA 1, \"t\", -2 : READ " + NumberVar(Pick(4)) + ", " + StringVar(Pick(3)) + " : RESTORE");
            break;
        case 12: lines_.push_back(pad + "REM see out.txt: 100% done, don't worry ?\?/"); break;
        case 11:
            if (functions_) {
                const bool parenthesized = Pick(2);
                lines_.push_back(pad + (parenthesized ? "Show(" : "Show ") + Number(0) + ", " + String(0) +
                                 (parenthesized ? ")" : ""));
            }
            break;
        case 13: {
            // A long flat sum, and literals beyond a double's range.
            std::string sum = NumberVar(0) + " = 1e-400";
            for (int k = 0; k < 150; ++k) sum += " + " + NumberVar(Pick(4));
            lines_.push_back(pad + sum);
            break;
        }
        default: lines_.push_back(pad + "SPRITE " + Number(0) + ", " + Number(0) + ", " + Number(0)); break;
        }
    }

    // Names that are C++ keywords or macros of the runtime's headers work
    // as BASIC names like any other.
    static std::string NumberVar(int k)
    {
        static const char* const kNames[] = {"n0", "EIO", "class", "INT32_MAX"};
        return kNames[k];
    }
    static std::string StringVar(int k)
    {
        static const char* const kNames[] = {"s0$", "LC_ALL$", "int$"};
        return kNames[k];
    }
    static std::string SubName(int k)
    {
        static const char* const kNames[] = {"BIG_ENDIAN", "P_tmpdir", "NumberToInt"};
        return kNames[k];
    }
    std::string NextLabel() const
    {
        static const char* const kNames[] = {"EPERM", "ENOENT", "EINTR", "ENXIO", "E2BIG", "EBADF",
                                             "EAGAIN", "ENOMEM", "EACCES", "EFAULT", "EBUSY", "EEXIST"};
        return labels_ < 12 ? kNames[labels_] : "label" + std::to_string(labels_);
    }
    std::string Label()
    {
        const std::string label = NextLabel();
        ++labels_;
        return label + ": ";
    }

    std::mt19937 random_;
    std::vector<std::string> lines_;
    int labels_ = 0;
    bool functions_ = false;  // the program has the FUNCTION Calc and the SUB Show
};

TEST(KvBasicRandomProgramsTest, AcceptedProgramsCompileAndRejectedOnesNameExistingLines)
{
    ProgramGenerator generator(20261207);
    testing_support::ScratchFolder folder;
    std::string compile = "c++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I" + std::string(KV_SOURCE_DIR) + "/runtime";
    int accepted = 0, rejected = 0, withFunctions = 0;
    for (int k = 0; accepted < 12 || rejected < 12; ++k) {
        ASSERT_LT(k, 400) << "too few programs accepted (" << accepted << ") or rejected (" << rejected << ")";
        std::string source = generator.Program();
        if (k % 2 == 1) source = generator.Damage(source);
        kvbasic::TranslateRequest request;
        request.source = source;
        request.sourceName = "random.bas";
        request.programName = "random";
        const kvbasic::TranslateResult result = kvbasic::Translate(request);
        const int lines = static_cast<int>(std::count(source.begin(), source.end(), '\n')) + 1;
        if (!result.ok) {
            ++rejected;
            for (const kvbasic::Diagnostic& error : result.errors) {
                EXPECT_GE(error.line, 1) << source;
                EXPECT_LE(error.line, lines) << source;
                EXPECT_FALSE(error.message.empty());
            }
            continue;
        }
        if (accepted >= 12) continue;
        withFunctions += source.find("FUNCTION Calc") != std::string::npos;
        const std::string name = folder.File("random" + std::to_string(accepted++) + ".cpp");
        std::ofstream(name) << result.code.program;
        std::ofstream(name + ".bas") << source;
        compile += " " + name;
    }
    EXPECT_GE(withFunctions, 4);
    compile += " 2> " + folder.File("errors.txt");
    EXPECT_EQ(std::system(compile.c_str()), 0) << testing_support::ReadWholeFile(folder.File("errors.txt"));
}

}  // namespace
