// Random programs from the grammar of the language (records included),
// some of them damaged:
// the translator never fails silently (a rejected program has errors on
// lines that exist), and every program it accepts compiles as C++ without a
// warning, whatever names it uses: C++ words, the runtime's own functions
// and every macro the runtime's headers define.
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
    // `foreignNames`: names from outside the language (the runtime's
    // macros, C++ words) that each program also uses for its variables,
    // SUBs and labels, a few drawn afresh for every program.
    ProgramGenerator(unsigned seed, std::vector<std::string> foreignNames)
        : random_(seed), foreignNames_(std::move(foreignNames))
    {
    }

    std::string Program()
    {
        lines_.clear();
        DrawNames();
        lines_.push_back("CONST LOG_ERR = 2 ^ 3 : CONST stdout$ = \"out\" + LOG_ERR");
        // A record type whose names are C++ words and macros.
        lines_.push_back("TYPE EOF");
        lines_.push_back("  int, errno$, INT_MAX[3][2]");
        lines_.push_back("END TYPE");
        lines_.push_back("DIM rec AS EOF : DIM recs[4] AS EOF");
        const int subs = Pick(4);
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
        case 0:
            // Now and then a literal at the edge of C++'s int, also under
            // several signs: the sums stay doubles.
            if (Pick(6) == 0) return Pick(2) ? "2147483647" : "- -" + std::to_string(65536 + Pick(2147418111));
            return std::to_string(Pick(100));
        case 1: return NumberVar(Pick(kNumberNames));
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
        // Records by reference, under names of a global array and a macro.
        lines_.push_back("SUB Squad(alloca[] AS EOF, errno AS EOF)");
        lines_.push_back("  alloca[1].int = errno.INT_MAX[1][0] : errno.errno$ = alloca[0].errno$ : alloca[2] = errno");
        lines_.push_back("END SUB");
    }

    std::string String(int depth)
    {
        switch (depth > 2 ? Pick(2) : Pick(6)) {
        case 0: return "\"t" + std::to_string(Pick(10)) + (Pick(4) ? "" : " \xC3\xA4") + "\"";
        case 1: return Pick(4) ? StringVar(Pick(kStringNames)) : "stdout$";
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
                case 'N': argument = NumberVar(Pick(kNumberNames)); break;
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
            lines_.push_back(pad + NumberVar(Pick(kNumberNames)) + " = " + Number(0) +
                             (Pick(3) ? "" : " : " + NumberVar(Pick(kNumberNames)) + " = " + Number(0)));
            break;
        case 1: lines_.push_back(pad + StringVar(Pick(kStringNames)) + " = " + String(0)); break;
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
            lines_.push_back(pad + "DATA 1, \"t\", -2 : READ " + NumberVar(Pick(kNumberNames)) + ", " + StringVar(Pick(kStringNames)) +
                             " : RESTORE");
            break;
        case 12: lines_.push_back(pad + "REM see out.txt: 100% done, don't worry ?\?/"); break;
        case 11:
            if (functions_) {
                const bool parenthesized = Pick(2);
                lines_.push_back(pad + (parenthesized ? "Show(" : "Show ") + Number(0) + ", " + String(0) +
                                 (parenthesized ? ")" : ""));
                if (Pick(2)) lines_.push_back(pad + "Squad recs, rec");
            }
            break;
        case 13: {
            // A long flat sum, and literals beyond a double's range.
            std::string sum = NumberVar(0) + " = 1e-400";
            for (int k = 0; k < 150; ++k) sum += " + " + NumberVar(Pick(kNumberNames));
            lines_.push_back(pad + sum);
            break;
        }
        default: lines_.push_back(pad + "SPRITE " + Number(0) + ", " + Number(0) + ", " + Number(0)); break;
        }
    }

    // Names that are C++ keywords, macros of the runtime's headers or the
    // runtime's own functions work as BASIC names like any other. The first
    // ones are fixed (the statements above use some by name); the rest are
    // drawn for each program.
    static constexpr int kNumberNames = 6, kStringNames = 5, kLabelNames = 12;
    void DrawNames()
    {
        numberNames_ = {"n0", "EIO", "class", "INT32_MAX"};
        stringNames_ = {"s0$", "LC_ALL$", "int$"};
        subNames_ = {"BIG_ENDIAN", "NumberToInt"};
        labelNames_.clear();
        std::vector<std::string> drawn;
        std::sample(foreignNames_.begin(), foreignNames_.end(), std::back_inserter(drawn), 2 + 2 + 1 + kLabelNames,
                    random_);
        std::shuffle(drawn.begin(), drawn.end(), random_);
        auto next = drawn.begin();
        while (numberNames_.size() < kNumberNames) numberNames_.push_back(*next++);
        while (stringNames_.size() < kStringNames) stringNames_.push_back(*next++ + "$");
        subNames_.push_back(*next++);
        while (labelNames_.size() < kLabelNames) labelNames_.push_back(*next++);
    }
    std::string NumberVar(int k) const { return numberNames_[k]; }
    std::string StringVar(int k) const { return stringNames_[k]; }
    std::string SubName(int k) const { return subNames_[k]; }
    std::string NextLabel() const
    {
        return labels_ < kLabelNames ? labelNames_[labels_] : "label" + std::to_string(labels_);
    }
    std::string Label()
    {
        const std::string label = NextLabel();
        ++labels_;
        return label + ": ";
    }

    std::mt19937 random_;
    std::vector<std::string> foreignNames_;
    std::vector<std::string> numberNames_, stringNames_, subNames_, labelNames_;
    std::vector<std::string> lines_;
    int labels_ = 0;
    bool functions_ = false;  // the program has the FUNCTION Calc and the SUB Show
};

