// Writes random numeric BASIC programs, each translated twice: with the
// integer paths (loops counting in 64-bit integers, indices and whole-number
// arithmetic built from them in integer code) and without them (every
// number a double). integer_paths_compare runs both translations of each
// program and compares what they print.
//
//   integer_paths_generator OUTPUT_FOLDER PROGRAMS PER_FILE
//
// writes OUTPUT_FOLDER/p<N>.bas (the sources, to read when a comparison
// fails), integer_<F>.cpp and double_<F>.cpp (PER_FILE programs each, every
// program in a namespace of its own) and program_table.cpp (the programs'
// entry points). The seeds are fixed: the same translator gives the same
// files.
//
// The programs exercise what the integer paths touch: FOR loops with
// literal, variable, fractional and huge bounds and steps (near 2^31 and
// 2^53), nested, with global and LOCAL counters, bodies that assign the
// counter, BREAK, CONTINUE, EXIT FOR and GOTO out of loops; arrays sized
// from expressions and indexed by expressions of the counters, sometimes
// out of bounds (runtime error 9) or never dimensioned (error 8); + - *
// MOD \ INT ABS, LEN and BOUNDS, negative zero and fractions mixed in.
// Every loop ends: bounds from variables go through MOD, counters are only
// moved in the direction of the step, and each nesting depth has a STEP
// variable of its own.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "cpp_emitter.h"
#include "translator.h"

namespace {

// The program's names. Counters of the SUBs' loops are the globals i, j, k;
// x, y, z, w hold any value; n, m stay small (sizes and bounds); st0..st2
// are the STEPs of loops at nesting depth 0..2.
const std::vector<std::string> kGlobalNumbers = {"i", "j", "k", "x", "y", "z", "w", "n", "m", "st0", "st1", "st2"};
const std::vector<std::string> kDataNumbers = {"x", "y", "z", "w"};
const std::vector<std::string> kGlobalStrings = {"s$", "t$"};
// Arrays and the number of indices each program uses for them.
struct ArrayName {
    std::string name;
    int dimensions;
};
const std::vector<ArrayName> kArrays = {{"a", 2}, {"b", 1}, {"c", 2}};

class ProgramGenerator {
public:
    explicit ProgramGenerator(unsigned seed) : random_(seed) {}

    // A program: the main program lists every global and calls the SUBs
    // Part0, Part1, ... in order; the comparison calls those SUBs itself.
    std::string Program(int& parts)
    {
        lines_.clear();
        labels_ = 0;
        parts = 2 + Pick(3);
        lines_.push_back("i = 0 : j = 0 : k = 0 : x = 0 : y = 0 : z = 0 : w = 0 : n = 0 : m = 0");
        lines_.push_back("st0 = 1 : st1 = 1 : st2 = 1 : s$ = \"\" : t$ = \"\"");
        lines_.push_back("IF n = 1 THEN a[0] = 0 : b[0] = 0 : c[0] = 0");
        for (int p = 0; p < parts; ++p) lines_.push_back("GOSUB Part" + std::to_string(p));
        lines_.push_back("END");
        const bool neverDimensioned = Pick(12) == 0;  // c used without DIM: error 8
        for (int p = 0; p < parts; ++p) {
            lines_.push_back("SUB Part" + std::to_string(p) + ":");
            Scope scope;
            if (p == 0) Dimensions(neverDimensioned);
            for (int s = 0; s < 3 + Pick(5); ++s) Statement(scope, 1);
            lines_.push_back("ENDSUB");
        }
        Functions();
        std::string text;
        for (const std::string& line : lines_) text += line + "\n";
        return text;
    }

private:
    struct Loop {
        std::string counter;
        int stepSign;     // +1 or -1 when known, 0 when the counter must not be assigned
        bool small;       // the counter stays within a few dozen of 0: usable in bounds
        std::string exit; // the label after the loop, for GOTO out of it
        std::string array;  // the loop runs over this array's dimension, "" for none
        int dimension = 0;
    };
    struct Scope {
        bool inFunction = false;
        std::vector<std::string> counters = {"i", "j", "k"};
        std::vector<Loop> loops;
    };

