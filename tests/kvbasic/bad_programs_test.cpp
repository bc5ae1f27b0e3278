// Programs the translator must refuse, each with the exact errors it
// reports (line:column: error: message), all of them in one run and in
// source order. Nothing is emitted for a refused program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translator.h"

namespace {

struct BadProgram {
    const char* what;
    const char* source;
    std::vector<std::string> errors;  // without the file name
};

const std::vector<BadProgram> kBadPrograms = {
        {"argument count", "LOADSPRITE \"katze.bmp\"\n",
         {"1:1: error: LOADSPRITE expects 2 arguments, got 1"}},
        {"too many arguments", "SHOWSCREEN 1\n",
         {"1:1: error: SHOWSCREEN expects no arguments, got 1"}},
        {"array command without its array", "x = BOUNDS(1)\n",
         {"1:5: error: BOUNDS expects 2 arguments, got 1",
          "1:12: error: BOUNDS argument 1 must be an array, given by its name alone"}},
        {"string for number", "SPRITE 0, \"x\", 10\n",
         {"1:11: error: SPRITE argument 2 must be a number, not a string"}},
        {"number for string", "LOADSPRITE 0, 1\n",
         {"1:12: error: LOADSPRITE argument 1 must be a string, not a number"}},
        {"variable argument", "BOXCOLL 1, 0, 0, 8, 8, 4, 4, 8, 8\n",
         {"1:9: error: BOXCOLL argument 1 must be a number variable: the command stores its result there"}},
        {"string variable argument", "GETFONTSIZE w$, h\n",
         {"1:13: error: GETFONTSIZE argument 1 must be a number variable: the command stores its result there"}},
        {"array argument", "x = 1\nn = FINDPATH(x, r, 1, 0, 0, 1, 1)\nDIM r[2]\n",
         {"2:14: error: FINDPATH argument 1 must be an array of numbers, given by its name alone"}},
        {"unknown command", "PRNT \"x\", 1, 2\n",
         {"1:1: error: unknown command PRNT"}},
        {"unknown function", "x = SINUS(1)\n",
         {"1:5: error: unknown command or function SINUS"}},
        {"sub called as function", "x = tick(1)\nSUB tick:\nENDSUB\n",
         {"1:5: error: tick is a SUB: call it with GOSUB tick"}},
        {"string to number variable", "x = \"drei\"\n",
         {"1:5: error: cannot assign a string to the number variable x"}},
        {"number to string variable", "a$ = 3\n",
         {"1:6: error: cannot assign a number to the string variable a$"}},
        {"string arithmetic", "a$ = \"a\" - \"b\"\n",
         {"1:10: error: operator - needs numbers, not strings"}},
        {"string compared with number", "IF \"a\" = 1 THEN END\n",
         {"1:8: error: cannot compare a string with a number"}},
        {"string condition", "WHILE a$\nWEND\n",
         {"1:7: error: a condition must be a number, not a string"}},
        {"next without for", "x = 1\nNEXT\n",
         {"2:1: error: NEXT without FOR"}},
        {"wend and until without loop", "WEND\nUNTIL 1\n",
         {"1:1: error: WEND without WHILE",
          "2:1: error: UNTIL without REPEAT"}},
        {"endif and else without if", "ELSE\nENDIF\n",
         {"1:1: error: ELSE without IF",
          "2:1: error: ENDIF without IF"}},
        {"unclosed blocks", "FOR i = 1 TO 3\n  WHILE 1\n  IF i = 2\nNEXT\n",
         {"2:3: error: WHILE without WEND",
          "3:3: error: IF without ENDIF"}},
        {"next of another variable", "FOR i = 1 TO 3\nNEXT j\n",
         {"2:1: error: NEXT j does not match FOR i of line 1"}},
        {"goto unknown label", "GOTO nirgends\n",
         {"1:6: error: GOTO to unknown label nirgends"}},
        {"goto into another sub", "GOTO drin\nSUB s:\ndrin:\nENDSUB\n",
         {"1:6: error: GOTO drin leaves the SUB: the label is in another part of the program"}},
        {"gosub unknown sub", "GOSUB fehlt\n",
         {"1:7: error: GOSUB to unknown SUB fehlt"}},
        {"duplicate sub", "SUB a:\nENDSUB\nSUB a:\nENDSUB\n",
         {"3:1: error: SUB a is defined twice (first on line 1)"}},
        {"duplicate label", "hier:\nhier:\n",
         {"2:1: error: label hier is defined twice (first on line 1)"}},
        {"return outside sub", "RETURN\n",
         {"1:1: error: RETURN outside a SUB"}},
        {"break outside loop", "BREAK\nIF 1 THEN CONTINUE\n",
         {"1:1: error: BREAK outside a loop",
          "2:11: error: CONTINUE outside a loop"}},
        {"sub without endsub", "SUB offen:\n  x = 1\n",
         {"1:1: error: SUB offen without ENDSUB"}},
        {"statement between subs", "SUB a:\nENDSUB\nx = 1\nSUB b:\nENDSUB\n",
         {"3:1: error: only comments may stand between ENDSUB and the next SUB or FUNCTION: the main program's lines "
          "come before the first SUB or FUNCTION"}},
        // The rule in the words the program ended its SUB or FUNCTION with.
        {"main program lines after a FUNCTION", "FUNCTION Twice(n)\n  RETURN n * 2\nEND FUNCTION\nx = Twice(2)\n"
                                                "SUB a()\nEND SUB\nINCLUDE \"lib.bas\"\n",
         {"4:1: error: only comments may stand between END FUNCTION and the next SUB or FUNCTION: the main program's "
          "lines come before the first SUB or FUNCTION",
          "7:1: error: INCLUDE cannot stand after END SUB: include files in the main program, before the first SUB or "
          "FUNCTION"}},
        {"messages that name what was meant",
         "DIM scores[3]\nt = Total(scores)\na = 1\nscores(1) = 2\nt = scores(1)\nGOSUB Add(1, (2 + 3))\nEND\n"
         "FUNCTION Total(n)\n  RETURN n\nEND FUNCTION\nFUNCTION Area(w, h)\n  Area = w * h\nEND FUNCTION\n"
         "SUB Add(p, q)\nEND SUB\n",
         {"2:11: error: Total argument 1 must be a number: the parameter n of Total is a number, and scores is an "
          "array (declare the parameter as n[] to pass the array, or give one element, scores[...])",
          "4:1: error: scores is an array: its elements are written with [ ], scores[...] (one pair for each index)",
          "5:5: error: scores is an array: its elements are written with [ ], scores[...] (one pair for each index)",
          "6:10: error: GOSUB takes no arguments: call the SUB by its name, Add 1, (2 + 3)",
          "12:3: error: Area is a FUNCTION: RETURN value gives a FUNCTION its value, not an assignment to its name"}},
        {"array without index", "DIM a[3]\nx = a + 1\n",
         {"2:5: error: a is an array: give its indices, a[...]"}},
        {"too many dimensions", "DIM a[1][1][1][1][1][1][1][1][1]\n",
         {"1:5: error: DIM takes at most 8 sizes"}},
        {"for over a string", "FOR a$ = 1 TO 2\nNEXT\n",
         {"1:5: error: FOR needs a number variable, not a string"}},
        {"block after then", "IF 1 THEN FOR i = 1 TO 2\n",
         {"1:11: error: FOR cannot stand after THEN; use a block IF"}},
        {"configuration", "KV_RESX = 2 * 320\nKV_SPEED = 1\nIF 1\n  KV_DEBUG = 0\nENDIF\nKV_CAPTION = 5\n",
         {"1:13: error: KV_RESX must be a whole number from -100000 to 100000",
          "2:1: error: unknown configuration KV_SPEED (known: KV_RESX, KV_RESY, KV_FULLSCREEN, KV_FRAMERATE, KV_DEBUG, KV_WANTMOUSE, KV_CAPTION)",
          "4:3: error: KV_DEBUG is configuration: set it in the main program, outside blocks",
          "6:14: error: KV_CAPTION must be a string in quotes"}},
        {"character outside latin-1", "PRINT \"5 \xE2\x82\xAC""\", 0, 0\n",
         {"1:10: error: the character U+20AC in this string is not in Latin-1, the character set of the fonts"}},
        {"unterminated string", "PRINT \"offen, 0, 0\n",
         {"1:7: error: the string has no closing quote"}},
        {"unexpected character", "x = 1 @ 2\n",
         {"1:7: error: unexpected character '@'"}},
        {"syntax", "x = (1 + 2\nIF x THEN\nFOR i = 1 10\ny = \n",
         {"1:11: error: expected ')', found end of line",
          "2:1: error: IF without ENDIF",
          "3:11: error: expected TO, found '10'",
          "4:5: error: expected a value, found end of line"}},
        {"strings for the whole-number operators", "x = \"a\" MOD 2\ny = 2 ^ \"b\"\nz = 1 \\ a$\n",
         {"1:9: error: operator MOD needs numbers, not strings",
          "2:7: error: operator ^ needs numbers, not strings",
          "3:7: error: operator \\ needs numbers, not strings"}},
        {"split into numbers", "n = SPLIT(\"a\", \",\", p)\ny = 2 ^\n",
         {"1:21: error: SPLIT argument 3 must be an array of strings, given by its name alone",
          "2:8: error: expected a value, found end of line"}},
        {"statements separated by ':'", "x = 1 : ENDSUB\nIF 1 THEN x = 1 : FOR i = 1 TO 2\ny = 1 : : z = 2\n",
         {"1:1: error: ENDSUB stands on a line of its own",
          "2:19: error: FOR cannot stand after THEN; use a block IF",
          "3:9: error: expected a statement, found ':'"}},
        {"constants and exits", "CONST A = 1\nA = 2\nCONST A = 3\nCONST B = x + 1\nCONST C$ = 5\nFOR A = 1 TO 2\nNEXT\n"
                                "WHILE 1\n  FOR i = 1 TO 2\n    EXIT WHILE\n  NEXT\nWEND\nEXIT FOR\nEXIT SUB\nIF 1\n  CONST D = 1\n"
                                "ENDIF\nGETFONTSIZE A, w\nCONST E = RND(3)\n",
         {"2:1: error: A is a constant: it keeps the value CONST gives it",
          "3:7: error: constant A is defined twice (first on line 1)",
          "4:11: error: a CONST value is made of numbers, strings, constants defined before, operators and such functions as RGB, not x",
          "5:12: error: cannot give the string constant C$ a number",
          "6:5: error: A is a constant: it keeps the value CONST gives it",
          "10:5: error: EXIT WHILE inside a FOR loop of line 9: leave that loop first",
          "13:1: error: EXIT FOR outside a FOR loop",
          "14:1: error: EXIT SUB outside a SUB",
          "16:3: error: CONST stands outside blocks",
          "18:13: error: A is a constant: it keeps the value CONST gives it",
          "19:11: error: a CONST value is made of numbers, strings, constants defined before, operators and such functions as RGB, not RND"}},
        {"data", "DATA 1, x\nDATA -\"a\"\nREAD 3\nRESTORE nirgends\nCONST K = 1\nREAD K\nDIM a[2]\nREAD a\nIF 1 THEN DATA 1\n",
         {"1:9: error: DATA holds numbers and strings in quotes, found 'x'",
          "2:7: error: expected a number after the sign, found '\"a\"'",
          "3:6: error: expected a variable, found '3'",
          "4:9: error: RESTORE to unknown label nirgends",
          "6:6: error: K is a constant: it keeps the value CONST gives it",
          "8:6: error: a is an array: READ into one element, a[...]",
          "9:11: error: DATA cannot stand after THEN; use a block IF"}},
        {"select case", "SELECT CASE x\n  y = 1\n  CASE \"a\"\nEND SELECT\nCASE 1\nSELECT CASE 1\n  CASE ELSE\n  CASE IS + 2\n"
                        "  CASE 2\nEND SELECT\nSELECT CASE 2\nWHILE 1\n  SELECT CASE 1\n    CASE 1\n      BREAK\n  END SELECT\nWEND\n",
         {"2:3: error: only comments may stand between SELECT CASE and its first CASE",
          "3:8: error: CASE needs numbers like its SELECT CASE",
          "5:1: error: CASE without SELECT CASE",
          "8:11: error: expected a comparison after IS, found '+'",
          "9:3: error: CASE after CASE ELSE",
          "11:1: error: SELECT CASE without END SELECT",
          "12:1: error: only comments may stand between SELECT CASE and its first CASE"}},
        {"rem after then", "IF 1 THEN REM nie\n",
         {"1:11: error: REM cannot stand after THEN; start the comment with '"}},
        {"sub as array argument", "n = BOUNDS(s, 0)\nSUB s:\nENDSUB\n",
         {"1:12: error: s is the name of a SUB, not an array"}},
        {"configuration beyond every integer", "KV_RESX = 1e300\nKV_RESY = -1e300\n",
         {"1:11: error: KV_RESX must be a whole number from -100000 to 100000",
          "2:11: error: KV_RESY must be a whole number from -100000 to 100000"}},
        {"invalid utf-8", "x = 1 ' \xFF\n",
         {"1:9: error: the line is not valid UTF-8"}},
        {"calls of functions and subs", "x = Area(1)\ny = Area(\"a\", 2)\nDraw 1\nz = Draw(1, 2)\nGOSUB Area\nGOSUB Draw\n"
                                        "Fill 3\nq$ = Area(1, 2)\nw = Area\nUndefined 1, 2\nFUNCTION Area(w, h)\n  RETURN\n"
                                        "END FUNCTION\nSUB Draw(x, y)\n  RETURN x\nEND SUB\nSUB Fill(a[])\n  LOCAL a, b\n"
                                        "  EXIT FUNCTION\nENDSUB\nFUNCTION Name$(w, w)\n  RETURN 3\nENDSUB\n",
         {"1:5: error: Area expects 2 arguments, got 1",
          "2:10: error: Area argument 1 must be a number, not a string",
          "3:1: error: Draw expects 2 arguments, got 1",
          "4:5: error: Draw is a SUB: it has no value",
          "5:7: error: GOSUB cannot call FUNCTION Area: use its value, x = Area(...)",
          "5:7: error: Area is the name of a SUB and of a variable",
          "6:7: error: SUB Draw takes 2 arguments: call it as Draw arguments, not with GOSUB",
          "7:6: error: Fill argument 1 must be an array of numbers, given by its name alone",
          "8:6: error: cannot assign a number to the string variable q$",
          "9:5: error: Area is a FUNCTION: call it with its arguments, Area(...)",
          "10:1: error: unknown command Undefined",
          "12:3: error: RETURN in FUNCTION Area needs its value: RETURN value",
          "15:10: error: SUB Draw has no value: RETURN leaves it without one",
          "18:9: error: a is a parameter of Fill",
          "19:3: error: EXIT FUNCTION in SUB Fill: leave a SUB with EXIT SUB",
          "21:1: error: FUNCTION Name$ without END FUNCTION",
          "21:19: error: parameter w is named twice in Name$",
          "22:10: error: FUNCTION Name$ returns a string, not a number",
          "23:1: error: ENDSUB in FUNCTION Name$: a FUNCTION ends with END FUNCTION"}},
        {"locals", "LOCAL x\nz = g + 1\nFUNCTION f(g[])\n  LOCAL s$, buf[]\n  IF 1 THEN LOCAL y\n  buf = 1\n  s$[0] = \"a\"\n"
                   "  DIM s$[2]\n  WHILE 1\n    LOCAL inner\n  WEND\n  RETURN 1\nEND FUNCTION\nFUNCTION Max(a, b)\nEND FUNCTION\n"
                   "SUB g()\n  LOCAL f, t[\nEND SUB\nEXIT FUNCTION\n",
         {"1:1: error: LOCAL outside a SUB or FUNCTION",
          "2:5: error: g is the name of a SUB, not a variable",
          "3:12: error: g is the name of a SUB or FUNCTION, not a variable",
          "5:13: error: LOCAL cannot stand after THEN; use a block IF",
          "6:3: error: buf is an array: assign to one element, buf[...]",
          "7:3: error: s$ is a plain variable here, not an array: declare an array as s$[]",
          "8:7: error: s$ is a plain variable here, not an array: declare an array as s$[]",
          "10:5: error: LOCAL stands outside blocks",
          "14:1: error: Max is a command: give the FUNCTION another name",
          "17:14: error: expected ']': an array is declared with empty brackets, t[], found end of line",
          "19:1: error: only comments may stand between END SUB and the next SUB or FUNCTION: the main program's "
          "lines come before the first SUB or FUNCTION"}},
        {"records: types and their fields",
         "TYPE Enemy\n  x, y, x\n  name$, path[10], grid[0]\nEND TYPE\nTYPE Enemy\nEND TYPE\nDIM m AS Monster : CONST HALF = 0.5\n"
         "SUB s:\n  TYPE Inner\n  t[HALF], u[n]\n  ENDTYPE\nENDSUB\n",
         {"2:9: error: field x is defined twice in TYPE Enemy",
          "3:25: error: the size of an array field is a whole number from 1 to 100000",
          "5:1: error: TYPE Enemy is defined twice (first on line 1)",
          "7:1: error: unknown TYPE Monster",
          "9:3: error: TYPE cannot stand in a SUB: define it in the main program",
          "10:5: error: the size of an array field is a whole number from 1 to 100000 or a CONST of one, not HALF",
          "10:14: error: the size of an array field is a whole number from 1 to 100000 or a CONST of one, not n"}},
        {"records: fields of the wrong name, kind or shape",
         "TYPE Enemy\n  x, name$, path[10]\nEND TYPE\nDIM e AS Enemy\nDIM foes[3] AS Enemy\n"
         "e.z = 1\ne.name = 2\ne.x$ = \"a\"\nfoes.x = 1\ne[1].x = 2\nq.x = 1\ny = e\ny = foes[1]\n"
         "e.path = 1\ne.x[1] = 2\ne.path[1][2] = 3\nDIM e[3]\nDIM foes AS Enemy\nFOR e.x = 1 TO 2 : NEXT\n",
         {"6:3: error: TYPE Enemy has no field z",
          "7:3: error: TYPE Enemy has no field name: its field name$ is a string",
          "8:3: error: TYPE Enemy has no field x$: its field x is a number",
          "9:1: error: foes is an array of records: give its indices, foes[...].x",
          "10:1: error: e is a record, not an array of records",
          "11:1: error: q is not a record: DIM q AS a TYPE first",
          "12:5: error: e is a record of TYPE Enemy: use its fields, e.field",
          "13:5: error: an element of foes is a record of TYPE Enemy: use its fields, foes[...].field",
          "14:3: error: the field path of TYPE Enemy is an array: give its indices, path[...]",
          "15:3: error: the field x of TYPE Enemy is not an array",
          "16:3: error: the field path of TYPE Enemy takes 1 index",
          "17:5: error: e holds records of TYPE Enemy: DIM it AS Enemy",
          "18:5: error: foes is an array of records of TYPE Enemy (DIM on line 5)",
          "19:7: error: FOR needs a number variable, not a field"}},
        {"records: copies of whole records",
         "TYPE A\nx\nEND TYPE\nTYPE B\ny\nEND TYPE\nDIM a AS A\nDIM as[3] AS A\nDIM b AS B\n"
         "b = a\na = 3\nas = a\na = as\nREAD a\n",
         {"10:5: error: cannot assign a record of TYPE A to one of TYPE B",
          "11:5: error: a holds records of TYPE A: assign a record of that TYPE, or assign to its fields",
          "12:1: error: as is an array of records: give its indices, as[...]",
          "13:5: error: as is an array of records: give its indices, as[...]",
          "14:6: error: a is a record of TYPE A: use its fields, a.field"}},
        {"records: parameters of a TYPE take records of it by name",
         "TYPE Enemy\n  x\nEND TYPE\nTYPE Item\n  w\nEND TYPE\nDIM foes[3] AS Enemy\nDIM e AS Enemy\nDIM it AS Item\n"
         "Move foes\nMove e\nMove it\nHit foes\nn = BOUNDS(foes, 0) : Hit foes[1] : Move foes[1] : Hit e[1] : Hit it\nEND\n"
         "SUB Move(list[] AS Enemy)\n  list[0].x = 1\nEND SUB\nSUB Hit(one AS Enemy)\n  DIM one AS Item\nEND SUB\n"
         "SUB Lost(m AS Monster, s$ AS Enemy)\nEND SUB\n",
         {"11:6: error: Move argument 1 must be an array of records of TYPE Enemy, given by its name alone",
          "12:6: error: Move argument 1 must be an array of records of TYPE Enemy, given by its name alone",
          "13:5: error: Hit argument 1 must be a record of TYPE Enemy: give one record of foes, foes[...]",
          "14:42: error: Move argument 1 must be an array of records of TYPE Enemy, given by its name alone",
          "14:56: error: Hit argument 1 must be a record of TYPE Enemy, given by its name alone or as an element of an "
          "array of records",
          "14:67: error: Hit argument 1 must be a record of TYPE Enemy, given by its name alone or as an element of an "
          "array of records",
          "20:7: error: one is a record of TYPE Enemy (a parameter of Hit)",
          "22:10: error: unknown TYPE Monster",
          "22:24: error: a record's name cannot end in '$'"}},
        {"records: names taken by a constant or a SUB",
         "TYPE A\nx\nEND TYPE\nCONST e = 1\nDIM e AS A\nDIM t AS A\nSUB t:\nENDSUB\n",
         {"5:5: error: e is a constant: it keeps the value CONST gives it",
          "6:5: error: t is the name of a SUB, not a record"}},
        {"records: the syntax of TYPE",
         "END TYPE\nIF 1 THEN TYPE B\nTYPE A\n x.y\nEND TYPE\nDIM c AS A\nc.x.y = 1\nTYPE Open\n  x\n",
         {"1:1: error: END TYPE without TYPE",
          "2:11: error: TYPE cannot stand after THEN",
          "4:3: error: unexpected '.' after the fields",
          "7:4: error: a field holds a number, a string or an array, not a record",
          "8:1: error: TYPE Open without END TYPE"}},
};

TEST(KvBasicErrorsTest, EachBadProgramGetsExactlyItsErrors)
{
    for (const BadProgram& bad : kBadPrograms) {
        SCOPED_TRACE(bad.what);
        kvbasic::TranslateRequest request;
        request.source = bad.source;
        request.sourceName = "bad.bas";
        const kvbasic::TranslateResult result = kvbasic::Translate(request);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.code.program.empty());
        std::vector<std::string> errors;
        for (const kvbasic::Diagnostic& error : result.errors) {
            const std::string text = kvbasic::FormatDiagnostic("bad.bas", error);
            errors.push_back(text.substr(std::string("bad.bas:").size()));
        }
        EXPECT_EQ(errors, bad.errors);
    }
    EXPECT_GE(kBadPrograms.size(), 30u);
}