// Every name that a runtime header defines as a macro, and C++'s own
// words, that BASIC also takes as the name of a variable: such a name in a
// BASIC program must never reach the C++ compiler as the macro or word.
std::vector<std::string> ForeignNames(const testing_support::ScratchFolder& folder)
{
    const std::string macros = folder.File("macros.txt");
    const std::string list = "c++ -std=c++20 -dM -E -x c++ -I" + std::string(KV_SOURCE_DIR) + "/runtime " +
                             std::string(KV_SOURCE_DIR) + "/runtime/commands.h > " + macros;
    if (std::system(list.c_str()) != 0) return {};
    std::vector<std::string> candidates = {"int", "new", "delete", "this", "template", "operator", "namespace",
                                           "public", "virtual", "auto", "register", "typedef", "union", "default",
                                           "switch", "goto", "case", "try", "throw", "main", "WinMain", "std"};
    std::istringstream lines(testing_support::ReadWholeFile(macros));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#define ", 0) != 0) continue;
        std::string name = line.substr(8, line.find_first_of(" (", 8) - 8);
        candidates.push_back(name);
    }
    std::vector<std::string> names;
    for (const std::string& name : candidates) {
        kvbasic::TranslateRequest probe;
        probe.source = name + " = 1 : " + name + "$ = \"\"\nGOTO " + name + "\n" + name + ": END\n";
        probe.sourceName = "probe.bas";
        probe.programName = "probe";
        if (kvbasic::Translate(probe).ok) names.push_back(name);
    }
    return names;
}

// Four runs of different seeds, so that ctest spreads the thousands of
// programs over the machine's cores.
class KvBasicRandomProgramsTest : public testing::TestWithParam<unsigned> {};

TEST_P(KvBasicRandomProgramsTest, AcceptedProgramsCompileAndRejectedOnesNameExistingLines)
{
    testing_support::ScratchFolder folder;
    const std::vector<std::string> foreignNames = ForeignNames(folder);
    // The runtime's headers bring the C library's macros: hundreds of them.
    ASSERT_GT(foreignNames.size(), 300u);
    ProgramGenerator generator(GetParam(), foreignNames);

    // Hundreds of accepted programs, compiled 250 to a C++ file: each
    // program keeps its own namespace (renamed per program) so that they
    // can stand side by side, which changes nothing a macro or a C++ word
    // could break.
    constexpr int kPrograms = 500, kPerFile = 250;
    const std::string compile = "c++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I" +
                                std::string(KV_SOURCE_DIR) + "/runtime ";
    int accepted = 0, rejected = 0, withFunctions = 0;
    std::string batch;
    for (int k = 0; accepted < kPrograms || rejected < 12; ++k) {
        ASSERT_LT(k, 5 * kPrograms) << "too few programs accepted (" << accepted << ") or rejected (" << rejected
                                    << ")";
        std::string source = generator.Program();
        // Damaged programs: every other one until a dozen were refused, then fewer.
        if (k % (rejected < 12 ? 2 : 8) == 1) source = generator.Damage(source);
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
        if (accepted >= kPrograms) continue;
        withFunctions += source.find("FUNCTION Calc") != std::string::npos;
        const std::string tag = "p" + std::to_string(accepted);
        std::string code = result.code.program;
        if (!batch.empty()) code.erase(0, code.find("namespace kvprogram {"));  // the #include once
        for (std::size_t at = 0; (at = code.find("kvprogram", at)) != std::string::npos; at += 9 + tag.size())
            code.insert(at + 9, tag);
        code.replace(code.find("int WinMain("), 12, "int WinMain" + tag + "(");
        std::string comment = source;
        // The source as a comment: no "*/" to end it, no "??" to make a trigraph warning.
        for (const char* pair : {"*/", "??"})
            for (std::size_t at = 0; (at = comment.find(pair, at)) != std::string::npos;) comment.insert(++at, " ");
        batch += "/* BASIC source:\n" + comment + "*/\n" + code;
        if (++accepted % kPerFile == 0 || accepted == kPrograms) {
            const std::string name = folder.File("random" + std::to_string(accepted) + ".cpp");
            std::ofstream(name) << batch;
            batch.clear();
            const std::string errors = folder.File("errors.txt");
            ASSERT_EQ(std::system((compile + name + " 2> " + errors).c_str()), 0)
                << testing_support::ReadWholeFile(errors).substr(0, 4000);
        }
    }
    EXPECT_GE(withFunctions, kPrograms / 4);
}

INSTANTIATE_TEST_SUITE_P(Seeds, KvBasicRandomProgramsTest, testing::Values(20261207u, 1u, 2u, 3u));

}  // namespace