    int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<unsigned>(n)); }
    template <typename T>
    const T& OneOf(const std::vector<T>& items)
    {
        return items[Pick(static_cast<int>(items.size()))];
    }
    std::string Pad(int indent) const { return std::string(2 * indent, ' '); }
    std::string Int(int n) { return std::to_string(Pick(n)); }

    // Small whole numbers from any value: MOD of the value's truncation.
    std::string Tame(const std::string& value, int limit)
    {
        return "ABS(" + value + ") MOD " + std::to_string(limit);
    }

    void Dimensions(bool neverDimensioned)
    {
        lines_.push_back("  n = " + std::to_string(2 + Pick(4)) + " : m = " +
                         (Pick(2) ? std::to_string(1 + Pick(4)) : "1 + " + Tame("n * 7 + 3", 4)));
        static const std::vector<std::string> kSizes = {"n",         "m",     "n + 1",     "m * 2",   "n + m",
                                                        "n * 2 - 1", "3",     "LEN(\"abcd\")", "n + 0.5", "INT(n / 2) + 1"};
        lines_.push_back("  DIM a[" + OneOf(kSizes) + "][" + OneOf(kSizes) + "]");
        lines_.push_back("  DIM b[" + OneOf(kSizes) + (Pick(2) ? " * m" : "") + "]");
        if (!neverDimensioned) lines_.push_back("  DIM c[" + OneOf(kSizes) + "][" + OneOf(kSizes) + "]");
        lines_.push_back("  s$ = \"" + std::string("abcdefgh").substr(0, 1 + Pick(7)) + "\"");
    }

    // A counter of an enclosing loop, or a small value when there is none.
    std::string Counter(const Scope& scope)
    {
        if (scope.loops.empty() || Pick(5) == 0) {
            if (scope.inFunction) return Pick(2) ? "v" : Int(4);
            return OneOf(std::vector<std::string>{"n", "m", Int(4)});
        }
        return OneOf(scope.loops).counter;
    }
    std::string SmallCounter(const Scope& scope)
    {
        for (int tries = 0; tries < 3 && !scope.loops.empty(); ++tries) {
            const Loop& loop = OneOf(scope.loops);
            if (loop.small) return loop.counter;
        }
        return scope.inFunction ? "v" : "n";
    }

    // An index into `array` along `dimension`: the counter of a loop over
    // that dimension and expressions of it, other counters folded into the
    // range by MOD, and now and then one past the end, negative or
    // fractional (runtime error 9).
    std::string Index(const Scope& scope, const std::string& array, int dimension)
    {
        const std::string bound = "BOUNDS(" + array + ", " + std::to_string(dimension) + ")";
        for (const Loop& loop : scope.loops) {
            if (loop.array != array || loop.dimension != dimension || Pick(4) == 0) continue;
            const std::string& c = loop.counter;
            switch (Pick(8)) {
            case 0: return bound + " - 1 - " + c;
            case 1: return "INT(" + c + " / 2)";
            case 2: return "(" + c + " + 1) MOD " + bound;
            case 3: return "-" + c + " * -1";
            case 4: return "(" + c + " * 2 + 1) \\ 2";
            default: return c;
            }
        }
        const std::string c = Counter(scope);
        if (Pick(70) == 0) {
            static const std::vector<std::string> kOutside = {" + 1", " - BOUNDS(#, 0) - 1", " + 0.5", " + BOUNDS(#, 1)"};
            std::string outside = OneOf(kOutside);
            if (const std::size_t at = outside.find('#'); at != std::string::npos) outside.replace(at, 1, array);
            return Pick(3) ? c + outside : OneOf(std::vector<std::string>{bound, "-1", "-0.5"});
        }
        switch (Pick(10)) {
        case 0: return "0";
        case 1: return "0 * -1";  // negative zero, in range
        default: {
            static const std::vector<std::string> kForms = {"#", "# + 1", "# * 2 - 1", "# - 1", "(# + #) \\ 3",
                                                            "# - 2", "LEN(s$) + #", "# * #"};
            std::string form = OneOf(kForms);
            for (std::size_t at; (at = form.find('#')) != std::string::npos;) form.replace(at, 1, c);
            return "ABS(" + form + ") MOD " + bound;
        }
        }
    }
    std::string Element(const Scope& scope)
    {
        if (scope.inFunction && Pick(2)) return "arr[" + Index(scope, "arr", 0) + "]";
        const ArrayName& array = OneOf(kArrays);
        std::string text = array.name;
        for (int d = 0; d < array.dimensions; ++d) text += "[" + Index(scope, array.name, d) + "]";
        return text;
    }

    std::string Literal()
    {
        static const std::vector<std::string> kSpecial = {
            "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967296", "9007199254740991",
            "9007199254740992", "-9007199254740991", "0.5", "2.25", "-0", "-0.5", "1e15", "3037000499"};
        return Pick(4) ? Int(13) : OneOf(kSpecial);
    }

    std::string Number(const Scope& scope, int depth)
    {
        switch (depth > 2 ? Pick(3) : Pick(20)) {
        case 0: return Literal();
        case 1: return Counter(scope);
        case 2: return scope.inFunction && Pick(2) ? "acc" : OneOf(kDataNumbers);
        case 3:
        case 4:
        case 5: {
            static const std::vector<std::string> kOperators = {"+", "-", "*"};
            return Number(scope, depth + 1) + " " + OneOf(kOperators) + " " + Number(scope, depth + 1);
        }
        case 6: return Number(scope, depth + 1) + " MOD " + (Pick(5) ? std::to_string(1 + Pick(7)) : Number(scope, depth + 1));
        case 7: return Number(scope, depth + 1) + " \\ " + (Pick(5) ? std::to_string(Pick(6)) : Number(scope, depth + 1));
        case 8: return "INT(" + Number(scope, depth + 1) + ")";
        case 9: return "ABS(" + Number(scope, depth + 1) + ")";
        case 10: return "- " + Number(scope, depth + 1);
        case 11: return "(" + Number(scope, depth + 1) + ") * -1";
        case 12: return "LEN(" + OneOf(kGlobalStrings) + ")";
        case 13: return "BOUNDS(" + OneOf(kArrays).name + ", " + Int(2) + ")";
        case 14:
        case 15: return Element(scope);
        case 16: return Number(scope, depth + 1) + " / " + std::to_string(2 + Pick(3));
        case 17:
            if (!scope.inFunction) return "Tri(" + Tame(Number(scope, depth + 1), 7) + ")";
            return Counter(scope) + " * " + Counter(scope);
        case 18:
            if (!scope.inFunction)
                return "Total(b, " + Tame(Counter(scope), 3) + ", BOUNDS(b, 0) - " + std::to_string(Pick(30) ? 1 : 0) + ")";
            return "(" + Counter(scope) + " - " + Counter(scope) + ")";
        default: return Counter(scope) + " " + OneOf(std::vector<std::string>{"+", "-", "*"}) + " " + Literal();
        }
    }

    std::string Condition(const Scope& scope)
    {
        static const std::vector<std::string> kCompare = {"=", "<>", "<", ">", "<=", ">="};
        switch (Pick(4)) {
        case 0: return Counter(scope) + " MOD " + std::to_string(2 + Pick(3)) + " = " + Int(2);
        case 1: return Counter(scope) + " " + OneOf(kCompare) + " " + Int(6);
        default: return Number(scope, 1) + " " + OneOf(kCompare) + " " + Number(scope, 1);
        }
    }

    // FOR counter = first TO last [STEP step]: which bounds, which step.
    void ForLoop(Scope& scope, int indent)
    {
        const int depth = static_cast<int>(scope.loops.size());
        std::vector<std::string> free;
        for (const std::string& counter : scope.counters) {
            bool used = false;
            for (const Loop& loop : scope.loops) used |= loop.counter == counter;
            if (!used) free.push_back(counter);
        }
        if (free.empty()) return;
        Loop loop;
        loop.counter = OneOf(free);
        loop.small = true;
        loop.stepSign = 1;
        std::string first, last, step;
        const std::string stepVariable = scope.inFunction ? "sv" + std::to_string(depth) : "st" + std::to_string(depth);
        switch (Pick(14)) {
        case 0:
        case 1: {
            const std::string array = scope.inFunction && Pick(2) ? "arr" : OneOf(kArrays).name;
            first = Pick(4) ? "0" : "-0";
            loop.array = array;
            loop.dimension = array == "b" || array == "arr" ? 0 : Pick(2);
            last = "BOUNDS(" + array + ", " + std::to_string(loop.dimension) + ") - 1";
            break;
        }
        case 2:
            first = Int(6);
            last = Int(10);
            step = OneOf(std::vector<std::string>{"", "1", "2", "0.5", "0.25", "3"});
            break;
        case 3:
            first = Int(10);
            last = Int(5);
            step = OneOf(std::vector<std::string>{"-1", "-2", "-0.5", "-1.5"});
            loop.stepSign = -1;
            break;
        case 4:
            // Variable bounds, kept small through MOD.
            first = Tame(Number(scope, 1), 4);
            last = Tame(Number(scope, 1), 7) + " + " + Int(3);
            break;
        case 5:
            first = SmallCounter(scope);
            last = SmallCounter(scope) + " + " + Int(4);
            break;
        case 6: {
            // Near 2^31, upwards or downwards.
            static const std::vector<std::string> kNear31 = {"2147483645 TO 2147483650", "2147483640 TO 2147483647",
                                                             "-2147483651 TO -2147483645", "4294967290 TO 4294967298"};
            static const std::vector<std::string> kNear31Down = {"2147483650 TO 2147483644 STEP -1",
                                                                 "-2147483645 TO -2147483652 STEP -2"};
            if (Pick(3)) {
                const std::string range = OneOf(kNear31);
                first = range.substr(0, range.find(" TO "));
                last = range.substr(range.find(" TO ") + 4);
            } else {
                const std::string range = OneOf(kNear31Down);
                first = range.substr(0, range.find(" TO "));
                last = range.substr(range.find(" TO ") + 4, range.find(" STEP ") - range.find(" TO ") - 4);
                step = range.substr(range.find(" STEP ") + 6);
                loop.stepSign = -1;
            }
            loop.small = false;
            break;
        }
        case 7: {
            // Near 2^53, where doubles stop holding every whole number: the
            // last bound stays below 2^53 for odd steps, so that the counter
            // never sticks at 2^53.
            static const std::vector<std::string> kNear53 = {
                "9007199254740988 TO 9007199254740991", "9007199254740986 TO 9007199254740996 STEP 2",
                "-9007199254740991 TO -9007199254740987", "9007199254740991 TO 9007199254740985 STEP -1",
                "4503599627370490 TO 4503599627370495 STEP 0.5"};
            const std::string range = OneOf(kNear53);
            const std::size_t to = range.find(" TO "), stepAt = range.find(" STEP ");
            first = range.substr(0, to);
            last = range.substr(to + 4, stepAt == std::string::npos ? std::string::npos : stepAt - to - 4);
            if (stepAt != std::string::npos) step = range.substr(stepAt + 6);
            loop.stepSign = step.rfind("-", 0) == 0 ? -1 : 1;
            loop.small = false;
            break;
        }
        case 8:
        case 9: {
            // A STEP from a variable, set just before the loop.
            const bool down = Pick(3) == 0;
            lines_.push_back(Pad(indent) + stepVariable + " = " + (down ? "-" : "") + "(" +
                             (Pick(3) ? "1 + " + Tame(Number(scope, 1), 3) : std::string("0.5")) + ")");
            step = stepVariable;
            first = down ? std::to_string(6 + Pick(4)) : Int(3);
            last = down ? Int(3) : (Pick(2) ? std::to_string(4 + Pick(6)) : "LEN(s$)");
            loop.stepSign = down ? -1 : 1;
            break;
        }
        case 10:
            // Fractional bounds.
            first = OneOf(std::vector<std::string>{"0.5", "-1.5", "0.25", "-0"});
            last = OneOf(std::vector<std::string>{"3.5", "4", "2.75", "LEN(t$) MOD 5"});
            break;
        default:
            first = Pick(3) ? "0" : "1";
            last = Pick(2) ? (scope.inFunction ? "v" : "n") + std::string(" - 1") : (Pick(2) ? "m" : Int(8));
            break;
        }
        if (loop.small && loop.stepSign > 0 && Pick(8) == 0) loop.stepSign = 0;  // leave it alone, whatever happens
        loop.exit = "done" + std::to_string(labels_++);
        lines_.push_back(Pad(indent) + "FOR " + loop.counter + " = " + first + " TO " + last +
                         (step.empty() ? "" : " STEP " + step));
        scope.loops.push_back(loop);
        const bool gotoOut = Pick(6) == 0;
        for (int s = 0; s < 1 + Pick(3); ++s) Statement(scope, indent + 1);
        if (gotoOut) {
            // The label after the outermost enclosing loop or this one.
            const Loop& target = Pick(2) ? scope.loops.front() : scope.loops.back();
            lines_.push_back(Pad(indent + 1) + "IF " + Condition(scope) + " THEN GOTO " + target.exit);
        }
        scope.loops.pop_back();
        lines_.push_back(Pad(indent) + (Pick(2) ? "NEXT" : "NEXT " + loop.counter));
        if (Pick(2)) lines_.push_back(Pad(indent) + "x = x + " + loop.counter);  // the counter after the loop
        // Every loop's label stands after it, used or not.
        lines_.push_back(Pad(indent) + loop.exit + ":");
    }

    void Statement(Scope& scope, int indent)
    {
        const std::string pad = Pad(indent);
        const bool inLoop = !scope.loops.empty();
        const int kind = Pick(indent > 3 ? 6 : 12);
        switch (kind) {
        case 0:
        case 1: lines_.push_back(pad + OneOf(kDataNumbers) + " = " + Number(scope, 0)); break;
        case 2:
        case 3: lines_.push_back(pad + Element(scope) + " = " + Number(scope, 0)); break;
        case 4:
            if (inLoop) {
                const Loop& loop = scope.loops.back();
                switch (Pick(6)) {
                case 0: lines_.push_back(pad + "IF " + Condition(scope) + " THEN BREAK"); return;
                case 1: lines_.push_back(pad + "IF " + Condition(scope) + " THEN CONTINUE"); return;
                case 2: lines_.push_back(pad + "IF " + Condition(scope) + " THEN EXIT FOR"); return;
                default:
                    // The counter moved on, never back: the loop still ends.
                    if (loop.stepSign != 0) {
                        const std::string sign = loop.stepSign > 0 ? " + " : " - ";
                        const std::string by = OneOf(std::vector<std::string>{"1", "0.5", "2", "0"});
                        lines_.push_back(pad + (Pick(2) ? "IF " + Condition(scope) + " THEN " : "") + loop.counter +
                                         " = " + loop.counter + sign + by);
                        return;
                    }
                }
            }
            lines_.push_back(pad + OneOf(kDataNumbers) + " = " + Counter(scope) + " * -1");
            break;
        case 5: {
            static const std::vector<std::string> kStrings = {"s$ + \"x\"", "\"v\" + ", "LEFT$(s$ + t$, 9)", "t$ + "};
            const std::string& form = OneOf(kStrings);
            const std::string text = form.back() == ' ' ? form + "(" + Number(scope, 1) + ")" : form;
            lines_.push_back(pad + OneOf(kGlobalStrings) + " = " + text);
            break;
        }
        case 6:
        case 7:
        case 8:
            if (indent < 4) {
                ForLoop(scope, indent);
                break;
            }
            [[fallthrough]];
        case 9:
            lines_.push_back(pad + "IF " + Condition(scope));
            Statement(scope, indent + 1);
            if (Pick(2)) {
                lines_.push_back(pad + "ELSE");
                Statement(scope, indent + 1);
            }
            lines_.push_back(pad + "ENDIF");
            break;
        case 10:
            if (!scope.inFunction && !inLoop) {
                // Whole-array work through parameters and LOCAL counters.
                lines_.push_back(pad + "Fill " + (Pick(2) ? "b" : "a") + ", " + Number(scope, 1));
                break;
            }
            lines_.push_back(pad + OneOf(kDataNumbers) + " = " + Number(scope, 0));
            break;
        default:
            if (!scope.inFunction && !inLoop && Pick(3) == 0) {
                // Sizes from expressions, DIM again.
                lines_.push_back(pad + "n = 1 + " + Tame(Number(scope, 1), 5));
                lines_.push_back(pad + "DIM b[n + " + Int(3) + "]");
                break;
            }
            lines_.push_back(pad + OneOf(kDataNumbers) + " = " + OneOf(kDataNumbers) + " + " + Number(scope, 1));
            break;
        }
    }

    // Tri(v): LOCAL counters in a FUNCTION; Total(arr[], lo, hi): an array
    // parameter read by a LOCAL counter; Fill(arr[], base): an array
    // parameter written. Their bodies are random too, with the parameter v
    // (kept small by the callers) as a bound.
    void Functions()
    {
        Scope scope;
        scope.inFunction = true;
        scope.counters = {"q", "r"};

        lines_.push_back("FUNCTION Tri(v)");
        lines_.push_back("  LOCAL q, r, acc, sv0, sv1, sv2, arr[]");
        lines_.push_back("  DIM arr[v + 1]");
        lines_.push_back("  FOR q = 0 TO v : acc = acc + q : arr[q] = acc : NEXT");
        for (int s = 0; s < 1 + Pick(4); ++s) Statement(scope, 1);
        lines_.push_back("  RETURN acc + arr[v]");
        lines_.push_back("END FUNCTION");

        lines_.push_back("FUNCTION Total(arr[], lo, hi)");
        lines_.push_back("  LOCAL q, r, acc, v, sv0, sv1, sv2");
        lines_.push_back("  v = " + Tame("hi - lo", 6));
        lines_.push_back(Pick(2) ? "  FOR q = lo TO hi : acc = acc + arr[q] : NEXT"
                                 : "  FOR q = hi TO lo STEP -1 : acc = acc + arr[q] * q : NEXT");
        for (int s = 0; s < Pick(3); ++s) Statement(scope, 1);
        lines_.push_back("  RETURN acc");
        lines_.push_back("END FUNCTION");

        lines_.push_back("SUB Fill(arr[], base)");
        lines_.push_back("  LOCAL q, r, acc, v, sv0, sv1, sv2");
        lines_.push_back("  v = BOUNDS(arr, 0)");
        lines_.push_back("  FOR q = 0 TO BOUNDS(arr, 0) - 1");
        lines_.push_back("    FOR r = 0 TO BOUNDS(arr, 1) - 1" + std::string(Pick(3) ? "" : " STEP 2"));
        lines_.push_back("      arr[q][r] = base + q * " + std::to_string(1 + Pick(3)) + " - r");
        lines_.push_back("    NEXT");
        lines_.push_back("  NEXT");
        for (int s = 0; s < Pick(3); ++s) Statement(scope, 1);
        lines_.push_back("END SUB");
    }

    std::mt19937 random_;
    std::vector<std::string> lines_;
    int labels_ = 0;
};