// Inputs built to exhaust a recursive translator or the C++ compiler are
// refused with a message, never with a crash.
TEST(KvBasicErrorsTest, NestingAndLengthLimitsAreErrorsNotCrashes)
{
    auto errors = [](const std::string& source) {
        kvbasic::TranslateRequest request;
        request.source = source;
        request.sourceName = "deep.bas";
        std::vector<std::string> texts;
        for (const kvbasic::Diagnostic& error : kvbasic::Translate(request).errors)
            texts.push_back(kvbasic::FormatDiagnostic("deep.bas", error));
        return texts;
    };
    const std::vector<std::string> parentheses = errors("x = " + std::string(100000, '(') + "1" + std::string(100000, ')') + "\n");
    ASSERT_EQ(parentheses.size(), 1u);
    EXPECT_NE(parentheses[0].find("nested too deeply"), std::string::npos) << parentheses[0];

    std::string chain = "x = 1";
    for (int k = 0; k < 100000; ++k) chain += " + 1";
    const std::vector<std::string> operators = errors(chain + "\n");
    ASSERT_EQ(operators.size(), 1u);
    EXPECT_NE(operators[0].find("nested too deeply"), std::string::npos) << operators[0];

    std::string thens;
    for (int k = 0; k < 50000; ++k) thens += "IF 1 THEN ";
    EXPECT_EQ(errors(thens + "x = 1\n").size(), 1u);
    EXPECT_EQ(errors("x = " + std::string(50000, '-') + "1\n").size(), 1u);

    std::string blocks;
    for (int k = 0; k < 150; ++k) blocks += "WHILE 1\n";
    for (int k = 0; k < 150; ++k) blocks += "WEND\n";
    const std::vector<std::string> nested = errors(blocks);
    ASSERT_FALSE(nested.empty());
    EXPECT_EQ(nested[0], "deep.bas:101:1: error: blocks are nested too deeply (more than 100)");

    EXPECT_EQ(errors("a$ = \"" + std::string(1023, 'x') + "\"\n"),
              std::vector<std::string>{"deep.bas:1:6: error: the string is longer than the 1022 characters a string holds"});
    EXPECT_TRUE(errors("a$ = \"" + std::string(1022, 'x') + "\"\n").empty());
}

}  // namespace

// REM as the statement of a line, after a label or not, makes the rest a
// comment: characters that are errors elsewhere are then accepted.
TEST(KvBasicErrorsTest, RemTakesAnyCharactersThatOtherwiseAreErrors)
{
    kvbasic::TranslateRequest request;
    request.sourceName = "rem.bas";
    request.source = "REM 100% sure; a `test` @ {x} \"half\nstart: rem # 3$ ~ \\ | ^\nGOTO start\n";
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    EXPECT_TRUE(result.ok);
    for (const kvbasic::Diagnostic& error : result.errors) ADD_FAILURE() << kvbasic::FormatDiagnostic("rem.bas", error);

    request.source = "x = 1 @ REM\n";
    EXPECT_FALSE(kvbasic::Translate(request).ok);
}
