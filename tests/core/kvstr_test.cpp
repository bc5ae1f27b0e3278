#include <gtest/gtest.h>

#include <string>

#include "core/kvstr.h"
#include "core/string_commands.h"

namespace {

std::string Text(const KvStr& s) { return s.GetStrData(); }

TEST(KvStrTest, CapacityKeeps1022CharactersAndRefusesLonger)
{
    const std::string fits(1022, 'x');
    const std::string tooLong(1023, 'y');
    KvStr s("before");
    s = tooLong.c_str();
    EXPECT_EQ(Text(s), "before");
    s = fits.c_str();
    EXPECT_EQ(s.Length(), 1022);
    EXPECT_EQ(Text(KvStr(tooLong.c_str())), "");  // construction from too long a text: empty

    KvStr a(std::string(1000, 'a').c_str());
    a += std::string(22, 'b').c_str();
    EXPECT_EQ(a.Length(), 1022);
    a += "c";  // would be 1023: unchanged
    EXPECT_EQ(a.Length(), 1022);
    KvStr big(std::string(1021, 'd').c_str());
    KvStr withSeparator = big - KvStr("e");  // 1021 + 1 fits, then the separator makes 1023
    EXPECT_EQ(withSeparator.Length(), 1023);
    EXPECT_EQ(withSeparator.GetAt(1021), '-');
}

TEST(KvStrTest, OperatorsAndSeparators)
{
    EXPECT_EQ(Text(KvStr("abc") + ""), "abc");
    EXPECT_EQ(Text(KvStr("abc") - KvStr("")), "abc");
    EXPECT_EQ(Text(KvStr("a") * KvStr("b")), "a-b");
    EXPECT_EQ(Text(KvStr("a") / KvStr("b")), "a-b");
    EXPECT_EQ(Text(KvStr("a") - 2), "a-2");
    EXPECT_EQ(Text(KvStr("Level ") + 3), "Level 3");
    KvStr left("x");
    KvStr sum = left + KvStr("y");
    EXPECT_EQ(Text(left), "x");  // binary operators leave operands alone
    EXPECT_EQ(Text(sum), "xy");
    KvStr self("ab");
    self += self;
    EXPECT_EQ(Text(self), "abab");
    self -= self;
    EXPECT_EQ(Text(self), "abab-abab");
}

TEST(KvStrTest, NumberConversions)
{
    EXPECT_EQ(Text(KvStr(3.0)), "3");
    EXPECT_EQ(Text(KvStr(0.5)), "0.5");
    EXPECT_EQ(Text(KvStr(1234567.0)), "1.23457e+06");
    EXPECT_EQ(Text(KvStr(-2)), "-2");
    EXPECT_EQ(Text(KvStr(1e6)), "1e+06");
    EXPECT_EQ(Text(KvStr(0.1 + 0.2)), "0.3");
    EXPECT_EQ(static_cast<double>(KvStr("  12.5abc")), 12.5);
    EXPECT_EQ(static_cast<double>(KvStr("abc")), 0);
    EXPECT_EQ(NumberToInt(-2.9), -2);
    EXPECT_EQ(NumberToInt(1e300), 2147483647);
    EXPECT_EQ(NumberToInt(0.0 / 0.0), 0);
}

TEST(KvStrTest, CompareIsTextualWithStringsAndNumericWithNumbers)
{
    EXPECT_EQ(KvStr("10").Compare(9.0), 1);
    EXPECT_LT(KvStr("10").Compare(KvStr("9")), 0);
    EXPECT_EQ(KvStr("3").Compare(3.0), 0);
    EXPECT_EQ(KvStr("2").Compare(3.0), -1);
}

TEST(KvStrTest, AccessAndTrim)
{
    KvStr s("Hallo");
    EXPECT_TRUE(s.SetAt(4, 'e'));
    EXPECT_FALSE(s.SetAt(5, '!'));
    EXPECT_FALSE(s.SetAt(-1, '!'));
    EXPECT_EQ(Text(s), "Halle");
    s.Left(2);
    EXPECT_EQ(Text(s), "Ha");
    s.Left(5000);  // beyond the buffer: ignored
    EXPECT_EQ(Text(s), "Ha");

    KvStr t("ab\r\n\t");
    EXPECT_EQ(t.TrimRight(), 5);
    EXPECT_EQ(Text(t), "ab");
    KvStr path("a\\b\\c");
    ReverseSlashes(path);
    EXPECT_EQ(Text(path), "a/b/c");
}

// The string keeps its length beside the text: every way the text can
// change, through the string's own operations or by writing into the
// buffer GetStrData hands out, leaves Length, LEN and copies right.
TEST(KvStrTest, LengthFollowsEveryChangeOfTheText)
{
    KvStr s("Hallo");
    char* buffer = s.GetStrData();
    buffer[2] = 0;  // written behind the string's back
    EXPECT_EQ(s.Length(), 2);
    KvStr copy(s);
    EXPECT_EQ(Text(copy), "Ha");
    EXPECT_EQ(copy.Length(), 2);
    s += "x";
    EXPECT_EQ(Text(s), "Hax");
    EXPECT_EQ(LEN(s), 3);

    KvStr t("abcdef");
    EXPECT_TRUE(t.SetAt(3, 0));
    EXPECT_EQ(t.Length(), 3);
    t += "!";
    EXPECT_EQ(Text(t), "abc!");
    t.Left(10);  // past the end: nothing changes
    EXPECT_EQ(t.Length(), 4);
    t.Left(1);
    EXPECT_EQ(Text(t + "z"), "az");
    KvStr trimmed("ab\r\n");
    trimmed.TrimRight();
    EXPECT_EQ(trimmed.Length(), 2);
    EXPECT_EQ(Text(trimmed + "c"), "abc");
    KvStr number(1234.5);
    EXPECT_EQ(LEN(number), 6);
    number = 0.25;
    EXPECT_EQ(Text(number + "!"), "0.25!");

    // A long text copied and then replaced by a short one: copies carry
    // only the short one.
    KvStr longText(std::string(900, 'l').c_str());
    KvStr target(longText);
    target = "kurz";
    KvStr again(target);
    EXPECT_EQ(Text(again), "kurz");
    EXPECT_EQ(again.Length(), 4);
    again = longText;
    EXPECT_EQ(again.Length(), 900);
    again = again;  // self-assignment keeps the text
    EXPECT_EQ(again.Length(), 900);
}

// Chains of + append to their temporaries in place; the operands stay as
// they were, and the capacity rule holds at every step.
TEST(KvStrTest, ChainsLeaveTheirOperandsAndKeepTheCapacityRule)
{
    const KvStr first("a");
    const KvStr last("c");
    EXPECT_EQ(Text(first + "b" + last + 1.5 + 2), "abc1.52");
    EXPECT_EQ(Text(first), "a");
    EXPECT_EQ(Text(last), "c");
    const KvStr big(std::string(1000, 'x').c_str());
    const KvStr sum = big + std::string(22, 'y').c_str() + "z" + KvStr("w");
    EXPECT_EQ(sum.Length(), 1022);  // "z" and "w" would not fit: left out
    EXPECT_EQ(sum.GetAt(1021), 'y');
    KvStr self("ab");
    self += self;
    self += self;
    EXPECT_EQ(Text(self), "abababab");
    // Short and long appends alike, up to the last character that fits.
    KvStr grown;
    for (int k = 0; k < 600; ++k) grown += KvStr("xy");
    EXPECT_EQ(grown.Length(), 1022);
    EXPECT_EQ(Text(MID_Str(grown, 1016, 10)), "xyxyxy");
}

TEST(StringCommandsTest, Mid)
{
    EXPECT_EQ(Text(MID_Str("Hallo", 1, 3)), "all");
    EXPECT_EQ(Text(MID_Str("Hallo", 3, 10)), "lo");
    EXPECT_EQ(Text(MID_Str("Hallo", 5, 1)), "");
    EXPECT_EQ(Text(MID_Str("Hallo", -1, 2)), "");
    EXPECT_EQ(Text(MID_Str("Hallo", 0, 0)), "");
    EXPECT_EQ(Text(MID_Str("Hallo", 6, 1)), "");
    EXPECT_EQ(Text(MID_Str("Hallo", 1.9, 2.9)), "al");
    EXPECT_EQ(Text(MID_Str("Hallo", 0, 1e300)), "Hallo");
    // A start that is no number passes as 0; the slice still ends at the end.
    EXPECT_EQ(Text(MID_Str("Hallo", 0.0 / 0.0, 10)), "Hallo");
    EXPECT_EQ(Text(MID_Str("Hallo", 0.0 / 0.0, 2)), "Ha");
    // A slice near the end of a full buffer.
    const KvStr full(std::string(1022, 'q').c_str());
    EXPECT_EQ(Text(MID_Str(full, 1020, 5)), "qq");
    EXPECT_EQ(LEN(MID_Str(full, 3, 1019)), 1019);
}

TEST(StringCommandsTest, LenAscChrFormat)
{
    EXPECT_EQ(LEN(KvStr("")), 0);
    EXPECT_EQ(LEN(12.5), 4);
    EXPECT_EQ(ASC(""), 0);
    EXPECT_EQ(ASC("A"), 65);
    EXPECT_EQ(ASC("\xFC"), -4);  // a signed byte
    EXPECT_EQ(Text(CHR_Str(65.9)), "A");
    EXPECT_EQ(Text(CHR_Str(256 + 66)), "B");
    EXPECT_EQ(Text(FORMAT_Str(6, 2, 3.14159)), "  3.14");
    EXPECT_EQ(Text(FORMAT_Str(0, 0, 2.5)), "2");
    EXPECT_EQ(Text(FORMAT_Str(-3, -1, 7)), "7  ");
}

// FORMAT$ is exactly "%<width>.<decimals>f": a negative width left-justifies,
// decimals are honoured while the text fits, and a text over 1022
// characters follows the capacity rule of KvStr and comes back empty.
TEST(StringCommandsTest, FormatIsPrintfFixedPointWithinTheCapacity)
{
    EXPECT_EQ(Text(FORMAT_Str(-8, 2, 3.14159)), "3.14    ");
    EXPECT_EQ(Text(FORMAT_Str(-2.9, 1, -1)), "-1.0");
    std::string manyDecimals = Text(FORMAT_Str(0, 400, 1.5));
    EXPECT_EQ(manyDecimals.size(), 402u);
    EXPECT_EQ(manyDecimals.substr(0, 4), "1.50");
    EXPECT_EQ(LEN(FORMAT_Str(1022, 2, 3.14159)), 1022);
    EXPECT_EQ(LEN(FORMAT_Str(-1022, 2, 3.14159)), 1022);
    EXPECT_EQ(LEN(FORMAT_Str(0, 1020, 1)), 1022);
    EXPECT_EQ(Text(FORMAT_Str(1023, 2, 3.14159)), "");
    EXPECT_EQ(Text(FORMAT_Str(-1023, 2, 3.14159)), "");
    EXPECT_EQ(Text(FORMAT_Str(5000, 0, 1)), "");
    EXPECT_EQ(Text(FORMAT_Str(1e10, 2, 1)), "");
    EXPECT_EQ(Text(FORMAT_Str(0, 1021, 1)), "");
    EXPECT_EQ(Text(FORMAT_Str(0, 1e300, 1)), "");
    EXPECT_EQ(Text(FORMAT_Str(0, 900, 1e300)), "");  // 301 digits + point + 900 decimals
    EXPECT_EQ(LEN(FORMAT_Str(0, 0, 1e300)), 301);
}

TEST(StringCommandsTest, ValReadsTheLeadingNumber)
{
    EXPECT_EQ(VAL("12.5"), 12.5);
    EXPECT_EQ(VAL("  -3e2 Punkte"), -300);
    EXPECT_EQ(VAL("12abc"), 12);
    EXPECT_EQ(VAL("abc"), 0);
    EXPECT_EQ(VAL(""), 0);
}

}  // namespace
