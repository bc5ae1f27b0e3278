#include <gtest/gtest.h>

#include <string>

#include "core/arrays.h"
#include "core/number_functions.h"
#include "core/string_library.h"
#include "core/string_split.h"

namespace {

std::string Text(const KvStr& s) { return s.GetStrData(); }

TEST(StringLibraryTest, CutsCountFromZeroAndStayWithinTheString)
{
    EXPECT_EQ(Text(LEFT_Str("Hallo", 2)), "Ha");
    EXPECT_EQ(Text(LEFT_Str("Hallo", 9)), "Hallo");
    EXPECT_EQ(Text(LEFT_Str("Hallo", -1)), "");
    EXPECT_EQ(Text(RIGHT_Str("Hallo", 2)), "lo");
    EXPECT_EQ(Text(RIGHT_Str("Hallo", 1e300)), "Hallo");
    EXPECT_EQ(Text(RIGHT_Str("Hallo", 0)), "");
    EXPECT_EQ(INSTR("Hallo", "l"), 2);
    EXPECT_EQ(INSTR("Hallo", "l", 3), 3);
    EXPECT_EQ(INSTR("Hallo", "l", 4), -1);
    EXPECT_EQ(INSTR("Hallo", "", 5), 5);
    EXPECT_EQ(INSTR("Hallo", "", 6), -1);
    EXPECT_EQ(INSTR("Hallo", "H", -1), -1);
    EXPECT_EQ(Text(TRIM_Str(" \t a b \t")), "a b");
    EXPECT_EQ(Text(TRIM_Str("   ")), "");
    EXPECT_EQ(Text(STR_Str(1234567)), "1.23457e+06");
}

TEST(StringLibraryTest, CaseChangesLatin1LettersOnly)
{
    // \xE4 a-umlaut, \xC4 A-umlaut, \xDF sharp s (no upper case), \xF7 and \xD7 signs.
    EXPECT_EQ(Text(UCASE_Str("abz\xE4\xDF\xF7 1")), "ABZ\xC4\xDF\xF7 1");
    EXPECT_EQ(Text(LCASE_Str("ABZ\xC4\xD7 1")), "abz\xE4\xD7 1");
}

TEST(StringLibraryTest, ReplaceAndSplitKeepThe1022CharacterRule)
{
    EXPECT_EQ(Text(REPLACE_Str("a-b--c", "-", "+")), "a+b++c");
    EXPECT_EQ(Text(REPLACE_Str("aaa", "aa", "b")), "ba");
    EXPECT_EQ(Text(REPLACE_Str("abc", "", "x")), "abc");
    // A longer result is cut at 1022 characters.
    const KvStr grown = REPLACE_Str(std::string(600, 'x').c_str(), "x", "yy");
    EXPECT_EQ(Text(grown), std::string(1022, 'y'));

    KvStrArray pieces;
    EXPECT_EQ(SPLIT("a,,b", ",", pieces), 3);
    EXPECT_EQ(BOUNDS(pieces, 0), 3);
    EXPECT_EQ(Text(pieces(0)), "a");
    EXPECT_EQ(Text(pieces(1)), "");
    EXPECT_EQ(Text(pieces(2)), "b");
    EXPECT_EQ(SPLIT("a::b", "::", pieces), 2);
    EXPECT_EQ(Text(pieces(1)), "b");
    EXPECT_EQ(SPLIT("abc", "", pieces), 1);
    EXPECT_EQ(Text(pieces(0)), "abc");
    EXPECT_EQ(SPLIT("", ",", pieces), 1);
    EXPECT_EQ(Text(pieces(0)), "");
}

TEST(NumberFunctionsTest, WholeNumbersColoursAndBits)
{
    EXPECT_EQ(INT(-1.5), -2);
    EXPECT_EQ(INT(1.5), 1);
    EXPECT_EQ(FIX(-1.5), -1);
    EXPECT_EQ(ROUND(-2.5), -3);
    EXPECT_EQ(ROUND(2.4), 2);
    EXPECT_EQ(SGN(0), 0);
    EXPECT_EQ(SGN(0.1), 1);
    EXPECT_EQ(MIN(-1, 2), -1);
    EXPECT_EQ(MAX(-1, 2), 2);
    EXPECT_EQ(RGB(255, 0, 0), 255);
    EXPECT_EQ(RGB(0, 0, 255), 255 * 65536);
    EXPECT_EQ(RGB(300, -5, 1.9), 255 + 65536);
    EXPECT_EQ(IDIV(7, 2), 3);
    EXPECT_EQ(IDIV(-7, 2), -3);
    EXPECT_EQ(IDIV(7, 0.5), 0);
    EXPECT_EQ(IDIV(-2147483648.0, -1), 2147483648.0);
    EXPECT_EQ(BAND(-1, 255), 255);
    EXPECT_EQ(BOR(1, 2), 3);
    EXPECT_EQ(BXOR(3, 1), 2);
    EXPECT_EQ(BNOT(5), -6);
    EXPECT_EQ(SHL(1, 31), -2147483648.0);
    EXPECT_EQ(SHL(1, 33), 2);
    EXPECT_EQ(SHR(-8, 1), -4);
    EXPECT_EQ(SHR(1e300, 0), 2147483647);
}

}  // namespace
