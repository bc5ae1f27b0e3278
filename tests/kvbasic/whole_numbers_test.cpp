// Which FOR loops count in whole numbers, and which keep doubles because
// counting in integers could give another result: a case for each reason
// the analysis has to say no, and the cases it must prove.
#include <gtest/gtest.h>

#include <string>

#include "translator.h"

namespace {

std::string Translate(const std::string& source, bool integerPaths = true)
{
    kvbasic::TranslateRequest request;
    request.source = source;
    request.sourceName = "loops.bas";
    request.programName = "loops";
    request.integerPaths = integerPaths;
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    EXPECT_TRUE(result.ok) << source;
    return result.code.program;
}

bool CountsInIntegers(const std::string& source, const std::string& counter)
{
    return Translate(source).find("std::int64_t __whole_" + counter + " = ") != std::string::npos;
}

TEST(KvBasicWholeNumbersTest, LoopsProvenWholeCountInIntegers)
{
    // Literal bounds; a LOCAL bound assigned whole numbers only; a step
    // that is the counter of the loop around; BOUNDS and LEN; a negative step.
    EXPECT_TRUE(CountsInIntegers("FOR i = 1 TO 10\nNEXT\n", "i"));
    EXPECT_TRUE(CountsInIntegers("SUB s()\n LOCAL n, i, j\n n = 2000\n FOR i = 2 TO n - 1\n  FOR j = i * i TO n STEP i\n  NEXT\n NEXT\nEND SUB\n", "j"));
    EXPECT_TRUE(CountsInIntegers("DIM a[5]\nFOR i = 0 TO BOUNDS(a, 0) - 1\n a[i] = i\nNEXT\n", "i"));
    EXPECT_TRUE(CountsInIntegers("FOR i = LEN(\"abc\") TO 0 STEP -1\nNEXT\n", "i"));
    // A fractional bound: the counter is still whole.
    EXPECT_TRUE(CountsInIntegers("FOR i = 0 TO 7 / 2\nNEXT\n", "i"));
}

TEST(KvBasicWholeNumbersTest, LoopsThatCouldDifferKeepDoubles)
{
    const char* const kept[] = {
        "FOR i = 0 TO 1 STEP 0.5\nNEXT\n",                     // a fractional step
        "FOR i = 0.5 TO 3\nNEXT\n",                             // a fractional start
        "FOR i = 1 TO 10\n i = i + 1\nNEXT\n",                  // the body assigns the counter
        "n = 5\nFOR i = 1 TO n\n n = n - 1\nNEXT\n",            // the body changes the bound
        "FOR i = 1 TO i + 5\nNEXT\n",                           // the bound reads the counter
        "FOR i = 1 TO 3\n Bump\nNEXT\nEND\nSUB Bump:\n i = 7\nENDSUB\n",  // a SUB the body calls assigns it
        "FOR i = 1 TO n\n Grow\nNEXT\nEND\nSUB Grow:\n n = n + 1\nENDSUB\n",  // ... or the bound
        "FOR i = 1 TO 3 STEP s\nNEXT\n",                        // a step of unknown sign (0 now)
        "FOR i = -z TO 3\nNEXT\n",                              // a start that may be -0
        "INPUT n, 1, 1\nFOR i = 1 TO n\nNEXT\n",                // a bound the user types
        "FOR i = 1 TO 9007199254740993\nNEXT\n",                // beyond where doubles are exact
        "FOR i = 1 TO 3\nback: \nNEXT\nGOTO back\n",            // a jump into the body
        "x = 1\nWHILE x < 100\n x = x * 3\nWEND\nFOR j = 1 TO x\nNEXT\n",  // a bound that keeps growing
    };
    for (const char* source : kept) {
        const std::string code = Translate(source);
        EXPECT_EQ(code.find("__whole_"), std::string::npos) << source << code;
        // And with the switch off, nothing counts in integers at all.
        EXPECT_EQ(Translate(source, false).find("std::int64_t"), std::string::npos) << source;
    }
}

TEST(KvBasicWholeNumbersTest, IndicesAreIntegersOnlyWhereDoublesAreExact)
{
    // i * i is exact up to 2^53: the index of a stays an integer. Past it,
    // the product is a double as before, even inside a whole loop.
    const std::string exact = Translate("DIM a[10]\nFOR i = 0 TO 3\n a[i * i] = 1\nNEXT\n");
    EXPECT_NE(exact.find("a(__whole_i * __whole_i)"), std::string::npos) << exact;
    const std::string huge = Translate("DIM a[10]\nFOR i = 0 TO 100000000\n a[i * i * i] = 1\nNEXT\n");
    EXPECT_NE(huge.find("a(i * i * i)"), std::string::npos) << huge;
    // A proven range reads without a check; an index one past the bound
    // only when the loop has seen, before it runs, that it stays in range
    // (else with its check).
    const std::string bounds = Translate("DIM a[10]\nFOR i = 0 TO BOUNDS(a, 0) - 1\n a[i] = a[i + 1]\nNEXT\n");
    EXPECT_NE(bounds.find("const bool __covered_i = a.Covers(0, __whole_i + 1, __last_i + 1);"), std::string::npos) << bounds;
    EXPECT_NE(bounds.find("a.Unchecked(__whole_i) = a.Covered(__covered_i, __whole_i + 1);"), std::string::npos) << bounds;
    // An array the body may DIM again is never read unchecked.
    const std::string redim = Translate("DIM a[10]\nFOR i = 0 TO BOUNDS(a, 0) - 1\n a[i] = 1\n DIM a[2]\nNEXT\n");
    EXPECT_EQ(redim.find("Unchecked"), std::string::npos) << redim;
}

}  // namespace