std::string Translate(const std::string& source, int number, bool integerPaths)
{
    kvbasic::TranslateRequest request;
    request.source = source;
    request.sourceName = "p" + std::to_string(number) + ".bas";
    request.programName = "p" + std::to_string(number);
    request.headerName = "p.h";  // WinMain goes to the entry file, which is not used
    request.integerPaths = integerPaths;
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    if (!result.ok) {
        std::cerr << "generated program p" << number << " was refused:\n";
        for (const kvbasic::Diagnostic& error : result.errors)
            std::cerr << kvbasic::FormatDiagnostic(request.sourceName, error) << "\n";
        std::cerr << source;
        std::exit(1);
    }
    return result.code.program;
}

// The program's C++ in the namespace `space` instead of kvprogram, and a
// function that runs its SUBs in order and prints the globals after each.
std::string Renamed(std::string code, const std::string& space, int parts, bool first)
{
    if (!first) code.erase(0, code.find("namespace kvprogram {"));  // the #include once per file
    for (std::size_t at = 0; (at = code.find("kvprogram", at)) != std::string::npos; at += space.size())
        code.replace(at, 9, space);
    code += "\nnamespace " + space + " {\n";
    code += "static void ReportState(const char* when)\n{\n    std::printf(\"%s\\n\", when);\n";
    for (const std::string& name : kGlobalNumbers)
        code += "    comparison::ReportNumber(\"" + name + "\", " + kvbasic::CppName(name) + ");\n";
    for (const std::string& name : kGlobalStrings)
        code += "    comparison::ReportString(\"" + name + "\", " + kvbasic::CppName(name) + ");\n";
    for (const ArrayName& array : kArrays)
        code += "    comparison::ReportArray(\"" + array.name + "\", " + kvbasic::CppName(array.name) + ");\n";
    code += "}\nvoid RunForComparison()\n{\n    ::__SetSourceFiles(__source_files, 1);\n";
    for (int p = 0; p < parts; ++p) {
        const std::string part = "Part" + std::to_string(p);
        code += "    " + kvbasic::CppName(part) + "();\n    ReportState(\"after " + part + "\");\n";
    }
    code += "}\n}  // namespace " + space + "\n";
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: integer_paths_generator OUTPUT_FOLDER PROGRAMS PER_FILE\n";
        return 2;
    }
    const std::string folder = argv[1];
    const int programs = std::atoi(argv[2]), perFile = std::atoi(argv[3]);
    std::string table = "// Generated by integer_paths_generator: the entry points of the programs.\n"
                        "#include \"program_table.h\"\n\n";
    std::string integerList, doubleList;
    std::string integerFile, doubleFile;
    for (int number = 0; number < programs; ++number) {
        ProgramGenerator generator(20261209u + static_cast<unsigned>(number));
        int parts = 0;
        const std::string source = generator.Program(parts);
        std::ofstream(folder + "/p" + std::to_string(number) + ".bas") << source;
        const bool first = number % perFile == 0;
        const std::string integerSpace = "kvinteger_p" + std::to_string(number);
        const std::string doubleSpace = "kvdouble_p" + std::to_string(number);
        if (first) integerFile = doubleFile = "#include \"state_report.h\"\n";
        integerFile += Renamed(Translate(source, number, true), integerSpace, parts, first);
        doubleFile += Renamed(Translate(source, number, false), doubleSpace, parts, first);
        table += "namespace " + integerSpace + " { void RunForComparison(); }\n";
        table += "namespace " + doubleSpace + " { void RunForComparison(); }\n";
        integerList += "    " + integerSpace + "::RunForComparison,\n";
        doubleList += "    " + doubleSpace + "::RunForComparison,\n";
        if ((number + 1) % perFile == 0 || number + 1 == programs) {
            const std::string index = std::to_string(number / perFile);
            std::ofstream(folder + "/integer_" + index + ".cpp") << integerFile;
            std::ofstream(folder + "/double_" + index + ".cpp") << doubleFile;
        }
    }
    table += "\nconst ProgramRun kIntegerPrograms[] = {\n" + integerList + "};\n";
    table += "const ProgramRun kDoublePrograms[] = {\n" + doubleList + "};\n";
    table += "const int kProgramCount = " + std::to_string(programs) + ";\n";
    std::ofstream(folder + "/program_table.cpp") << table;
    return 0;
}
