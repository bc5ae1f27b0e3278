#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/arrays.h"
#include "core/runtime_state.h"
#include "support/child_process.h"

namespace {

using testing_support::ErrorLogLines;
using testing_support::ScratchFolder;

TEST(ArraysTest, DimSizesAndLayout)
{
    KvIntArray a;
    DIM(a, 3, 4);
    EXPECT_EQ(BOUNDS(a, 0), 3);
    EXPECT_EQ(BOUNDS(a, 1), 4);
    EXPECT_EQ(BOUNDS(a, 8), 0);
    EXPECT_EQ(BOUNDS(a, -1), 0);
    EXPECT_EQ(a.dims, 2);
    a(2, 3) = 42;
    EXPECT_EQ(a.data[2 + 3 * 3], 42);  // the first index varies fastest
    a(2.9, 0) = 7;
    EXPECT_EQ(a(2, 0), 7);
    EXPECT_EQ(a(0, 0), 0);
}

TEST(ArraysTest, FirstSizeIsRaisedToOne)
{
    KvIntArray zero, negative;
    DIM(zero, 0);
    DIM(negative, -5);
    EXPECT_EQ(BOUNDS(zero, 0), 1);
    EXPECT_EQ(BOUNDS(negative, 0), 1);
    zero(0) = 1;
    EXPECT_EQ(zero(0), 1);
}

TEST(ArraysTest, ZeroSizeInTheMiddleKeepsLaterDimensions)
{
    KvIntArray a;
    DIM(a, 3, 0, 2);
    EXPECT_EQ(a.dims, 3);
    a(1, 0, 1) = 5;     // the third index is checked but adds nothing
    EXPECT_EQ(a(1, 0, 0), 5);
}

TEST(ArraysTest, RedimensioningClearsStringsAndNumbers)
{
    KvStrArray names;
    DIM(names, 2, 2);
    names(1, 1) = "Zorvelin";
    DIM(names, 2, 2);
    EXPECT_STREQ(names(1, 1).GetStrData(), "");
    KvIntArray numbers;
    DIM(numbers, 5);
    numbers(4) = 3;
    DIM(numbers, 5);
    EXPECT_EQ(numbers(4), 0);
}

// A fatal array error ends the program through the normal shutdown: exit
// code 0, and the log names the error and the line.
class ArraysFatalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TMPDIR", folder.Path().c_str(), 1);
        KV_DEBUG = 1;
    }
    std::vector<std::string> LastFour()
    {
        std::vector<std::string> lines = ErrorLogLines(folder.Path());
        if (lines.size() < 4) return lines;
        return std::vector<std::string>(lines.end() - 4, lines.end());
    }
    ScratchFolder folder;
};

TEST_F(ArraysFatalTest, IndexPastTheEndIsError9)
{
    KvIntArray a;
    DIM(a, 3, 4);
    EXPECT_EXIT(({ __dLn(0, 57); a(3, 0) = 1; }), ::testing::ExitedWithCode(1), "line 58: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "57", "57", "0"}));
    EXPECT_EXIT(({ __dLn(0, 58); a(0, 4) = 1; }), ::testing::ExitedWithCode(1), "line 59: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "58", "58", "0"}));
    EXPECT_EXIT(({ __dLn(0, 59); a(-0.5, 0) = 1; }), ::testing::ExitedWithCode(1), "line 60: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "59", "59", "0"}));
}

// A dimension of size 0 has a stride like any other: only index 0 (after
// truncation) stays inside the block; anything else is error 9, never a
// write past the end.
TEST_F(ArraysFatalTest, SizeZeroDimensionAcceptsOnlyIndexZero)
{
    KvIntArray one;
    DIM(one, 3);
    one(2, 0.9, 0.5) = 4;    // truncates to 0 on the unnamed dimensions
    EXPECT_EQ(one.data[2], 4);
    EXPECT_EXIT(({ __dLn(0, 21); one(0, 1) = 1; }), ::testing::ExitedWithCode(1), "line 22: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "21", "21", "0"}));
    EXPECT_EXIT(({ __dLn(0, 22); one(2, 5) = 1; }), ::testing::ExitedWithCode(1), "line 23: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "22", "22", "0"}));
    EXPECT_EXIT(({ __dLn(0, 23); one(0, 0, 0, 0, 0, 0, 0, 1) = 1; }), ::testing::ExitedWithCode(1), "line 24: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "23", "23", "0"}));

    KvStrArray middle;
    DIM(middle, 3, 0, 2);
    middle(2, 0.5, 1) = "last";
    EXPECT_EXIT(({ __dLn(0, 24); middle(0, 2, 0) = "x"; }), ::testing::ExitedWithCode(1), "line 25: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "24", "24", "0"}));
}

// A dimension DIM gave a negative size rejects every index, also the 0
// that an access naming fewer indices implies; an index that is no number
// is out of bounds too.
TEST_F(ArraysFatalTest, NegativeSizeAndNaNIndexAreError9)
{
    KvIntArray a;
    DIM(a, 3, -2);
    EXPECT_EQ(a.dims, 2);
    EXPECT_EXIT(({ __dLn(0, 31); a(1) = 1; }), ::testing::ExitedWithCode(1), "line 32: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "31", "31", "0"}));
    EXPECT_EXIT(({ __dLn(0, 32); a(1, 0) = 1; }), ::testing::ExitedWithCode(1), "line 33: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "32", "32", "0"}));
    KvIntArray b;
    DIM(b, 4, 0, 0, 0, 0, 0, 0, -1);
    EXPECT_EXIT(({ __dLn(0, 33); b(1, 0, 0) = 1; }), ::testing::ExitedWithCode(1), "line 34: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "33", "33", "0"}));
    KvIntArray c;
    DIM(c, 4);
    EXPECT_EXIT(({ __dLn(0, 34); c(0.0 / 0.0) = 1; }), ::testing::ExitedWithCode(1), "line 35: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"9", "34", "34", "0"}));
}

TEST_F(ArraysFatalTest, UseBeforeDimIsError8)
{
    KvStrArray never;
    EXPECT_EXIT(({ __dLn(0, 12); never(0) = "x"; }), ::testing::ExitedWithCode(1), "line 13: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"8", "12", "12", "0"}));
}

TEST_F(ArraysFatalTest, SizeBeyondMemoryIsError7)
{
    KvStrArray huge;
    EXPECT_EXIT(({ __dLn(0, 5); DIM(huge, 1e6, 1e6, 1e6); }), ::testing::ExitedWithCode(1), "line 6: runtime error");
    EXPECT_EQ(LastFour(), (std::vector<std::string>{"7", "5", "5", "0"}));
    KvIntArray bigButCountable;
    // 2^31 - 1 doubles fit the count limit but not the allocator's patience
    // under a sanitizer or a small machine either way: error 7 or success,
    // never a crash.
    // (A fatal error exits with code 1, so success does too here.)
    EXPECT_EXIT(({ DIM(bigButCountable, 2147483647.0, 1, 1, 1, 1, 1, 1, 4096); std::exit(1); }),
                ::testing::ExitedWithCode(1), "");
}

}  // namespace
